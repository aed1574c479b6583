// The conversion's inner steps on the benchmark inputs, each beside a memory-copy baseline of
// the same size so that the figures read as ratios on any machine.
//
// usage: inner_steps --inputs=DIR [benchmark flags]   (DIR as written by make_inputs.py)
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "Backend.h"
#include "FileAccess.h"
#include "VbfImage.h"

namespace {

class SilentBackend : public Backend {
public:
    void ShowMessage(const AnsiString&, const AnsiString&) override {}
    bool ExecuteOpenDialog(const AnsiString&, AnsiString&) override { return false; }
};

std::string inputs;
const char* const kShapes[] = {"full_flash", "huge", "many_small"};

std::string InputPath(int shape) { return inputs + "/" + kShapes[shape] + ".vbf"; }

std::vector<unsigned char> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void SetBytes(benchmark::State& state, size_t bytes, int shape) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.SetLabel(kShapes[shape]);
}

// Baseline: copying as many bytes as the input holds.
void BM_Memcpy(benchmark::State& state) {
    const auto input = ReadWhole(InputPath(state.range(0)));
    std::unique_ptr<unsigned char[]> copy(new unsigned char[input.size()]);
    std::memset(copy.get(), 0, input.size());
    for (auto _ : state) {
        std::memcpy(copy.get(), input.data(), input.size());
        benchmark::ClobberMemory();
    }
    SetBytes(state, input.size(), state.range(0));
}

void BM_VbfToImage(benchmark::State& state) {
    const auto input = ReadWhole(InputPath(state.range(0)));
    const uint32_t capacity = static_cast<uint32_t>(input.size()) + (uint32_t{1} << 24);
    std::unique_ptr<unsigned char[]> image(new unsigned char[capacity]);
    std::memset(image.get(), 0, capacity);  // steady state: page faults are not placement
    for (auto _ : state) {
        uint32_t imageSize = capacity;
        if (VbfToImage(input.data(), static_cast<uint32_t>(input.size()), image.get(), imageSize) != 0) {
            state.SkipWithError("input refused");
        }
        benchmark::ClobberMemory();
    }
    SetBytes(state, input.size(), state.range(0));
}

// Measuring reads the whole file from the page cache.
void BM_GetFileLength(benchmark::State& state) {
    const std::string path = InputPath(state.range(0));
    uint32_t length = 0;
    for (auto _ : state) {
        length = 0;
        GetFileLength(path.c_str(), length);
        benchmark::DoNotOptimize(length);
    }
    SetBytes(state, length, state.range(0));
}

void BM_MakeBaseName(benchmark::State& state) {
    const AnsiString path = "C:\\Users\\engineer\\Projects\\ecu.v2\\flash\\32218870AA.release.vbf";
    for (auto _ : state) {
        benchmark::DoNotOptimize(MakeBaseName(path));
    }
}

// Wall time: on a virtual machine the time the host spends on a page fault is not the
// process's CPU time, and each VbfToImage call allocates its block table afresh.
BENCHMARK(BM_Memcpy)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VbfToImage)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GetFileLength)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MakeBaseName)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--inputs=", 9) == 0) {
            inputs = argv[i] + 9;
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: inner_steps --inputs=DIR [benchmark flags]\n");
        return 2;
    }
    SilentBackend backend;
    SetBackend(&backend);
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// What users and disks do to a conversion, driven through the whole chain: an input that
// changes between measuring and loading, absurd block fields, a huge number of blocks,
// outputs that cannot be written, inputs at the size limit. Each case checks the message,
// the result, and everything left on disk afterwards.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <thread>

#include "ConvertCommand.h"
#include "FileAccess.h"
#include "TestSupport.h"
#include "VbfImage.h"

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string kFirstBlock = Block(0x100, "first");
const std::string kBothBlocks = kFirstBlock + Block(0x200, "second");
const std::string kFirstImage = std::string(0x100, '\0') + "first";
const std::string kBothImage = kFirstImage + std::string(0x200 - 0x105, '\0') + "second";

const std::vector<std::string> kWriteFailed{"[Ошибка] Error write file"};
const std::vector<std::string> kPastEnd{"[Error] Data block runs past end of file"};

struct Outcome {
    std::vector<std::string> messages;  // "[caption] text"
    std::optional<std::string> image;   // the output's bytes; none when the conversion fails
    std::set<std::string> left;         // everything in the scratch folder afterwards
};

class ChainTest : public ScratchTest {
protected:
    // Converts `input` into `prefix` and checks the outcome.
    void Convert(const std::string& input, const std::string& prefix, const Outcome& expected) {
        uint32_t imageSize = 0;
        const bool converted = ConvertFile(input.c_str(), prefix.c_str(), imageSize);
        ExpectOutcome(converted, imageSize, prefix + MakeBaseName(input.c_str()).str() + ".bin", expected);
    }

    void ExpectOutcome(bool converted, uint32_t imageSize, const std::string& output, const Outcome& expected) {
        EXPECT_EQ(backend.messages, expected.messages);
        EXPECT_EQ(converted, expected.image.has_value());
        if (expected.image) {
            EXPECT_EQ(imageSize, expected.image->size());
            // Not EXPECT_EQ: an image can be megabytes long.
            EXPECT_TRUE(ReadFile(output) == *expected.image) << output << " differs from the image";
        }
        EXPECT_EQ(EverythingHere(), expected.left);
    }

    static std::set<std::string> EverythingHere() {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(".")) {
            names.insert(entry.path().lexically_relative(".").generic_string());
        }
        return names;
    }
};

// Serves `measured` through a FIFO at `path` to the first reader and, before that reader can
// see the end of it, puts `loaded` in its place (or removes it when there is none): the next
// open of `path` meets the changed file, as when a file changes between measuring and loading.
class InputThatChanges {
public:
    InputThatChanges(const std::string& path, const std::string& measured,
                     const std::optional<std::string>& loaded) {
        const std::string next = path + ".next";
        if (loaded) WriteFile(next, *loaded);
        if (mkfifo(path.c_str(), 0600) != 0) return;
        writer_ = std::thread([this, path, next, measured, change = loaded.has_value()] {
            const int fifo = OpenWhenRead(path);
            if (fifo < 0) return;
            served_ = write(fifo, measured.data(), measured.size()) == static_cast<ssize_t>(measured.size());
            std::error_code ignored;  // the test sees what is missing by what the run left
            if (change) fs::rename(next, path, ignored); else fs::remove(path, ignored);
            close(fifo);  // only now does the reader see the end of the file
        });
    }
    // Whether the measuring reader got the whole first content.
    bool Served() {
        if (writer_.joinable()) writer_.join();
        return served_;
    }
    ~InputThatChanges() { Served(); }

private:
    // Waits (a bounded time) for a reader, so that a run that never opens the input fails
    // instead of hanging.
    static int OpenWhenRead(const std::string& path) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            const int fifo = open(path.c_str(), O_WRONLY | O_NONBLOCK);
            if (fifo >= 0) {
                fcntl(fifo, F_SETFL, 0);
                return fifo;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return -1;
    }

    std::thread writer_;
    bool served_ = false;
};

struct ChangeCase {
    const char* name;
    std::string measured;
    std::optional<std::string> loaded;  // none: the file is gone
    Outcome outcome;
};

class InputChangesAfterMeasuring : public ChainTest, public testing::WithParamInterface<ChangeCase> {};

TEST_P(InputChangesAfterMeasuring, LoadsOnlyWhatWasMeasured) {
    const ChangeCase& c = GetParam();
    InputThatChanges input("ecu.vbf", c.measured, c.loaded);
    uint32_t imageSize = 0;
    const bool converted = ConvertFile("ecu.vbf", "", imageSize);
    ASSERT_TRUE(input.Served());
    ExpectOutcome(converted, imageSize, "ecu.bin", c.outcome);
}

const ChangeCase kChanges[] = {
    // A download still in progress: the blocks that had arrived when it was measured.
    {"Grown", kHeader + kFirstBlock, kHeader + kBothBlocks, {{}, kFirstImage, {"ecu.bin", "ecu.vbf"}}},
    {"Shrunk", kHeader + kBothBlocks, kHeader + kFirstBlock, {{"[Message] Error read file"}, {}, {"ecu.vbf"}}},
    {"Removed", kHeader + kBothBlocks, std::nullopt, {{"[Message] Error open file"}, {}, {}}},
};

INSTANTIATE_TEST_SUITE_P(Table, InputChangesAfterMeasuring, testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

struct ChainCase {
    const char* name;
    std::string input;                // the content of ecu.vbf
    std::function<void()> prepare;    // what stands in the way
    std::string prefix;               // where the output goes
    Outcome outcome;
};

class ConvertFileCases : public ChainTest, public testing::WithParamInterface<ChainCase> {};

TEST_P(ConvertFileCases, ShowsItsMessageAndLeavesOnlyWhatASuccessWould) {
    const ChainCase& c = GetParam();
    WriteFile("ecu.vbf", c.input);
    if (c.prepare) c.prepare();
    Convert("ecu.vbf", c.prefix, c.outcome);
}

std::string LengthField(uint32_t length, const std::string& data) {
    return BE32(0x100) + BE32(length) + data + "\0\0"s;
}

const std::string kMiB(1 << 20, '\x5A');

const ChainCase kChainCases[] = {
    // Length fields near 2^32. In 32-bit sums the next block would wrap to the same block,
    // or to before it; the chain must refuse before it writes anything.
    {"LengthAllOnes", kHeader + LengthField(0xFFFFFFFF, "data"), nullptr, "", {kPastEnd, {}, {"ecu.vbf"}}},
    {"LengthWrapsOntoItsOwnBlock", kHeader + LengthField(0xFFFFFFF6, "data"), nullptr, "", {kPastEnd, {}, {"ecu.vbf"}}},
    {"LengthWrapsBackwards", kHeader + LengthField(0xFFFFFFE0, "data"), nullptr, "", {kPastEnd, {}, {"ecu.vbf"}}},
    {"AbsurdLengthAfterAGoodBlock", kHeader + kFirstBlock + LengthField(0xFFFFFFF6, "xy"), nullptr, "",
     {kPastEnd, {}, {"ecu.vbf"}}},

    // Outputs that cannot be written, into another folder as the command line companion does.
    {"OutputNameIsAFolder", kHeader + kFirstBlock, [] { fs::create_directories("out/ecu.bin"); }, "out/",
     {kWriteFailed, {}, {"ecu.vbf", "out", "out/ecu.bin"}}},
    // A small image only fails when the stream is flushed at closing, a large one while writing.
    {"DiskFullAtClose", kHeader + kFirstBlock,
     [] { fs::create_directory("out"); fs::create_symlink("/dev/full", "out/ecu.bin"); }, "out/",
     {kWriteFailed, {}, {"ecu.vbf", "out"}}},
    {"DiskFullWhileWriting", kHeader + Block(0, kMiB),
     [] { fs::create_directory("out"); fs::create_symlink("/dev/full", "out/ecu.bin"); }, "out/",
     {kWriteFailed, {}, {"ecu.vbf", "out"}}},
    {"OutputFolderMissing", kHeader + kFirstBlock, nullptr, "missing/", {kWriteFailed, {}, {"ecu.vbf"}}},
    {"IntoAnotherFolder", kHeader + kBothBlocks, [] { fs::create_directory("out"); }, "out/",
     {{}, kBothImage, {"ecu.vbf", "out", "out/ecu.bin"}}},
};

INSTANTIATE_TEST_SUITE_P(Table, ConvertFileCases, testing::ValuesIn(kChainCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChainTest, TheHighestAddressFillsTheCapacityTheCommandGives) {
    // An address of all ones places at the last byte of 16 MiB: the largest image a file can
    // make, and it fits the capacity.
    WriteFile("ecu.vbf", kHeader + Block(0xFFFFFFFF, "Z"));
    Convert("ecu.vbf", "", {{}, std::string(kImageHeadroom - 1, '\0') + "Z", {"ecu.bin", "ecu.vbf"}});
}

TEST_F(ChainTest, AMillionTinyBlocksConvertQuickly) {
    // Stored in descending address order, so every block is placed below the first one.
    constexpr uint32_t kBlocks = 1000000;
    std::string file = kHeader;
    file.reserve(kHeader.size() + size_t{kBlocks} * 11);
    std::string image(kBlocks, '\0');
    for (uint32_t i = 0; i < kBlocks; ++i) {
        const uint32_t address = kBlocks - 1 - i;
        const char byte = static_cast<char>(i * 7 + 1);
        file += Block(address, std::string(1, byte));
        image[address] = byte;
    }
    WriteFile("ecu.vbf", file);

    const auto start = std::chrono::steady_clock::now();
    Convert("ecu.vbf", "", {{}, image, {"ecu.bin", "ecu.vbf"}});
    // Linear work takes well under a second, even with sanitizers; anything that grows with
    // the square of the block count takes hours.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(BlockTable.size(), kBlocks);
}

struct SizeCase {
    uint64_t size;
    bool loaded;
    std::vector<std::string> messages;
};

class SparseInputAtTheLimit : public ChainTest, public testing::WithParamInterface<SizeCase> {
protected:
    void TearDown() override {
        InputBuffer.reset();  // a quarter of a gigabyte the rest of the suite need not carry
        ChainTest::TearDown();
    }
};

TEST_P(SparseInputAtTheLimit, LoadsBelowTheLimitAndRefusesAtIt) {
    const SizeCase& c = GetParam();
    // Sparse: only the first and the last bytes are stored.
    WriteFile("big.vbf", "vbf");
    fs::resize_file("big.vbf", c.size - 1);
    std::ofstream("big.vbf", std::ios::binary | std::ios::app) << '}';
    ASSERT_EQ(fs::file_size("big.vbf"), c.size);

    uint32_t inputLength = 77;
    EXPECT_EQ(LoadInput("big.vbf", inputLength), c.loaded);
    EXPECT_EQ(backend.messages, c.messages);
    if (c.loaded) {
        ASSERT_EQ(inputLength, c.size);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(InputBuffer.get()), 3), "vbf");
        EXPECT_EQ(InputBuffer[inputLength / 2], 0);
        EXPECT_EQ(InputBuffer[inputLength - 1], '}');
    } else {
        EXPECT_EQ(inputLength, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SparseInputAtTheLimit,
                         testing::Values(SizeCase{kMaxInputLength - 1, true, {}},
                                         SizeCase{kMaxInputLength, false, {"[Message] File is too large"}}),
                         [](const auto& info) { return info.param.loaded ? "JustBelow"s : "AtTheLimit"s; });

}  // namespace

// The conversion exactly as first written down, kept only as a yardstick for the benchmarks:
// it counts the file one byte per read, sizes the image at 16 times the input and clears all
// of it, and gives every block a buffer as large as the largest block. Well-formed inputs
// only: it checks nothing that the real converter refuses.
//
// usage: literal_vbf2bin FILE   (writes <base name>.bin into the current directory)
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct BlockInfo {
    uint32_t address;
    uint32_t length;
    unsigned char* data;
};
BlockInfo* BlockTable = nullptr;

uint32_t ReadBE32(const unsigned char* b) {
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

unsigned char CountMismatches(const unsigned char* a, const unsigned char* b, uint32_t count) {
    unsigned char equal = 0;
    for (uint32_t i = 0; i < count; ++i) equal += a[i] == b[i];
    return static_cast<unsigned char>(count - equal);
}

void ForwardCopy(const unsigned char* from, unsigned char* to, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) to[i] = from[i];
}

uint32_t GetFileLength(const char* path) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return 0;
    uint32_t length = 0;
    unsigned char byte;
    while (std::fread(&byte, 1, 1, f) == 1) ++length;
    std::fclose(f);
    return length;
}

int VbfToImage(const unsigned char* in, uint32_t L, unsigned char* image, uint32_t& imageSize) {
    static const unsigned char terminator[2] = {0x0A, 0x7D};
    uint64_t H = 0;
    for (uint64_t s = 0; s + 2 < L; ++s) {
        if (CountMismatches(in + s, terminator, 2) == 0) { H = s + 2; break; }
    }
    if (H == 0) return 1;
    bool signature = false;
    for (uint64_t i = 0; i + 3 <= H && in[i] != 0; ++i) {
        if (std::memcmp(in + i, "vbf", 3) == 0) { signature = true; break; }
    }
    if (!signature) return 3;
    uint32_t N = 0, M = 0;
    for (uint64_t p = H; p + 8 < L; p += 10 + uint64_t{ReadBE32(in + p + 4)}) {
        const uint32_t n = ReadBE32(in + p + 4);
        if (n > M) M = n;
        ++N;
    }
    if (N == 0) return 2;
    BlockTable = new BlockInfo[N];
    std::memset(image, 0, imageSize);
    uint64_t p = H, E = 0;
    for (uint32_t i = 0; i < N; ++i) {
        BlockInfo& b = BlockTable[i];
        b.address = ReadBE32(in + p);
        b.length = ReadBE32(in + p + 4);
        b.data = new unsigned char[M];
        ForwardCopy(in + p + 8, b.data, b.length);
        const uint32_t A = b.address & 0xFFFFFF;
        ForwardCopy(b.data, image + A, b.length);
        E = uint64_t{A} + b.length;
        p += 8 + uint64_t{b.length} + 2;
    }
    imageSize = static_cast<uint32_t>(E);
    return 0;
}

std::string BaseName(std::string path) {
    const auto slash = path.find_last_of("\\:/");
    if (slash != std::string::npos) path.erase(0, slash + 1);
    const auto dot = path.find_last_of('.');
    if (dot != std::string::npos) path.erase(dot);
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: literal_vbf2bin FILE\n");
        return 2;
    }
    const uint32_t L = GetFileLength(argv[1]);
    if (L == 0) return 1;
    auto* input = new unsigned char[L];
    std::FILE* f = std::fopen(argv[1], "rb");
    if (!f || std::fread(input, L, 1, f) != 1) return 1;
    std::fclose(f);
    uint32_t imageSize = L << 4;
    auto* image = new unsigned char[imageSize];
    if (VbfToImage(input, L, image, imageSize) != 0) return 1;
    std::FILE* out = std::fopen((BaseName(argv[1]) + ".bin").c_str(), "wb");
    if (!out) return 1;
    std::fwrite(image, 1, imageSize, out);
    std::fclose(out);
    return 0;
}

// The least work that the conversion's steps ask for, with nothing of the conversion itself:
// read the file through to count it, read it into an array of that length, copy it into a
// second array, write that. Arrays as the program's (LargeBuffer.h). Kept only as a yardstick
// for the benchmarks: it shows how close to cp those steps can come on this machine.
//
// usage: steps_floor FILE OUTPUT
#include <cstdio>
#include <cstring>

#include "LargeBuffer.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: steps_floor FILE OUTPUT\n");
        return 2;
    }
    constexpr size_t kChunk = size_t{1} << 18;
    const LargeArray chunk = NewLargeArray(kChunk);
    std::FILE* in = std::fopen(argv[1], "rb");
    if (!in) return 1;
    size_t length = 0;
    for (size_t got = kChunk; got == kChunk; length += got) {
        got = std::fread(chunk.get(), 1, kChunk, in);
    }
    std::fclose(in);

    const LargeArray input = NewLargeArray(length);
    in = std::fopen(argv[1], "rb");
    if (!in || std::fread(input.get(), length, 1, in) != 1) return 1;
    std::fclose(in);
    const LargeArray image = NewLargeArray(length);
    std::memcpy(image.get(), input.get(), length);

    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out || std::fwrite(image.get(), 1, length, out) != length || std::fclose(out) != 0) return 1;
    return 0;
}

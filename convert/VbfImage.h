#pragma once
// Turns a VBF container held in memory into a flat image starting at address 0.
#include <cstdint>
#include <vector>

#include "LargeBuffer.h"

struct BlockInfo {
    uint32_t address;            // as stored, before masking to the image
    uint32_t length;             // number of data bytes
    const unsigned char* data;   // the block's bytes inside the input it was read from
};

// The blocks of the last successful VbfToImage, in file order. Entries point into that
// call's input and are valid only while it lives.
using BlockList = std::vector<BlockInfo, LargeAllocator<BlockInfo>>;
extern BlockList BlockTable;

// Status codes of VbfToImage.
enum : unsigned char {
    kImageBuilt = 0,
    kHeaderNotFoundStatus = 1,
    kNoDataBlocksStatus = 2,
    kNotVbfStatus = 3,
    kBlockPastEndStatus = 4,
    kBlockOutsideImageStatus = 5,
};

// Only the low 24 bits of a block's address place it in the image.
inline constexpr uint32_t kImageAddressMask = 0x00FFFFFF;

// Builds the image of `input` into `image`, whose capacity comes in through `imageSize`.
// On success returns 0 and sets `imageSize` to the output length: the largest block end.
// Otherwise shows the refusal's message and returns its code; the image, `imageSize` and
// BlockTable are then untouched.
unsigned char VbfToImage(const unsigned char* input, uint32_t inputLength, unsigned char* image,
                         uint32_t& imageSize);

// Big-endian 32-bit number from the four bytes at `bytes`.
inline uint32_t ReadBE32(const unsigned char* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

// How many of the first `count` positions of `a` and `b` differ, modulo 256.
unsigned char CountMismatches(const unsigned char* a, const unsigned char* b, uint32_t count);

// Offset just after the header terminator (a line feed and "}" followed by at least one
// more byte), or 0 when there is none.
uint32_t FindHeaderEnd(const unsigned char* input, uint32_t inputLength);

#include "VbfImage.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "Application.h"
#include "LargeBuffer.h"
#include "Messages.h"

std::vector<BlockInfo> BlockTable;

namespace {

constexpr unsigned char kHeaderTerminator[2] = {0x0A, 0x7D};
constexpr std::string_view kSignature = "vbf";
// Address and length fields before a block's data, and the trailer after it.
constexpr uint64_t kBlockFieldsSize = 8;
constexpr uint64_t kTrailerSize = 2;

unsigned char Refuse(unsigned char status, const char* text, const char* caption) {
    Application->MessageBox(text, caption, 0);
    return status;
}

// The signature counts only before the header's first NUL byte.
bool HeaderHasSignature(const unsigned char* input, uint32_t headerEnd) {
    const auto* text = reinterpret_cast<const char*>(input);
    const void* nul = std::memchr(text, 0, headerEnd);
    const size_t searched = nul ? static_cast<const char*>(nul) - text : headerEnd;
    return std::string_view(text, searched).find(kSignature) != std::string_view::npos;
}

// A block is recognised wherever at least one byte follows its two fields.
bool BlockStartsAt(uint64_t offset, uint64_t inputLength) {
    return offset + kBlockFieldsSize < inputLength;
}

uint64_t NextBlock(uint64_t offset, uint32_t length) {
    return offset + kBlockFieldsSize + length + kTrailerSize;
}

struct BlockWalk {
    unsigned char status = kImageBuilt;
    size_t count = 0;
    uint64_t outputLength = 0;
};

// Counts the blocks and checks every one against the input and the image before anything
// is written; the first block that breaks a limit, in file order, decides the refusal.
BlockWalk CheckBlocks(const unsigned char* input, uint64_t inputLength, uint32_t headerEnd,
                      uint64_t capacity) {
    BlockWalk walk;
    for (uint64_t p = headerEnd; BlockStartsAt(p, inputLength); ) {
        const uint32_t length = ReadBE32(input + p + 4);
        if (p + kBlockFieldsSize + length > inputLength) {
            walk.status = kBlockPastEndStatus;
            return walk;
        }
        const uint64_t end = uint64_t{ReadBE32(input + p) & kImageAddressMask} + length;
        if (end > capacity) {
            walk.status = kBlockOutsideImageStatus;
            return walk;
        }
        walk.outputLength = std::max(walk.outputLength, end);
        ++walk.count;
        p = NextBlock(p, length);
    }
    return walk;
}

}  // namespace

unsigned char CountMismatches(const unsigned char* a, const unsigned char* b, uint32_t count) {
    unsigned char mismatches = 0;
    for (uint32_t i = 0; i < count; ++i) {
        mismatches += a[i] != b[i];
    }
    return mismatches;
}

uint32_t FindHeaderEnd(const unsigned char* input, uint32_t inputLength) {
    if (inputLength < 3) {
        return 0;
    }
    // The brace must not be the file's last byte, so a line feed is a candidate only up to
    // three bytes before the end.
    const unsigned char* const lastCandidate = input + inputLength - 3;
    for (const unsigned char* s = input; s <= lastCandidate; ++s) {
        s = static_cast<const unsigned char*>(std::memchr(s, kHeaderTerminator[0], lastCandidate - s + 1));
        if (!s) {
            return 0;
        }
        if (CountMismatches(s, kHeaderTerminator, 2) == 0) {
            return static_cast<uint32_t>(s - input) + 2;
        }
    }
    return 0;
}

unsigned char VbfToImage(const unsigned char* input, uint32_t inputLength, unsigned char* image,
                         uint32_t& imageSize) {
    using namespace Messages;
    const uint32_t headerEnd = FindHeaderEnd(input, inputLength);
    if (headerEnd == 0) {
        return Refuse(kHeaderNotFoundStatus, kHeaderNotFound, kCaptionError);
    }
    if (!HeaderHasSignature(input, headerEnd)) {
        return Refuse(kNotVbfStatus, kNotVbf, kCaptionError);
    }
    const BlockWalk walk = CheckBlocks(input, inputLength, headerEnd, imageSize);
    if (walk.status == kBlockPastEndStatus) {
        return Refuse(walk.status, kBlockPastEnd, kCaptionError);
    }
    if (walk.status == kBlockOutsideImageStatus) {
        return Refuse(walk.status, kBlockOutsideImage, kCaptionError);
    }
    if (walk.count == 0) {
        return Refuse(kNoDataBlocksStatus, kNoDataBlocks, kCaptionErrorRu);
    }

    std::vector<BlockInfo> table;
    table.reserve(walk.count);
    AdviseLargeBuffer(table.data(), walk.count * sizeof(BlockInfo));
    std::memset(image, 0, walk.outputLength);
    for (uint64_t p = headerEnd; table.size() < walk.count; ) {
        const BlockInfo block{ReadBE32(input + p), ReadBE32(input + p + 4), input + p + kBlockFieldsSize};
        // Later blocks overwrite earlier ones where they overlap.
        std::memcpy(image + (block.address & kImageAddressMask), block.data, block.length);
        table.push_back(block);
        p = NextBlock(p, block.length);
    }
    BlockTable = std::move(table);
    imageSize = static_cast<uint32_t>(walk.outputLength);
    return kImageBuilt;
}

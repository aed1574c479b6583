#include "VbfImage.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "Application.h"
#include "Messages.h"

BlockList BlockTable;

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

// Puts the blocks' data into the image in file order. The image is zeroed just ahead of the
// blocks rather than all at once first, so that a large block's span is written only once
// and small blocks land on zeros that are still in cache.
class ImagePlacer {
public:
    ImagePlacer(const unsigned char* input, uint64_t inputLength, unsigned char* image,
                uint64_t outputLength)
        : inputEnd_(input + inputLength), image_(image), outputLength_(outputLength) {}

    // Later blocks overwrite earlier ones where they overlap.
    void Place(const BlockInfo& block) {
        const uint64_t start = block.address & kImageAddressMask;
        ZeroAhead(start, start + block.length);
        Copy(start, block.data, block.length);
    }

private:
    static constexpr uint64_t kZeroStep = uint64_t{1} << 16;
    static constexpr uint32_t kWord = 8;

    // Below `zeroed_` the image holds zeros or block data. Zeroing goes a step at a time,
    // small enough that the blocks land on it while it is still in cache; the span of a
    // block of a step or more is not zeroed at all, since the block fills it.
    void ZeroAhead(uint64_t start, uint64_t end) {
        if (end <= zeroed_) {
            return;
        }
        if (end - start >= kZeroStep) {
            ZeroUpTo(start);
            zeroed_ = end;
        } else {
            ZeroUpTo(std::min(outputLength_, std::max(end, zeroed_ + kZeroStep)));
        }
    }

    void ZeroUpTo(uint64_t end) {
        if (end > zeroed_) {
            std::memset(image_ + zeroed_, 0, end - zeroed_);
            zeroed_ = end;
        }
    }

    // Data of a word or less is merged into the image a whole word at a time, the bytes
    // after it written back as they were: with many tiny blocks, picking a copy by the
    // length costs more than the copy. Both words must lie inside their buffers, and the
    // written one inside the output, so that no page past the output is touched.
    void Copy(uint64_t start, const unsigned char* data, uint32_t length) {
        unsigned char* const to = image_ + start;
        if (length <= kWord && start + kWord <= outputLength_ && data + kWord <= inputEnd_) {
            // `length` bytes of ones, then zeros, in memory order on any host.
            static constexpr unsigned char kLeadingBytes[2 * kWord] = {
                0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
            uint64_t mask, merged, bytes;
            std::memcpy(&mask, kLeadingBytes + kWord - length, kWord);
            std::memcpy(&merged, to, kWord);
            std::memcpy(&bytes, data, kWord);
            merged = (bytes & mask) | (merged & ~mask);
            std::memcpy(to, &merged, kWord);
        } else {
            std::memcpy(to, data, length);
        }
    }

    const unsigned char* const inputEnd_;
    unsigned char* const image_;
    const uint64_t outputLength_;
    uint64_t zeroed_ = 0;
};

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

    // Exactly as long as needed: with many small blocks the table outweighs the image.
    // Sized first and filled by index, since appending keeps the table's end in memory
    // through the loop.
    BlockList table;
    table.reserve(walk.count);
    table.resize(walk.count);
    ImagePlacer placer(input, inputLength, image, walk.outputLength);
    uint64_t p = headerEnd;
    for (size_t i = 0; i < walk.count; ++i) {
        const BlockInfo block{ReadBE32(input + p), ReadBE32(input + p + 4), input + p + kBlockFieldsSize};
        placer.Place(block);
        table[i] = block;
        p = NextBlock(p, block.length);
    }
    BlockTable = std::move(table);
    imageSize = static_cast<uint32_t>(walk.outputLength);
    return kImageBuilt;
}

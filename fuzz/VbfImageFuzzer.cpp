// VbfToImage on arbitrary bytes: with the capacity the convert command gives, with a small
// capacity the input chooses, and with the exact output length and one byte less.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "ConvertCommand.h"
#include "FileAccess.h"
#include "FuzzSupport.h"
#include "VbfImage.h"

namespace {

// Images up to this capacity are prefilled and compared byte for byte; larger ones would
// cost more to fill and scan than the build itself.
constexpr uint32_t kFilledImageLimit = uint32_t{1} << 16;
constexpr unsigned char kFill = 0xA5;
// How many block places a large image is probed at.
constexpr size_t kProbedBlocks = 64;

// Written from the format's rule, apart from the builder's own search.
uint64_t HeaderEnd(const unsigned char* input, uint32_t length) {
    for (uint64_t s = 0; s + 2 < length; ++s) {
        if (input[s] == 0x0A && input[s + 1] == 0x7D) return s + 2;
    }
    return 0;
}

// The refusals that the header alone decides, or 0 when the blocks decide.
unsigned char HeaderStatus(const unsigned char* input, uint32_t length) {
    const uint64_t headerEnd = HeaderEnd(input, length);
    if (headerEnd == 0) return kHeaderNotFoundStatus;
    const std::string_view header(reinterpret_cast<const char*>(input), headerEnd);
    const std::string_view beforeNul = header.substr(0, header.find('\0'));
    return beforeNul.find("vbf") == std::string_view::npos ? kNotVbfStatus : kImageBuilt;
}

// Image offsets where the first blocks of the file would go, whether or not they are valid.
std::vector<uint64_t> BlockPlaces(const unsigned char* input, uint32_t length) {
    std::vector<uint64_t> places;
    const uint64_t headerEnd = HeaderEnd(input, length);
    for (uint64_t p = headerEnd; headerEnd != 0 && p + 8 < length && places.size() < kProbedBlocks;
         p += 8 + uint64_t{ReadBE32(input + p + 4)} + 2) {
        places.push_back(ReadBE32(input + p) & kImageAddressMask);
    }
    return places;
}

// The image handed to the builder, ending where its storage ends so that the sanitizer
// catches a write past the capacity. Small images are filled with a pattern on the heap and
// checked byte for byte. Large ones share one buffer that stays filled between runs: fresh
// pages cost more than the build, and scanning 16 MiB per run would too, so they are
// checked at the output's end, the capacity's end, the start and every block's place.
class Image {
public:
    Image(uint32_t capacity, std::vector<uint64_t> probes)
        : capacity_(capacity), probes_(std::move(probes)) {
        if (Filled()) {
            heap_.reset(new unsigned char[capacity]);
            std::memset(heap_.get(), kFill, capacity);
            bytes_ = heap_.get();
            return;
        }
        std::vector<unsigned char>& shared = Shared();
        if (shared.size() < capacity) {
            shared.assign(capacity, kFill);
        }
        bytes_ = shared.data() + shared.size() - capacity;
    }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    unsigned char* bytes() const { return bytes_; }
    bool Filled() const { return capacity_ <= kFilledImageLimit; }

    // Whether nothing from `offset` to the end was written.
    bool UntouchedFrom(uint64_t offset) const {
        if (Filled()) {
            return std::all_of(bytes_ + offset, bytes_ + capacity_,
                               [](unsigned char b) { return b == kFill; });
        }
        std::vector<uint64_t> probes = probes_;
        probes.insert(probes.end(), {0, offset, uint64_t{capacity_} - 1});
        return std::all_of(probes.begin(), probes.end(), [&](uint64_t at) {
            return at < offset || at >= capacity_ || bytes_[at] == kFill;
        });
    }

    // Gives the shared buffer back as it was found.
    void Restore(uint32_t written) {
        if (!Filled()) std::memset(bytes_, kFill, written);
    }

private:
    static std::vector<unsigned char>& Shared() {
        static std::vector<unsigned char> buffer;
        return buffer;
    }

    uint32_t capacity_;
    std::vector<uint64_t> probes_;
    std::unique_ptr<unsigned char[]> heap_;
    unsigned char* bytes_ = nullptr;
};

// A refusal must leave the previous table alone; this stands for it.
const BlockInfo kPreviousTable{0xDEADBEEF, 0xFEEDFACE, nullptr};

bool TableIsThePreviousOne() {
    return BlockTable.size() == 1 && BlockTable[0].address == kPreviousTable.address &&
           BlockTable[0].length == kPreviousTable.length && BlockTable[0].data == nullptr;
}

uint64_t BlockEnd(const BlockInfo& block) {
    return uint64_t{block.address & kImageAddressMask} + block.length;
}

// The table holds every block after the header, in file order, each lying inside the input
// and the image, and the output ends at the largest block end.
void CheckTable(const unsigned char* input, uint32_t length, uint32_t imageSize) {
    Require(!BlockTable.empty(), "an image was built without blocks");
    uint64_t p = HeaderEnd(input, length);
    Require(p != 0, "an image was built without a header");
    uint64_t outputLength = 0;
    for (const BlockInfo& block : BlockTable) {
        Require(p + 8 < length, "a block was taken from past the last one");
        Require(p + 8 + block.length <= length, "a block's data runs past the input");
        Require(block.data == input + p + 8, "a block's data is not where the block stores it");
        Require(block.address == ReadBE32(input + p) && block.length == ReadBE32(input + p + 4),
                "a block's fields differ from the file");
        Require(BlockEnd(block) <= imageSize, "a block lies past the output");
        outputLength = std::max(outputLength, BlockEnd(block));
        p += 8 + uint64_t{block.length} + 2;
    }
    Require(p + 8 >= length, "a block was left out");
    Require(outputLength == imageSize, "the output does not end at the largest block end");
}

// The last block in file order wins wherever it lies.
void CheckLastBlockPlaced(const unsigned char* image) {
    const BlockInfo& last = BlockTable.back();
    Require(std::memcmp(image + (last.address & kImageAddressMask), last.data, last.length) == 0,
            "the last block is not in the image");
}

// Zeros everywhere but under the blocks, later blocks over earlier ones.
void CheckWholeImage(const unsigned char* image, uint32_t imageSize) {
    std::vector<unsigned char> expected(imageSize, 0);
    for (const BlockInfo& block : BlockTable) {
        std::copy_n(block.data, block.length, expected.begin() + (block.address & kImageAddressMask));
    }
    Require(std::equal(expected.begin(), expected.end(), image), "the image differs from its blocks");
}

struct Result {
    unsigned char status;
    uint32_t imageSize;
};

Result Build(const unsigned char* input, uint32_t length, uint32_t capacity) {
    Image image(capacity, BlockPlaces(input, length));
    BlockTable.assign(1, kPreviousTable);
    ResetMessages();
    uint32_t imageSize = capacity;
    const unsigned char status = VbfToImage(input, length, image.bytes(), imageSize);

    Require(status <= kBlockOutsideImageStatus, "unknown status");
    const unsigned char headerStatus = HeaderStatus(input, length);
    Require(headerStatus == kImageBuilt ? status != kHeaderNotFoundStatus && status != kNotVbfStatus
                                        : status == headerStatus,
            "the header was judged wrongly");
    Require(MessagesShown() == (status == kImageBuilt ? 0 : 1),
            "a refusal shows one message, a success none");
    if (status != kImageBuilt) {
        Require(imageSize == capacity, "a refusal changed imageSize");
        Require(TableIsThePreviousOne(), "a refusal changed BlockTable");
        Require(image.UntouchedFrom(0), "a refusal wrote into the image");
        return {status, imageSize};
    }
    Require(imageSize <= capacity, "the output is larger than the capacity");
    CheckTable(input, length, imageSize);
    Require(image.UntouchedFrom(imageSize), "the image was written past the output");
    CheckLastBlockPlaced(image.bytes());
    if (image.Filled()) {
        CheckWholeImage(image.bytes(), imageSize);
    }
    image.Restore(imageSize);
    return {status, imageSize};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The command refuses these before it builds anything.
    if (size == 0 || size >= kMaxInputLength) return 0;
    const auto length = static_cast<uint32_t>(size);

    const Result command = Build(data, length, length + kImageHeadroom);
    Require(command.status != kBlockOutsideImageStatus,
            "the command's capacity holds every block that lies within the file");

    // The last two bytes are usually a trailer, which the builder never reads, so the
    // fuzzer can steer the capacity without changing the container.
    const uint32_t chosen = size >= 2 ? (uint32_t{data[size - 2]} << 8) | data[size - 1] : data[0];
    const Result small = Build(data, length, chosen);
    // Only the placement test depends on the capacity.
    Require(small.status == command.status ||
                (small.status == kBlockOutsideImageStatus &&
                 (command.status == kImageBuilt || command.status == kBlockPastEndStatus)),
            "the capacity changed a refusal that does not depend on it");
    if (small.status == kImageBuilt) {
        Require(small.imageSize == command.imageSize, "the capacity changed the output length");
    }

    if (command.status == kImageBuilt) {
        // A small output is where the boundary is cheap to probe; the rule is the same.
        if (command.imageSize <= kFilledImageLimit) {
            const Result exact = Build(data, length, command.imageSize);
            Require(exact.status == kImageBuilt && exact.imageSize == command.imageSize,
                    "the output does not fit a capacity of its own length");
        }
        if (command.imageSize > 0) {
            Require(Build(data, length, command.imageSize - 1).status == kBlockOutsideImageStatus,
                    "an output one byte larger than the capacity was accepted");
        }
    }
    return 0;
}

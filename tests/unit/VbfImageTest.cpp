#include <algorithm>
#include <cstring>
#include <utility>

#include "Messages.h"
#include "TestSupport.h"
#include "VbfImage.h"

using namespace std::string_literals;

namespace {

const std::string kWorkedExample =
    std::string("vbf{\n}") + Block(0x01000004, "\xDD\xEE") + Block(0x00000010, "\xAA\xBB\xCC");
const std::string kWorkedOutput = std::string(4, '\0') + "\xDD\xEE" + std::string(10, '\0') + "\xAA\xBB\xCC";

class VbfImageTest : public ScratchTest {
protected:
    // Runs the builder on `input` with `capacity` bytes of image prefilled with 0xA5.
    unsigned char Build(const std::string& input, uint32_t capacity) {
        input_ = input;
        image_.assign(capacity, 0xA5);
        imageSize_ = capacity;
        return VbfToImage(reinterpret_cast<const unsigned char*>(input_.data()),
                          static_cast<uint32_t>(input_.size()), image_.data(), imageSize_);
    }
    std::string Output() const { return std::string(image_.begin(), image_.begin() + imageSize_); }

    std::string input_;
    std::vector<unsigned char> image_;
    uint32_t imageSize_ = 0;
};

TEST_F(VbfImageTest, WorkedExampleByteForByte) {
    ASSERT_EQ(kWorkedExample.size(), 31u);
    ASSERT_EQ(Build(kWorkedExample, 16 * 31), kImageBuilt);
    EXPECT_EQ(Output(), kWorkedOutput);
    EXPECT_TRUE(backend.messages.empty());
    ASSERT_EQ(BlockTable.size(), 2u);
    EXPECT_EQ(BlockTable[0].address, 0x01000004u);  // stored unmasked
    EXPECT_EQ(BlockTable[0].length, 2u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(BlockTable[1].data), 3), "\xAA\xBB\xCC");
}

TEST_F(VbfImageTest, OutputEndsAtTheLargestBlockEndWhateverTheFileOrder) {
    const std::string reversed = std::string("vbf{\n}") + Block(0x10, "\xAA\xBB\xCC") + Block(0x01000004, "\xDD\xEE");
    ASSERT_EQ(Build(reversed, 16 * 31), kImageBuilt);
    EXPECT_EQ(Output(), kWorkedOutput);
}

struct BuildCase {
    const char* name;
    std::string input;
    uint32_t capacity;
    std::string output;
};

class VbfImageCases : public VbfImageTest, public ::testing::WithParamInterface<BuildCase> {};

TEST_P(VbfImageCases, BuildsTheImage) {
    const BuildCase& c = GetParam();
    ASSERT_EQ(Build(c.input, c.capacity), kImageBuilt) << (backend.messages.empty() ? "" : backend.messages[0]);
    EXPECT_EQ(Output(), c.output);
    EXPECT_TRUE(backend.messages.empty());
}

const std::string kVbf = "vbf\n}";

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, VbfImageCases,
    ::testing::Values(
        BuildCase{"NineBytesAfterHeaderMakeOneBlock", kVbf + BE32(2) + BE32(1) + "\x77", 64, std::string(2, '\0') + "\x77"},
        BuildCase{"CrLfBeforeBraceEndsHeader", "vbf\r\n}" + Block(0, "A"), 64, "A"},
        BuildCase{"IndentedBraceDoesNotEndHeader", "vbf\n }\n}" + Block(1, "B"), 64, std::string(1, '\0') + "B"},
        BuildCase{"FirstBraceLineEndsHeaderAndTheRestIsData",
                  // The second header line is read as a block: address "\n  x", length 1 byte.
                  "vbf\n}" + std::string("\x00\x00\x00\x03\x00\x00\x00\x01Z\n}", 11) + Block(0, "C"), 64,
                  "C\0\0Z"s},
        BuildCase{"TopAddressByteIsDropped", kVbf + Block(0x80000010, "D"), 64, std::string(16, '\0') + "D"},
        BuildCase{"SecondAddressByteIsKept", kVbf + Block(0x00800000, "E"), (1u << 24) + 32, std::string(1u << 23, '\0') + "E"},
        BuildCase{"LaterBlockWinsWhereBlocksOverlap", kVbf + Block(0, "1111") + Block(2, "22"), 64, "1122"},
        BuildCase{"ZeroLengthBlockAtTheEndSetsTheLength", kVbf + Block(0, "F") + Block(6, ""), 64, "F\0\0\0\0\0"s},
        BuildCase{"MissingTrailerStillPlaced", kVbf + Block(0, "G") + Block(3, "HI", ""), 64, "G\0\0HI"s},
        BuildCase{"CutTrailerStillPlaced", kVbf + Block(1, "J", "\x01"), 64, "\0J"s},
        BuildCase{"TrailerBytesOfAnyValue", kVbf + Block(0, "K", "\xFF\xFF"), 64, "K"},
        BuildCase{"EightBytesAfterLastTrailerAreIgnored", kVbf + Block(0, "L") + std::string(8, '\x7F'), 64, "L"},
        BuildCase{"NineBytesAfterLastTrailerAreABlock", kVbf + Block(0, "M") + BE32(3) + BE32(1) + "N", 64, "M\0\0N"s},
        BuildCase{"BlockEndingExactlyAtCapacityFits", kVbf + Block(62, "OP"), 64, std::string(62, '\0') + "OP"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VbfImageTest, ZeroesEverythingOfTheOutputThatNoBlockCovers) {
    ASSERT_EQ(Build(kVbf + Block(8, "AB") + Block(2, "C") + Block(20, "D"), 64), kImageBuilt);
    EXPECT_EQ(Output(), "\0\0C\0\0\0\0\0AB\0\0\0\0\0\0\0\0\0\0D"s);
    EXPECT_EQ(image_[21], 0xA5) << "capacity past the output is left alone";
}

TEST_F(VbfImageTest, ShortBlockKeepsTheBytesAfterIt) {
    // The second block is short enough to be merged into the image a word at a time.
    ASSERT_EQ(Build(kVbf + Block(0, "12345678") + Block(2, "ab") + Block(15, "Z"), 64), kImageBuilt);
    EXPECT_EQ(Output(), "12ab5678\0\0\0\0\0\0\0Z"s);
}

// Layouts whose blocks are large enough, or cross enough of the image, for the image to be
// zeroed ahead of them in steps and skipped under large blocks.
struct LayoutCase {
    const char* name;
    std::vector<std::pair<uint32_t, uint32_t>> blocks;  // address and length, in file order
};

class VbfImageLayouts : public VbfImageTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(VbfImageLayouts, MatchesPlacingEachBlockOnZeros) {
    std::string input = kVbf;
    std::string expected;
    uint8_t fill = 1;
    for (const auto& [address, length] : GetParam().blocks) {
        const std::string data = std::string(length, static_cast<char>(fill++));
        input += Block(address, data);
        const uint32_t start = address & kImageAddressMask;
        if (expected.size() < start + length) {
            expected.resize(start + length, '\0');
        }
        expected.replace(start, length, data);
    }
    const uint32_t capacity = static_cast<uint32_t>(expected.size()) + 64;
    ASSERT_EQ(Build(input, capacity), kImageBuilt);
    const std::string output = Output();
    ASSERT_EQ(output.size(), expected.size());
    EXPECT_TRUE(output == expected) << "first difference at offset "
        << std::mismatch(expected.begin(), expected.end(), output.begin()).first - expected.begin();
    EXPECT_EQ(image_[expected.size()], 0xA5) << "capacity past the output is left alone";
}

std::vector<std::pair<uint32_t, uint32_t>> TinyBlocksAcross(uint32_t from, uint32_t to) {
    std::vector<std::pair<uint32_t, uint32_t>> blocks;
    for (uint32_t address = from; address < to; address += 11) {
        blocks.emplace_back(address, address % 9);
    }
    return blocks;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, VbfImageLayouts,
    ::testing::Values(
        LayoutCase{"LargeBlockAfterAGapThenSmallOnesInAndPastIt",
                   {{0x100, 3}, {0x20000, 70000}, {0x20010, 5}, {0x40000, 8}}},
        LayoutCase{"LargeBlocksInDescendingOrder", {{0x30000, 70000}, {0x1000, 70000}, {0x10, 1}}},
        LayoutCase{"SmallBlocksOverALargeOneAndPastItsEnd", {{0, 100000}, {5, 2}, {99998, 8}}},
        LayoutCase{"SmallBlockBelowTheZeroedPart", {{0x30000, 4}, {0x100, 7}, {0x30002, 8}}},
        LayoutCase{"TinyBlocksAcrossSeveralZeroingSteps", TinyBlocksAcross(65000, 200000)}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    std::string input;
    uint32_t capacity;
    unsigned char status;
    std::string message;
};

class VbfImageRefusals : public VbfImageTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(VbfImageRefusals, RefusesWithItsMessageAndTouchesNothing) {
    const RefusalCase& c = GetParam();
    ASSERT_EQ(Build(kWorkedExample, 64), kImageBuilt);
    const BlockList tableBefore = BlockTable;

    EXPECT_EQ(Build(c.input, c.capacity), c.status);
    EXPECT_EQ(backend.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(imageSize_, c.capacity);
    EXPECT_EQ(image_, std::vector<unsigned char>(c.capacity, 0xA5));
    ASSERT_EQ(BlockTable.size(), tableBefore.size());
    EXPECT_EQ(BlockTable[1].data, tableBefore[1].data);
}

const std::string kHeaderMissing = "[Error] Header vbf is not found";
const std::string kNotVbf = "[Error] Is not vbf";
const std::string kNoBlocks = "[Ошибка] Нет блоков данных";
const std::string kPastEnd = "[Error] Data block runs past end of file";
const std::string kOutside = "[Error] Data block is outside the image";

INSTANTIATE_TEST_SUITE_P(
    Refusals, VbfImageRefusals,
    ::testing::Values(
        RefusalCase{"OneByte", "v", 16, 1, kHeaderMissing},
        RefusalCase{"TwoBytes", "\n}", 32, 1, kHeaderMissing},
        RefusalCase{"BraceIsTheLastByte", "vbf\n}", 80, 1, kHeaderMissing},
        RefusalCase{"OnlyAnIndentedBrace", "vbf\n }" + Block(0, "A"), 64, 1, kHeaderMissing},
        RefusalCase{"OneByteAfterHeader", "vbf\n}X", 64, 2, kNoBlocks},
        RefusalCase{"EightBytesAfterHeader", "vbf\n}" + BE32(0) + BE32(0), 64, 2, kNoBlocks},
        RefusalCase{"UpperCaseSignature", "VBF\n}" + Block(0, "A"), 64, 3, kNotVbf},
        RefusalCase{"SignatureOnlyAfterHeader", "abc\n}" + Block(0, "vbf"), 64, 3, kNotVbf},
        RefusalCase{"SignatureAfterNul", "a\0vbf\n}"s + Block(0, "A"), 64, 3, kNotVbf},
        RefusalCase{"NotVbfComesBeforeBadBlocks", "VBF\n}" + BE32(0) + BE32(500) + "x", 64, 3, kNotVbf},
        RefusalCase{"DataPastEndOfFile", "vbf\n}" + BE32(0) + BE32(2) + "x", 64, 4, kPastEnd},
        RefusalCase{"LengthNear4GiB", "vbf\n}" + BE32(0) + BE32(0xFFFFFFF0) + "xyz", 64, 4, kPastEnd},
        RefusalCase{"LaterBlockPastEnd", "vbf\n}" + Block(0, "A") + BE32(0) + BE32(9) + "x", 64, 4, kPastEnd},
        RefusalCase{"PlacementPastCapacity", "vbf\n}" + Block(63, "AB"), 64, 5, kOutside},
        RefusalCase{"HighAddressInSmallImage", "vbf\n}" + Block(0x00FFFFFF, "A"), 64, 5, kOutside},
        RefusalCase{"PastEndWinsForTheSameBlock", "vbf\n}" + BE32(0x100) + BE32(5) + "x", 64, 4, kPastEnd},
        RefusalCase{"FirstBadBlockInFileOrderDecides",
                    "vbf\n}" + Block(0x100, "A") + BE32(0) + BE32(5) + "x", 64, 5, kOutside}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

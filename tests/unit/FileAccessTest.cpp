#include "FileAccess.h"
#include "TestSupport.h"

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kOpenFailed{"[Message] Error open file"};
const std::vector<std::string> kReadFailed{"[Message] Error read file"};

class FileAccessTest : public ScratchTest {
protected:
    uint32_t Measure(const std::string& path, uint32_t initial = 0) {
        uint32_t length = initial;
        GetFileLength(path.c_str(), length);
        return length;
    }
};

// Every byte counts and loads as it is: no line-end translation, no end-of-file character.
TEST_F(FileAccessTest, MeasuresAndLoadsEveryByteUnchanged) {
    const std::string bytes = "a\r\nb\n\x1A\r\x1A" "c\0\xFF"s;
    WriteFile("in.vbf", bytes);
    ASSERT_EQ(Measure("in.vbf"), bytes.size());
    std::vector<unsigned char> buffer(bytes.size());
    ASSERT_EQ(LoadFile("in.vbf", buffer.data(), static_cast<uint32_t>(bytes.size())), 0);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), bytes);
    EXPECT_TRUE(backend.messages.empty());
}

TEST_F(FileAccessTest, MeasuresAcrossManyReadChunks) {
    const std::string bytes(3 * 262144 + 17, 'x');
    WriteFile("big.vbf", bytes);
    EXPECT_EQ(Measure("big.vbf"), bytes.size());
}

TEST_F(FileAccessTest, UnopenableInputLeavesTheLengthAsTheCallerSetIt) {
    for (const std::string path : {"missing.vbf", ""}) {
        backend.messages.clear();
        EXPECT_EQ(Measure(path, 77), 77u) << path;
        EXPECT_EQ(backend.messages, kOpenFailed) << path;
        unsigned char byte = 0x5A;
        EXPECT_EQ(LoadFile(path.c_str(), &byte, 1), 1);
        EXPECT_EQ(byte, 0x5A);
    }
}

TEST_F(FileAccessTest, EmptyFileMeasuresZeroWithItsMessage) {
    WriteFile("empty.vbf", "");
    EXPECT_EQ(Measure("empty.vbf", 77), 0u);
    EXPECT_EQ(backend.messages, std::vector<std::string>{"[Message] Length file 0 byte"});
}

TEST_F(FileAccessTest, UnreadableInputIsAReadErrorNotAnEmptyFile) {
    MakeUnreadableInput("folder.vbf");
    if (IsSkipped()) return;
    EXPECT_EQ(Measure("folder.vbf"), 0u);
    EXPECT_EQ(backend.messages, kReadFailed);
    backend.messages.clear();
    unsigned char byte = 0;
    EXPECT_EQ(LoadFile("folder.vbf", &byte, 1), 2);
    EXPECT_EQ(backend.messages, kReadFailed);
}

TEST_F(FileAccessTest, RefusesFilesAtTheSizeLimit) {
    // Sparse files: the limit is measured, not stored.
    struct Case { uint64_t size; uint32_t length; std::vector<std::string> messages; };
    for (const Case& c : {Case{kMaxInputLength, 0, {"[Message] File is too large"}},
                          Case{uint64_t{kMaxInputLength} * 16 + 1, 0, {"[Message] File is too large"}},
                          Case{kMaxInputLength - 1, kMaxInputLength - 1, {}}}) {
        backend.messages.clear();
        WriteFile("sparse.vbf", "");
        fs::resize_file("sparse.vbf", c.size);
        EXPECT_EQ(Measure("sparse.vbf"), c.length) << c.size;
        EXPECT_EQ(backend.messages, c.messages) << c.size;
    }
}

TEST_F(FileAccessTest, LoadNeedsTheWholeMeasuredLength) {
    WriteFile("in.vbf", "0123456789");
    std::vector<unsigned char> buffer(16, 0);
    // Grown since measuring: the first bytes load.
    EXPECT_EQ(LoadFile("in.vbf", buffer.data(), 4), 0);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 4), "0123");
    EXPECT_TRUE(backend.messages.empty());
    // Shrunk since measuring, and the zero length the command never asks for.
    for (const uint32_t length : {11u, 0u}) {
        backend.messages.clear();
        EXPECT_EQ(LoadFile("in.vbf", buffer.data(), length), 2) << length;
        EXPECT_EQ(backend.messages, kReadFailed) << length;
    }
}

TEST_F(FileAccessTest, SaveReplacesAnExistingLongerFileExactly) {
    WriteFile("out.bin", std::string(100, 'z'));
    // Line ends and the end-of-file character are written as they are.
    const unsigned char bytes[] = {1, 0, '\n', '\r', 0x1A, 2};
    const uint32_t length = sizeof bytes;
    EXPECT_EQ(SaveFile("out", "bin", bytes, length, "Error write file"), 0);
    EXPECT_EQ(ReadFile("out.bin"), "\x01\x00\n\r\x1A\x02"s);
    const uint32_t none = 0;
    EXPECT_EQ(SaveFile("out", "bin", bytes, none, "Error write file"), 0);
    EXPECT_EQ(ReadFile("out.bin"), "");
    EXPECT_TRUE(backend.messages.empty());
}

const std::vector<std::string> kCannotWrite{"[Ошибка] Cannot write"};
const unsigned char kPage[4096] = {};
const uint32_t kPageLength = sizeof kPage;

TEST_F(FileAccessTest, SaveFailureToOpenShowsTheCallersText) {
    fs::create_directory("taken.bin");  // cannot be opened for writing
    EXPECT_EQ(SaveFile("taken", "bin", kPage, kPageLength, "Cannot write"), 1);
    EXPECT_EQ(backend.messages, kCannotWrite);
    EXPECT_TRUE(fs::is_directory("taken.bin"));
}

TEST_F(FileAccessTest, SaveFailureToWriteShowsTheCallersTextAndLeavesNoOutput) {
    MakeFullOutput("full.bin");  // opens, but every write fails
    if (IsSkipped()) return;
    EXPECT_EQ(SaveFile("full", "bin", kPage, kPageLength, "Cannot write"), 1);
    EXPECT_EQ(backend.messages, kCannotWrite);
    EXPECT_FALSE(fs::exists(fs::symlink_status("full.bin")));
}

struct BaseNameCase {
    std::string path;
    std::string windows;
    std::string posix;
};

TEST(MakeBaseNameTest, StripsFoldersAndTheLastExtension) {
    const BaseNameCase cases[] = {
        {"D:\\ecu\\flash.vbf", "flash", "flash"},
        {"ecu.old.vbf", "ecu.old", "ecu.old"},
        {"C:\\my.data\\ecu", "ecu", "ecu"},
        {"ecu.vbf", "ecu", "ecu"},
        {"D:ecu.vbf", "ecu", "ecu"},
        {"ecu.", "ecu", "ecu"},
        {"C:\\folder\\", "", ""},
        {"C:", "", ""},
        {"C:\\folder\\.vbf", "", ""},
        {"", "", ""},
        // Forward slashes separate folders only where the host does.
        {"/data/ecu.vbf", "/data/ecu", "ecu"},
        {"C:\\a/b.c/ecu", "a/b", "ecu"},
        {"dir.v2/ecu", "dir", "ecu"},
        {"/data/", "/data/", ""},
    };
    for (const BaseNameCase& c : cases) {
        EXPECT_EQ(MakeBaseName(c.path.c_str(), PathRules::Windows).str(), c.windows) << c.path;
        EXPECT_EQ(MakeBaseName(c.path.c_str(), PathRules::Posix).str(), c.posix) << c.path;
    }
}

TEST(MakeBaseNameTest, FollowsTheHostsFoldersByDefault) {
    EXPECT_EQ(MakeBaseName("/data/ecu.vbf").str(), kWindowsHost ? "/data/ecu" : "ecu");
}

}  // namespace

// The convert command as the user meets it in the terminal: messages, exit status and the
// files it leaves behind.
#include <functional>
#include <sstream>

#include "ConsoleBackend.h"
#include "ConvertCommand.h"
#include "Dialogs.h"
#include "TestSupport.h"

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const std::string kVbfFile = kHeader + Block(0x00020000, "\x11\x22\x33") + Block(0x00020010, "\x44");
const std::string kImage = std::string(0x20000, '\0') + "\x11\x22\x33" + std::string(13, '\0') + "\x44";

class ConvertCommandTest : public ScratchTest {
protected:
    void SetUp() override {
        ScratchTest::SetUp();
        dialog.Filter = "vbf|*.vbf";
        WriteFile("ecu.vbf", kVbfFile);
    }
    // Runs the command on a terminal that answers with `input`; messages go to stderr so
    // that a death test can read them.
    void Run(const std::string& input) {
        std::istringstream in(input);
        ConsoleBackend console(in, std::cerr);
        SetBackend(&console);
        ConvertCommand(dialog);
        SetBackend(&backend);
    }
    static std::vector<std::string> ImagesHere() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(".")) {
            if (entry.is_regular_file() && entry.path().extension() == ".bin") {
                names.push_back(entry.path().filename().string());
            }
        }
        return names;
    }

    TOpenDialog dialog;
};

const char kPrompt[] = "\\[Message\\] Open file\n\\[Open\\] vbf\\|\\*\\.vbf\n";

TEST_F(ConvertCommandTest, ConvertsIntoTheCurrentDirectoryAndReturnsToTheWindow) {
    fs::create_directory("in");
    fs::rename("ecu.vbf", "in/flash.vbf");
    testing::internal::CaptureStderr();
    Run("\n" + fs::absolute("in/flash.vbf").string() + "\n\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[Message] Open file\n[Open] vbf|*.vbf\n[Сообщение] Converting vbf - ok\n");
    EXPECT_EQ(ReadFile("flash.bin"), kImage);

    // A cancelled dialog after a success converts the same file again.
    fs::remove("flash.bin");
    testing::internal::CaptureStderr();
    Run("\n\n\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[Message] Open file\n[Open] vbf|*.vbf\n[Сообщение] Converting vbf - ok\n");
    EXPECT_EQ(ReadFile("flash.bin"), kImage);
}

struct FailureCase {
    const char* name;
    std::function<void()> prepare;
    std::string answer;   // the path typed into the dialog; empty cancels
    std::string message;  // what the failing operation shows
};

class ConvertCommandFailures : public ConvertCommandTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(ConvertCommandFailures, ShowsTheMessageEndsWithStatusZeroAndWritesNothing) {
    const FailureCase& c = GetParam();
    if (c.prepare) c.prepare();
    if (IsSkipped()) return;
    EXPECT_EXIT(Run("\n" + c.answer + "\n\n"), testing::ExitedWithCode(0),
                std::string("^") + kPrompt + c.message + "\n$");
    EXPECT_EQ(ImagesHere(), std::vector<std::string>{});
}

const FailureCase kFailures[] = {
    {"CancelledFirstDialog", nullptr, "", "\\[Message\\] Error open file"},
    {"MissingFile", nullptr, "missing.vbf", "\\[Message\\] Error open file"},
    {"EmptyFile", [] { WriteFile("empty.vbf", ""); }, "empty.vbf", "\\[Message\\] Length file 0 byte"},
    {"UnreadableFile", [] { MakeUnreadableInput("folder.vbf"); }, "folder.vbf", "\\[Message\\] Error read file"},
    {"OneByteFile", [] { WriteFile("one.vbf", "v"); }, "one.vbf", "\\[Error\\] Header vbf is not found"},
    {"NotVbf", [] { WriteFile("other.vbf", "VBF\n}" + Block(0, "A")); }, "other.vbf", "\\[Error\\] Is not vbf"},
    {"NoBlocks", [] { WriteFile("none.vbf", kHeader + "xy"); }, "none.vbf", "\\[Ошибка\\] Нет блоков данных"},
    {"CutFile", [] { WriteFile("cut.vbf", kHeader + Block(0, "abcdef").substr(0, 12)); }, "cut.vbf",
     "\\[Error\\] Data block runs past end of file"},
    {"OutputNameTakenByFolder", [] { fs::create_directory("ecu.bin"); }, "ecu.vbf", "\\[Ошибка\\] Error write file"},
    {"OutputDiskFull", [] { MakeFullOutput("ecu.bin"); }, "ecu.vbf", "\\[Ошибка\\] Error write file"},
};

INSTANTIATE_TEST_SUITE_P(Table, ConvertCommandFailures, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

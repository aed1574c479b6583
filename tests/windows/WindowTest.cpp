// The Windows program as a person uses it: its window, a conversion through the open
// dialog, and a cancelled dialog, checked from the outside through the Win32 API.
//
// Arguments (as the build gives them, Unix paths): the program, and the folder that keeps
// the screenshots.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "WindowDriver.h"

namespace {

std::wstring programPath;
std::filesystem::path artefacts;

const std::wstring kTitle = L"Tessarin v-1.1";

std::string BE32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

// One data block: address, length, data and a two-byte trailer.
std::string Block(uint32_t address, const std::string& data) {
    return BE32(address) + BE32(static_cast<uint32_t>(data.size())) + data + std::string(2, '\0');
}

// Two blocks with a gap between them, which the image fills with zeros.
const std::string kInput = "vbf_version = 2.6;\nheader {\n  sw_part_type = EXE;\n}" + Block(6, "\xAA\xBB") +
                           Block(0, std::string("\x01\x02\x03\x04", 4));
const std::string kImage = std::string("\x01\x02\x03\x04\x00\x00\xAA\xBB", 8);

// The visible top-level windows of the program that shows `window`.
size_t VisibleWindowsOf(HWND window) {
    struct Count { DWORD process; size_t windows; } count{0, 0};
    GetWindowThreadProcessId(window, &count.process);
    EnumWindows(
        [](HWND each, LPARAM param) -> BOOL {
            auto& count = *reinterpret_cast<Count*>(param);
            DWORD process = 0;
            GetWindowThreadProcessId(each, &process);
            if (process == count.process && IsWindowVisible(each)) ++count.windows;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

// The program in a scratch folder of its own, which is its current directory.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("tessarin-window-" + std::to_string(GetCurrentProcessId()) + "-" + test->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        program_.reset();  // ends a program that a failed test left running
        std::filesystem::remove_all(folder_);
    }

    HWND Start() {
        program_ = std::make_unique<DrivenProcess>(L"\"" + programPath + L"\"", folder_.wstring());
        return program_->WaitForWindow(kTitle);
    }

    // Clicks Button1 and answers its prompt; gives the open dialog.
    HWND OpenDialogFromButton(HWND window) {
        Click(Control(window, L"Button"));
        const HWND prompt = program_->WaitForDialog(L"Message");
        EXPECT_EQ(MessageBoxText(prompt), L"Open file");
        Shot(L"open-file");
        PressButton(prompt, IDOK);
        return program_->WaitForDialog(L"Open");
    }

    // The one control of `className` on the window.
    HWND Control(HWND window, const std::wstring& className) {
        for (HWND child : Children(window)) {
            if (ClassName(child) == className) return child;
        }
        throw DriverError("the window has no " + Utf8(className));
    }

    void Shot(const std::wstring& name) {
        std::filesystem::create_directories(artefacts);
        SaveScreenshot((artefacts / (name + L".bmp")).wstring());
    }

    std::vector<std::wstring> FilesWritten() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().wstring());
        }
        return names;
    }

    std::filesystem::path folder_;
    std::unique_ptr<DrivenProcess> program_;
};

TEST_F(WindowTest, ShowsTheLayoutAndEndsWithStatusZeroWhenClosed) {
    const HWND window = Start();
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_TRUE(SameRect(outer, {431, 142, 431 + 251, 142 + 237})) << Describe(outer);

    const HWND button = Control(window, L"Button");
    EXPECT_EQ(WindowText(button), L"Convert VBF to BIN");
    EXPECT_TRUE(SameRect(PlaceInParent(button), {64, 56, 64 + 113, 56 + 33})) << Describe(PlaceInParent(button));
    EXPECT_TRUE(GetWindowLongW(button, GWL_STYLE) & WS_TABSTOP);

    const HWND label = Control(window, L"Static");
    EXPECT_EQ(WindowText(label), L"www.example.com");
    EXPECT_TRUE(SameRect(PlaceInParent(label), {40, 144, 40 + 148, 144 + 24})) << Describe(PlaceInParent(label));
    EXPECT_TRUE(GetWindowLongW(label, GWL_STYLE) & SS_NOTIFY) << "the label does not report clicks";

    // The label in navy, on the button-face colour of the form.
    Sleep(300);  // time to paint
    RECT labelOnScreen;
    GetWindowRect(label, &labelOnScreen);
    EXPECT_TRUE(ScreenShows(labelOnScreen, RGB(0, 0, 128))) << "no navy text in the label";
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(ScreenShows({client.left, client.top, client.left + 4, client.top + 4}, GetSysColor(COLOR_BTNFACE)))
        << "the form is not in the button-face colour";

    Shot(L"main-window");
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program_->WaitForExit(), 0u);
    EXPECT_TRUE(FilesWritten().empty());
}

TEST_F(WindowTest, ConvertsTheFileTypedIntoTheOpenDialog) {
    // The input in a folder of its own: the image goes to the program's current directory,
    // not beside the input.
    const auto input = folder_ / "input" / "flash.vbf";
    std::filesystem::create_directory(input.parent_path());
    std::ofstream(input, std::ios::binary) << kInput;
    const HWND window = Start();

    const HWND dialog = OpenDialogFromButton(window);
    SetWindowTextOf(FileNameEdit(dialog), input.wstring());
    Shot(L"open-dialog");
    PressButton(dialog, IDOK);

    // The caption's Windows-1251 bytes read as Cyrillic whatever the ANSI code page is
    // (Wine takes it from the locale: 1252 under C.UTF-8).
    const HWND report = program_->WaitForDialog(L"\u0421\u043e\u043e\u0431\u0449\u0435\u043d\u0438\u0435");  // Сообщение
    EXPECT_EQ(MessageBoxText(report), L"Converting vbf - ok");
    Shot(L"converted");
    std::ifstream image(folder_ / "flash.bin", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(image), {}), kImage);
    EXPECT_FALSE(std::filesystem::exists(input.parent_path() / "flash.bin"));
    PressButton(report, IDOK);

    // Back to the window, which stays until it is closed.
    EXPECT_EQ(program_->WaitForWindow(kTitle), window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program_->WaitForExit(), 0u);
}

TEST_F(WindowTest, LabelClickShowsNothingOfItsOwnWhenNoBrowserOpensTheAddress) {
    const HWND window = Start();

    Click(Control(window, L"Static"));

    // Nothing to wait for: whatever the shell does, the program shows nothing.
    Sleep(1500);
    EXPECT_EQ(VisibleWindowsOf(window), 1u);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program_->WaitForExit(), 0u);
}

TEST_F(WindowTest, CancelledDialogEndsTheProgramAfterItsMessage) {
    const HWND window = Start();

    PressButton(OpenDialogFromButton(window), IDCANCEL);

    const HWND error = program_->WaitForDialog(L"Message");
    EXPECT_EQ(MessageBoxText(error), L"Error open file");
    PressButton(error, IDOK);
    EXPECT_EQ(program_->WaitForExit(), 0u);
    EXPECT_TRUE(FilesWritten().empty());
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_tests <tessarin.exe> <screenshot folder>\n");
        return 2;
    }
    programPath = HostPath(argv[1]);
    artefacts = std::filesystem::path(HostPath(argv[2]));
    return RUN_ALL_TESTS();
}

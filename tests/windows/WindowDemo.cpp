// Shows a conversion in the Windows program as a person makes it, and pictures each step:
// the window, the "Open file" prompt, the open dialog with the path typed in, the report.
// Then closes the window and prints the program's exit status.
//
// Usage (Unix paths, as a script on the build machine has them):
//   window_demo <tessarin.exe> <file.vbf> <folder to convert in> <folder for the pictures>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "WindowDriver.h"

namespace {

class Demo {
public:
    Demo(const std::wstring& program, const std::wstring& folder, std::filesystem::path pictures)
        : process_(L"\"" + program + L"\"", folder), pictures_(std::move(pictures)) {}

    void Run(const std::wstring& input) {
        window_ = process_.WaitForWindow(L"Tessarin v-1.1");
        Say("the window \"Tessarin v-1.1\" is shown");
        Picture(L"1-window", window_);

        Say("click \"" + Utf8(WindowText(Button())) + "\"");
        Click(Button());
        Answer(Message(L"Message", L"2-open-file"), IDOK);

        const HWND dialog = process_.WaitForDialog(L"Open");
        SetWindowTextOf(FileNameEdit(dialog), input);
        Say("the open dialog: type " + Utf8(input));
        Picture(L"3-open-dialog", dialog);
        Answer(dialog, IDOK);

        Answer(Message(L"\u0421\u043e\u043e\u0431\u0449\u0435\u043d\u0438\u0435", L"4-converted"), IDOK);  // Сообщение

        Say("close the window");
        PostMessageW(window_, WM_CLOSE, 0, 0);
        Say("exit status " + std::to_string(process_.WaitForExit()));
    }

private:
    HWND Button() const { return FindWindowExW(window_, nullptr, L"Button", nullptr); }

    // Waits for the message box with `caption`, reports and pictures it.
    HWND Message(const std::wstring& caption, const wchar_t* picture) {
        const HWND box = process_.WaitForDialog(caption);
        Say("message [" + Utf8(caption) + "] " + Utf8(MessageBoxText(box)));
        Picture(picture, box);
        return box;
    }

    void Answer(HWND dialog, int button) {
        std::wstring label = WindowText(GetDlgItem(dialog, button));
        label.erase(std::remove(label.begin(), label.end(), L'&'), label.end());  // the access key's mark
        Say("press \"" + Utf8(label) + "\"");
        PressButton(dialog, button);
    }

    // The window with `dialog` over it, and a margin around them.
    void Picture(const wchar_t* name, HWND dialog) {
        RECT window, over, both;
        GetWindowRect(window_, &window);
        GetWindowRect(dialog, &over);
        UnionRect(&both, &window, &over);
        InflateRect(&both, 16, 16);
        RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        IntersectRect(&both, &both, &screen);
        const auto path = pictures_ / (std::wstring(name) + L".bmp");
        SaveScreenshot(path.wstring(), both);
    }

    static void Say(const std::string& line) {
        std::printf("   %s\n", line.c_str());
        std::fflush(stdout);
    }

    DrivenProcess process_;
    std::filesystem::path pictures_;
    HWND window_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: window_demo <tessarin.exe> <file.vbf> <work folder> <picture folder>\n");
        return 2;
    }
    try {
        const std::filesystem::path pictures(HostPath(argv[4]));
        std::filesystem::create_directories(pictures);
        Demo(HostPath(argv[1]), HostPath(argv[3]), pictures).Run(HostPath(argv[2]));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "window_demo: %s\n", error.what());
        return 1;
    }
}

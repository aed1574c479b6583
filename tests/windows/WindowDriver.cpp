#include "WindowDriver.h"

#include <vector>

namespace {

// Message boxes show their text in a static control with this id, on Windows and in Wine.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr DWORD kPollMs = 50;

std::string LastErrorText(const std::string& what) {
    return what + " failed with error " + std::to_string(GetLastError());
}

struct Search {
    DWORD processId;
    const std::wstring* title;
    const wchar_t* className;  // nullptr: any class
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window) && WindowText(window) == *search.title &&
        (!search.className || ClassName(window) == search.className)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForTopLevel(DWORD processId, const std::wstring& title, const wchar_t* className,
                     DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        Search search{processId, &title, className, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            return search.found;
        }
        if (GetTickCount64() >= deadline) {
            throw DriverError("no window \"" + Utf8(title) + "\" appeared within " +
                              std::to_string(timeoutMs) + " ms");
        }
        Sleep(kPollMs);
    }
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}

std::string Utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::wstring WindowText(HWND window) {
    // WM_GETTEXT rather than GetWindowText, which does not read controls of other processes.
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buffer(length + 1);
    SendMessageW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

DrivenProcess::DrivenProcess(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = commandLine;  // CreateProcessW may write into it
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_)) {
        throw DriverError(LastErrorText("starting " + Utf8(commandLine)));
    }
}

DrivenProcess::~DrivenProcess() {
    if (!ended_) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND DrivenProcess::WaitForWindow(const std::wstring& title, DWORD timeoutMs) const {
    return WaitForTopLevel(info_.dwProcessId, title, nullptr, timeoutMs);
}

HWND DrivenProcess::WaitForDialog(const std::wstring& caption, DWORD timeoutMs) const {
    return WaitForTopLevel(info_.dwProcessId, caption, L"#32770", timeoutMs);
}

DWORD DrivenProcess::WaitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        throw DriverError("the program did not end within " + std::to_string(timeoutMs) + " ms");
    }
    ended_ = true;
    DWORD status = 0;
    GetExitCodeProcess(info_.hProcess, &status);
    return status;
}

std::wstring MessageBoxText(HWND box) {
    const HWND text = GetDlgItem(box, kMessageBoxTextId);
    if (!text) {
        throw DriverError("the dialog \"" + Utf8(WindowText(box)) + "\" is not a message box");
    }
    return WindowText(text);
}

void PressButton(HWND dialog, int id) {
    const HWND button = GetDlgItem(dialog, id);
    if (!button) {
        throw DriverError("the dialog \"" + Utf8(WindowText(dialog)) + "\" has no button " + std::to_string(id));
    }
    // Posted: a button that opens a modal dialog would not return until it is closed.
    PostMessageW(button, BM_CLICK, 0, 0);
}

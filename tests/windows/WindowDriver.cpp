#include "WindowDriver.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
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

// The first window of `className` below `parent`, depth first.
HWND FindDescendant(HWND parent, const wchar_t* className) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == className) return child;
        if (const HWND found = FindDescendant(child, className)) return found;
    }
    return nullptr;
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

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

RECT PlaceInParent(HWND control) {
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

void SetWindowTextOf(HWND window, const std::wstring& text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring HostPath(const std::string& unixPath) {
    std::wstring path = L"Z:" + Wide(unixPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

DrivenProcess::DrivenProcess(const std::wstring& commandLine, const std::wstring& directory) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = commandLine;  // CreateProcessW may write into it
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info_)) {
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

void Click(HWND control) {
    // Posted, for the same reason as in PressButton.
    PostMessageW(control, BM_CLICK, 0, 0);
}

HWND FileNameEdit(HWND openDialog) {
    // The explorer-style dialog has the file name in a combo box (cmb13; Wine's is an
    // extended one, with the edit box two levels down) or, in older templates, an edit box
    // (edt1).
    constexpr int kFileNameCombo = 0x47C;
    constexpr int kFileNameEdit = 0x480;
    if (const HWND combo = GetDlgItem(openDialog, kFileNameCombo)) {
        if (const HWND edit = FindDescendant(combo, L"Edit")) return edit;
    }
    if (const HWND edit = GetDlgItem(openDialog, kFileNameEdit)) return edit;
    std::string controls;
    for (HWND child : Children(openDialog)) {
        controls += " " + Utf8(ClassName(child)) + "#" + std::to_string(GetDlgCtrlID(child));
    }
    throw DriverError("the dialog \"" + Utf8(WindowText(openDialog)) + "\" has no file name box among its controls:" +
                      controls);
}

bool ScreenShows(const RECT& area, COLORREF color) {
    const HDC screen = GetDC(nullptr);
    bool found = false;
    for (LONG y = area.top; y < area.bottom && !found; ++y) {
        for (LONG x = area.left; x < area.right && !found; ++x) {
            found = GetPixel(screen, x, y) == color;
        }
    }
    ReleaseDC(nullptr, screen);
    return found;
}

void SaveScreenshot(const std::wstring& path, RECT area) {
    // A window that was just changed paints when its program next runs its loop; there is
    // no message that tells when it has.
    Sleep(300);
    if (IsRectEmpty(&area)) {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up rows, as BMP files store them
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD rowBytes = (width * 3 + 3) & ~3u;
    std::vector<char> pixels(size_t{rowBytes} * height);

    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    if (!out) {
        throw DriverError("cannot write the screenshot " + Utf8(path));
    }
}

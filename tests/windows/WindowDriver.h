#pragma once
// Drives a windowed program of ours from the outside, through the Win32 API, the way a
// person would: start it, find its windows, read their texts, press their buttons, and
// collect its exit status. Every wait has a time limit and throws DriverError when it runs
// out, so a program that hangs fails its test instead of stalling the run.
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

class DriverError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& text);

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// The child windows (controls) of `parent`, in z-order.
std::vector<HWND> Children(HWND parent);
// Where a control sits in its parent's client area, and its size.
RECT PlaceInParent(HWND control);
// Sets the text of a window or control of another process.
void SetWindowTextOf(HWND window, const std::wstring& text);

// The Windows path of a path that the build gives as a Unix one: Wine shows the Unix root
// as drive Z.
std::wstring HostPath(const std::string& unixPath);

// A program started by the driver; ended when the object goes if it has not ended by then.
class DrivenProcess {
public:
    // Starts `commandLine` in the folder `directory` (empty: the driver's own).
    explicit DrivenProcess(const std::wstring& commandLine, const std::wstring& directory = L"");
    ~DrivenProcess();
    DrivenProcess(const DrivenProcess&) = delete;
    DrivenProcess& operator=(const DrivenProcess&) = delete;

    // A visible top-level window of the process whose title is `title`.
    HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs = 10000) const;
    // A visible dialog (message box, file dialog) of the process with the caption `caption`.
    HWND WaitForDialog(const std::wstring& caption, DWORD timeoutMs = 10000) const;
    // Waits for the process to end and gives its exit status.
    DWORD WaitForExit(DWORD timeoutMs = 10000);

private:
    PROCESS_INFORMATION info_{};
    bool ended_ = false;
};

// The text of a message box.
std::wstring MessageBoxText(HWND box);

// Presses the button with the control id `id` (IDOK, IDCANCEL, ...) of a dialog.
void PressButton(HWND dialog, int id);
// Clicks a button or a control that takes clicks.
void Click(HWND control);
// The edit box of the file name in the open dialog.
HWND FileNameEdit(HWND openDialog);

// Whether any pixel on the screen within `area` (screen coordinates) has the colour `color`.
bool ScreenShows(const RECT& area, COLORREF color);
// Saves a picture of `area` of the screen (all of it when empty) as a 24-bit BMP file, once
// the windows on it have had a moment to paint.
void SaveScreenshot(const std::wstring& path, RECT area = {});

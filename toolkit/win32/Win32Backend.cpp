#include "Win32Backend.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../Exception.h"
#include "../Forms.h"

namespace {

const wchar_t kFormClass[] = L"TessarinForm";
constexpr UINT kFirstControlId = 100;

// The program's texts are Windows-1251 bytes, whatever code page the system uses.
constexpr UINT kTextCodePage = 1251;

std::wstring ToWide(const std::string& text, UINT codePage) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string FromWide(const std::wstring& text, UINT codePage) {
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(length, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::wstring Text(const AnsiString& text) { return ToWide(text.str(), kTextCodePage); }

// Null for an empty text, as the shell wants for "none".
const wchar_t* TextOrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

[[noreturn]] void Fail(const std::string& what) {
    throw Exception(what + " failed (Windows error " + std::to_string(GetLastError()) + ")");
}

COLORREF ColorOf(TColor color) {
    return (color & clSystemColor) ? GetSysColor(static_cast<int>(color & ~clSystemColor)) : color;
}

HFONT MakeFont(const TFont& font) {
    return CreateFontW(font.Height, 0, 0, 0, (font.Style & fsBold) ? FW_BOLD : FW_NORMAL,
                       (font.Style & fsItalic) != 0, (font.Style & fsUnderline) != 0,
                       (font.Style & fsStrikeOut) != 0, font.Charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Text(font.Name).c_str());
}

// What the window procedure needs of a form's window; freed with the window.
struct FormWindow {
    TForm* form;
    HBRUSH background = nullptr;
    std::map<HWND, TControl*> controls;
    std::vector<HFONT> fonts;
    bool endsEventLoop = false;

    ~FormWindow() {
        for (HFONT font : fonts) DeleteObject(font);
        if (background) DeleteObject(background);
    }

    TControl* ControlOf(HWND child) const {
        const auto found = controls.find(child);
        return found == controls.end() ? nullptr : found->second;
    }
    HWND WindowOf(const TControl& control) const {
        for (const auto& [window, shown] : controls) {
            if (shown == &control) return window;
        }
        return nullptr;
    }
};

FormWindow* StateOf(HWND window) { return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    FormWindow* state = StateOf(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);

    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, state->background);
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        // A label shows its font's colour on the form's background.
        if (TControl* control = state->ControlOf(reinterpret_cast<HWND>(lParam))) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, ColorOf(control->Font.Color));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(state->background);
        }
        break;
    case WM_COMMAND:
        // BN_CLICKED from a button, STN_CLICKED from a label: the same code.
        if (HIWORD(wParam) == BN_CLICKED) {
            if (TControl* control = state->ControlOf(reinterpret_cast<HWND>(lParam))) {
                control->Click();
                return 0;
            }
        }
        break;
    case WM_DESTROY:
        if (state->endsEventLoop) PostQuitMessage(0);
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete state;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterFormClass(HINSTANCE instance) {
    static const bool registered = [instance] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = FormProc;
        windowClass.hInstance = instance;
        // The program's icon, when it carries one.
        windowClass.hIcon = LoadIconW(instance, L"MAINICON");
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kFormClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered) Fail("Registering the form's window class");
}

// Buttons are made with WS_TABSTOP; the keyboard visits them in their z-order, which is set
// here from their TabOrder.
void ApplyTabOrder(const FormWindow& state, std::vector<TButton*> buttons) {
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const TButton* a, const TButton* b) { return a->TabOrder < b->TabOrder; });
    HWND previous = HWND_TOP;
    for (TButton* button : buttons) {
        const HWND window = state.WindowOf(*button);
        SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = window;
    }
}

struct ControlWindow {
    const wchar_t* className;
    DWORD style;
};

// The window class and style that show `control`: a push button, or a text that reports
// clicks (SS_NOTIFY) and takes the system's arrow cursor. Null class: no way to show it.
ControlWindow WindowFor(TControl& control) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    if (dynamic_cast<TButton*>(&control)) return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON};
    if (dynamic_cast<TLabel*>(&control)) return {L"STATIC", kChild | SS_LEFT | SS_NOTIFY};
    return {nullptr, 0};
}

void MakeControls(HWND window, FormWindow& state, HINSTANCE instance) {
    std::vector<TButton*> buttons;
    UINT id = kFirstControlId;
    for (TControl* control : state.form->Controls()) {
        const ControlWindow kind = WindowFor(*control);
        if (!kind.className) {
            throw Exception("The Windows form cannot show the control " + control->Name.str());
        }
        const HWND child = CreateWindowExW(0, kind.className, Text(control->Caption).c_str(), kind.style, control->Left,
                                           control->Top, control->Width, control->Height, window,
                                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id++)), instance, nullptr);
        if (!child) Fail("Making the control " + control->Name.str());
        state.controls[child] = control;
        const HFONT font = MakeFont(control->Font);
        state.fonts.push_back(font);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (auto* button = dynamic_cast<TButton*>(control)) buttons.push_back(button);
    }
    ApplyTabOrder(state, buttons);
}

// "vbf|*.vbf" -> "vbf\0*.vbf\0\0": descriptions and patterns as the dialog wants them.
std::wstring DialogFilter(const AnsiString& filter) {
    std::wstring pairs = Text(filter);
    std::replace(pairs.begin(), pairs.end(), L'|', L'\0');
    return pairs + L'\0' + L'\0';
}

}  // namespace

WindowHandle Win32Backend::OwnerWindow() const {
    return running_ && IsWindow(static_cast<HWND>(running_)) ? running_ : nullptr;
}

void Win32Backend::ShowMessage(const AnsiString& text, const AnsiString& caption) {
    MessageBoxW(static_cast<HWND>(OwnerWindow()), Text(text).c_str(), Text(caption).c_str(), MB_OK);
}

bool Win32Backend::ExecuteOpenDialog(const AnsiString& filter, AnsiString& fileName) {
    const std::wstring filters = DialogFilter(filter);
    // The dialog opens on the path last confirmed, as it came back from the dialog.
    std::wstring path = ToWide(fileName.str(), CP_ACP);
    path.resize(std::max<size_t>(path.size(), 32768), L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(OwnerWindow());
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    // The dialog would otherwise make the chosen file's folder the current directory, and
    // the image would land beside the input instead of where the program was started.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) {
        return false;
    }
    // The conversion opens the file with fopen, which takes ANSI paths.
    fileName = FromWide(path.c_str(), CP_ACP);
    return true;
}

std::string Win32Backend::ReadResource(const AnsiString& name) {
    const HRSRC found = FindResourceW(nullptr, Text(name).c_str(), reinterpret_cast<LPCWSTR>(RT_RCDATA));
    const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        throw Exception("The program carries no resource " + name.str());
    }
    return std::string(static_cast<const char*>(data), SizeofResource(nullptr, found));
}

WindowHandle Win32Backend::MakeWindow(TForm& form) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterFormClass(instance);

    auto state = std::make_unique<FormWindow>();
    state->form = &form;
    state->background = CreateSolidBrush(ColorOf(form.Color));
    // Left, Top, Width and Height are the outer rectangle, frame included, as the
    // window is created.
    const HWND window = CreateWindowExW(0, kFormClass, Text(form.Caption).c_str(), WS_OVERLAPPEDWINDOW, form.Left,
                                        form.Top, form.Width, form.Height, nullptr, nullptr, instance, state.get());
    if (!window) Fail("Making the window " + form.Name.str());
    FormWindow& made = *state.release();  // the window owns it now, and frees it with itself
    try {
        MakeControls(window, made, instance);
    } catch (...) {
        DestroyWindow(window);
        throw;
    }
    return window;
}

void Win32Backend::FreeWindow(WindowHandle window) {
    if (IsWindow(static_cast<HWND>(window))) DestroyWindow(static_cast<HWND>(window));
}

void Win32Backend::SetCaption(WindowHandle window, TControl& control, const AnsiString& caption) {
    const auto form = static_cast<HWND>(window);
    const FormWindow* state = StateOf(form);
    const HWND shown = (state && &control != state->form) ? state->WindowOf(control) : form;
    if (shown) SetWindowTextW(shown, Text(caption).c_str());
}

void Win32Backend::RunEventLoop(TForm& form) {
    const auto window = static_cast<HWND>(form.Handle());
    StateOf(window)->endsEventLoop = true;
    running_ = window;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab and the Enter key move between and press the controls, as in a dialog.
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    running_ = nullptr;
}

void Win32Backend::ShowException(const AnsiString& message) {
    MessageBoxW(static_cast<HWND>(OwnerWindow()), Text(message).c_str(), L"Exception", MB_OK | MB_ICONSTOP);
}

void Win32Backend::ExecuteShell(WindowHandle owner, const AnsiString& operation, const AnsiString& file,
                                const AnsiString& parameters, const AnsiString& directory, int showCommand) {
    const std::wstring parametersText = Text(parameters);
    const std::wstring directoryText = Text(directory);
    // The result is not looked at: a shell that cannot open the file reports nothing.
    ShellExecuteW(static_cast<HWND>(owner), Text(operation).c_str(), Text(file).c_str(), TextOrNull(parametersText),
                  TextOrNull(directoryText), showCommand);
}

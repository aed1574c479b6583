#pragma once
// What the toolkit asks of the platform. One implementation per platform (the terminal and
// Win32); the core reaches the one in use through CurrentBackend().
//
// The names here stay clear of the Windows headers' macros (CreateWindow, SetWindowText,
// ShellExecute, LoadResource...), so that the Win32 backend can include both.
#include <string>

#include "AnsiString.h"

class TControl;
class TForm;

// A window made by the backend (an HWND on Windows); null for none.
using WindowHandle = void*;

class Backend {
public:
    virtual ~Backend() = default;

    // A modal box with the text, the caption and one OK button; returns once dismissed.
    virtual void ShowMessage(const AnsiString& text, const AnsiString& caption) = 0;
    // The modal file-open dialog. Returns true and sets `fileName` when a path is
    // confirmed; a cancelled dialog returns false and leaves `fileName` as it was.
    virtual bool ExecuteOpenDialog(const AnsiString& filter, AnsiString& fileName) = 0;

    // The window operations. A backend without windows (a command line, a fuzzer) need not
    // give them: each of these throws Exception unless the backend overrides it.

    // The data of the program's resource `name` (a form layout): an RCDATA resource on
    // Windows, compiled into the program elsewhere. Throws Exception when there is none.
    virtual std::string ReadResource(const AnsiString& name);
    // Makes the window of `form`, not yet shown: a top-level window from the form's
    // properties (Left, Top, Width, Height, Caption, Color, Font), and in it one control
    // for each of form.Controls(), in that order, from the control's own properties
    // (a TButton is a push button with its TabOrder, a TLabel a text that takes clicks).
    // Clicks on a control go to its Click(). Returns the window's handle.
    virtual WindowHandle MakeWindow(TForm& form);
    // Destroys a window made by MakeWindow, with its controls.
    virtual void FreeWindow(WindowHandle window);
    // Shows `caption` on `control` of `window`: in the title bar when `control` is the
    // form itself, as its text otherwise.
    virtual void SetCaption(WindowHandle window, TControl& control, const AnsiString& caption);
    // Shows the window of `form` (made already) and dispatches the user's clicks until the
    // user closes it; then returns.
    virtual void RunEventLoop(TForm& form);
    // Shows the message of an exception, modally; returns once dismissed.
    virtual void ShowException(const AnsiString& message);
    // Hands `file` (a document or a web address) to the program the system has registered
    // for it, for `operation` ("open"), as ShellExecute does. `owner` is the window asking;
    // `showCommand` tells how the program's window appears (1: normal). Empty `parameters`
    // and `directory` mean none. Failures are silent: nothing is reported.
    virtual void ExecuteShell(WindowHandle owner, const AnsiString& operation, const AnsiString& file,
                              const AnsiString& parameters, const AnsiString& directory,
                              int showCommand);
};

// The backend in use; throws Exception when none has been installed.
Backend& CurrentBackend();
// Installs `backend` (not owned) for the rest of the process, or removes it with nullptr.
void SetBackend(Backend* backend);

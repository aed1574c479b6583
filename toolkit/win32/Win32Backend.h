#pragma once
// The Windows form of the toolkit: real windows, message boxes and the common open dialog,
// through the wide-character Win32 API. The program's texts are Windows-1251 bytes and are
// converted from that code page, so Cyrillic reads correctly whatever the system's ANSI code
// page is.
#include "../Backend.h"

class Win32Backend : public Backend {
public:
    void ShowMessage(const AnsiString& text, const AnsiString& caption) override;
    bool ExecuteOpenDialog(const AnsiString& filter, AnsiString& fileName) override;

    std::string ReadResource(const AnsiString& name) override;
    WindowHandle MakeWindow(TForm& form) override;
    void FreeWindow(WindowHandle window) override;
    void SetCaption(WindowHandle window, TControl& control, const AnsiString& caption) override;
    void RunEventLoop(TForm& form) override;
    void ShowException(const AnsiString& message) override;
    void ExecuteShell(WindowHandle owner, const AnsiString& operation, const AnsiString& file,
                      const AnsiString& parameters, const AnsiString& directory, int showCommand) override;

private:
    // The window whose event loop runs: it owns the modal boxes and dialogs. Null before
    // the loop starts and once the window is gone.
    WindowHandle OwnerWindow() const;

    WindowHandle running_ = nullptr;
};

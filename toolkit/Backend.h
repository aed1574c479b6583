#pragma once
// What the toolkit asks of the platform. One implementation per platform (the terminal and
// Win32); the core reaches the one in use through CurrentBackend().
#include "AnsiString.h"

class Backend {
public:
    virtual ~Backend() = default;

    // A modal box with the text, the caption and one OK button; returns once dismissed.
    virtual void ShowMessage(const AnsiString& text, const AnsiString& caption) = 0;
    // The modal file-open dialog. Returns true and sets `fileName` when a path is
    // confirmed; a cancelled dialog returns false and leaves `fileName` as it was.
    virtual bool ExecuteOpenDialog(const AnsiString& filter, AnsiString& fileName) = 0;
};

// The backend in use; throws Exception when none has been installed.
Backend& CurrentBackend();
// Installs `backend` (not owned) for the rest of the process, or removes it with nullptr.
void SetBackend(Backend* backend);

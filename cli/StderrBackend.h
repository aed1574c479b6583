#pragma once
// vbf2bin has no window: the conversion's messages become lines on stderr, in UTF-8, each
// naming the file it is about. The caption adds nothing on a command line and is dropped.
#include <iostream>
#include <string>
#include <utility>

#include "Backend.h"
#include "Encoding.h"

class StderrBackend : public Backend {
public:
    // The file that the next messages are about.
    void SetFile(std::string file) { file_ = std::move(file); }

    void ShowMessage(const AnsiString& text, const AnsiString& /*caption*/) override {
        std::cerr << "vbf2bin: " << file_ << ": " << Cp1251ToUtf8(text.str()) << '\n';
    }
    // The files come from the command line; nothing ever asks for a dialog.
    bool ExecuteOpenDialog(const AnsiString& /*filter*/, AnsiString& /*fileName*/) override {
        return false;
    }

private:
    std::string file_;
};

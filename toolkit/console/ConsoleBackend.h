#pragma once
// The terminal form of the toolkit: message boxes and dialogs as lines of text on `out`,
// answers read as lines from `in`. Scripts and tests drive the program through it.
#include <iosfwd>

#include "../Backend.h"

class ConsoleBackend : public Backend {
public:
    ConsoleBackend(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

    void ShowMessage(const AnsiString& text, const AnsiString& caption) override;
    bool ExecuteOpenDialog(const AnsiString& filter, AnsiString& fileName) override;

private:
    // One line of input; false at end of input.
    bool ReadLine(std::string& line);

    std::istream& in_;
    std::ostream& out_;
};

#pragma once
// The terminal form of the toolkit: windows, message boxes and dialogs as lines of text on
// `out`, answers read as lines from `in`. Scripts and tests drive the program through it;
// README.md ("Terminal form") lists every line it prints.
#include <iosfwd>
#include <map>
#include <string>
#include <utility>

#include "../Backend.h"

class ConsoleBackend : public Backend {
public:
    // `resources`: the program's resources by name (a terminal program has no resource
    // section; the build compiles them in).
    ConsoleBackend(std::istream& in, std::ostream& out, std::map<std::string, std::string> resources = {})
        : in_(in), out_(out), resources_(std::move(resources)) {}

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
    // One line of input; false at end of input.
    bool ReadLine(std::string& line);
    // Prints `[caption] text` and waits for a line.
    void ShowModal(const AnsiString& caption, const AnsiString& text);

    std::istream& in_;
    std::ostream& out_;
    std::map<std::string, std::string> resources_;
};

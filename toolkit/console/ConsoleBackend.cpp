#include "ConsoleBackend.h"

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "../Encoding.h"
#include "../Exception.h"
#include "../Forms.h"

namespace {

std::string Utf8(const AnsiString& text) { return Cp1251ToUtf8(text.str()); }

// The control that a line of input names: its number from 1 in `controls`, or its name.
TControl* Choice(const std::vector<TControl*>& controls, const std::string& line) {
    for (size_t i = 0; i < controls.size(); ++i) {
        if (line == std::to_string(i + 1) || line == controls[i]->Name.str()) {
            return controls[i];
        }
    }
    return nullptr;
}

}  // namespace

bool ConsoleBackend::ReadLine(std::string& line) {
    if (!std::getline(in_, line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

void ConsoleBackend::ShowModal(const AnsiString& caption, const AnsiString& text) {
    out_ << '[' << Utf8(caption) << "] " << Utf8(text) << std::endl;
    std::string ignored;
    ReadLine(ignored);
}

void ConsoleBackend::ShowMessage(const AnsiString& text, const AnsiString& caption) {
    ShowModal(caption, text);
}

bool ConsoleBackend::ExecuteOpenDialog(const AnsiString& filter, AnsiString& fileName) {
    out_ << "[Open] " << Utf8(filter) << std::endl;
    std::string line;
    if (!ReadLine(line) || line.empty()) {
        return false;
    }
    fileName = line;
    return true;
}

std::string ConsoleBackend::ReadResource(const AnsiString& name) {
    const auto found = resources_.find(name.str());
    if (found == resources_.end()) {
        throw Exception("The program carries no resource " + name.str());
    }
    return found->second;
}

// The terminal has nothing to make: the form is printed afresh each time it is shown.
WindowHandle ConsoleBackend::MakeWindow(TForm& form) { return &form; }
void ConsoleBackend::FreeWindow(WindowHandle) {}
void ConsoleBackend::SetCaption(WindowHandle, TControl&, const AnsiString&) {}

void ConsoleBackend::RunEventLoop(TForm& form) {
    for (;;) {
        const std::vector<TControl*> controls = form.Controls();
        out_ << Utf8(form.Caption) << '\n';
        for (size_t i = 0; i < controls.size(); ++i) {
            out_ << i + 1 << ") " << controls[i]->Name.str() << ": " << Utf8(controls[i]->Caption) << '\n';
        }
        out_ << "q) close" << std::endl;

        std::string line;
        if (!ReadLine(line) || line == "q" || line == "close") {
            return;
        }
        if (TControl* control = Choice(controls, line)) {
            control->Click();
        } else if (!line.empty()) {
            out_ << "No such choice: " << line << std::endl;
        }
    }
}

void ConsoleBackend::ShowException(const AnsiString& message) { ShowModal("Exception", message); }

void ConsoleBackend::ExecuteShell(WindowHandle, const AnsiString& operation, const AnsiString& file,
                                  const AnsiString&, const AnsiString&, int) {
    // Tests run this; no browser is started.
    out_ << "[Shell] " << Utf8(operation) << ' ' << Utf8(file) << std::endl;
}

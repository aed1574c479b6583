#include "ConsoleBackend.h"

#include <istream>
#include <ostream>
#include <string>

#include "../Encoding.h"

bool ConsoleBackend::ReadLine(std::string& line) {
    if (!std::getline(in_, line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

void ConsoleBackend::ShowMessage(const AnsiString& text, const AnsiString& caption) {
    out_ << '[' << Cp1251ToUtf8(caption.str()) << "] " << Cp1251ToUtf8(text.str()) << std::endl;
    std::string ignored;
    ReadLine(ignored);
}

bool ConsoleBackend::ExecuteOpenDialog(const AnsiString& filter, AnsiString& fileName) {
    out_ << "[Open] " << Cp1251ToUtf8(filter.str()) << std::endl;
    std::string line;
    if (!ReadLine(line) || line.empty()) {
        return false;
    }
    fileName = line;
    return true;
}

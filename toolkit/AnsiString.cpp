#include "AnsiString.h"

int AnsiString::Pos(const AnsiString& sub) const {
    const auto found = text_.find(sub.text_);
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

int AnsiString::LastDelimiter(const AnsiString& delimiters) const {
    const auto found = text_.find_last_of(delimiters.text_);
    return found == std::string::npos ? 0 : static_cast<int>(found) + 1;
}

AnsiString& AnsiString::Delete(int index, int count) {
    if (index >= 1 && index <= Length() && count > 0) {
        text_.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
    }
    return *this;
}

AnsiString AnsiString::SubString(int index, int count) const {
    if (index < 1 || index > Length() || count <= 0) {
        return AnsiString();
    }
    return AnsiString(text_.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count)));
}

#pragma once
// 8-bit string in the style of the classic form toolkits: positions count from 1 and a
// search that finds nothing yields 0. Bytes are kept as they are (Windows-1251 for the
// program's own texts); converting them for display is the backend's job.
#include <string>

class AnsiString {
public:
    AnsiString() = default;
    AnsiString(const char* text) : text_(text ? text : "") {}
    AnsiString(std::string text) : text_(std::move(text)) {}

    int Length() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    const char* c_str() const { return text_.c_str(); }
    const std::string& str() const { return text_; }

    // Position of the first occurrence of `sub`, or 0.
    int Pos(const AnsiString& sub) const;
    // Position of the last character that is one of `delimiters`, or 0.
    int LastDelimiter(const AnsiString& delimiters) const;
    // Removes up to `count` characters from position `index`; an index outside the string
    // removes nothing.
    AnsiString& Delete(int index, int count);
    // Up to `count` characters from position `index`; empty when `index` lies outside.
    AnsiString SubString(int index, int count) const;

    AnsiString& operator+=(const AnsiString& other) { text_ += other.text_; return *this; }
    friend AnsiString operator+(AnsiString left, const AnsiString& right) { return left += right; }
    friend bool operator==(const AnsiString& a, const AnsiString& b) { return a.text_ == b.text_; }
    friend bool operator!=(const AnsiString& a, const AnsiString& b) { return !(a == b); }

private:
    std::string text_;
};

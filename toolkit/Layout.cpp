#include "Layout.h"

#include <cctype>
#include <sstream>

namespace {

bool IsIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Reads one line of the layout from left to right.
class LineScanner {
public:
    explicit LineScanner(const std::string& text) : text_(text) {}

    bool AtEnd() { SkipSpaces(); return pos_ == text_.size(); }
    bool Take(char c) {
        SkipSpaces();
        if (pos_ < text_.size() && text_[pos_] == c) { ++pos_; return true; }
        return false;
    }
    // An identifier, or "" when none starts here.
    std::string Identifier() {
        SkipSpaces();
        const size_t start = pos_;
        if (pos_ < text_.size() && IsIdentifierStart(text_[pos_])) {
            while (pos_ < text_.size() && IsIdentifierChar(text_[pos_])) ++pos_;
        }
        return text_.substr(start, pos_ - start);
    }
    // Identifiers joined by dots: "Font.Height".
    std::string DottedName() {
        std::string name = Identifier();
        while (!name.empty() && Take('.')) {
            const std::string part = Identifier();
            if (part.empty()) return "";
            name += "." + part;
        }
        return name;
    }
    bool Integer(long long& value) {
        SkipSpaces();
        size_t end = pos_;
        if (end < text_.size() && text_[end] == '-') ++end;
        const size_t digits = end;
        while (end < text_.size() && std::isdigit(static_cast<unsigned char>(text_[end]))) ++end;
        if (end == digits || end - digits > 18) return false;  // long long holds 18 digits
        value = std::stoll(text_.substr(pos_, end - pos_));
        pos_ = end;
        return true;
    }
    // A quoted string; false when the closing quote is missing.
    bool QuotedString(std::string& value) {
        ++pos_;  // the opening quote
        for (;;) {
            const size_t quote = text_.find('\'', pos_);
            if (quote == std::string::npos) return false;
            value += text_.substr(pos_, quote - pos_);
            pos_ = quote + 1;
            if (pos_ < text_.size() && text_[pos_] == '\'') {
                value += '\'';
                ++pos_;
            } else {
                return true;
            }
        }
    }
    char Peek() { SkipSpaces(); return pos_ < text_.size() ? text_[pos_] : '\0'; }

private:
    void SkipSpaces() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }

    const std::string& text_;
    size_t pos_ = 0;
};

class LayoutParser {
public:
    LayoutParser(const std::string& text, const AnsiString& source) : source_(source) {
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines_.push_back(Trim(line));
    }

    TLayoutObject Parse() {
        SkipBlankLines();
        if (next_ == lines_.size()) Fail(0, "no object in the layout");
        TLayoutObject root = Object();
        SkipBlankLines();
        if (next_ < lines_.size()) Fail(next_ + 1, "text after the end of " + root.Name.str());
        return root;
    }

private:
    // An object from its header line to its `end`.
    TLayoutObject Object() {
        const int line = static_cast<int>(next_ + 1);
        TLayoutObject object = Header(lines_[next_++], line);
        for (;;) {
            SkipBlankLines();
            if (next_ == lines_.size()) Fail(line, "object " + object.Name.str() + " has no end");
            const std::string& text = lines_[next_];
            if (text == "end") {
                ++next_;
                return object;
            }
            if (text.rfind("object ", 0) == 0) {
                object.Children.push_back(Object());
            } else {
                object.Properties.push_back(Property(text, static_cast<int>(++next_)));
            }
        }
    }

    TLayoutObject Header(const std::string& text, int line) {
        LineScanner scan(text);
        TLayoutObject object;
        object.Line = line;
        if (scan.Identifier() == "object") {
            object.Name = scan.Identifier();
            if (!object.Name.IsEmpty() && scan.Take(':')) {
                object.ClassName = scan.Identifier();
                if (!object.ClassName.IsEmpty() && scan.AtEnd()) return object;
            }
        }
        Fail(line, "expected \"object <Name>: <Class>\", found \"" + text + "\"");
    }

    TLayoutProperty Property(const std::string& text, int line) {
        LineScanner scan(text);
        TLayoutProperty property;
        property.Line = line;
        property.Name = scan.DottedName();
        if (property.Name.IsEmpty() || !scan.Take('=')) {
            Fail(line, "expected \"<Property> = <value>\", found \"" + text + "\"");
        }
        property.Value = Value(scan, line);
        if (!scan.AtEnd()) Fail(line, "unexpected text after the value of " + property.Name.str());
        return property;
    }

    TLayoutValue Value(LineScanner& scan, int line) {
        TLayoutValue value;
        const char first = scan.Peek();
        if (first == '\'') {
            std::string text;
            if (!scan.QuotedString(text)) Fail(line, "string without its closing quote");
            value.kind = TLayoutValue::Kind::String;
            value.text = text;
        } else if (first == '[') {
            scan.Take('[');
            value.kind = TLayoutValue::Kind::Set;
            if (!scan.Take(']')) {
                do {
                    const std::string item = scan.Identifier();
                    if (item.empty()) Fail(line, "expected an identifier in the set");
                    value.items.push_back(item);
                } while (scan.Take(','));
                if (!scan.Take(']')) Fail(line, "set without its closing bracket");
            }
        } else if (IsIdentifierStart(first)) {
            value.kind = TLayoutValue::Kind::Identifier;
            value.text = scan.Identifier();
        } else if (!scan.Integer(value.integer)) {
            Fail(line, "expected a value: a number, a 'string', an identifier or a [set]");
        }
        return value;
    }

    void SkipBlankLines() {
        while (next_ < lines_.size() && lines_[next_].empty()) ++next_;
    }

    [[noreturn]] void Fail(size_t line, const std::string& what) const {
        throw LayoutError(source_, static_cast<int>(line), what);
    }

    AnsiString source_;
    std::vector<std::string> lines_;
    size_t next_ = 0;
};

}  // namespace

TLayoutObject ParseLayout(const std::string& text, const AnsiString& source) {
    return LayoutParser(text, source).Parse();
}

Exception LayoutError(const AnsiString& source, int line, const AnsiString& what) {
    AnsiString where = "Layout " + source;
    if (line > 0) where += ", line " + std::to_string(line);
    return Exception(where + ": " + what);
}

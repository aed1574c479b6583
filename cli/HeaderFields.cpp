#include "HeaderFields.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view TrimLeft(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view Trim(std::string_view text) {
    text = TrimLeft(text);
    return text.substr(0, text.find_last_not_of(kBlanks) + 1);
}

// Where the statement ends: the first ";" outside quotes, or the end of the line.
size_t StatementEnd(std::string_view text) {
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (text[i] == ';' && !quoted) {
            return i;
        }
    }
    return text.size();
}

std::optional<std::string_view> AssignedValue(std::string_view line, std::string_view name) {
    line = TrimLeft(line);
    if (line.substr(0, name.size()) != name) {
        return std::nullopt;
    }
    line = TrimLeft(line.substr(name.size()));
    if (line.empty() || line.front() != '=') {
        return std::nullopt;  // a longer name that starts with this one, or no assignment
    }
    line.remove_prefix(1);
    return Trim(line.substr(0, StatementEnd(line)));
}

}  // namespace

std::optional<std::string> FindHeaderField(std::string_view header, std::string_view name) {
    while (!header.empty()) {
        const size_t lineEnd = header.find('\n');
        if (const auto value = AssignedValue(header.substr(0, lineEnd), name)) {
            return std::string(*value);
        }
        header.remove_prefix(lineEnd == std::string_view::npos ? header.size() : lineEnd + 1);
    }
    return std::nullopt;
}

std::optional<uint32_t> ReadHeaderNumber(const std::string& value) {
    if (value.empty() || value.front() == '-' || value.front() == '+') {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long long number = std::strtoull(value.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || number > UINT32_MAX) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(number);
}

// MakeBaseName on arbitrary strings under both path rules: the result is the file name
// part of the path, cut at its last full stop when it has one.
#include <cstdint>
#include <string>
#include <string_view>

#include "FileAccess.h"
#include "FuzzSupport.h"

namespace {

void CheckBaseName(std::string_view path, PathRules rules, std::string_view folderDelimiters) {
    const AnsiString result = MakeBaseName(std::string(path), rules);
    const std::string_view base = result.str();

    Require(base.size() <= path.size(), "the base name is longer than the path");
    Require(base.find_first_of(folderDelimiters) == std::string_view::npos,
            "the base name holds a folder delimiter");
    const size_t lastDelimiter = path.find_last_of(folderDelimiters);
    const std::string_view fileName =
        lastDelimiter == std::string_view::npos ? path : path.substr(lastDelimiter + 1);
    Require(fileName.substr(0, base.size()) == base, "the base name does not begin the file name");
    const std::string_view extension = fileName.substr(base.size());
    Require(extension.empty() ? fileName.find('.') == std::string_view::npos
                              : extension.rfind('.') == 0,
            "the cut is not at the file name's last full stop");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view path(reinterpret_cast<const char*>(data), size);
    CheckBaseName(path, PathRules::Windows, "\\:");
    CheckBaseName(path, PathRules::Posix, "\\:/");
    return 0;
}

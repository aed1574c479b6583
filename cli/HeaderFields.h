#pragma once
// Reads `name = value;` statements from the text header of a VBF container.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The value of the first statement that assigns `name`, as written (quotes kept, blanks
// around it dropped). Only a statement at the start of a line counts, so a name inside a
// comment or another value is not taken for the field.
std::optional<std::string> FindHeaderField(std::string_view header, std::string_view name);

// A value written as a C number (0x1F, 31); nothing when it is not one or exceeds 32 bits.
std::optional<uint32_t> ReadHeaderNumber(const std::string& value);

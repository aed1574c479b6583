#pragma once
// The program's own texts are stored in Windows-1251; terminals and the command line
// companion show them as UTF-8.
#include <string>

std::string Cp1251ToUtf8(const std::string& text);

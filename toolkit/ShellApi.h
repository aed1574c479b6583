#pragma once
// The Windows shell's ShellExecuteA, carried out by the backend in use. The Windows headers
// declare the same names; this header serves the program's code, which includes none of them.
#include "Backend.h"

inline constexpr int SW_SHOWNORMAL = 1;

// Asks the shell to carry out `operation` ("open") on `file`, a document or a web address.
// Null `parameters` and `directory` mean none. Whether the shell managed is not reported.
void ShellExecuteA(WindowHandle window, const char* operation, const char* file, const char* parameters,
                   const char* directory, int showCommand);

#include "ShellApi.h"

void ShellExecuteA(WindowHandle window, const char* operation, const char* file, const char* parameters,
                   const char* directory, int showCommand) {
    // AnsiString takes null for empty.
    CurrentBackend().ExecuteShell(window, operation, file, parameters, directory, showCommand);
}

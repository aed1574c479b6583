// The entry of a terminal program: the console backend on the standard streams, with the
// resources the build compiled in, then the program's start-up.
#include <iostream>

#include "CompiledResources.h"
#include "ConsoleBackend.h"
#include "StartUp.h"

int main() {
    ConsoleBackend console(std::cin, std::cout, CompiledResources());
    SetBackend(&console);
    return StartUp();
}

// The entry of the Windows program: the Win32 backend, then the program's start-up. The
// entry's arguments are not used: the program takes nothing from its command line.
#include <windows.h>

#include "StartUp.h"
#include "Win32Backend.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32Backend backend;
    SetBackend(&backend);
    return StartUp();
}

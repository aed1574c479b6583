#pragma once
#include "AnsiString.h"

class TApplication {
public:
    // Modal message box with a single OK button; the flags select no icon or button set
    // of their own and the result is always 1 (OK).
    int MessageBox(const char* text, const char* caption, int flags);
};

extern TApplication* Application;

#pragma once
#include "AnsiString.h"

class TOpenDialog {
public:
    // Shows the dialog; true when a path was confirmed, which then lands in FileName.
    bool Execute();

    AnsiString Filter;
    AnsiString FileName;
};

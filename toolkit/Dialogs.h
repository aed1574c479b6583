#pragma once
#include "AnsiString.h"
#include "Classes.h"

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner = nullptr) : TComponent(owner) {}

    // Shows the dialog; true when a path was confirmed, which then lands in FileName.
    bool Execute();

    // Pairs of description and pattern, all separated by '|': "vbf|*.vbf".
    AnsiString Filter;
    AnsiString FileName;
};

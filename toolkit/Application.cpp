#include "Application.h"

#include "Backend.h"

namespace {
TApplication application;
}

TApplication* Application = &application;

int TApplication::MessageBox(const char* text, const char* caption, int /*flags*/) {
    CurrentBackend().ShowMessage(text, caption);
    return 1;
}

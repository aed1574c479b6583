#include "Backend.h"

#include "Exception.h"

namespace {
Backend* installed = nullptr;
}

Backend& CurrentBackend() {
    if (!installed) {
        throw Exception("No user interface backend is installed");
    }
    return *installed;
}

void SetBackend(Backend* backend) { installed = backend; }

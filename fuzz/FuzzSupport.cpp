#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

#include "Backend.h"

namespace {

class SilentBackend : public Backend {
public:
    SilentBackend() { SetBackend(this); }
    void ShowMessage(const AnsiString&, const AnsiString&) override { ++shown; }
    bool ExecuteOpenDialog(const AnsiString&, AnsiString&) override { return false; }

    int shown = 0;
};

SilentBackend silent;

}  // namespace

int MessagesShown() { return silent.shown; }

void ResetMessages() { silent.shown = 0; }

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

#include "Backend.h"

#include "Exception.h"

namespace {

Backend* installed = nullptr;

[[noreturn]] void NoWindows(const char* operation) {
    throw Exception(AnsiString("This user interface has no windows (") + operation + ")");
}

}  // namespace

Backend& CurrentBackend() {
    if (!installed) {
        throw Exception("No user interface backend is installed");
    }
    return *installed;
}

void SetBackend(Backend* backend) { installed = backend; }

std::string Backend::ReadResource(const AnsiString&) { NoWindows("ReadResource"); }
WindowHandle Backend::MakeWindow(TForm&) { NoWindows("MakeWindow"); }
void Backend::FreeWindow(WindowHandle) { NoWindows("FreeWindow"); }
void Backend::SetCaption(WindowHandle, TControl&, const AnsiString&) { NoWindows("SetCaption"); }
void Backend::RunEventLoop(TForm&) { NoWindows("RunEventLoop"); }
void Backend::ShowException(const AnsiString&) { NoWindows("ShowException"); }
void Backend::ExecuteShell(WindowHandle, const AnsiString&, const AnsiString&, const AnsiString&,
                           const AnsiString&, int) {
    NoWindows("ExecuteShell");
}

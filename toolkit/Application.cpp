#include "Application.h"

#include <exception>

#include "Backend.h"
#include "Forms.h"

namespace {
TApplication application;
}

TApplication* Application = &application;

int TApplication::MessageBox(const char* text, const char* caption, int /*flags*/) {
    CurrentBackend().ShowMessage(text, caption);
    return 1;
}

void TApplication::Run() {
    if (MainForm) {
        MainForm->Handle();
        CurrentBackend().RunEventLoop(*MainForm);
    }
}

void TApplication::ShowException(const Exception& exception) {
    CurrentBackend().ShowException(exception.Message);
}

void TApplication::HandleException(TObject* /*Sender*/) {
    try {
        throw;
    } catch (const Exception& exception) {
        ShowException(exception);
    } catch (const std::bad_alloc&) {
        ShowException(Exception("Out of memory"));
    } catch (const std::exception& exception) {
        ShowException(Exception(exception.what()));
    } catch (...) {
        ShowException(Exception(""));
    }
}

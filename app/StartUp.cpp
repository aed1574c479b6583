// The program's start-up: the main window and its event loop. Every exception that gets this
// far is shown; whatever happens, the program then ends with exit status 0.
#include "Application.h"
#include "MainForm.h"
#include "StartUp.h"

int StartUp() {
    try {
        Application->Initialize();
        Application->CreateForm(Form1);
        Application->Run();
    } catch (Exception& exception) {
        Application->ShowException(exception);
    } catch (...) {
        // An exception of unknown kind carries no text that could be shown.
        Application->ShowException(Exception(""));
    }
    return 0;
}

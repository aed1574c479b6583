#pragma once
#include <new>

#include "AnsiString.h"
#include "Exception.h"

class TForm;
class TObject;

class TApplication {
public:
    // Modal message box with a single OK button; the flags select no icon or button set
    // of their own and the result is always 1 (OK).
    int MessageBox(const char* text, const char* caption, int flags);

    // Prepares the application. The backend is installed by the platform's entry before the
    // program's start-up, so nothing is left to prepare; the call keeps the start-up order.
    void Initialize() {}

    // Makes a form of class TFormClass; the first one made is the main form. `reference`
    // designates the form from before its constructor runs, so the constructor may reach its
    // form through it. An exception from the construction passes to the caller and leaves
    // `reference` null. Forms made here have no owner and live until the process ends.
    template <class TFormClass>
    void CreateForm(TFormClass*& reference);

    // Shows the main form and dispatches events until it is closed.
    void Run();

    // Shows `exception` to the user and returns once the display is dismissed.
    void ShowException(const Exception& exception);
    // Shows the exception being handled; call it inside a catch block. An out-of-memory
    // exception reads as such, another standard exception by its what(), anything else
    // with an empty message.
    void HandleException(TObject* Sender);

    TForm* MainForm = nullptr;
};

extern TApplication* Application;

template <class TFormClass>
void TApplication::CreateForm(TFormClass*& reference) {
    void* storage = ::operator new(sizeof(TFormClass));
    reference = static_cast<TFormClass*>(storage);
    try {
        reference = ::new (storage) TFormClass(nullptr);
    } catch (...) {
        reference = nullptr;
        ::operator delete(storage);
        throw;
    }
    if (!MainForm) {
        MainForm = reference;
    }
}

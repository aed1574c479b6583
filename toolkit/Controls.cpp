#include "Controls.h"

#include "Application.h"
#include "Backend.h"
#include "Forms.h"

TCaption& TCaption::operator=(const AnsiString& text) {
    text_ = text;
    control_.CaptionChanged();
    return *this;
}

void TControl::Click() {
    if (!OnClick) {
        return;
    }
    try {
        OnClick(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TControl::CaptionChanged() {
    TForm* form = ParentForm();
    // A window not made yet takes the caption when it is made.
    if (form && form->HandleAllocated()) {
        CurrentBackend().SetCaption(form->Handle(), *this, Caption);
    }
}

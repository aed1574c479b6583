#pragma once
// The visual components: what a form shows and the user clicks.
#include "Classes.h"
#include "Graphics.h"

class TControl;
class TForm;

// A caption that passes every change on to the window showing it, so that
// `Form1->Caption = ProgramTitle;` retitles a window that is already on the screen.
class TCaption {
public:
    explicit TCaption(TControl& control) : control_(control) {}
    TCaption(const TCaption&) = delete;

    TCaption& operator=(const AnsiString& text);
    TCaption& operator=(const TCaption&) = delete;

    operator const AnsiString&() const { return text_; }
    const AnsiString& Text() const { return text_; }
    const char* c_str() const { return text_.c_str(); }

private:
    TControl& control_;
    AnsiString text_;
};

class TControl : public TComponent {
public:
    using TComponent::TComponent;

    // Raises OnClick as a click of the user does. An exception that escapes the handler is
    // shown through Application->HandleException and goes no further, so the event loop that
    // called this goes on.
    void Click();

    // The form whose window shows this control: the form itself, or the form it sits on.
    virtual TForm* ParentForm() const { return Parent; }

    // A form: its position on the screen and its outer size, frame included. A control: its
    // position in the client area of its form and its size.
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    TCaption Caption{*this};
    TFont Font;
    // True: the control shows its form's font, copied into Font when the layout is loaded.
    bool ParentFont = true;
    TNotifyEvent OnClick;
    TForm* Parent = nullptr;

private:
    friend class TCaption;
    void CaptionChanged();
};

class TButton : public TControl {
public:
    using TControl::TControl;

    // Position in the keyboard (Tab) order of the form, from 0.
    int TabOrder = 0;
};

// Text on the form; it takes clicks like any control but never the keyboard focus.
class TLabel : public TControl {
public:
    using TControl::TControl;
};

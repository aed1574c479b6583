#pragma once
// Forms: windows built from a layout (Layout.h) with their components.
//
// C++ has no reflection, so a form class declares a table of its published members, and the
// layout's names are looked up in it:
//
//   const TPublishedTable TForm1::Published = {"TForm1", {
//       PublishedField("Button1", &TForm1::Button1),
//       PublishedHandler("Button1Click", &TForm1::Button1Click),
//   }};
//   TForm1::TForm1(TComponent* Owner) : TForm(Owner) { LoadLayout("TFORM1", Published); }
#include <functional>
#include <vector>

#include "Backend.h"
#include "Controls.h"

// One published member of a form class: a field that receives the component of its name, or
// a handler that the layout's events name.
struct TPublished {
    AnsiString Name;
    // A field: stores `component` in it; false when the component is not of the field's class.
    std::function<bool(TForm& form, TComponent& component)> BindField;
    // A handler: the event that runs it on `form`.
    std::function<TNotifyEvent(TForm& form)> BindHandler;
};

struct TPublishedTable {
    AnsiString ClassName;  // the class that the layout's form object must name
    std::vector<TPublished> Members;
};

template <class TFormClass, class TComponentClass>
TPublished PublishedField(const char* name, TComponentClass* TFormClass::*field) {
    return {name,
            [field](TForm& form, TComponent& component) {
                auto* typed = dynamic_cast<TComponentClass*>(&component);
                if (typed) static_cast<TFormClass&>(form).*field = typed;
                return typed != nullptr;
            },
            nullptr};
}

template <class TFormClass>
TPublished PublishedHandler(const char* name, void (TFormClass::*handler)(TObject*)) {
    return {name, nullptr, [handler](TForm& form) -> TNotifyEvent {
                auto* self = &static_cast<TFormClass&>(form);
                return [self, handler](TObject* sender) { (self->*handler)(sender); };
            }};
}

class TForm : public TControl {
public:
    explicit TForm(TComponent* owner) : TControl(owner) {}
    ~TForm() override;

    TForm* ParentForm() const override { return const_cast<TForm*>(this); }

    // The window, made on the first call.
    WindowHandle Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // The visual components, in layout order.
    std::vector<TControl*> Controls() const;

    TColor Color = clBtnFace;
    // What the layout was designed at: screen resolution, and the height of its font's text.
    int PixelsPerInch = 96;
    int TextHeight = 13;

protected:
    // Builds the components of the layout resource `resource` with their properties, and
    // binds the fields and OnClick handlers of `published` by name. Call it first in the
    // constructor of the form class: the fields are bound once it returns. Throws Exception
    // for a layout that does not fit the class (a malformed text, an unknown class, property,
    // value or handler, a field without its component).
    void LoadLayout(const AnsiString& resource, const TPublishedTable& published);

private:
    WindowHandle handle_ = nullptr;
};

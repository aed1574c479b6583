#include "Forms.h"

#include <limits>
#include <map>
#include <string>

#include "Dialogs.h"
#include "Layout.h"

namespace {

// Reads the value of one property of the layout as the type the property wants.
class ValueReader {
public:
    ValueReader(const AnsiString& source, const TLayoutProperty& property)
        : source_(source), property_(property), value_(property.Value) {}

    int Integer() const {
        if (value_.kind != TLayoutValue::Kind::Integer || value_.integer < std::numeric_limits<int>::min() ||
            value_.integer > std::numeric_limits<int>::max()) {
            Wants("a number");
        }
        return static_cast<int>(value_.integer);
    }
    AnsiString String() const {
        if (value_.kind != TLayoutValue::Kind::String) Wants("a 'string'");
        return value_.text;
    }
    bool Boolean() const {
        if (IsIdentifier("True")) return true;
        if (IsIdentifier("False")) return false;
        Wants("True or False");
    }
    // Colours by name are those our layouts use; any other is written as a number.
    TColor Color() const {
        static const std::map<std::string, TColor> names = {
            {"clBtnFace", clBtnFace}, {"clWindowText", clWindowText}, {"clNavy", clNavy}};
        return Named(names, "a colour (clBtnFace, clWindowText, clNavy or a number)");
    }
    TFontCharset Charset() const {
        static const std::map<std::string, TFontCharset> names = {{"DEFAULT_CHARSET", kDefaultCharset}};
        return Named(names, "DEFAULT_CHARSET or a number from 0 to 255");
    }
    TFontStyles Styles() const {
        static const std::map<std::string, TFontStyles> names = {
            {"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}};
        const char* wanted = "a set of fsBold, fsItalic, fsUnderline, fsStrikeOut";
        if (value_.kind != TLayoutValue::Kind::Set) Wants(wanted);
        TFontStyles styles = 0;
        for (const AnsiString& item : value_.items) {
            const auto found = names.find(item.str());
            if (found == names.end()) Wants(wanted);
            styles |= found->second;
        }
        return styles;
    }
    AnsiString Identifier() const {
        if (value_.kind != TLayoutValue::Kind::Identifier) Wants("the name of a handler");
        return value_.text;
    }

    [[noreturn]] void Fail(const AnsiString& what) const {
        throw LayoutError(source_, property_.Line, what);
    }

private:
    bool IsIdentifier(const char* name) const {
        return value_.kind == TLayoutValue::Kind::Identifier && value_.text == name;
    }
    // A name from `names`, or a number that T holds.
    template <class T>
    T Named(const std::map<std::string, T>& names, const char* wanted) const {
        if (value_.kind == TLayoutValue::Kind::Integer && value_.integer >= 0 &&
            static_cast<unsigned long long>(value_.integer) <= std::numeric_limits<T>::max()) {
            return static_cast<T>(value_.integer);
        }
        if (value_.kind == TLayoutValue::Kind::Identifier) {
            const auto found = names.find(value_.text.str());
            if (found != names.end()) return found->second;
        }
        Wants(wanted);
    }
    [[noreturn]] void Wants(const char* wanted) const { Fail(property_.Name.str() + " wants " + wanted); }

    const AnsiString& source_;
    const TLayoutProperty& property_;
    const TLayoutValue& value_;
};

// Sets one property on a component; false when the component's class has no such property.
using PropertySetter = std::function<bool(TComponent&, const ValueReader&)>;

template <class TClass, class Apply>
PropertySetter On(Apply apply) {
    return [apply](TComponent& component, const ValueReader& value) {
        auto* typed = dynamic_cast<TClass*>(&component);
        if (typed) apply(*typed, value);
        return typed != nullptr;
    };
}

using V = const ValueReader&;

const std::map<std::string, PropertySetter>& PropertySetters() {
    static const std::map<std::string, PropertySetter> setters = {
        {"Left", On<TControl>([](TControl& c, V v) { c.Left = v.Integer(); })},
        {"Top", On<TControl>([](TControl& c, V v) { c.Top = v.Integer(); })},
        {"Width", On<TControl>([](TControl& c, V v) { c.Width = v.Integer(); })},
        {"Height", On<TControl>([](TControl& c, V v) { c.Height = v.Integer(); })},
        {"Caption", On<TControl>([](TControl& c, V v) { c.Caption = v.String(); })},
        {"Font.Name", On<TControl>([](TControl& c, V v) { c.Font.Name = v.String(); })},
        {"Font.Height", On<TControl>([](TControl& c, V v) { c.Font.Height = v.Integer(); })},
        {"Font.Color", On<TControl>([](TControl& c, V v) { c.Font.Color = v.Color(); })},
        {"Font.Charset", On<TControl>([](TControl& c, V v) { c.Font.Charset = v.Charset(); })},
        {"Font.Style", On<TControl>([](TControl& c, V v) { c.Font.Style = v.Styles(); })},
        {"ParentFont", On<TControl>([](TControl& c, V v) { c.ParentFont = v.Boolean(); })},
        {"Color", On<TForm>([](TForm& c, V v) { c.Color = v.Color(); })},
        {"PixelsPerInch", On<TForm>([](TForm& c, V v) { c.PixelsPerInch = v.Integer(); })},
        {"TextHeight", On<TForm>([](TForm& c, V v) { c.TextHeight = v.Integer(); })},
        {"TabOrder", On<TButton>([](TButton& c, V v) { c.TabOrder = v.Integer(); })},
        {"Filter", On<TOpenDialog>([](TOpenDialog& c, V v) { c.Filter = v.String(); })},
    };
    return setters;
}

// The component classes that a layout may hold.
TComponent* MakeComponent(const AnsiString& className, TForm& form) {
    static const std::map<std::string, std::function<TComponent*(TForm&)>> classes = {
        {"TButton", [](TForm& owner) { return new TButton(&owner); }},
        {"TLabel", [](TForm& owner) { return new TLabel(&owner); }},
        {"TOpenDialog", [](TForm& owner) { return new TOpenDialog(&owner); }},
    };
    const auto found = classes.find(className.str());
    return found == classes.end() ? nullptr : found->second(form);
}

class LayoutLoader {
public:
    LayoutLoader(TForm& form, const AnsiString& source, const TPublishedTable& published)
        : form_(form), source_(source), published_(published) {}

    void Load(const TLayoutObject& root) {
        if (root.ClassName != published_.ClassName) {
            throw LayoutError(source_, root.Line, "the form is of class " + root.ClassName.str() +
                                                      ", not " + published_.ClassName.str());
        }
        form_.Name = root.Name;
        SetProperties(form_, root);
        for (const TLayoutObject& child : root.Children) {
            AddComponent(child);
        }
        for (TControl* control : form_.Controls()) {
            if (control->ParentFont) control->Font = form_.Font;
        }
        BindFields();
    }

private:
    void AddComponent(const TLayoutObject& object) {
        if (FindComponent(object.Name)) {
            throw LayoutError(source_, object.Line, "a second component named " + object.Name.str());
        }
        if (!object.Children.empty()) {
            throw LayoutError(source_, object.Children.front().Line,
                              object.Name.str() + " cannot hold components");
        }
        // The form owns the component from here on, whatever happens next.
        TComponent* component = MakeComponent(object.ClassName, form_);
        if (!component) {
            throw LayoutError(source_, object.Line, "unknown component class " + object.ClassName.str());
        }
        component->Name = object.Name;
        if (auto* control = dynamic_cast<TControl*>(component)) control->Parent = &form_;
        SetProperties(*component, object);
    }

    void SetProperties(TComponent& component, const TLayoutObject& object) {
        for (const TLayoutProperty& property : object.Properties) {
            const ValueReader value(source_, property);
            if (!SetProperty(component, property.Name, value)) {
                value.Fail(object.ClassName.str() + " has no property " + property.Name.str());
            }
        }
    }

    // False when the component's class has no property of that name.
    bool SetProperty(TComponent& component, const AnsiString& name, const ValueReader& value) {
        if (name == "OnClick") {
            return BindClick(component, value);
        }
        const auto setter = PropertySetters().find(name.str());
        return setter != PropertySetters().end() && setter->second(component, value);
    }

    bool BindClick(TComponent& component, const ValueReader& value) {
        auto* control = dynamic_cast<TControl*>(&component);
        if (!control) return false;
        const AnsiString name = value.Identifier();
        const TPublished* handler = FindMember(name);
        if (!handler || !handler->BindHandler) {
            value.Fail(published_.ClassName.str() + " has no handler " + name.str());
        }
        control->OnClick = handler->BindHandler(form_);
        return true;
    }

    void BindFields() {
        for (const TPublished& member : published_.Members) {
            if (!member.BindField) continue;
            TComponent* component = FindComponent(member.Name);
            if (!component) {
                throw LayoutError(source_, 0, "no component for the field " + published_.ClassName.str() +
                                                  "::" + member.Name.str());
            }
            if (!member.BindField(form_, *component)) {
                throw LayoutError(source_, 0, "the component " + member.Name.str() +
                                                  " is not of the class of its field");
            }
        }
    }

    TComponent* FindComponent(const AnsiString& name) const {
        for (TComponent* component : form_.Components()) {
            if (component->Name == name) return component;
        }
        return nullptr;
    }

    const TPublished* FindMember(const AnsiString& name) const {
        for (const TPublished& member : published_.Members) {
            if (member.Name == name) return &member;
        }
        return nullptr;
    }

    TForm& form_;
    const AnsiString& source_;
    const TPublishedTable& published_;
};

}  // namespace

TForm::~TForm() {
    if (handle_) {
        CurrentBackend().FreeWindow(handle_);
    }
}

WindowHandle TForm::Handle() {
    if (!handle_) {
        handle_ = CurrentBackend().MakeWindow(*this);
    }
    return handle_;
}

std::vector<TControl*> TForm::Controls() const {
    std::vector<TControl*> controls;
    for (TComponent* component : Components()) {
        if (auto* control = dynamic_cast<TControl*>(component)) controls.push_back(control);
    }
    return controls;
}

void TForm::LoadLayout(const AnsiString& resource, const TPublishedTable& published) {
    LayoutLoader(*this, resource, published).Load(ParseLayout(CurrentBackend().ReadResource(resource), resource));
}

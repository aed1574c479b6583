// Forms of the toolkit: building them from layouts, their windows, CreateForm, and the
// event loop's handling of exceptions that escape a click.
#include <new>
#include <stdexcept>

#include "Application.h"
#include "Dialogs.h"
#include "TestSupport.h"

namespace {

class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner) : TForm(owner) { LoadLayout("TTEST", Published); }

    TButton* Button1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    void Clicked(TObject* sender) { clicks.push_back(sender); }

    std::vector<TObject*> clicks;

private:
    static const TPublishedTable Published;
};

const TPublishedTable TTestForm::Published = {
    "TTestForm",
    {
        PublishedField("Button1", &TTestForm::Button1),
        PublishedField("OpenDialog1", &TTestForm::OpenDialog1),
        PublishedHandler("Clicked", &TTestForm::Clicked),
    },
};

class FormsTest : public ScratchTest {
protected:
    // A test form from `layout`.
    std::unique_ptr<TTestForm> Load(const std::string& layout) {
        backend.resources["TTEST"] = layout;
        return std::make_unique<TTestForm>(nullptr);
    }
};

TEST_F(FormsTest, ReadsEveryKindOfValueAndBindsFieldsAndHandlers) {
    const auto form = Load(
        "object Main: TTestForm\r\n"
        "  Caption = 'It''s here'\r\n"
        "  Color = 12345\r\n"
        "  Font.Color = 2147483663\r\n"
        "  Font.Style = [fsBold, fsItalic]\r\n"
        "  Font.Charset = 204\r\n"
        "\r\n"
        "  object Button1: TButton\r\n"
        "    Caption = ''\r\n"
        "    Left = -5\r\n"
        "    TabOrder = 3\r\n"
        "    OnClick = Clicked\r\n"
        "  end\r\n"
        "object Label9: TLabel\r\n"
        "ParentFont = False\r\n"
        "Font.Name = 'Courier'\r\n"
        "    OnClick = Clicked\r\n"
        "  end\r\n"
        "  object OpenDialog1: TOpenDialog\r\n"
        "    Filter = 'Any|*.*'\r\n"
        "  end\r\n"
        "end\r\n");
    EXPECT_EQ(form->Name.str(), "Main");
    EXPECT_EQ(form->Caption.Text().str(), "It's here");
    EXPECT_EQ(form->Color, 12345u);
    EXPECT_EQ(form->Font.Color, clBtnFace);
    EXPECT_EQ(form->Font.Style, fsBold | fsItalic);
    EXPECT_EQ(form->Font.Charset, 204);

    ASSERT_EQ(form->Controls().size(), 2u);
    TControl* label = form->Controls()[1];
    EXPECT_EQ(form->Controls()[0], form->Button1);
    EXPECT_EQ(label->Name.str(), "Label9");
    EXPECT_EQ(form->Button1->Parent, form.get());
    EXPECT_EQ(form->Button1->Caption.Text().str(), "");
    EXPECT_EQ(form->Button1->Left, -5);
    EXPECT_EQ(form->Button1->TabOrder, 3);
    EXPECT_EQ(form->OpenDialog1->Filter.str(), "Any|*.*");

    // A parent font is the form's, all of it; an own font starts from the defaults.
    EXPECT_EQ(form->Button1->Font.Style, fsBold | fsItalic);
    EXPECT_EQ(form->Button1->Font.Charset, 204);
    EXPECT_EQ(label->Font.Name.str(), "Courier");
    EXPECT_EQ(label->Font.Style, 0);

    form->Button1->Click();
    label->Click();
    EXPECT_EQ(form->clicks, (std::vector<TObject*>{form->Button1, label}));
}

struct BadLayout {
    const char* name;
    std::string layout;
    std::string message;
};

class FormsTestBadLayouts : public FormsTest, public testing::WithParamInterface<BadLayout> {};

TEST_P(FormsTestBadLayouts, AreAnExceptionThatSaysWhereAndWhat) {
    try {
        Load(GetParam().layout);
        FAIL() << "the layout was taken";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message.str(), GetParam().message);
    }
}

// The lines of a layout that fits TTestForm, with `inside` added to Button1.
std::string WithButtonLines(const std::string& inside) {
    return "object Form: TTestForm\n"
           "  object Button1: TButton\n" + inside +
           "  end\n"
           "  object OpenDialog1: TOpenDialog\n"
           "  end\n"
           "end\n";
}

const BadLayout kBadLayouts[] = {
    {"Empty", "\n\n", "Layout TTEST: no object in the layout"},
    {"NoEnd", "object Form: TTestForm\n  Left = 1\n", "Layout TTEST, line 1: object Form has no end"},
    {"TextAfterEnd", WithButtonLines("") + "end\n", "Layout TTEST, line 7: text after the end of Form"},
    {"HeaderWithoutClass", "object Form TTestForm\nend\n",
     "Layout TTEST, line 1: expected \"object <Name>: <Class>\", found \"object Form TTestForm\""},
    {"PropertyWithoutValue", WithButtonLines("    Left 5\n"),
     "Layout TTEST, line 3: expected \"<Property> = <value>\", found \"Left 5\""},
    {"StringNotClosed", WithButtonLines("    Caption = 'Go\n"), "Layout TTEST, line 3: string without its closing quote"},
    {"SetNotClosed", WithButtonLines("    Font.Style = [fsBold\n"), "Layout TTEST, line 3: set without its closing bracket"},
    {"TwoValues", WithButtonLines("    Left = 5 6\n"), "Layout TTEST, line 3: unexpected text after the value of Left"},
    {"OtherFormClass", "object Form: TForm2\nend\n", "Layout TTEST, line 1: the form is of class TForm2, not TTestForm"},
    {"UnknownClass", "object Form: TTestForm\n  object Edit1: TEdit\n  end\nend\n",
     "Layout TTEST, line 2: unknown component class TEdit"},
    {"UnknownProperty", WithButtonLines("    Filter = 'x'\n"), "Layout TTEST, line 3: TButton has no property Filter"},
    {"FormPropertyOnControl", WithButtonLines("    PixelsPerInch = 96\n"),
     "Layout TTEST, line 3: TButton has no property PixelsPerInch"},
    {"NumberAsString", WithButtonLines("    Left = '5'\n"), "Layout TTEST, line 3: Left wants a number"},
    {"NumberTooLarge", WithButtonLines("    Left = 2147483648\n"), "Layout TTEST, line 3: Left wants a number"},
    {"UnknownColour", WithButtonLines("    Font.Color = clPink\n"),
     "Layout TTEST, line 3: Font.Color wants a colour (clBtnFace, clWindowText, clNavy or a number)"},
    {"CharsetTooLarge", WithButtonLines("    Font.Charset = 256\n"),
     "Layout TTEST, line 3: Font.Charset wants DEFAULT_CHARSET or a number from 0 to 255"},
    {"UnknownStyle", WithButtonLines("    Font.Style = [fsBlink]\n"),
     "Layout TTEST, line 3: Font.Style wants a set of fsBold, fsItalic, fsUnderline, fsStrikeOut"},
    {"BooleanMisspelt", WithButtonLines("    ParentFont = false\n"), "Layout TTEST, line 3: ParentFont wants True or False"},
    {"UnknownHandler", WithButtonLines("    OnClick = Button1Click\n"),
     "Layout TTEST, line 3: TTestForm has no handler Button1Click"},
    {"FieldAsHandler", WithButtonLines("    OnClick = Button1\n"), "Layout TTEST, line 3: TTestForm has no handler Button1"},
    {"HandlerAsString", WithButtonLines("    OnClick = 'Clicked'\n"), "Layout TTEST, line 3: OnClick wants the name of a handler"},
    {"ClickOnDialog", "object Form: TTestForm\n  object OpenDialog1: TOpenDialog\n    OnClick = Clicked\n  end\nend\n",
     "Layout TTEST, line 3: TOpenDialog has no property OnClick"},
    {"FieldWithoutComponent", "object Form: TTestForm\n  object Button1: TButton\n  end\nend\n",
     "Layout TTEST: no component for the field TTestForm::OpenDialog1"},
    {"FieldOfOtherClass", "object Form: TTestForm\n  object Button1: TLabel\n  end\n"
                          "  object OpenDialog1: TOpenDialog\n  end\nend\n",
     "Layout TTEST: the component Button1 is not of the class of its field"},
    {"SameNameTwice", "object Form: TTestForm\n  object Button1: TButton\n  end\n  object Button1: TButton\n  end\nend\n",
     "Layout TTEST, line 4: a second component named Button1"},
    {"ComponentInComponent", WithButtonLines("    object Inner: TLabel\n    end\n"),
     "Layout TTEST, line 3: Button1 cannot hold components"},
};

INSTANTIATE_TEST_SUITE_P(Table, FormsTestBadLayouts, testing::ValuesIn(kBadLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormsTest, TheWindowIsMadeOnDemandRetitledLiveAndFreedWithTheForm) {
    auto form = Load(WithButtonLines("    Caption = 'Go'\n"));
    form->Caption = "Before";
    EXPECT_TRUE(backend.windowsMade.empty());
    EXPECT_TRUE(backend.captionsSet.empty());

    const WindowHandle window = form->Handle();
    EXPECT_EQ(form->Handle(), window);
    EXPECT_EQ(backend.windowsMade, std::vector<TForm*>{form.get()});

    form->Caption = "After";
    form->Button1->Caption = "Stop";
    ASSERT_EQ(backend.captionsSet.size(), 2u);
    EXPECT_EQ(backend.captionsSet[0].window, window);
    EXPECT_EQ(backend.captionsSet[0].control, form.get());
    EXPECT_EQ(backend.captionsSet[0].caption, "After");
    EXPECT_EQ(backend.captionsSet[1].control, form->Button1);
    EXPECT_EQ(backend.captionsSet[1].caption, "Stop");

    form.reset();
    EXPECT_EQ(backend.windowsFreed, std::vector<WindowHandle>{window});
}

// A form class that records what its global designates while it is constructed.
class TProbeForm;
TProbeForm* ProbeForm = nullptr;
bool failConstruction = false;

class TProbeForm : public TForm {
public:
    explicit TProbeForm(TComponent* owner) : TForm(owner), seenDuringConstruction(ProbeForm) {
        if (failConstruction) throw Exception("cannot build");
    }
    TProbeForm* seenDuringConstruction;
};

class CreateFormTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        Application->MainForm = nullptr;
        ProbeForm = nullptr;
        failConstruction = false;
    }
    void TearDown() override {
        Application->MainForm = nullptr;
        FormsTest::TearDown();
    }
};

TEST_F(CreateFormTest, TheReferenceDesignatesTheFormDuringItsConstruction) {
    Application->CreateForm(ProbeForm);
    const std::unique_ptr<TProbeForm> first(ProbeForm);
    EXPECT_EQ(first->seenDuringConstruction, first.get());
    EXPECT_EQ(Application->MainForm, first.get());

    // The first form made stays the main one.
    Application->CreateForm(ProbeForm);
    const std::unique_ptr<TProbeForm> second(ProbeForm);
    EXPECT_EQ(Application->MainForm, first.get());
}

TEST_F(CreateFormTest, AFailedConstructionPassesTheExceptionAndLeavesNothingBehind) {
    failConstruction = true;
    EXPECT_THROW(Application->CreateForm(ProbeForm), Exception);
    EXPECT_EQ(ProbeForm, nullptr);
    EXPECT_EQ(Application->MainForm, nullptr);
}

struct EscapingException {
    const char* name;
    std::function<void()> raise;
    std::string shown;
};

class ClickTest : public FormsTest, public testing::WithParamInterface<EscapingException> {};

TEST_P(ClickTest, AnExceptionThatEscapesAClickIsShownAndGoesNoFurther) {
    TButton button(nullptr);
    int clicks = 0;
    button.OnClick = [&](TObject*) {
        ++clicks;
        GetParam().raise();
    };
    button.Click();
    button.Click();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(backend.messages, std::vector<std::string>(2, GetParam().shown));
}

const EscapingException kEscapingExceptions[] = {
    {"Exception", [] { throw Exception("Broken"); }, "[Exception] Broken"},
    {"OutOfMemory", [] { throw std::bad_alloc(); }, "[Exception] Out of memory"},
    {"StandardException", [] { throw std::runtime_error("disk on fire"); }, "[Exception] disk on fire"},
    {"Other", [] { throw 42; }, "[Exception] "},
};

INSTANTIATE_TEST_SUITE_P(Table, ClickTest, testing::ValuesIn(kEscapingExceptions),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

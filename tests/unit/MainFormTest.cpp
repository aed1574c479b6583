// The main window as its layout makes it, its two handlers, and the start-up function around
// it.
#include <new>
#include <stdexcept>
#include <tuple>

#include "Application.h"
#include "CompiledResources.h"
#include "MainForm.h"
#include "StartUp.h"
#include "TestSupport.h"

namespace {

// The program's own resources on a recording backend; Form1 is gone again after each test.
class MainWindowTest : public ScratchTest {
protected:
    void SetUp() override {
        ScratchTest::SetUp();
        backend.resources = CompiledResources();
    }
    void TearDown() override {
        delete Form1;
        Form1 = nullptr;
        Application->MainForm = nullptr;
        ScratchTest::TearDown();
    }
};

std::tuple<int, int, int, int> Bounds(const TControl& c) { return {c.Left, c.Top, c.Width, c.Height}; }

void ExpectFont(const TFont& font, int height, TColor color) {
    EXPECT_EQ(font.Name.str(), "MS Sans Serif");
    EXPECT_EQ(font.Height, height);
    EXPECT_EQ(font.Color, color);
    EXPECT_EQ(font.Charset, kDefaultCharset);
    EXPECT_EQ(font.Style, 0);
}

TEST_F(MainWindowTest, EverySettingOfTheLayoutReachesItsComponent) {
    Application->CreateForm(Form1);
    const TForm1& form = *Form1;
    EXPECT_EQ(form.Name.str(), "Form1");
    EXPECT_EQ(Bounds(form), std::make_tuple(431, 142, 251, 237));
    EXPECT_EQ(form.Color, clBtnFace);
    ExpectFont(form.Font, -11, clWindowText);
    EXPECT_EQ(form.PixelsPerInch, 96);
    EXPECT_EQ(form.TextHeight, 13);

    ASSERT_NE(form.Button1, nullptr);
    EXPECT_EQ(Bounds(*form.Button1), std::make_tuple(64, 56, 113, 33));
    EXPECT_EQ(form.Button1->Caption.Text().str(), "Convert VBF to BIN");
    EXPECT_EQ(form.Button1->TabOrder, 0);
    EXPECT_TRUE(form.Button1->ParentFont);
    ExpectFont(form.Button1->Font, -11, clWindowText);

    ASSERT_NE(form.Label1, nullptr);
    EXPECT_EQ(Bounds(*form.Label1), std::make_tuple(40, 144, 148, 24));
    EXPECT_EQ(form.Label1->Caption.Text().str(), "www.example.com");
    EXPECT_FALSE(form.Label1->ParentFont);
    ExpectFont(form.Label1->Font, -19, 0x00800000u);  // navy: red 0, green 0, blue 128

    ASSERT_NE(form.OpenDialog1, nullptr);
    EXPECT_EQ(form.OpenDialog1->Filter.str(), "vbf|*.vbf");
    EXPECT_EQ(form.OpenDialog1->FileName.str(), "");

    // The terminal numbers the controls in this order: 1 the button, 2 the label.
    EXPECT_EQ(form.Controls(), (std::vector<TControl*>{form.Button1, form.Label1}));
}

TEST_F(MainWindowTest, TheTitleIsSetBeforeTheWindowIsMade) {
    Application->CreateForm(Form1);
    EXPECT_EQ(Form1->Caption.Text().str(), "Tessarin v-1.1");
    EXPECT_FALSE(Form1->HandleAllocated());
    EXPECT_TRUE(backend.captionsSet.empty());
}

TEST_F(MainWindowTest, TheButtonRunsTheConvertCommandOnTheFormsDialog) {
    Application->CreateForm(Form1);
    WriteFile("ecu.vbf", kHeader + Block(0x10, "\x01\x02"));
    backend.dialogAnswers = {"ecu.vbf"};
    Form1->Button1->Click();
    EXPECT_EQ(backend.messages, (std::vector<std::string>{"[Message] Open file", "[Сообщение] Converting vbf - ok"}));
    EXPECT_EQ(ReadFile("ecu.bin"), std::string(0x10, '\0') + "\x01\x02");
    EXPECT_EQ(Form1->OpenDialog1->FileName.str(), "ecu.vbf");
}

TEST_F(MainWindowTest, TheLabelOpensTheAddressItShowsAndChangesNothing) {
    Application->CreateForm(Form1);
    Form1->Label1->Click();
    EXPECT_EQ(backend.messages, std::vector<std::string>{"[Shell] open www.example.com"});
    ASSERT_EQ(backend.shellRequests.size(), 1u);
    EXPECT_EQ(backend.shellRequests[0].owner, Form1->Handle());
    EXPECT_EQ(backend.shellRequests[0].parameters, "");
    EXPECT_EQ(backend.shellRequests[0].directory, "");
    EXPECT_EQ(backend.shellRequests[0].showCommand, 1);
    EXPECT_TRUE(backend.captionsSet.empty());
    EXPECT_EQ(Form1->Caption.Text().str(), "Tessarin v-1.1");
}

TEST_F(MainWindowTest, StartUpRunsTheTitledWindowAndReturnsZero) {
    EXPECT_EQ(StartUp(), 0);
    EXPECT_EQ(backend.eventLoops, std::vector<std::string>{"Tessarin v-1.1"});
    EXPECT_EQ(Application->MainForm, Form1);
    EXPECT_TRUE(backend.messages.empty());
}

TEST_F(MainWindowTest, AnExceptionDuringConstructionIsShownOnceAndTheWindowNeverRuns) {
    backend.resources["TFORM1"] = "object Form1: TForm1\n  Left = x\nend\n";
    EXPECT_EQ(StartUp(), 0);
    EXPECT_EQ(backend.messages,
              std::vector<std::string>{"[Exception] Layout TFORM1, line 2: Left wants a number"});
    EXPECT_TRUE(backend.eventLoops.empty());
    EXPECT_EQ(Form1, nullptr);
}

struct EscapingException {
    const char* name;
    std::function<void()> raise;
    std::string shown;
};

class StartUpTest : public MainWindowTest, public testing::WithParamInterface<EscapingException> {};

TEST_P(StartUpTest, AnExceptionThatLeavesRunIsShownOnceAndStartUpReturnsZero) {
    backend.onEventLoop = [](TForm&) { GetParam().raise(); };
    EXPECT_EQ(StartUp(), 0);
    EXPECT_EQ(backend.messages, std::vector<std::string>{GetParam().shown});
    EXPECT_EQ(backend.eventLoops.size(), 1u);
}

// Only an Exception has a message to show; anything else is shown with an empty one.
const EscapingException kEscapingExceptions[] = {
    {"Exception", [] { throw Exception("Broken"); }, "[Exception] Broken"},
    {"OutOfMemory", [] { throw std::bad_alloc(); }, "[Exception] "},
    {"StandardException", [] { throw std::runtime_error("disk on fire"); }, "[Exception] "},
    {"Other", [] { throw 42; }, "[Exception] "},
};

INSTANTIATE_TEST_SUITE_P(Table, StartUpTest, testing::ValuesIn(kEscapingExceptions),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

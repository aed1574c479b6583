#include "MainForm.h"

#include "ConvertCommand.h"
#include "ShellApi.h"

AnsiString ProgramTitle = "Tessarin v-1.1";
TForm1* Form1 = nullptr;

const TPublishedTable TForm1::Published = {
    "TForm1",
    {
        PublishedField("Button1", &TForm1::Button1),
        PublishedField("OpenDialog1", &TForm1::OpenDialog1),
        PublishedField("Label1", &TForm1::Label1),
        PublishedHandler("Button1Click", &TForm1::Button1Click),
        PublishedHandler("Label1Click", &TForm1::Label1Click),
    },
};

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {
    LoadLayout("TFORM1", Published);
    // The layout's own caption is never seen: the title is set before the window is shown.
    Form1->Caption = ProgramTitle;
}

// The convert command's run state belongs to the command and outlives the window.
TForm1::~TForm1() = default;

void TForm1::Button1Click(TObject* /*Sender*/) { ConvertCommand(*OpenDialog1); }

// The label shows the web address; opening the very text it shows keeps the two as one.
void TForm1::Label1Click(TObject* /*Sender*/) {
    ShellExecuteA(Handle(), "open", Label1->Caption.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

#pragma once
// The main window: a button that runs the convert command and a label with the web address.
#include "Dialogs.h"
#include "Forms.h"

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* Owner);
    ~TForm1() override;

    // Published: bound by name to the layout TFORM1.
    TButton* Button1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TLabel* Label1 = nullptr;
    void Button1Click(TObject* Sender);
    void Label1Click(TObject* Sender);

private:
    static const TPublishedTable Published;
};

// The window's title.
extern AnsiString ProgramTitle;
// The main window; designates it from the start of its construction.
extern TForm1* Form1;

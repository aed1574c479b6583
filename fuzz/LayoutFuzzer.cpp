// The layout loader on arbitrary text: a form class shaped like the main window is built from
// it. Text that does not fit must be refused with an Exception; anything else (a crash, a
// sanitizer report, another kind of exception) is a fault.
#include <cstdint>
#include <string>

#include "Backend.h"
#include "Controls.h"
#include "Dialogs.h"
#include "Exception.h"
#include "Forms.h"

namespace {

class LayoutBackend : public Backend {
public:
    void ShowMessage(const AnsiString&, const AnsiString&) override {}
    bool ExecuteOpenDialog(const AnsiString&, AnsiString&) override { return false; }
    std::string ReadResource(const AnsiString&) override { return layout; }

    std::string layout;
};

class TFuzzForm : public TForm {
public:
    TFuzzForm() : TForm(nullptr) { LoadLayout("TFORM1", Published); }

    TButton* Button1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TLabel* Label1 = nullptr;
    void Button1Click(TObject*) {}
    void Label1Click(TObject*) {}

private:
    static const TPublishedTable Published;
};

const TPublishedTable TFuzzForm::Published = {
    "TForm1",
    {
        PublishedField("Button1", &TFuzzForm::Button1),
        PublishedField("OpenDialog1", &TFuzzForm::OpenDialog1),
        PublishedField("Label1", &TFuzzForm::Label1),
        PublishedHandler("Button1Click", &TFuzzForm::Button1Click),
        PublishedHandler("Label1Click", &TFuzzForm::Label1Click),
    },
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LayoutBackend backend;
    SetBackend(&backend);
    backend.layout.assign(reinterpret_cast<const char*>(data), size);
    try {
        TFuzzForm form;
    } catch (const Exception&) {
        // A refusal with a message is the loader's answer to text that does not fit.
    }
    return 0;
}

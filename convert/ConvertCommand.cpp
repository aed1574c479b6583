#include "ConvertCommand.h"

#include <cstdlib>

#include "Application.h"
#include "Dialogs.h"
#include "FileAccess.h"
#include "Messages.h"
#include "VbfImage.h"

LargeArray InputBuffer;
LargeArray ImageBuffer;

bool LoadInput(const AnsiString& path, uint32_t& inputLength) {
    inputLength = 0;
    GetFileLength(path, inputLength);
    if (inputLength == 0) {
        return false;
    }
    // The last run's arrays go first, so two runs never hold memory at once.
    ImageBuffer.reset();
    InputBuffer.reset();
    InputBuffer = NewLargeArray(inputLength);
    return LoadFile(path, InputBuffer.get(), inputLength) == 0;
}

bool BuildImage(uint32_t inputLength, uint32_t& imageSize) {
    imageSize = inputLength + kImageHeadroom;
    // Not initialised: capacity that no block touches costs no memory.
    ImageBuffer = NewLargeArray(imageSize);
    return VbfToImage(InputBuffer.get(), inputLength, ImageBuffer.get(), imageSize) == 0;
}

bool ConvertFile(const AnsiString& path, const AnsiString& outputPrefix, uint32_t& imageSize) {
    uint32_t inputLength = 0;
    return LoadInput(path, inputLength) && BuildImage(inputLength, imageSize) &&
           SaveFile(outputPrefix + MakeBaseName(path), "bin", ImageBuffer.get(), imageSize,
                    Messages::kErrorWriteFile) == 0;
}

void ConvertCommand(TOpenDialog& openDialog) {
    Application->MessageBox(Messages::kOpenFilePrompt, Messages::kCaptionMessage, 0);
    openDialog.Execute();
    const AnsiString path = openDialog.FileName;
    uint32_t imageSize = 0;
    if (!ConvertFile(path, "", imageSize)) {
        std::exit(0);
    }
    Application->MessageBox(Messages::kConvertedOk, Messages::kCaptionMessageRu, 0);
}

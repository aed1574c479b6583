#pragma once
// The convert command behind the main window's button, and the steps of one conversion
// that the command line companion shares with it.
#include <cstdint>
#include <memory>

#include "AnsiString.h"
#include "LargeBuffer.h"

class TOpenDialog;

// Run state of the last conversion: the input file and its image. Each run replaces both.
extern LargeArray InputBuffer;
extern LargeArray ImageBuffer;

// The image capacity is the input length plus this. An address places below 16 MiB and no
// block holds more than the file, so every block of a well-formed file fits.
inline constexpr uint32_t kImageHeadroom = uint32_t{1} << 24;

// Measures `path` and loads it whole into InputBuffer.
bool LoadInput(const AnsiString& path, uint32_t& inputLength);
// Builds the image of the loaded input into ImageBuffer; `imageSize` becomes its length.
bool BuildImage(uint32_t inputLength, uint32_t& imageSize);
// Loads, builds and saves `path` as "<outputPrefix><base name>.bin"; `imageSize` is the
// number of bytes written.
bool ConvertFile(const AnsiString& path, const AnsiString& outputPrefix, uint32_t& imageSize);
// Every step shows its own failure and returns false; the caller adds no message.

// Prompts, lets the user pick a file in `openDialog`, converts it into the current
// directory and reports success. Any failure ends the program with exit status 0.
void ConvertCommand(TOpenDialog& openDialog);

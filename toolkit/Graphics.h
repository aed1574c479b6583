#pragma once
// Colours and fonts as the layouts give them. The Windows headers define some of the classic
// names as macros (DEFAULT_CHARSET among them), so those appear here under names of our own.
#include <cstdint>

#include "AnsiString.h"

// 0x00BBGGRR for a colour of its own, or clSystemColor plus the index of a system colour
// (the platform's GetSysColor numbering).
using TColor = uint32_t;
inline constexpr TColor clSystemColor = 0x80000000u;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clNavy = 0x00800000u;  // red 0, green 0, blue 128

// Character set of a font, in the platform's numbering; layouts write DEFAULT_CHARSET.
using TFontCharset = uint8_t;
inline constexpr TFontCharset kDefaultCharset = 1;

// A set of font styles: any of these bits.
using TFontStyles = uint8_t;
enum TFontStyle : TFontStyles { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFont {
    AnsiString Name = "MS Sans Serif";
    // Negative: the character height in pixels; positive: the cell height.
    int Height = -11;
    TColor Color = clWindowText;
    TFontCharset Charset = kDefaultCharset;
    TFontStyles Style = 0;
};

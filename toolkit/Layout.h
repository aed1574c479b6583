#pragma once
// The text form description that forms are built from, in the classic form-file style:
//
//   object Form1: TForm1
//     Caption = 'Form1'
//     Font.Style = []
//     object Button1: TButton
//       Left = 64
//       OnClick = Button1Click
//     end
//   end
//
// One form object holds component objects; each line of an object is `Property = value`,
// where a value is an integer (-11), a string in single quotes ('it''s' holds a quote), an
// identifier (clBtnFace, True, Button1Click) or a set of identifiers ([fsBold, fsItalic]).
// This unit only reads the text; Forms.h gives the properties their meaning.
#include <string>
#include <vector>

#include "AnsiString.h"
#include "Exception.h"

struct TLayoutValue {
    enum class Kind { Integer, String, Identifier, Set };

    Kind kind = Kind::Integer;
    long long integer = 0;
    AnsiString text;                // a string or an identifier
    std::vector<AnsiString> items;  // a set
};

struct TLayoutProperty {
    AnsiString Name;  // "Left", "Font.Height"
    TLayoutValue Value;
    int Line = 0;
};

struct TLayoutObject {
    AnsiString Name;
    AnsiString ClassName;
    int Line = 0;
    std::vector<TLayoutProperty> Properties;
    std::vector<TLayoutObject> Children;
};

// Reads a layout that holds exactly one top-level object. `source` names the layout in
// error messages. Throws LayoutError for text that is not a layout.
TLayoutObject ParseLayout(const std::string& text, const AnsiString& source);

// "Layout TFORM1, line 7: <what>".
Exception LayoutError(const AnsiString& source, int line, const AnsiString& what);

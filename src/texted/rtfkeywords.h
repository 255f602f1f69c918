#pragma once

#include <string_view>

// The control words the RTF reader acts on; every other word is ignored with its group's text kept.
namespace RtfKeyword {

enum class Id {
    Unknown,
    // Header.
    Rtf,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    UnicodeSkip,
    Unicode,
    Bin,
    // Tables of the header.
    FontTable,
    ColorTable,
    StyleSheet,
    Charset,
    CodePage,
    Red,
    Green,
    Blue,
    Style,
    CharStyle,
    OtherStyle,
    // Destinations: read as text, unicode part of \upr, skipped.
    FieldResult,
    FieldInstruction,
    ListText,
    Upr,
    Ud,
    SkipPicture,
    SkipNote,
    SkipHeader,
    Skip,
    // Character properties.
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Font,
    FontSize,
    Color,
    Hidden,
    // Associated properties: the run kinds they belong to, then bold and italic.
    LowAnsi,
    HighAnsi,
    DoubleByte,
    RightToLeft,
    LeftToRight,
    AssociatedBold,
    AssociatedItalic,
    // Paragraph properties.
    ParagraphDefault,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    // Breaks and special characters.
    Par,
    Line,
    Tab,
    Cell,
    Row,
    Section,
    Char,
};

struct Keyword
{
    Id id = Id::Unknown;
    char16_t ch = 0; // for Id::Char
};

Keyword lookup(std::string_view name);

} // namespace RtfKeyword

#pragma once

#include <string_view>

// The control words the reader acts on, each with its kind and its action; every other word is
// ignored with its group's text kept. \u, \uc and \bin never get here: the tokenizer owns them.
namespace RtfKeyword {

enum class Kind {
    Unknown,
    Destination, // starts a group of its own kind: a table, text to read, or a part to skip
    Flag, // no parameter
    Toggle, // on without a parameter or with a non-zero one, off with 0
    Value, // a number
    Symbol, // a character or a break in the text
};

enum class Id {
    Unknown,
    // Destinations: tables of the header; read as text; the Unicode half of \upr; skipped.
    FontTable,
    ColorTable,
    StyleSheet,
    FieldResult,
    ListText,
    Upr,
    Ud,
    FieldInstruction,
    SkipPicture,
    SkipNote,
    SkipHeader,
    Skip,
    // The header's code page and default font.
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    // Entries of the tables.
    Charset,
    CodePage,
    Red,
    Green,
    Blue,
    Style,
    CharStyle,
    OtherStyle,
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
    // Breaks and characters.
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
    std::string_view name;
    Kind kind = Kind::Unknown;
    Id id = Id::Unknown;
    char16_t ch = 0; // for Id::Char
};

// The entry of a word; kind Unknown when the reader does not act on it.
const Keyword &lookup(std::string_view name);

// True for the destinations that keep their meaning in a group that starts with \*: those whose
// text is read and the skipped ones that are counted.
bool readsStarred(Id id);

} // namespace RtfKeyword

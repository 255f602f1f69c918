#include "rtf/rtfkeywords.h"

#include <algorithm>
#include <iterator>

namespace RtfKeyword {

namespace {

// Sorted by name (checked at compile time).
constexpr Keyword entries[] = {
    { "ab", Kind::Toggle, Id::AssociatedBold },
    { "aftncn", Kind::Destination, Id::Skip },
    { "aftnsep", Kind::Destination, Id::Skip },
    { "aftnsepc", Kind::Destination, Id::Skip },
    { "ai", Kind::Toggle, Id::AssociatedItalic },
    { "annotation", Kind::Destination, Id::SkipNote },
    { "ansi", Kind::Flag, Id::Ansi },
    { "ansicpg", Kind::Value, Id::AnsiCodePage },
    { "atnauthor", Kind::Destination, Id::Skip },
    { "atndate", Kind::Destination, Id::Skip },
    { "atnid", Kind::Destination, Id::Skip },
    { "atnparent", Kind::Destination, Id::Skip },
    { "atnref", Kind::Destination, Id::Skip },
    { "atrfend", Kind::Destination, Id::Skip },
    { "atrfstart", Kind::Destination, Id::Skip },
    { "b", Kind::Toggle, Id::Bold },
    { "background", Kind::Destination, Id::Skip },
    { "bkmkend", Kind::Destination, Id::Skip },
    { "bkmkstart", Kind::Destination, Id::Skip },
    { "blue", Kind::Value, Id::Blue },
    { "bullet", Kind::Symbol, Id::Char, 0x2022 },
    { "cell", Kind::Symbol, Id::Cell },
    { "cf", Kind::Value, Id::Color },
    { "colorschememapping", Kind::Destination, Id::Skip },
    { "colortbl", Kind::Destination, Id::ColorTable },
    { "cpg", Kind::Value, Id::CodePage },
    { "cs", Kind::Value, Id::CharStyle },
    { "datastore", Kind::Destination, Id::Skip },
    { "dbch", Kind::Flag, Id::DoubleByte },
    { "deff", Kind::Value, Id::DefaultFont },
    { "do", Kind::Destination, Id::SkipPicture },
    { "docvar", Kind::Destination, Id::Skip },
    { "ds", Kind::Value, Id::OtherStyle },
    { "emdash", Kind::Symbol, Id::Char, 0x2014 },
    { "emspace", Kind::Symbol, Id::Char, 0x2003 },
    { "endash", Kind::Symbol, Id::Char, 0x2013 },
    { "enspace", Kind::Symbol, Id::Char, 0x2002 },
    { "f", Kind::Value, Id::Font },
    { "falt", Kind::Destination, Id::Skip },
    { "fcharset", Kind::Value, Id::Charset },
    { "fldinst", Kind::Destination, Id::FieldInstruction },
    { "fldrslt", Kind::Destination, Id::FieldResult },
    { "fonttbl", Kind::Destination, Id::FontTable },
    { "footer", Kind::Destination, Id::SkipHeader },
    { "footerf", Kind::Destination, Id::SkipHeader },
    { "footerl", Kind::Destination, Id::SkipHeader },
    { "footerr", Kind::Destination, Id::SkipHeader },
    { "footnote", Kind::Destination, Id::SkipNote },
    { "fs", Kind::Value, Id::FontSize },
    { "ftncn", Kind::Destination, Id::Skip },
    { "ftnsep", Kind::Destination, Id::Skip },
    { "ftnsepc", Kind::Destination, Id::Skip },
    { "green", Kind::Value, Id::Green },
    { "header", Kind::Destination, Id::SkipHeader },
    { "headerf", Kind::Destination, Id::SkipHeader },
    { "headerl", Kind::Destination, Id::SkipHeader },
    { "headerr", Kind::Destination, Id::SkipHeader },
    { "hich", Kind::Flag, Id::HighAnsi },
    { "i", Kind::Toggle, Id::Italic },
    { "info", Kind::Destination, Id::Skip },
    { "latentstyles", Kind::Destination, Id::Skip },
    { "ldblquote", Kind::Symbol, Id::Char, 0x201C },
    { "line", Kind::Symbol, Id::Line },
    { "listoverridetable", Kind::Destination, Id::Skip },
    { "listpicture", Kind::Destination, Id::Skip },
    { "listtable", Kind::Destination, Id::Skip },
    { "listtext", Kind::Destination, Id::ListText },
    { "loch", Kind::Flag, Id::LowAnsi },
    { "lquote", Kind::Symbol, Id::Char, 0x2018 },
    { "ltrch", Kind::Flag, Id::LeftToRight },
    { "ltrmark", Kind::Symbol, Id::Char, 0x200E },
    { "mac", Kind::Flag, Id::Mac },
    { "mmathPr", Kind::Destination, Id::Skip },
    { "nestcell", Kind::Symbol, Id::Cell },
    { "nestrow", Kind::Symbol, Id::Row },
    { "nonesttables", Kind::Destination, Id::Skip },
    { "nonshppict", Kind::Destination, Id::Skip },
    { "object", Kind::Destination, Id::SkipPicture },
    { "par", Kind::Symbol, Id::Par },
    { "pard", Kind::Flag, Id::ParagraphDefault },
    { "pc", Kind::Flag, Id::Pc },
    { "pca", Kind::Flag, Id::Pca },
    { "pgdsctbl", Kind::Destination, Id::Skip },
    { "pict", Kind::Destination, Id::SkipPicture },
    { "plain", Kind::Flag, Id::Plain },
    { "pn", Kind::Destination, Id::Skip },
    { "pntext", Kind::Destination, Id::ListText },
    { "private", Kind::Destination, Id::Skip },
    { "qc", Kind::Flag, Id::AlignCenter },
    { "qd", Kind::Flag, Id::AlignJustify },
    { "qj", Kind::Flag, Id::AlignJustify },
    { "ql", Kind::Flag, Id::AlignLeft },
    { "qmspace", Kind::Symbol, Id::Char, 0x2005 },
    { "qr", Kind::Flag, Id::AlignRight },
    { "rdblquote", Kind::Symbol, Id::Char, 0x201D },
    { "red", Kind::Value, Id::Red },
    { "revtbl", Kind::Destination, Id::Skip },
    { "row", Kind::Symbol, Id::Row },
    { "rquote", Kind::Symbol, Id::Char, 0x2019 },
    { "rsidtbl", Kind::Destination, Id::Skip },
    { "rtlch", Kind::Flag, Id::RightToLeft },
    { "rtlmark", Kind::Symbol, Id::Char, 0x200F },
    { "rxe", Kind::Destination, Id::Skip },
    { "s", Kind::Value, Id::Style },
    { "sect", Kind::Symbol, Id::Section },
    { "shp", Kind::Destination, Id::SkipPicture },
    { "shppict", Kind::Destination, Id::SkipPicture },
    { "stylesheet", Kind::Destination, Id::StyleSheet },
    { "tab", Kind::Symbol, Id::Tab },
    { "tc", Kind::Destination, Id::Skip },
    { "template", Kind::Destination, Id::Skip },
    { "themedata", Kind::Destination, Id::Skip },
    { "ts", Kind::Value, Id::OtherStyle },
    { "txe", Kind::Destination, Id::Skip },
    { "ud", Kind::Destination, Id::Ud },
    { "ul", Kind::Toggle, Id::Underline },
    { "uld", Kind::Toggle, Id::Underline },
    { "uldash", Kind::Toggle, Id::Underline },
    { "uldashd", Kind::Toggle, Id::Underline },
    { "uldashdd", Kind::Toggle, Id::Underline },
    { "uldb", Kind::Toggle, Id::Underline },
    { "ulhwave", Kind::Toggle, Id::Underline },
    { "ulldash", Kind::Toggle, Id::Underline },
    { "ulnone", Kind::Flag, Id::UnderlineNone },
    { "ulth", Kind::Toggle, Id::Underline },
    { "ulthd", Kind::Toggle, Id::Underline },
    { "ulthdash", Kind::Toggle, Id::Underline },
    { "ulthdashd", Kind::Toggle, Id::Underline },
    { "ulthdashdd", Kind::Toggle, Id::Underline },
    { "ulthldash", Kind::Toggle, Id::Underline },
    { "ululdbwave", Kind::Toggle, Id::Underline },
    { "ulw", Kind::Toggle, Id::Underline },
    { "ulwave", Kind::Toggle, Id::Underline },
    { "upr", Kind::Destination, Id::Upr },
    { "userprops", Kind::Destination, Id::Skip },
    { "v", Kind::Toggle, Id::Hidden },
    { "xe", Kind::Destination, Id::Skip },
    { "xmlnstbl", Kind::Destination, Id::Skip },
    { "zwbo", Kind::Symbol, Id::Char, 0x200B },
    { "zwj", Kind::Symbol, Id::Char, 0x200D },
    { "zwnj", Kind::Symbol, Id::Char, 0x200C },
};

constexpr bool sorted()
{
    for (std::size_t i = 1; i < std::size(entries); ++i) {
        if (!(entries[i - 1].name < entries[i].name))
            return false;
    }
    return true;
}
static_assert(sorted(), "keep the keyword table sorted by name");

constexpr Keyword unknown;

} // namespace

const Keyword &lookup(std::string_view name)
{
    const auto it = std::lower_bound(std::begin(entries), std::end(entries), name,
        [](const Keyword &entry, std::string_view key) { return entry.name < key; });
    return it != std::end(entries) && it->name == name ? *it : unknown;
}

bool readsStarred(Id id)
{
    switch (id) {
    case Id::FieldResult:
    case Id::FieldInstruction:
    case Id::ListText:
    case Id::Ud:
    case Id::Upr:
    case Id::SkipPicture:
    case Id::SkipNote:
    case Id::SkipHeader: return true;
    default: return false;
    }
}

} // namespace RtfKeyword

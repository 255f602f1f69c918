#include "texted/rtfkeywords.h"

#include <algorithm>
#include <iterator>

namespace RtfKeyword {

namespace {

struct Entry
{
    std::string_view name;
    Id id;
    char16_t ch = 0;
};

// Sorted by name (checked at compile time).
constexpr Entry entries[] = {
    { "ab", Id::AssociatedBold },
    { "aftncn", Id::Skip },
    { "aftnsep", Id::Skip },
    { "aftnsepc", Id::Skip },
    { "ai", Id::AssociatedItalic },
    { "annotation", Id::SkipNote },
    { "ansi", Id::Ansi },
    { "ansicpg", Id::AnsiCodePage },
    { "atnauthor", Id::Skip },
    { "atndate", Id::Skip },
    { "atnid", Id::Skip },
    { "atnparent", Id::Skip },
    { "atnref", Id::Skip },
    { "atrfend", Id::Skip },
    { "atrfstart", Id::Skip },
    { "b", Id::Bold },
    { "background", Id::Skip },
    { "bin", Id::Bin },
    { "bkmkend", Id::Skip },
    { "bkmkstart", Id::Skip },
    { "blue", Id::Blue },
    { "bullet", Id::Char, 0x2022 },
    { "cell", Id::Cell },
    { "cf", Id::Color },
    { "colorschememapping", Id::Skip },
    { "colortbl", Id::ColorTable },
    { "cpg", Id::CodePage },
    { "cs", Id::CharStyle },
    { "datastore", Id::Skip },
    { "dbch", Id::DoubleByte },
    { "deff", Id::DefaultFont },
    { "do", Id::SkipPicture },
    { "docvar", Id::Skip },
    { "ds", Id::OtherStyle },
    { "emdash", Id::Char, 0x2014 },
    { "emspace", Id::Char, 0x2003 },
    { "endash", Id::Char, 0x2013 },
    { "enspace", Id::Char, 0x2002 },
    { "f", Id::Font },
    { "falt", Id::Skip },
    { "fcharset", Id::Charset },
    { "fldinst", Id::FieldInstruction },
    { "fldrslt", Id::FieldResult },
    { "fonttbl", Id::FontTable },
    { "footer", Id::SkipHeader },
    { "footerf", Id::SkipHeader },
    { "footerl", Id::SkipHeader },
    { "footerr", Id::SkipHeader },
    { "footnote", Id::SkipNote },
    { "fs", Id::FontSize },
    { "ftncn", Id::Skip },
    { "ftnsep", Id::Skip },
    { "ftnsepc", Id::Skip },
    { "green", Id::Green },
    { "header", Id::SkipHeader },
    { "headerf", Id::SkipHeader },
    { "headerl", Id::SkipHeader },
    { "headerr", Id::SkipHeader },
    { "hich", Id::HighAnsi },
    { "i", Id::Italic },
    { "info", Id::Skip },
    { "latentstyles", Id::Skip },
    { "ldblquote", Id::Char, 0x201C },
    { "line", Id::Line },
    { "listoverridetable", Id::Skip },
    { "listpicture", Id::Skip },
    { "listtable", Id::Skip },
    { "listtext", Id::ListText },
    { "loch", Id::LowAnsi },
    { "lquote", Id::Char, 0x2018 },
    { "ltrch", Id::LeftToRight },
    { "ltrmark", Id::Char, 0x200E },
    { "mac", Id::Mac },
    { "mmathPr", Id::Skip },
    { "nestcell", Id::Cell },
    { "nestrow", Id::Row },
    { "nonesttables", Id::Skip },
    { "nonshppict", Id::Skip },
    { "object", Id::SkipPicture },
    { "par", Id::Par },
    { "pard", Id::ParagraphDefault },
    { "pc", Id::Pc },
    { "pca", Id::Pca },
    { "pgdsctbl", Id::Skip },
    { "pict", Id::SkipPicture },
    { "plain", Id::Plain },
    { "pn", Id::Skip },
    { "pntext", Id::ListText },
    { "private", Id::Skip },
    { "qc", Id::AlignCenter },
    { "qd", Id::AlignJustify },
    { "qj", Id::AlignJustify },
    { "ql", Id::AlignLeft },
    { "qmspace", Id::Char, 0x2005 },
    { "qr", Id::AlignRight },
    { "rdblquote", Id::Char, 0x201D },
    { "red", Id::Red },
    { "revtbl", Id::Skip },
    { "row", Id::Row },
    { "rquote", Id::Char, 0x2019 },
    { "rsidtbl", Id::Skip },
    { "rtf", Id::Rtf },
    { "rtlch", Id::RightToLeft },
    { "rtlmark", Id::Char, 0x200F },
    { "rxe", Id::Skip },
    { "s", Id::Style },
    { "sect", Id::Section },
    { "shp", Id::SkipPicture },
    { "shppict", Id::SkipPicture },
    { "stylesheet", Id::StyleSheet },
    { "tab", Id::Tab },
    { "tc", Id::Skip },
    { "template", Id::Skip },
    { "themedata", Id::Skip },
    { "ts", Id::OtherStyle },
    { "txe", Id::Skip },
    { "u", Id::Unicode },
    { "uc", Id::UnicodeSkip },
    { "ud", Id::Ud },
    { "ul", Id::Underline },
    { "uld", Id::Underline },
    { "uldash", Id::Underline },
    { "uldashd", Id::Underline },
    { "uldashdd", Id::Underline },
    { "uldb", Id::Underline },
    { "ulhwave", Id::Underline },
    { "ulldash", Id::Underline },
    { "ulnone", Id::UnderlineNone },
    { "ulth", Id::Underline },
    { "ulthd", Id::Underline },
    { "ulthdash", Id::Underline },
    { "ulthdashd", Id::Underline },
    { "ulthdashdd", Id::Underline },
    { "ulthldash", Id::Underline },
    { "ululdbwave", Id::Underline },
    { "ulw", Id::Underline },
    { "ulwave", Id::Underline },
    { "upr", Id::Upr },
    { "userprops", Id::Skip },
    { "v", Id::Hidden },
    { "xe", Id::Skip },
    { "xmlnstbl", Id::Skip },
    { "zwbo", Id::Char, 0x200B },
    { "zwj", Id::Char, 0x200D },
    { "zwnj", Id::Char, 0x200C },
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

} // namespace

Keyword lookup(std::string_view name)
{
    const auto it = std::lower_bound(std::begin(entries), std::end(entries), name,
        [](const Entry &entry, std::string_view key) { return entry.name < key; });
    if (it == std::end(entries) || it->name != name)
        return {};
    return { it->id, it->ch };
}

} // namespace RtfKeyword

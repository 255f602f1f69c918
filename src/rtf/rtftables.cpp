#include "rtf/rtftables.h"

#include "rtf/rtfformat.h"

#include <algorithm>

using RtfKeyword::Id;

namespace {

constexpr int MaxFonts = 4096;
constexpr qsizetype MaxFontNameLength = 256; // bytes and characters: a name read back reads the same
constexpr size_t MaxColors = 65536;

// A font name as the writer can give it back: no controls, no ';', no lone surrogates, trimmed.
QString fontName(QString name)
{
    RtfFormat::sanitize(name);
    name.removeIf([](QChar ch) {
        return ch.unicode() < 0x20 || ch == u';' || ch == QChar::ReplacementCharacter || ch == QChar::LineSeparator;
    });
    return name.trimmed();
}

} // namespace

void RtfFonts::setAnsiCodePage(int codePage)
{
    if (codePage > 0)
        m_ansiCodePage = codePage;
}

void RtfFonts::word(Id id, int parameter)
{
    if (id == Id::Font) {
        endEntry();
        m_entry.index = parameter;
    } else if (id == Id::Charset) {
        m_entry.charset = parameter;
    } else if (id == Id::CodePage) {
        m_entry.codePage = parameter;
    }
}

void RtfFonts::bytes(QByteArrayView bytes, bool raw)
{
    for (char b : bytes) {
        if (raw && b == ';')
            endEntry();
        else if (m_entry.index >= 0 && m_entry.bytes.size() + m_entry.text.size() < MaxFontNameLength)
            m_entry.bytes += b;
    }
}

void RtfFonts::character(QChar ch)
{
    m_entry.text += entryDecoder().decode(m_entry.bytes);
    m_entry.bytes.clear();
    if (m_entry.text.size() < MaxFontNameLength)
        m_entry.text += ch;
}

void RtfFonts::endEntry()
{
    if (m_entry.index < 0)
        return;
    Font font;
    font.name = fontName(m_entry.text + entryDecoder().decode(m_entry.bytes));
    font.codePage = entryCodePage();
    if (font.codePage == RtfCodePage::Symbol && font.name.compare(u"Symbol", Qt::CaseInsensitive) != 0)
        font.codePage = RtfCodePage::Ansi; // other symbol fonts have no Unicode mapping of their own
    if (m_fonts.size() < MaxFonts || m_fonts.contains(m_entry.index))
        m_fonts.insert(m_entry.index, font);
    m_entry = Entry();
}

QString RtfFonts::family(int index) const
{
    return m_fonts.value(index < 0 ? m_defaultFont : index).name;
}

RtfCodePage::Decoder &RtfFonts::decoder(int index)
{
    const auto it = m_fonts.constFind(index < 0 ? m_defaultFont : index);
    return m_codePages.get(it != m_fonts.constEnd() && it->codePage != 0 ? it->codePage : m_ansiCodePage);
}

int RtfFonts::entryCodePage() const
{
    return m_entry.codePage > 0 ? m_entry.codePage : RtfCodePage::fromCharset(m_entry.charset);
}

// The code page of the entry being read, for its name; a symbol font's name is plain text.
RtfCodePage::Decoder &RtfFonts::entryDecoder()
{
    const int codePage = entryCodePage();
    if (codePage == RtfCodePage::Symbol)
        return m_codePages.get(RtfCodePage::Ansi);
    return m_codePages.get(codePage != 0 ? codePage : m_ansiCodePage);
}

void RtfColors::beginTable()
{
    m_colors.clear();
    m_red = m_green = m_blue = -1;
}

void RtfColors::word(Id id, int parameter)
{
    const int value = std::clamp(parameter, 0, 255);
    if (id == Id::Red)
        m_red = value;
    else if (id == Id::Green)
        m_green = value;
    else if (id == Id::Blue)
        m_blue = value;
}

void RtfColors::bytes(QByteArrayView bytes, bool raw)
{
    for (char b : bytes) {
        if (!raw || b != ';')
            continue;
        if (m_colors.size() < MaxColors) {
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colors.emplace_back();
            else
                m_colors.emplace_back(QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
        }
        m_red = m_green = m_blue = -1;
    }
}

std::optional<QColor> RtfColors::color(int index) const
{
    return contains(index) ? m_colors[size_t(index)] : std::nullopt;
}

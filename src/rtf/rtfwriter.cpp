#include "rtf/rtfwriter.h"

#include "rtf/rtf.h"
#include "rtf/rtfformat.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace {

constexpr qsizetype LineLength = 200;

// The font family class that lets a reader without the font pick a similar one.
const char *familyClass(const QString &family)
{
    const QString name = family.toLower();
    for (const char *mono : { "courier", "mono", "consol", "fixed", "typewriter", "terminal" }) {
        if (name.contains(QLatin1String(mono)))
            return "fmodern";
    }
    for (const char *sans : { "sans", "arial", "helvetica", "verdana", "tahoma", "calibri", "segoe", "gothic" }) {
        if (name.contains(QLatin1String(sans)))
            return "fswiss";
    }
    for (const char *serif : { "serif", "times", "roman", "georgia", "garamond", "cambria", "book", "mincho" }) {
        if (name.contains(QLatin1String(serif)))
            return "froman";
    }
    return "fnil";
}

// A font name for the font table: escaped, without the ';' that ends the entry.
QByteArray fontName(const QString &family)
{
    QByteArray out;
    for (const QChar ch : family) {
        if (ch == u';' || ch.unicode() < 0x20)
            continue;
        if (ch == u'\\' || ch == u'{' || ch == u'}')
            out += '\\';
        if (ch.unicode() < 0x80)
            out += char(ch.unicode());
        else
            out += "\\u" + QByteArray::number(qint16(ch.unicode())) + '?';
    }
    return out;
}

bool isUnderlined(const QTextCharFormat &format, const QFont &resolved)
{
    if (!format.hasProperty(QTextFormat::TextUnderlineStyle))
        return resolved.underline();
    const auto style = format.underlineStyle();
    return style != QTextCharFormat::NoUnderline && style != QTextCharFormat::SpellCheckUnderline;
}

QString listLabel(const QTextList &list, const QTextBlock &block)
{
    switch (list.format().style()) {
    case QTextListFormat::ListDisc: return QStringLiteral("\u2022");
    case QTextListFormat::ListCircle: return QStringLiteral("\u25E6");
    case QTextListFormat::ListSquare: return QStringLiteral("\u25AA");
    default: return list.itemText(block);
    }
}

} // namespace

RtfWriter::RtfWriter(const QTextDocument &document, const QFont &defaultFont)
    : m_document(document)
    , m_defaultFont(defaultFont)
{
    fontIndex(m_defaultFont.family()); // font 0, the \deff font
}

QByteArray RtfWriter::write(bool finalParagraphMark)
{
    m_out.reserve(m_document.characterCount() + m_document.characterCount() / 4 + 256);
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
        writeBlock(block, !block.next().isValid(), finalParagraphMark);
    return header() + m_out + '}';
}

void RtfWriter::writeBlock(const QTextBlock &block, bool last, bool finalParagraphMark)
{
    word("pard");
    word("plain");
    word(RtfFormat::alignmentWord(block.blockFormat().alignment()));
    if (block.textList())
        writeListLabel(block);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        // Pictures and other objects are not written; their place holder is no text.
        if (!fragment.isValid() || fragment.length() == 0
            || fragment.charFormat().objectType() != QTextFormat::NoObject)
            continue;
        m_out += '{';
        auto found = m_properties.constFind(fragment.charFormatIndex());
        if (found == m_properties.constEnd())
            found = m_properties.insert(fragment.charFormatIndex(), properties(fragment.charFormat()));
        m_out += *found;
        m_delimit = true;
        text(fragment.text());
        m_out += '}';
        m_delimit = false;
    }
    if (block.length() <= 1) { // an empty paragraph keeps the size of its line
        m_out += properties(block.charFormat());
        m_delimit = true;
    }
    if (!last || finalParagraphMark) {
        word("par");
        m_out += "\r\n";
        m_lineStart = m_out.size();
        m_delimit = false;
    }
}

void RtfWriter::writeListLabel(const QTextBlock &block)
{
    m_out += '{';
    m_out += properties(block.charFormat());
    m_delimit = true;
    text(listLabel(*block.textList(), block));
    word("tab");
    m_out += '}';
    m_delimit = false;
}

// "\f1\fs24\b\i\ul\cf2" for a run; the font and size are always named, so that readers with other
// defaults show the same.
QByteArray RtfWriter::properties(const QTextCharFormat &format)
{
    const QFont font = format.font().resolve(m_defaultFont);
    QByteArray out;
    out += "\\f" + QByteArray::number(fontIndex(font.family()));
    out += "\\fs" + QByteArray::number(RtfFormat::halfPoints(font));
    if (font.weight() >= QFont::DemiBold)
        out += "\\b";
    if (font.italic())
        out += "\\i";
    if (isUnderlined(format, font))
        out += "\\ul";
    if (format.boolProperty(Rtf::HiddenTextProperty))
        out += "\\v";
    if (format.foreground().style() != Qt::NoBrush)
        out += "\\cf" + QByteArray::number(colorIndex(format.foreground().color().rgb()));
    return out;
}

QByteArray RtfWriter::header() const
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\stshfdbch0\\uc1\r\n{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + '\\' + familyClass(m_fonts.at(i)) + "\\fcharset0 "
            + fontName(m_fonts.at(i)) + ";}";
    }
    out += "}\r\n{\\colortbl;";
    for (QRgb color : m_colors) {
        out += "\\red" + QByteArray::number(qRed(color)) + "\\green" + QByteArray::number(qGreen(color)) + "\\blue"
            + QByteArray::number(qBlue(color)) + ';';
    }
    out += "}\r\n{\\stylesheet{\\s0\\ql\\f0\\fs" + QByteArray::number(RtfFormat::halfPoints(m_defaultFont))
        + " Normal;}}\r\n";
    return out;
}

int RtfWriter::fontIndex(const QString &family)
{
    const auto found = m_fontIndexes.constFind(family);
    if (found != m_fontIndexes.constEnd())
        return *found;
    m_fonts.append(family);
    return *m_fontIndexes.insert(family, int(m_fonts.size() - 1));
}

int RtfWriter::colorIndex(QRgb color)
{
    color = qRgb(qRed(color), qGreen(color), qBlue(color));
    const auto found = m_colorIndexes.constFind(color);
    if (found != m_colorIndexes.constEnd())
        return *found;
    m_colors.append(color);
    return *m_colorIndexes.insert(color, int(m_colors.size())); // entry 0 is "automatic"
}

void RtfWriter::word(const char *name)
{
    m_out += '\\';
    m_out += name;
    m_delimit = true;
}

void RtfWriter::word(const char *name, int parameter)
{
    word(name);
    m_out += QByteArray::number(parameter);
}

void RtfWriter::text(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            character(ch);
            character(text[++i].unicode());
        } else if (QChar::isSurrogate(ch)) {
            character(QChar::ReplacementCharacter);
        } else {
            character(ch);
        }
    }
}

void RtfWriter::character(char16_t ch)
{
    breakLongLine();
    switch (ch) {
    case u'\\': m_out += "\\\\"; break;
    case u'{': m_out += "\\{"; break;
    case u'}': m_out += "\\}"; break;
    case u'\t': word("tab"); return;
    case QChar::LineSeparator: word("line"); return;
    case QChar::Nbsp: m_out += "\\~"; break;
    case 0x2011: m_out += "\\_"; break;
    case QChar::SoftHyphen: m_out += "\\-"; break;
    case QChar::ParagraphSeparator:
    case 0xFDD0: // frame boundaries
    case 0xFDD1: return;
    default:
        if (ch < 0x20)
            return;
        if (ch < 0x80) {
            if (m_delimit)
                m_out += ' ';
            m_out += char(ch);
        } else {
            m_out += "\\u" + QByteArray::number(qint16(ch)) + '?'; // signed: above 32767 negative
        }
        break;
    }
    m_delimit = false;
}

// Lines end every so often where a line end cannot change the text: raw line ends are not text.
void RtfWriter::breakLongLine()
{
    if (m_out.size() - m_lineStart < LineLength)
        return;
    if (m_delimit)
        m_out += ' ';
    m_out += "\r\n";
    m_lineStart = m_out.size();
    m_delimit = false;
}

#include "rtf/rtfsink.h"

#include "rtf/rtf.h"
#include "rtf/rtfformat.h"
#include "rtf/rtftables.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {

enum RunKind : quint8 { LowAnsi = 1, HighAnsi = 2, DoubleByte = 3 };

// East Asian scripts, full-width forms and everything beyond the first plane (emoji) are written
// as double-byte runs.
RunKind runKindOf(QChar ch)
{
    const char16_t c = ch.unicode();
    if (c < 0x80)
        return LowAnsi;
    const bool doubleByte = (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xA960 && c <= 0xA97F)
        || (c >= 0xAC00 && c <= 0xDFFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
        || (c >= 0xFF00 && c <= 0xFFEF);
    return doubleByte ? DoubleByte : HighAnsi;
}

constexpr int BoldBit = 60;
constexpr int ItalicBit = 61;

// The character properties but the associated ones packed into one number: font (32 bits), size
// (12), colour (16), flags.
quint64 keyOf(const RtfRunFormat &f)
{
    return quint64(quint32(f.font)) | quint64(f.halfPoints) << 32 | quint64(quint16(f.color)) << 44
        | quint64(f.bold) << BoldBit | quint64(f.italic) << ItalicBit | quint64(f.underline) << 62
        | quint64(f.hidden) << 63;
}

// The key of one character of a run with associated properties: the bold and italic given for
// its run kind, else the run's own.
quint64 keyOf(quint64 key, quint16 associated, QChar ch)
{
    const int bits = associated >> (runKindOf(ch) - 1) * 4 & 0xF;
    if (bits & 1)
        key = (key & ~(quint64(1) << BoldBit)) | quint64(bits >> 1 & 1) << BoldBit;
    if (bits & 4)
        key = (key & ~(quint64(1) << ItalicBit)) | quint64(bits >> 3 & 1) << ItalicBit;
    return key;
}

} // namespace

RtfDocumentSink::RtfDocumentSink(QTextCursor &cursor, Mode mode, const RtfFonts &fonts, const RtfColors &colors)
    : m_cursor(cursor)
    , m_mode(mode)
    , m_fonts(fonts)
    , m_colors(colors)
{ }

void RtfDocumentSink::begin()
{
    m_cursor.beginEditBlock();
    if (m_mode == Mode::Insert) {
        m_cursor.removeSelectedText();
        m_tailBlockFormat = m_cursor.blockFormat();
        m_blockAlignment = RtfFormat::horizontal(m_tailBlockFormat.alignment());
        const QFont font = m_cursor.document()->defaultFont();
        m_defaultFamily = font.family();
        m_defaultHalfPoints = RtfFormat::halfPoints(font);
        m_defaultsKnown = true;
    }
}

void RtfDocumentSink::setDefaults(const QString &family, int halfPoints)
{
    m_defaultsKnown = true;
    QTextDocument *document = m_cursor.document();
    QFont font = document->defaultFont();
    if (!family.isEmpty())
        font.setFamilies({ family });
    font.setPointSizeF(halfPoints / 2.0);
    document->setDefaultFont(font);
    m_defaultFamily = font.family();
    m_defaultHalfPoints = halfPoints;
}

// Starts a new run when the properties differ from the last run's. The halves of a surrogate pair
// stay in one run, so that no fragment of the document ends inside a character.
void RtfDocumentSink::append(QStringView text, const RtfRunFormat &format)
{
    if (!text.isEmpty() && text.front().isLowSurrogate() && !m_text.isEmpty() && m_text.back().isHighSurrogate()) {
        m_text += text.front();
        text = text.sliced(1);
        if (text.isEmpty())
            return;
    }
    const quint64 key = keyOf(format);
    const bool same
        = !m_runs.isEmpty() && m_runs.constLast().key == key && m_runs.constLast().associated == format.associated;
    if (!same && !m_runs.isEmpty() && m_runs.constLast().start == m_text.size())
        m_runs.last() = Run { m_text.size(), key, format.associated };
    else if (!same)
        m_runs.append(Run { m_text.size(), key, format.associated });
    m_text += text;
}

void RtfDocumentSink::endParagraph(Qt::Alignment alignment, const RtfRunFormat &format)
{
    if (m_breakPending)
        insertBreak();
    insertParagraph(alignment, format, true);
    m_breakPending = true;
}

// A last paragraph that is empty after a \par is the document's final paragraph mark (as word
// processors read it); when inserting, the pending break still belongs to the text.
void RtfDocumentSink::finish(Qt::Alignment alignment, const RtfRunFormat &format)
{
    const bool empty = m_text.isEmpty();
    if (m_mode == Mode::Replace) {
        if (!empty || !m_breakPending) {
            if (m_breakPending)
                insertBreak();
            insertParagraph(alignment, format, true);
        }
    } else {
        if (m_breakPending)
            insertBreak();
        // The last paragraph keeps its alignment where it lands in a line of its own.
        if (!empty)
            insertParagraph(alignment, format, m_cursor.atBlockStart() && m_cursor.atBlockEnd());
    }
    m_cursor.endEditBlock();
}

void RtfDocumentSink::insertBreak()
{
    if (m_mode == Mode::Insert)
        m_cursor.insertBlock(m_tailBlockFormat);
    else
        m_cursor.insertBlock();
    m_blockAlignment = RtfFormat::horizontal(m_cursor.blockFormat().alignment());
    m_breakPending = false;
}

void RtfDocumentSink::insertParagraph(Qt::Alignment alignment, const RtfRunFormat &format, bool applyBlockFormat)
{
    RtfFormat::sanitize(m_text);
    if (applyBlockFormat && alignment != m_blockAlignment) {
        QTextBlockFormat block;
        block.setAlignment(alignment);
        m_cursor.mergeBlockFormat(block);
        m_blockAlignment = alignment;
    }
    if (m_text.isEmpty()) {
        if (m_mode == Mode::Replace)
            m_cursor.setBlockCharFormat(charFormat(keyOf(format))); // the size of an empty line
    } else if (m_runs.size() == 1) {
        insertRun(m_text, m_runs.first().key, m_runs.first().associated);
    } else {
        for (qsizetype i = 0; i < m_runs.size(); ++i) {
            const qsizetype start = m_runs.at(i).start;
            const qsizetype end = i + 1 < m_runs.size() ? m_runs.at(i + 1).start : m_text.size();
            if (end > start)
                insertRun(m_text.mid(start, end - start), m_runs.at(i).key, m_runs.at(i).associated);
        }
    }
    m_text.clear();
    m_runs.clear();
}

// A run with associated properties is split where the run kind of its characters changes.
void RtfDocumentSink::insertRun(const QString &text, quint64 key, quint16 associated)
{
    if (associated == 0) {
        m_cursor.insertText(text, charFormat(key));
        return;
    }
    qsizetype start = 0;
    for (qsizetype i = 1; i <= text.size(); ++i) {
        if (i < text.size() && keyOf(key, associated, text[i]) == keyOf(key, associated, text[start]))
            continue;
        m_cursor.insertText(text.mid(start, i - start), charFormat(keyOf(key, associated, text[start])));
        start = i;
    }
}

const QTextCharFormat &RtfDocumentSink::charFormat(quint64 key)
{
    if (const auto it = m_formats.constFind(key); it != m_formats.constEnd())
        return *it;
    const int font = int(quint32(key));
    const int halfPoints = int(key >> 32 & 0xFFF);
    QTextCharFormat format;
    if (key >> BoldBit & 1)
        format.setFontWeight(QFont::Bold);
    if (key >> ItalicBit & 1)
        format.setFontItalic(true);
    if (key >> 62 & 1)
        format.setFontUnderline(true);
    if (key >> 63 & 1)
        format.setProperty(Rtf::HiddenTextProperty, true);
    const QString family = m_fonts.family(font);
    if (!family.isEmpty() && family != m_defaultFamily)
        format.setFontFamilies({ family });
    if (halfPoints != m_defaultHalfPoints)
        format.setFontPointSize(halfPoints / 2.0);
    if (const auto color = m_colors.color(int(key >> 44 & 0xFFFF)))
        format.setForeground(*color);
    return *m_formats.insert(key, format);
}

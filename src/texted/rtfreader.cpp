#include "texted/rtfreader.h"

#include "texted/rtfkeywords.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <limits>

using RtfKeyword::Id;

namespace {

constexpr int MaxHalfPoints = 3276; // 1638 pt
constexpr int MaxUnicodeSkip = 16;
constexpr qint64 ParameterLimit = qint64(std::numeric_limits<int>::max()) + 1;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

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

// Bytes that end a run of plain text.
bool isSpecial(char c)
{
    return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n' || c == '\t' || c == '\0';
}

// Words that keep their meaning in a group that starts with \*: the destinations whose text is
// read, and the skipped ones that are counted.
bool knownStarred(Id id)
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

Qt::Alignment horizontal(Qt::Alignment alignment)
{
    const Qt::Alignment h = alignment & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignJustify)
        return Qt::AlignJustify;
    if (h & (Qt::AlignHCenter))
        return Qt::AlignHCenter;
    if (h & (Qt::AlignRight | Qt::AlignTrailing))
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

int halfPointsOf(const QFont &font)
{
    const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    return std::clamp(qRound(points * 2), 1, MaxHalfPoints);
}

// Turns what QTextCursor::insertText would take for a block or frame boundary, lone surrogates and
// other controls into harmless characters, so that a paragraph stays one block.
void sanitize(QString &text)
{
    QChar *data = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t ch = data[i].unicode();
        if ((ch >= 0x20 && ch < 0xD800 && ch != 0x2029) || ch == u'\t')
            continue;
        if (ch == u'\r' || ch == u'\n' || ch == 0x2029)
            data[i] = QChar::LineSeparator;
        else if (ch < 0x20 || ch == 0xFDD0 || ch == 0xFDD1 || ch == 0xFFFE || ch == 0xFFFF)
            data[i] = QChar::ReplacementCharacter;
        else if (QChar::isHighSurrogate(ch) && i + 1 < size && QChar::isLowSurrogate(data[i + 1].unicode()))
            ++i;
        else if (QChar::isSurrogate(ch))
            data[i] = QChar::ReplacementCharacter;
    }
}

// A font name as the writer can give it back: no controls, no ';', no lone surrogates, trimmed.
QString fontName(QString name)
{
    sanitize(name);
    name.removeIf([](QChar ch) {
        return ch.unicode() < 0x20 || ch == u';' || ch == QChar::ReplacementCharacter || ch == QChar::LineSeparator;
    });
    return name.trimmed();
}

} // namespace

RtfReader::RtfReader(QByteArrayView rtf, QTextCursor &cursor, Mode mode)
    : m_data(rtf)
    , m_cursor(cursor)
    , m_mode(mode)
{
    m_stack.reserve(32);
}

void RtfReader::read()
{
    m_cursor.beginEditBlock();
    if (m_mode == Mode::Insert) {
        m_cursor.removeSelectedText();
        m_tailBlockFormat = m_cursor.blockFormat();
        m_blockAlignment = horizontal(m_tailBlockFormat.alignment());
    }
    if (!m_data.startsWith('{'))
        m_stack.emplace_back(); // not RTF (the callers check): read as the text of one group
    const qsizetype size = m_data.size();
    while (m_pos < size && !m_done) {
        switch (m_data[m_pos]) {
        case '{':
            ++m_pos;
            openGroup();
            break;
        case '}':
            ++m_pos;
            closeGroup();
            break;
        case '\\':
            ++m_pos;
            controlSequence();
            break;
        case '\r':
        case '\n':
        case '\0': ++m_pos; break;
        case '\t':
            ++m_pos;
            if (!skipsFallback())
                appendChar(u'\t');
            break;
        default: textRun(); break;
        }
    }
    m_info.truncated = !m_done;
    finish();
    m_cursor.endEditBlock();
}

// ---- Tokens ----

RtfReader::Word RtfReader::parseWord()
{
    const qsizetype size = m_data.size();
    const qsizetype start = m_pos;
    while (m_pos < size && isLetter(m_data[m_pos]))
        ++m_pos;
    Word word;
    word.name = std::string_view(m_data.data() + start, size_t(m_pos - start));
    bool negative = false;
    if (m_pos + 1 < size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < size && isDigit(m_data[m_pos])) {
        word.hasParameter = true;
        qint64 value = 0;
        for (; m_pos < size && isDigit(m_data[m_pos]); ++m_pos)
            value = std::min(value * 10 + (m_data[m_pos] - '0'), ParameterLimit);
        value = negative ? -value : value;
        word.parameter
            = int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    if (m_pos < size && m_data[m_pos] == ' ')
        ++m_pos;
    return word;
}

void RtfReader::controlSequence()
{
    if (m_pos >= m_data.size())
        return;
    const char c = m_data[m_pos];
    if (isLetter(c)) {
        const Word word = parseWord();
        controlWord(word);
        return;
    }
    ++m_pos;
    if (c == '\'')
        hexByte();
    else
        controlSymbol(c);
}

void RtfReader::controlWord(const Word &word)
{
    flushPendingBytes();
    const RtfKeyword::Keyword keyword = RtfKeyword::lookup(word.name);
    if (keyword.id == Id::Bin) {
        skipBinary(word.hasParameter ? word.parameter : 0);
        skipsFallback();
        return;
    }
    if (m_starPending) {
        m_starPending = false;
        if (!knownStarred(keyword.id)) {
            skipGroup();
            return;
        }
    }
    if (skipsFallback() || headerWord(keyword, word) || destinationWord(keyword) || tableWord(keyword, word))
        return;
    if (characterWord(keyword, word) || paragraphWord(keyword))
        return;
    if (state().destination == Destination::Body)
        textWord(keyword);
}

bool RtfReader::headerWord(const RtfKeyword::Keyword &keyword, const Word &word)
{
    switch (keyword.id) {
    case Id::Unicode:
        if (word.hasParameter)
            appendUnicode(word.parameter);
        return true;
    case Id::UnicodeSkip: state().unicodeSkip = std::clamp(word.parameter, 0, MaxUnicodeSkip); return true;
    case Id::Ansi: m_ansiCodePage = RtfCodePage::Ansi; return true;
    case Id::Mac: m_ansiCodePage = RtfCodePage::MacRoman; return true;
    case Id::Pc: m_ansiCodePage = 437; return true;
    case Id::Pca: m_ansiCodePage = 850; return true;
    case Id::AnsiCodePage:
        if (word.parameter > 0)
            m_ansiCodePage = word.parameter;
        return true;
    case Id::DefaultFont: m_defaultFontIndex = word.parameter; return true;
    default: return false;
    }
}

bool RtfReader::destinationWord(const RtfKeyword::Keyword &keyword)
{
    State &s = state();
    switch (keyword.id) {
    case Id::FontTable:
        s.destination = Destination::FontTable;
        m_fontEntry = FontEntry();
        return true;
    case Id::ColorTable:
        s.destination = Destination::ColorTable;
        m_colors.clear();
        m_red = m_green = m_blue = -1;
        return true;
    case Id::StyleSheet: s.destination = Destination::StyleSheet; return true;
    case Id::Upr:
        s.beforeUpr = s.destination;
        s.destination = Destination::Discard;
        return true;
    case Id::Ud: s.destination = s.beforeUpr; return true;
    case Id::ListText: ++m_info.listItems; return false;
    case Id::FieldInstruction: ++m_info.fields; break;
    case Id::SkipPicture: ++m_info.pictures; break;
    case Id::SkipNote: ++m_info.notes; break;
    case Id::SkipHeader: ++m_info.headersAndFooters; break;
    case Id::Skip: break;
    default: return false;
    }
    skipGroup();
    return true;
}

// Entries of the font table, the colour table and the style sheet.
bool RtfReader::tableWord(const RtfKeyword::Keyword &keyword, const Word &word)
{
    switch (state().destination) {
    case Destination::FontTable:
        if (keyword.id == Id::Font) {
            finishFontEntry();
            m_fontEntry.index = word.parameter;
        } else if (keyword.id == Id::Charset) {
            m_fontEntry.charset = word.parameter;
        } else if (keyword.id == Id::CodePage) {
            m_fontEntry.codePage = word.parameter;
        }
        return true;
    case Destination::ColorTable: {
        const int value = std::clamp(word.parameter, 0, 255);
        if (keyword.id == Id::Red)
            m_red = value;
        else if (keyword.id == Id::Green)
            m_green = value;
        else if (keyword.id == Id::Blue)
            m_blue = value;
        return true;
    }
    case Destination::StyleSheet:
        if (keyword.id == Id::Style)
            state().style = word.parameter;
        else if (keyword.id == Id::CharStyle || keyword.id == Id::OtherStyle)
            state().paragraphStyle = false;
        else
            return false; // character properties of the style
        return true;
    default: return false;
    }
}

bool RtfReader::characterWord(const RtfKeyword::Keyword &keyword, const Word &word)
{
    State &s = state();
    const bool on = !word.hasParameter || word.parameter != 0;
    switch (keyword.id) {
    case Id::Plain:
        s.bold = s.italic = s.underline = s.hidden = s.rightToLeft = false;
        s.runKind = 0;
        s.associated = 0;
        s.font = -1;
        s.halfPoints = 24;
        s.color = 0;
        return true;
    case Id::Bold: s.bold = on; return true;
    case Id::Italic: s.italic = on; return true;
    case Id::Underline: s.underline = on; return true;
    case Id::UnderlineNone: s.underline = false; return true;
    case Id::Hidden: s.hidden = on; return true;
    case Id::Font: s.font = m_fonts.contains(word.parameter) ? word.parameter : -1; return true;
    case Id::FontSize:
        s.halfPoints = word.hasParameter ? std::clamp(word.parameter, 1, MaxHalfPoints) : 24;
        return true;
    case Id::Color:
        s.color = word.parameter > 0 && size_t(word.parameter) < m_colors.size() ? word.parameter : 0;
        return true;
    default: return associatedWord(keyword, word);
    }
}

// Word processors mark bold and italic of Asian-script text (and emoji) as \ab and \ai after \dbch,
// often with no \b: each applies to the characters of the run kind named last before it.
bool RtfReader::associatedWord(const RtfKeyword::Keyword &keyword, const Word &word)
{
    State &s = state();
    switch (keyword.id) {
    case Id::LowAnsi: s.runKind = LowAnsi; return true;
    case Id::HighAnsi: s.runKind = HighAnsi; return true;
    case Id::DoubleByte: s.runKind = DoubleByte; return true;
    case Id::RightToLeft: s.rightToLeft = true; return true;
    case Id::LeftToRight: s.rightToLeft = false; return true;
    case Id::AssociatedBold:
    case Id::AssociatedItalic: {
        if (s.rightToLeft || s.runKind == 0) // right-to-left scripts are not told apart here
            return true;
        const int shift = (s.runKind - 1) * 4 + (keyword.id == Id::AssociatedItalic ? 2 : 0);
        const bool on = !word.hasParameter || word.parameter != 0;
        s.associated = quint16((s.associated & ~(3 << shift)) | (on ? 3 : 1) << shift);
        return true;
    }
    default: return false;
    }
}

bool RtfReader::paragraphWord(const RtfKeyword::Keyword &keyword)
{
    switch (keyword.id) {
    case Id::ParagraphDefault: state().alignment = Qt::AlignLeft; return true;
    case Id::AlignLeft: state().alignment = Qt::AlignLeft; return true;
    case Id::AlignCenter: state().alignment = Qt::AlignHCenter; return true;
    case Id::AlignRight: state().alignment = Qt::AlignRight; return true;
    case Id::AlignJustify: state().alignment = Qt::AlignJustify; return true;
    default: return false;
    }
}

bool RtfReader::textWord(const RtfKeyword::Keyword &keyword)
{
    switch (keyword.id) {
    case Id::Par: endParagraph(Break::Paragraph); return true;
    case Id::Line: appendChar(QChar::LineSeparator); return true;
    case Id::Tab: appendChar(u'\t'); return true;
    case Id::Char: appendChar(QChar(keyword.ch)); return true;
    case Id::Cell:
        // A cell whose paragraphs each end with \par (pandoc) adds no empty paragraph of its own.
        if (!(m_text.isEmpty() && m_lastBreak == Break::Paragraph))
            endParagraph(Break::Cell);
        else
            m_lastBreak = Break::Cell;
        return true;
    case Id::Row:
        ++m_info.tableRows;
        if (!m_text.isEmpty())
            endParagraph(Break::Paragraph);
        return true;
    case Id::Section:
        if (!m_text.isEmpty())
            endParagraph(Break::Paragraph);
        return true;
    default: return false;
    }
}

void RtfReader::controlSymbol(char symbol)
{
    flushPendingBytes();
    if (symbol == '*') {
        m_starPending = true;
        return;
    }
    if (skipsFallback())
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}': appendBytes(QByteArrayView(&symbol, 1), false); break;
    case '~': appendChar(QChar::Nbsp); break;
    case '_': appendChar(QChar(0x2011)); break;
    case '-': appendChar(QChar::SoftHyphen); break;
    case '\r':
    case '\n': endParagraph(Break::Paragraph); break;
    case '\t': appendChar(u'\t'); break;
    default: break; // \: \| and unknown symbols
    }
}

void RtfReader::hexByte()
{
    const qsizetype size = m_data.size();
    int value = 0;
    int digits = 0;
    while (digits < 2 && m_pos < size && hexDigit(m_data[m_pos]) >= 0) {
        value = value * 16 + hexDigit(m_data[m_pos++]);
        ++digits;
    }
    if (digits == 0 || skipsFallback())
        return;
    const char byte = char(value);
    appendBytes(QByteArrayView(&byte, 1), false);
}

void RtfReader::textRun()
{
    const qsizetype size = m_data.size();
    qsizetype end = m_pos;
    while (end < size && !isSpecial(m_data[end]))
        ++end;
    if (m_starPending) {
        m_starPending = false;
        skipGroup();
        return;
    }
    while (m_fallbackLeft > 0 && m_pos < end) {
        --m_fallbackLeft;
        ++m_pos;
    }
    if (m_pos < end)
        appendBytes(m_data.sliced(m_pos, end - m_pos), true);
    m_pos = end;
}

void RtfReader::skipBinary(int count)
{
    m_pos += std::clamp<qsizetype>(count, 0, m_data.size() - m_pos);
}

// Steps over the rest of the current group, the closing brace included, and pops its state.
void RtfReader::skipGroup()
{
    const qsizetype size = m_data.size();
    int depth = 1;
    while (m_pos < size && depth > 0) {
        const char c = m_data[m_pos];
        if (c == '{') {
            ++depth;
            ++m_pos;
        } else if (c == '}') {
            --depth;
            ++m_pos;
        } else if (c == '\\' && m_pos + 1 < size) {
            ++m_pos;
            if (isLetter(m_data[m_pos])) {
                const Word word = parseWord();
                if (word.name == "bin")
                    skipBinary(word.parameter);
            } else {
                ++m_pos; // \\ \{ \} and other symbols
            }
        } else {
            ++m_pos;
        }
    }
    m_fallbackLeft = 0;
    m_starPending = false;
    if (depth == 0) // else the bytes ended inside the group
        closeGroup();
}

void RtfReader::openGroup()
{
    flushPendingBytes();
    m_fallbackLeft = 0;
    if (m_starPending) { // {\*{...}...}: the starred group is not one we read
        m_starPending = false;
        --m_pos;
        skipGroup();
        return;
    }
    if (m_stack.empty()) {
        m_stack.emplace_back();
        return;
    }
    if (int(m_stack.size()) >= MaxDepth) {
        m_info.tooDeep = true;
        m_stack.push_back(m_stack.back());
        skipGroup();
        return;
    }
    m_stack.push_back(m_stack.back());
    if (state().destination == Destination::StyleSheet) {
        m_styleName.clear();
        state().style = 0;
        state().paragraphStyle = true;
    }
}

void RtfReader::closeGroup()
{
    flushPendingBytes();
    m_fallbackLeft = 0;
    m_starPending = false;
    if (m_stack.empty()) {
        m_done = true;
        return;
    }
    if (m_stack.size() == 1) { // the document's closing brace; its state stays for the last paragraph
        m_done = true;
        return;
    }
    const Destination destination = state().destination;
    m_stack.pop_back();
    if (destination == Destination::FontTable && state().destination != Destination::FontTable)
        finishFontEntry();
}

// ---- Text ----

// After \uN the next \ucN characters are the fallback for readers without Unicode.
bool RtfReader::skipsFallback()
{
    if (m_fallbackLeft == 0)
        return false;
    --m_fallbackLeft;
    return true;
}

void RtfReader::appendUnicode(int parameter)
{
    appendChar(QChar(char16_t(parameter & 0xFFFF)));
    m_fallbackLeft = state().unicodeSkip;
}

void RtfReader::appendBytes(QByteArrayView bytes, bool raw)
{
    switch (state().destination) {
    case Destination::Body: bodyBytes(bytes); break;
    case Destination::FontTable: fontTableBytes(bytes, raw); break;
    case Destination::ColorTable: colorTableBytes(bytes, raw); break;
    case Destination::StyleSheet: styleSheetBytes(bytes, raw); break;
    case Destination::Discard: break;
    }
}

void RtfReader::appendChar(QChar ch)
{
    switch (state().destination) {
    case Destination::Body: bodyChar(ch); break;
    case Destination::FontTable:
        m_fontEntry.text += entryDecoder().decode(m_fontEntry.bytes);
        m_fontEntry.bytes.clear();
        m_fontEntry.text += ch;
        break;
    default: break;
    }
}

void RtfReader::bodyBytes(QByteArrayView bytes)
{
    markRun();
    RtfCodePage::Decoder &current = decoder(state().font);
    if (current.isMultiByte()) {
        if (m_pendingDecoder != &current)
            flushPendingBytes();
        m_pendingDecoder = &current;
        m_pendingBytes += bytes;
        return;
    }
    const qsizetype start = m_text.size();
    m_text.resize(start + bytes.size());
    QChar *out = m_text.data() + start;
    for (char b : bytes)
        *out++ = current.byte(static_cast<unsigned char>(b));
}

void RtfReader::bodyChar(QChar ch)
{
    flushPendingBytes();
    markRun();
    m_text += ch;
}

void RtfReader::flushPendingBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    m_text += m_pendingDecoder->decode(m_pendingBytes);
    m_pendingBytes.clear();
}

// Starts a new run when the character properties differ from the last run's.
void RtfReader::markRun()
{
    const quint64 key = propertyKey();
    const quint16 associated = state().associated;
    if (!m_runs.isEmpty() && m_runs.constLast().key == key && m_runs.constLast().associated == associated)
        return;
    flushPendingBytes();
    if (!m_runs.isEmpty() && m_runs.constLast().start == m_text.size())
        m_runs.last() = Run { m_text.size(), key, associated };
    else
        m_runs.append(Run { m_text.size(), key, associated });
}

RtfCodePage::Decoder &RtfReader::decoder(int font)
{
    const auto it = m_fonts.constFind(font < 0 ? m_defaultFontIndex : font);
    return m_codePages.get(it != m_fonts.constEnd() && it->codePage != 0 ? it->codePage : m_ansiCodePage);
}

// The code page of the font table entry being read, for its name.
RtfCodePage::Decoder &RtfReader::entryDecoder()
{
    const int fromCharset = RtfCodePage::fromCharset(m_fontEntry.charset);
    const int codePage = m_fontEntry.codePage > 0 ? m_fontEntry.codePage : fromCharset;
    if (codePage == RtfCodePage::Symbol) // a symbol font's name is plain text
        return m_codePages.get(RtfCodePage::Ansi);
    return m_codePages.get(codePage != 0 ? codePage : m_ansiCodePage);
}

// ---- Tables of the header ----

void RtfReader::fontTableBytes(QByteArrayView bytes, bool raw)
{
    for (char b : bytes) {
        if (raw && b == ';')
            finishFontEntry();
        else if (m_fontEntry.index >= 0 && m_fontEntry.bytes.size() < 256)
            m_fontEntry.bytes += b;
    }
}

void RtfReader::finishFontEntry()
{
    if (m_fontEntry.index < 0)
        return;
    Font font;
    font.name = fontName(m_fontEntry.text + entryDecoder().decode(m_fontEntry.bytes));
    const int fromCharset = RtfCodePage::fromCharset(m_fontEntry.charset);
    font.codePage = m_fontEntry.codePage > 0 ? m_fontEntry.codePage : fromCharset;
    if (font.codePage == RtfCodePage::Symbol && font.name.compare(u"Symbol", Qt::CaseInsensitive) != 0)
        font.codePage = RtfCodePage::Ansi; // other symbol fonts have no Unicode mapping of their own
    if (m_fonts.size() < 4096 || m_fonts.contains(m_fontEntry.index))
        m_fonts.insert(m_fontEntry.index, font);
    m_fontEntry = FontEntry();
}

void RtfReader::colorTableBytes(QByteArrayView bytes, bool raw)
{
    for (char b : bytes) {
        if (!raw || b != ';')
            continue;
        if (m_colors.size() < 65536) {
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colors.emplace_back();
            else
                m_colors.emplace_back(QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
        }
        m_red = m_green = m_blue = -1;
    }
}

void RtfReader::styleSheetBytes(QByteArrayView bytes, bool raw)
{
    for (char b : bytes) {
        if (raw && b == ';')
            finishStyle();
        else if (m_styleName.size() < 64)
            m_styleName += b;
    }
}

// The Normal paragraph style (number 0, or named Normal) gives the document's default size.
void RtfReader::finishStyle()
{
    const State &style = state();
    const bool numbered = style.style == 0;
    const bool named = m_styleName.trimmed().compare("Normal", Qt::CaseInsensitive) == 0;
    if (style.paragraphStyle && (numbered || named) && !m_normalStyleNumbered) {
        m_normalStyle = style;
        m_normalStyleNumbered = numbered;
    }
    m_styleName.clear();
}

// ---- Output ----

void RtfReader::endParagraph(Break kind)
{
    flushPendingBytes();
    if (m_breakPending)
        insertBreak();
    insertParagraph(true);
    m_breakPending = true;
    m_lastBreak = kind;
}

// At the end, a last paragraph that is empty after a \par is the document's final paragraph mark
// (as word processors read it); when inserting, the pending break still belongs to the text.
void RtfReader::finish()
{
    if (m_stack.empty())
        m_stack.emplace_back();
    flushPendingBytes();
    const bool empty = m_text.isEmpty();
    if (m_mode == Mode::Replace) {
        if (empty && m_breakPending)
            return;
        if (m_breakPending)
            insertBreak();
        insertParagraph(true);
        return;
    }
    if (m_breakPending)
        insertBreak();
    // The last paragraph keeps its alignment where it lands in a line of its own.
    if (!empty)
        insertParagraph(m_cursor.atBlockStart() && m_cursor.atBlockEnd());
}

void RtfReader::insertBreak()
{
    if (m_mode == Mode::Insert)
        m_cursor.insertBlock(m_tailBlockFormat);
    else
        m_cursor.insertBlock();
    m_blockAlignment = horizontal(m_cursor.blockFormat().alignment());
    m_breakPending = false;
}

void RtfReader::insertParagraph(bool applyBlockFormat)
{
    establishDefaults();
    sanitize(m_text);
    const Qt::Alignment alignment = state().alignment;
    if (applyBlockFormat && alignment != m_blockAlignment) {
        QTextBlockFormat format;
        format.setAlignment(alignment);
        m_cursor.mergeBlockFormat(format);
        m_blockAlignment = alignment;
    }
    if (m_text.isEmpty()) {
        if (m_mode == Mode::Replace)
            m_cursor.setBlockCharFormat(format(propertyKey())); // the size of an empty line
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

// A run with associated properties is split where the run kind of its characters changes; each part
// takes the bold and italic given for its kind, else the run's own.
void RtfReader::insertRun(const QString &text, quint64 key, quint16 associated)
{
    if (associated == 0) {
        m_cursor.insertText(text, format(key));
        return;
    }
    const auto keyOf = [key, associated](QChar ch) {
        const int bits = associated >> (runKindOf(ch) - 1) * 4 & 0xF;
        quint64 result = key;
        if (bits & 1)
            result = (result & ~(quint64(1) << 60)) | quint64(bits >> 1 & 1) << 60;
        if (bits & 4)
            result = (result & ~(quint64(1) << 61)) | quint64(bits >> 3 & 1) << 61;
        return result;
    };
    qsizetype start = 0;
    for (qsizetype i = 1; i <= text.size(); ++i) {
        if (i < text.size() && keyOf(text[i]) == keyOf(text[start]))
            continue;
        m_cursor.insertText(text.mid(start, i - start), format(keyOf(text[start])));
        start = i;
    }
}

// The default font the runs are measured against: in Replace mode the file's own (the \deff font
// at the Normal style's size), set on the document; in Insert mode the target document's.
void RtfReader::establishDefaults()
{
    if (m_defaultsKnown)
        return;
    m_defaultsKnown = true;
    QTextDocument *document = m_cursor.document();
    QFont font = document->defaultFont();
    if (m_mode == Mode::Insert) {
        m_defaultFamily = font.family();
        m_defaultHalfPoints = halfPointsOf(font);
        return;
    }
    const int normalFont = m_normalStyle && m_normalStyle->font >= 0 ? m_normalStyle->font : m_defaultFontIndex;
    const QString family = m_fonts.value(normalFont).name;
    if (!family.isEmpty())
        font.setFamilies({ family });
    m_defaultHalfPoints = m_normalStyle ? m_normalStyle->halfPoints : 24;
    font.setPointSizeF(m_defaultHalfPoints / 2.0);
    document->setDefaultFont(font);
    m_defaultFamily = font.family();
}

// The character properties packed into one number: font (32 bits), size (12), colour (16), flags.
quint64 RtfReader::propertyKey() const
{
    const State &s = m_stack.back();
    return quint64(quint32(s.font)) | quint64(s.halfPoints) << 32 | quint64(quint16(s.color)) << 44
        | quint64(s.bold) << 60 | quint64(s.italic) << 61 | quint64(s.underline) << 62 | quint64(s.hidden) << 63;
}

const QTextCharFormat &RtfReader::format(quint64 key)
{
    if (const auto it = m_formats.constFind(key); it != m_formats.constEnd())
        return *it;
    const int font = int(quint32(key));
    const int halfPoints = int(key >> 32 & 0xFFF);
    const int color = int(key >> 44 & 0xFFFF);
    QTextCharFormat format;
    if (key >> 60 & 1)
        format.setFontWeight(QFont::Bold);
    if (key >> 61 & 1)
        format.setFontItalic(true);
    if (key >> 62 & 1)
        format.setFontUnderline(true);
    if (key >> 63 & 1)
        format.setProperty(Rtf::HiddenTextProperty, true);
    const QString family = fontFamily(font);
    if (!family.isEmpty() && family != m_defaultFamily)
        format.setFontFamilies({ family });
    if (halfPoints != m_defaultHalfPoints)
        format.setFontPointSize(halfPoints / 2.0);
    if (color > 0 && size_t(color) < m_colors.size() && m_colors[size_t(color)])
        format.setForeground(*m_colors[size_t(color)]);
    return *m_formats.insert(key, format);
}

QString RtfReader::fontFamily(int font) const
{
    return m_fonts.value(font < 0 ? m_defaultFontIndex : font).name;
}

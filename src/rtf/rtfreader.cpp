#include "rtf/rtfreader.h"

#include "rtf/rtfformat.h"

using RtfKeyword::Id;
using RtfKeyword::Keyword;

RtfReader::RtfReader(QByteArrayView rtf, QTextCursor &cursor, Mode mode)
    : m_tokens(rtf)
    , m_sink(cursor, mode, m_fonts, m_colors)
{
    m_stack.reserve(32);
    if (!rtf.startsWith('{'))
        m_stack.emplace_back(); // not RTF (the callers check): read as the text of one group
}

void RtfReader::read()
{
    m_sink.begin();
    for (RtfToken next = m_tokens.next(); next.kind != RtfToken::Kind::End; next = m_tokens.next()) {
        token(next);
        if (m_done)
            break;
    }
    m_info.truncated = !m_done;
    if (m_stack.empty())
        m_stack.emplace_back();
    flushPendingBytes();
    establishDefaults();
    m_sink.finish(state().alignment, state().run);
}

void RtfReader::token(const RtfToken &token)
{
    using Kind = RtfToken::Kind;
    if (m_starPending && (token.kind == Kind::Text || token.kind == Kind::Byte || token.kind == Kind::Unicode)) {
        skipGroup(); // {\*...} that does not start with a word we read
        return;
    }
    switch (token.kind) {
    case Kind::GroupStart: openGroup(); break;
    case Kind::GroupEnd: closeGroup(); break;
    case Kind::Word:
        flushPendingBytes();
        controlWord(token);
        break;
    case Kind::Symbol: symbol(token.symbol); break;
    case Kind::Byte: {
        const char byte = char(token.parameter);
        bytes(QByteArrayView(&byte, 1), false);
        break;
    }
    case Kind::Text: bytes(token.text, true); break;
    case Kind::Unicode: character(QChar(char16_t(token.parameter))); break;
    case Kind::End: break;
    }
}

// ---- Groups ----

void RtfReader::openGroup()
{
    flushPendingBytes();
    if (m_starPending) { // {\*{...}...}: the starred group is not one we read
        if (m_tokens.skipGroup())
            skipGroup();
        return;
    }
    if (m_stack.empty()) {
        m_stack.emplace_back();
        return;
    }
    m_stack.push_back(m_stack.back());
    if (int(m_stack.size()) > MaxDepth) {
        m_info.tooDeep = true;
        skipGroup();
    } else if (state().destination == Destination::StyleSheet) {
        m_styles.beginEntry(state());
    }
}

void RtfReader::closeGroup()
{
    flushPendingBytes();
    m_starPending = false;
    if (m_stack.size() <= 1) { // the document's closing brace; its state stays for the last paragraph
        m_done = true;
        return;
    }
    const Destination destination = state().destination;
    m_stack.pop_back();
    if (destination == Destination::FontTable && state().destination != Destination::FontTable)
        m_fonts.endEntry();
}

// Steps over the rest of the current group, the closing brace included, and pops its state.
void RtfReader::skipGroup()
{
    m_starPending = false;
    if (m_tokens.skipGroup())
        closeGroup();
}

// ---- Words: one lookup, then the handler of the destination they appear in ----

void RtfReader::controlWord(const RtfToken &token)
{
    const Keyword &keyword = RtfKeyword::lookup(token.name);
    if (m_starPending) {
        m_starPending = false;
        if (!RtfKeyword::readsStarred(keyword.id))
            return skipGroup();
    }
    if (keyword.kind == RtfKeyword::Kind::Destination)
        return openDestination(keyword);
    switch (state().destination) {
    case Destination::Body: bodyWord(keyword, token); break;
    case Destination::FontTable: m_fonts.word(keyword.id, token.parameter); break;
    case Destination::ColorTable: m_colors.word(keyword.id, token.parameter); break;
    case Destination::StyleSheet: m_styles.word(keyword, token, state(), m_fonts, m_colors); break;
    case Destination::Discard: state().apply(keyword, token, m_fonts, m_colors); break;
    }
}

void RtfReader::openDestination(const Keyword &keyword)
{
    State &s = state();
    switch (keyword.id) {
    case Id::FontTable:
        s.destination = Destination::FontTable;
        m_fonts.beginTable();
        return;
    case Id::ColorTable:
        s.destination = Destination::ColorTable;
        m_colors.beginTable();
        return;
    case Id::StyleSheet: s.destination = Destination::StyleSheet; return;
    case Id::Upr:
        s.beforeUpr = s.destination;
        s.destination = Destination::Discard;
        return;
    case Id::Ud: s.destination = s.beforeUpr; return;
    case Id::ListText: ++m_info.listItems; return; // the label is read as text
    case Id::FieldInstruction: ++m_info.fields; break;
    case Id::SkipPicture: ++m_info.pictures; break;
    case Id::SkipNote: ++m_info.notes; break;
    case Id::SkipHeader: ++m_info.headersAndFooters; break;
    case Id::Skip: break;
    default: return; // \fldrslt: its text is read
    }
    skipGroup();
}

void RtfReader::bodyWord(const Keyword &keyword, const RtfToken &token)
{
    switch (keyword.id) {
    case Id::Ansi: m_fonts.setAnsiCodePage(RtfCodePage::Ansi); break;
    case Id::Mac: m_fonts.setAnsiCodePage(RtfCodePage::MacRoman); break;
    case Id::Pc: m_fonts.setAnsiCodePage(437); break;
    case Id::Pca: m_fonts.setAnsiCodePage(850); break;
    case Id::AnsiCodePage: m_fonts.setAnsiCodePage(token.parameter); break;
    case Id::DefaultFont: m_fonts.setDefaultFont(token.parameter); break;
    default:
        if (keyword.kind == RtfKeyword::Kind::Symbol)
            symbolWord(keyword);
        else
            state().apply(keyword, token, m_fonts, m_colors);
    }
}

void RtfReader::symbolWord(const Keyword &keyword)
{
    switch (keyword.id) {
    case Id::Par: endParagraph(Break::Paragraph); break;
    case Id::Line: character(QChar::LineSeparator); break;
    case Id::Tab: character(u'\t'); break;
    case Id::Char: character(QChar(keyword.ch)); break;
    case Id::Cell:
        // A cell whose paragraphs each end with \par (pandoc) adds no empty paragraph of its own.
        if (!(m_sink.paragraphIsEmpty() && m_lastBreak == Break::Paragraph))
            endParagraph(Break::Cell);
        else
            m_lastBreak = Break::Cell;
        break;
    case Id::Row: ++m_info.tableRows; [[fallthrough]];
    case Id::Section:
        if (!m_sink.paragraphIsEmpty())
            endParagraph(Break::Paragraph);
        break;
    default: break;
    }
}

void RtfReader::symbol(char symbol)
{
    flushPendingBytes();
    if (symbol == '*') {
        m_starPending = true;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}': bytes(QByteArrayView(&symbol, 1), false); break;
    case '~': character(QChar::Nbsp); break;
    case '_': character(QChar(0x2011)); break;
    case '-': character(QChar::SoftHyphen); break;
    case '\t': character(u'\t'); break;
    case '\r':
    case '\n':
        if (state().destination == Destination::Body)
            endParagraph(Break::Paragraph);
        break;
    default: break; // \: \| and unknown symbols
    }
}

// ---- Text ----

void RtfReader::bytes(QByteArrayView bytes, bool raw)
{
    switch (state().destination) {
    case Destination::Body: bodyBytes(bytes); break;
    case Destination::FontTable: m_fonts.bytes(bytes, raw); break;
    case Destination::ColorTable: m_colors.bytes(bytes, raw); break;
    case Destination::StyleSheet: m_styles.bytes(bytes, raw, state()); break;
    case Destination::Discard: break;
    }
}

void RtfReader::character(QChar ch)
{
    if (state().destination == Destination::Body) {
        flushPendingBytes();
        m_sink.append(QStringView(&ch, 1), state().run);
    } else if (state().destination == Destination::FontTable) {
        m_fonts.character(ch);
    }
}

// Double-byte text is decoded once its trail bytes are there, which may come raw or as \'hh.
void RtfReader::bodyBytes(QByteArrayView bytes)
{
    RtfCodePage::Decoder &current = m_fonts.decoder(state().run.font);
    if (current.isMultiByte()) {
        if (m_pendingDecoder != &current || !(m_pendingFormat == state().run))
            flushPendingBytes();
        m_pendingDecoder = &current;
        m_pendingFormat = state().run;
        m_pendingBytes += bytes;
        return;
    }
    flushPendingBytes();
    m_decoded.resize(bytes.size());
    QChar *out = m_decoded.data();
    for (char b : bytes)
        *out++ = current.byte(static_cast<unsigned char>(b));
    m_sink.append(m_decoded, state().run);
}

void RtfReader::flushPendingBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    m_sink.append(m_pendingDecoder->decode(m_pendingBytes), m_pendingFormat);
    m_pendingBytes.clear();
}

// ---- Paragraphs ----

void RtfReader::endParagraph(Break kind)
{
    flushPendingBytes();
    establishDefaults();
    m_sink.endParagraph(state().alignment, state().run);
    m_lastBreak = kind;
}

// The file's default font: the \deff font at the Normal style's size, or that style's own font.
void RtfReader::establishDefaults()
{
    if (!m_sink.needsDefaults())
        return;
    const auto &normal = m_styles.normal();
    const int font = normal && normal->font >= 0 ? normal->font : m_fonts.defaultFont();
    m_sink.setDefaults(m_fonts.family(font), normal ? normal->halfPoints : RtfFormat::DefaultHalfPoints);
}

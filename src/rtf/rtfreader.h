#pragma once

#include "rtf/rtf.h"
#include "rtf/rtfkeywords.h"
#include "rtf/rtfsink.h"
#include "rtf/rtfstate.h"
#include "rtf/rtftables.h"
#include "rtf/rtftokenizer.h"

#include <QByteArray>
#include <QString>

#include <vector>

class QTextCursor;

// One pass over RTF bytes into a QTextCursor (see rtf.h for what is kept). The tokenizer steps over
// binary data and Unicode fallbacks; each control word is looked up once in the keyword table and
// handled by the destination it appears in (the body, the font table, the colour table, the style
// sheet, or a part whose text is dropped); groups push and pop a small state; the body's text goes
// to the document sink in runs. Work is linear in the input: skipped groups are scanned for their
// closing brace without being parsed, nesting stops at MaxDepth and parameters saturate.
class RtfReader final
{
public:
    using Mode = RtfDocumentSink::Mode;
    static constexpr int MaxDepth = 200;

    // Replace clears the cursor's document first and sets its default font from the file.
    RtfReader(QByteArrayView rtf, QTextCursor &cursor, Mode mode);

    void read();
    const Rtf::ReadInfo &info() const { return m_info; }

private:
    using State = RtfGroupState;
    using Destination = State::Destination;
    enum class Break { None, Paragraph, Cell };

    void token(const RtfToken &token);
    void openGroup();
    void closeGroup();
    void skipGroup();
    void controlWord(const RtfToken &token);
    void symbol(char symbol);

    // The destinations' words: the body's here, the tables' and the style sheet's in their classes.
    void openDestination(const RtfKeyword::Keyword &keyword);
    void bodyWord(const RtfKeyword::Keyword &keyword, const RtfToken &token);
    void symbolWord(const RtfKeyword::Keyword &keyword);

    // Text, routed to the current destination.
    void bytes(QByteArrayView bytes, bool raw);
    void character(QChar ch);
    void bodyBytes(QByteArrayView bytes);
    void flushPendingBytes();

    void endParagraph(Break kind);
    void establishDefaults();

    State &state() { return m_stack.back(); }

    RtfTokenizer m_tokens;
    Rtf::ReadInfo m_info;
    RtfFonts m_fonts;
    RtfColors m_colors;
    RtfDocumentSink m_sink;

    std::vector<State> m_stack;
    bool m_done = false;
    bool m_starPending = false;
    Break m_lastBreak = Break::None;

    RtfStyleSheet m_styles;

    QByteArray m_pendingBytes; // double-byte text waiting for its trail bytes
    RtfCodePage::Decoder *m_pendingDecoder = nullptr;
    RtfRunFormat m_pendingFormat;
    QString m_decoded;
};

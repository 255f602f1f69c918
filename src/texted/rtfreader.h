#pragma once

#include "texted/rtf.h"
#include "texted/rtfcodepage.h"
#include "texted/rtfkeywords.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include <optional>
#include <string_view>
#include <vector>

// One pass over RTF bytes into a QTextCursor (see rtf.h for what is kept). Groups push and pop a
// small state (character and paragraph properties, destination, \uc); a paragraph's text and runs
// are collected until \par and then inserted as a whole. Work is linear in the input: skipped
// groups are scanned for their closing brace without being parsed, nesting stops at MaxDepth,
// parameters saturate, and \bin data is stepped over.
class RtfReader final
{
public:
    enum class Mode { Replace, Insert };
    static constexpr int MaxDepth = 200;

    // Replace clears the cursor's document first and sets its default font from the file.
    RtfReader(QByteArrayView rtf, QTextCursor &cursor, Mode mode);

    void read();
    const Rtf::ReadInfo &info() const { return m_info; }

private:
    enum class Destination : quint8 {
        Body, // text of the document
        FontTable,
        ColorTable,
        StyleSheet,
        Discard, // words are followed, text is dropped (the ANSI half of \upr)
    };
    struct State
    {
        Destination destination = Destination::Body;
        Destination beforeUpr = Destination::Body;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool hidden = false;
        bool rightToLeft = false; // \rtlch: the associated properties that follow are for such scripts
        quint8 runKind = 0; // the last of \loch, \hich, \dbch: 1, 2, 3; 0 = none
        quint16 associated = 0; // \ab and \ai given for each run kind: 4 bits each, set and on
        bool paragraphStyle = true;
        int font = -1; // index into the font table, -1 = the default font
        int halfPoints = 24;
        int color = 0;
        int unicodeSkip = 1; // \ucN
        int style = 0;
        Qt::Alignment alignment = Qt::AlignLeft;
    };
    struct Font
    {
        QString name;
        int codePage = 0; // 0 = the document's \ansicpg
    };
    struct FontEntry
    {
        int index = -1;
        int charset = -1;
        int codePage = 0;
        QByteArray bytes;
        QString text;
    };
    struct Run
    {
        qsizetype start = 0;
        quint64 key = 0; // the character properties, see propertyKey()
        quint16 associated = 0; // as in State
    };
    struct Word
    {
        std::string_view name;
        bool hasParameter = false;
        int parameter = 0;
    };
    enum class Break { None, Paragraph, Cell };

    // Tokens.
    Word parseWord();
    void controlSequence();
    void controlWord(const Word &word);
    void controlSymbol(char symbol);
    void hexByte();
    void textRun();
    void skipBinary(int count);
    void skipGroup();
    void openGroup();
    void closeGroup();

    // Control words by kind; true when the word was one of theirs.
    bool headerWord(const RtfKeyword::Keyword &keyword, const Word &word);
    bool destinationWord(const RtfKeyword::Keyword &keyword);
    bool tableWord(const RtfKeyword::Keyword &keyword, const Word &word);
    bool characterWord(const RtfKeyword::Keyword &keyword, const Word &word);
    bool associatedWord(const RtfKeyword::Keyword &keyword, const Word &word);
    bool paragraphWord(const RtfKeyword::Keyword &keyword);
    bool textWord(const RtfKeyword::Keyword &keyword);

    // Text.
    void appendBytes(QByteArrayView bytes, bool raw);
    void appendChar(QChar ch);
    void appendUnicode(int parameter);
    void bodyBytes(QByteArrayView bytes);
    void bodyChar(QChar ch);
    void markRun();
    void flushPendingBytes();
    RtfCodePage::Decoder &decoder(int font);
    RtfCodePage::Decoder &entryDecoder();
    bool skipsFallback();

    // Tables of the header.
    void fontTableBytes(QByteArrayView bytes, bool raw);
    void finishFontEntry();
    void colorTableBytes(QByteArrayView bytes, bool raw);
    void styleSheetBytes(QByteArrayView bytes, bool raw);
    void finishStyle();

    // Output.
    void endParagraph(Break kind);
    void finish();
    void establishDefaults();
    void insertBreak();
    void insertParagraph(bool applyBlockFormat);
    void insertRun(const QString &text, quint64 key, quint16 associated);
    quint64 propertyKey() const;
    const QTextCharFormat &format(quint64 key);
    QString fontFamily(int font) const;

    State &state() { return m_stack.back(); }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    QTextCursor &m_cursor;
    Mode m_mode;
    Rtf::ReadInfo m_info;

    std::vector<State> m_stack;
    bool m_done = false;
    bool m_starPending = false;
    int m_fallbackLeft = 0;

    RtfCodePage::Cache m_codePages;
    int m_ansiCodePage = RtfCodePage::Ansi;
    int m_defaultFontIndex = 0;
    QHash<int, Font> m_fonts;
    FontEntry m_fontEntry;
    std::vector<std::optional<QColor>> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;
    QByteArray m_styleName;
    std::optional<State> m_normalStyle;
    bool m_normalStyleNumbered = false;

    // The paragraph being read.
    QString m_text;
    QList<Run> m_runs;
    QByteArray m_pendingBytes; // multi-byte text waiting for its trail bytes
    RtfCodePage::Decoder *m_pendingDecoder = nullptr;
    Break m_lastBreak = Break::None;

    // Output state.
    bool m_defaultsKnown = false;
    QString m_defaultFamily;
    int m_defaultHalfPoints = 24;
    QHash<quint64, QTextCharFormat> m_formats;
    bool m_breakPending = false;
    Qt::Alignment m_blockAlignment = Qt::AlignLeft;
    QTextBlockFormat m_tailBlockFormat;
};

#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

class QTextCursor;
class RtfColors;
class RtfFonts;

// The character properties of a run of text as the file gives them.
struct RtfRunFormat
{
    int font = -1; // index into the font table, -1 = the default font
    int halfPoints = 24;
    int color = 0; // index into the colour table, 0 = automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hidden = false;
    // \ab and \ai for the low-ANSI, high-ANSI and double-byte characters: 4 bits each, set and on.
    quint16 associated = 0;

    bool operator==(const RtfRunFormat &) const = default;
};

// Turns paragraphs and runs into a QTextDocument at a cursor. Text is collected until the end of
// its paragraph and then inserted run by run, each run's format made once. Replace reads a whole
// document (the first paragraph is the cursor's block, the file's default font becomes the
// document's); Insert pastes at the cursor (the target's default font stays, the text after the
// last paragraph end joins the paragraph at the cursor).
class RtfDocumentSink final
{
public:
    enum class Mode { Replace, Insert };

    RtfDocumentSink(QTextCursor &cursor, Mode mode, const RtfFonts &fonts, const RtfColors &colors);

    void begin();
    // Before the first paragraph: the default font the runs are measured against, in Replace mode.
    bool needsDefaults() const { return !m_defaultsKnown; }
    void setDefaults(const QString &family, int halfPoints);

    void append(QStringView text, const RtfRunFormat &format);
    bool paragraphIsEmpty() const { return m_text.isEmpty(); }
    void endParagraph(Qt::Alignment alignment, const RtfRunFormat &format);
    // The last paragraph, which no \par ended; then the edit block ends.
    void finish(Qt::Alignment alignment, const RtfRunFormat &format);

private:
    struct Run
    {
        qsizetype start = 0;
        quint64 key = 0;
        quint16 associated = 0;
    };
    void insertBreak();
    void insertParagraph(Qt::Alignment alignment, const RtfRunFormat &format, bool applyBlockFormat);
    void insertRun(const QString &text, quint64 key, quint16 associated);
    const QTextCharFormat &charFormat(quint64 key);

    QTextCursor &m_cursor;
    Mode m_mode;
    const RtfFonts &m_fonts;
    const RtfColors &m_colors;

    QString m_text; // the paragraph being read
    QList<Run> m_runs;
    bool m_breakPending = false;
    Qt::Alignment m_blockAlignment = Qt::AlignLeft;
    QTextBlockFormat m_tailBlockFormat;

    bool m_defaultsKnown = false;
    QString m_defaultFamily;
    int m_defaultHalfPoints = 24;
    QHash<quint64, QTextCharFormat> m_formats;
};

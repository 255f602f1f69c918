#pragma once

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QList>
#include <QRgb>
#include <QStringList>

class QTextBlock;
class QTextCharFormat;
class QTextDocument;

// Writes a QTextDocument as RTF 1.x (see rtf.h): a header with \ansicpg1252, the font and colour
// tables and a Normal style holding the default font, then one \pard\plain paragraph per block
// with each run in a group of its own that names all its properties. Text outside 7-bit ASCII is
// written as \uN? (UTF-16 units, signed), so the output is plain ASCII with CR LF line ends.
class RtfWriter final
{
public:
    // Runs that carry no font of their own are written in defaultFont.
    RtfWriter(const QTextDocument &document, const QFont &defaultFont);

    // With finalParagraphMark the last paragraph ends with \par too (a whole document); without,
    // it stays open, as a piece of a paragraph copied to the clipboard must.
    QByteArray write(bool finalParagraphMark);

private:
    void writeBlock(const QTextBlock &block, bool last, bool finalParagraphMark);
    void writeListLabel(const QTextBlock &block);
    QByteArray properties(const QTextCharFormat &format);
    QByteArray header() const;
    int fontIndex(const QString &family);
    int colorIndex(QRgb color);

    void word(const char *name);
    void word(const char *name, int parameter);
    void text(QStringView text);
    void character(char16_t ch);
    void breakLongLine();

    const QTextDocument &m_document;
    QFont m_defaultFont;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndexes;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndexes;
    QHash<int, QByteArray> m_properties; // by the document's character format index
    QByteArray m_out;
    qsizetype m_lineStart = 0;
    bool m_delimit = false; // a control word was written last: text needs a space first
};

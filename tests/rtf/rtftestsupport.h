#pragma once

#include "rtf/rtf.h"

#include <QFile>
#include <QStringList>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

// Helpers shared by the codec's tests: documents read from RTF, their paragraphs, and the
// resolved formatting of a piece of text found in them.
namespace RtfTest {

inline QByteArray dataFile(const QString &name)
{
    QFile file(QStringLiteral(RTF_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", qPrintable(name));
    return file.readAll();
}

inline std::unique_ptr<QTextDocument> read(const QByteArray &rtf, Rtf::ReadInfo *info = nullptr)
{
    auto document = std::make_unique<QTextDocument>();
    if (!Rtf::read(rtf, document.get(), info))
        qWarning("not read as RTF: %s", rtf.left(40).constData());
    return document;
}

// Every paragraph's text as the document holds it (line breaks are U+2028).
inline QStringList paragraphs(const QTextDocument &document)
{
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        texts.append(block.text());
    return texts;
}

// The text one paragraph to a line, line breaks as line ends, as qy2-rtf to-text prints it.
inline QString plainText(const QTextDocument &document)
{
    QString text;
    for (const QString &paragraph : paragraphs(document))
        text += QString(paragraph).replace(QChar::LineSeparator, u'\n') + u'\n';
    return text;
}

// The character format of the first character of `needle`.
inline QTextCharFormat formatAt(const QTextDocument &document, const QString &needle)
{
    QTextCursor found = document.find(needle);
    if (found.isNull())
        return QTextCharFormat();
    QTextCursor cursor(found.document());
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

// "left", "center", "right" or "justify", as the writer reads a block's alignment flags.
inline QString alignmentName(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignJustify)
        return QStringLiteral("justify");
    if (alignment & Qt::AlignHCenter)
        return QStringLiteral("center");
    if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        return QStringLiteral("right");
    return QStringLiteral("left");
}

inline QString alignmentAt(const QTextDocument &document, const QString &needle)
{
    return alignmentName(document.find(needle).blockFormat().alignment());
}

// A run's look as "bi- family size colour": bold, italic, underline, then the font resolved against
// the document's default font, and the colour ("auto" when none is set); " hidden" ends hidden text.
inline QString look(const QTextCharFormat &format, const QTextDocument &document)
{
    const QFont font = format.font().resolve(document.defaultFont());
    return QStringLiteral("%1%2%3 %4 %5 %6%7")
        .arg(QChar(font.weight() >= QFont::DemiBold ? u'b' : u'-'))
        .arg(QChar(font.italic() ? u'i' : u'-'))
        .arg(QChar(format.fontUnderline() ? u'u' : u'-'))
        .arg(font.family())
        .arg(font.pointSizeF())
        .arg(format.foreground().style() == Qt::NoBrush ? QStringLiteral("auto") : format.foreground().color().name())
        .arg(format.boolProperty(Rtf::HiddenTextProperty) ? QStringLiteral(" hidden") : QString());
}

// Each paragraph as "alignment:" followed by its runs, each "[bold italic underline family size
// colour]text" where the formatting changes, with the fonts resolved against the document's
// default font: two documents that look the same describe the same.
inline QStringList describe(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString line = alignmentName(block.blockFormat().alignment()) + u':';
        QString last;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QString key = u'[' + look(format, document) + u']';
            if (key != last)
                line += key;
            last = key;
            line += fragment.text();
        }
        lines.append(line);
    }
    return lines;
}

} // namespace RtfTest

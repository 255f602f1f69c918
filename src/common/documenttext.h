#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// The plain text of a text box's document, from its raw text (QTextDocument::toRawText, or a
// cursor's selectedText): the document separates its blocks with U+2029, which become lineEnd.
// Every other character stays as it is: a no-break space, a line separator (U+2028) and the like,
// which the document's own toPlainText would turn into a space or a line feed.
inline QString fromDocumentText(QStringView raw, QStringView lineEnd = u"\n")
{
    QString text;
    text.reserve(raw.size());
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator)
            text += lineEnd;
        else
            text += c;
    }
    return text;
}

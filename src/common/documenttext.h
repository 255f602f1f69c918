#pragma once

#include <QString>
#include <QStringView>

// The plain text of a text box's document, from its raw text (QTextDocument::toRawText, or a
// cursor's selectedText): the document separates its blocks with U+2029, which become lineEnd.
// Every other character stays as it is: a no-break space, a line separator (U+2028) and the like,
// which the document's own toPlainText would turn into a space or a line feed.
inline QString fromDocumentText(QStringView raw, QStringView lineEnd = u"\n")
{
    return raw.toString().replace(QChar::ParagraphSeparator, lineEnd.toString());
}

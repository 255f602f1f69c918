#include "rtf/rtf.h"

#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace Rtf {

bool isRtf(QByteArrayView bytes)
{
    return bytes.startsWith("{\\rtf");
}

bool read(QByteArrayView rtf, QTextDocument *document, ReadInfo *info)
{
    if (!document || !isRtf(rtf))
        return false;
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false); // also clears the undo stack
    document->clear();
    QTextCursor cursor(document);
    RtfReader reader(rtf, cursor, RtfReader::Mode::Replace);
    reader.read();
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
    if (info)
        *info = reader.info();
    return true;
}

bool insert(QByteArrayView rtf, QTextCursor &cursor, ReadInfo *info)
{
    if (cursor.isNull() || !isRtf(rtf))
        return false;
    RtfReader reader(rtf, cursor, RtfReader::Mode::Insert);
    reader.read();
    if (info)
        *info = reader.info();
    return true;
}

QByteArray write(const QTextDocument &document)
{
    return RtfWriter(document, document.defaultFont()).write(true);
}

QByteArray write(const QTextDocumentFragment &fragment, const QFont &defaultFont)
{
    QTextDocument piece;
    piece.setDefaultFont(defaultFont);
    QTextCursor(&piece).insertFragment(fragment);
    return RtfWriter(piece, defaultFont).write(false);
}

QByteArray writeSelection(const QTextCursor &cursor)
{
    const QFont font = cursor.document() ? cursor.document()->defaultFont() : QFont();
    return write(cursor.selection(), font);
}

} // namespace Rtf

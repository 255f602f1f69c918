#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFont>
#include <QTextFormat>

class QTextCursor;
class QTextDocument;
class QTextDocumentFragment;

// The editor's rich-text codec: RTF bytes to and from a QTextDocument, for TextEd's files and its
// clipboard. It keeps the text in every script with bold, italic, underline, font family, size,
// text colour and paragraph alignment (left, centre, right, justified); everything else in a file
// (pictures, tables, lists, fields, notes, headers) is reduced to its text in reading order or
// skipped, and ReadInfo tells what was left out so the window can say so. Hidden text (\v) is
// kept and shown, marked by HiddenTextProperty, and written back hidden. Output is 7-bit RTF 1.x
// with CR LF line ends that word processors open as written.
//
// Default font: a document's default font (QTextDocument::defaultFont) is written as font 0, the
// \deff font, and as the Normal style's size; read() makes the file's \deff font at the Normal
// style's size (12 pt when the file names none) the document's default font, and every run whose
// font and size equal it carries no font of its own. A document's default font therefore survives
// write() then read(), its size to the half point RTF can hold (9.75 pt comes back as 10 pt).
// insert() leaves the target document's default font alone and gives explicit fonts only to runs
// that differ from it, so text copied between two documents with the same default font keeps
// following it.
namespace Rtf {

// A character format property: true on text the file holds as hidden.
inline constexpr int HiddenTextProperty = QTextFormat::UserProperty + 1;

// What reading left out or mended. Text is never dropped for these, except inside the skipped parts.
struct ReadInfo
{
    int pictures = 0; // \pict, \object and \shp groups skipped
    int notes = 0; // footnotes and comments skipped
    int headersAndFooters = 0;
    int tableRows = 0; // their cells are read as paragraphs
    int listItems = 0; // their labels are read as text
    int fields = 0; // links and other fields: their shown text is kept, their target is not
    bool tooDeep = false; // groups nested deeper than the reader follows were skipped
    bool truncated = false; // the bytes ended before the closing brace of the document

    bool lostContent() const
    {
        return pictures > 0 || notes > 0 || headersAndFooters > 0 || tableRows > 0 || listItems > 0 || fields > 0
            || tooDeep;
    }
};

// True when the bytes start with "{\rtf"; anything else is plain text to the caller
// (see decodeTextFile in common/textfile.h).
bool isRtf(QByteArrayView bytes);

// Replaces the document's content (and its default font, see above) with the RTF. Returns false,
// leaving the document untouched, only when the bytes are not RTF at all; damaged, truncated or
// hostile RTF reads as much text as it holds. Like loading a file it is not undoable (the undo
// stack is cleared) and leaves the document unmodified.
bool read(QByteArrayView rtf, QTextDocument *document, ReadInfo *info = nullptr);

// Inserts the RTF at the cursor, replacing its selection, as one undo step (Paste). Returns false,
// changing nothing, when the bytes are not RTF. A paragraph that the RTF ends with \par is ended in
// the document too; the text after the last \par joins the paragraph at the cursor.
bool insert(QByteArrayView rtf, QTextCursor &cursor, ReadInfo *info = nullptr);

// The whole document as an RTF file; every paragraph, the last one too, ends with \par.
QByteArray write(const QTextDocument &document);

// A piece of a document (Copy): paragraphs end with \par except a last one that the piece holds
// only in part. Runs that carry no font of their own are written in defaultFont, which should be
// the default font of the document the piece came from (QFont() means the application's font).
QByteArray write(const QTextDocumentFragment &fragment, const QFont &defaultFont = QFont());

// The cursor's selection, in its document's default font; the empty RTF document when nothing is
// selected.
QByteArray writeSelection(const QTextCursor &cursor);

} // namespace Rtf

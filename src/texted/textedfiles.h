#pragma once

#include "common/message.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// TextEd's files, without widgets: the Open and Save filter list, the format each document is
// written in, reading a file's bytes (refusing what cannot be read or is not text) and writing
// them atomically, and plain text in and out. The window turns RTF bytes into documents and back
// with the codec (texted/rtf.h); everything else about files is decided here.
namespace TextEdFiles {

// The filters of the Open and Save dialogs, counted from 1; 0 means none chosen yet.
inline constexpr char FilterList[]
    = "RTF File (*.rtf)|*.rtf|Text File (*.txt)|*.txt|Batch File (*.bat)|*.bat|HTML File (*.html)|*.html";
enum Filter { NoFilter = 0, RtfFilter = 1, TextFilter = 2, BatchFilter = 3, HtmlFilter = 4 };

// The list in the dialogs' form: "RTF File (*.rtf)", "Text File (*.txt)", ...
QStringList dialogFilters();

enum class Format { Rtf, PlainText };

// RTF for the RTF filter (and for none); the characters only for Text, Batch and HTML.
Format formatOfFilter(int filterIndex);

// The filter a document opened from a file keeps: RTF when the file held rich text, otherwise the
// plain filter its name suggests (Text when the name suggests none).
int filterOfOpenedFile(const QString &path, bool isRtf);

// Larger files are refused: the editor could not show them usably.
inline constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

// The file's bytes; nullopt with the message to show when it is missing, a folder, not readable
// or too large.
std::optional<QByteArray> readFile(const QString &path, Message *failure);

// The text of a file that holds no rich text: UTF-8 (or UTF-16 with its byte-order mark), lines
// that are not UTF-8 read as Windows-1252; lines joined by "\n". nullopt when the bytes are not
// text at all (they hold NUL bytes: a program, a picture, an archive).
std::optional<QString> plainText(const QByteArray &bytes);

// A document's characters (QTextDocument::toRawText): paragraph and line breaks become lineEnd,
// embedded objects (U+FFFC) are left out.
QString characters(const QString &rawText, QStringView lineEnd = u"\n");
// The same as a text file holds them: CR LF line ends, UTF-8.
QByteArray plainTextBytes(const QString &rawText);

// The name of an exported PDF file: the name as typed, with ".pdf" added when it has no ending.
QString withPdfEnding(const QString &fileName);

Message cannotOpenMessage(const QString &path, const QString &reason);
Message notTextMessage(const QString &path);
// An RTF file held parts the editor does not show (pictures, notes, headers) or ended early.
Message partsLeftOutMessage(const QString &path, bool truncated);
Message printFailedMessage(const QString &printer);

} // namespace TextEdFiles

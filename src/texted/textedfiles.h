#pragma once

#include "common/message.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// TextEd's files, without widgets: the Open and Save filter list, the format each document is
// written in, reading a file's bytes (refusing what cannot be read or is not text) and writing
// them atomically, and plain text in and out. The window turns RTF bytes into documents and back
// with the codec (rtf/rtf.h); everything else about files is decided here.
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

// Larger files take long to show and much memory: they are read only when the user agrees.
inline constexpr qint64 LargeFileSize = 16 * 1024 * 1024;
// Larger files are refused: the editor could not hold them.
inline constexpr qint64 MaxFileSize = 256 * 1024 * 1024;

// The file's bytes; nullopt with the message to show when it is missing, not a regular file (a
// folder, a named pipe, a device: refused without waiting on it), not readable or too large. A
// file larger than LargeFileSize is read only when mayReadLarge(its size) agrees; when it does not,
// nullopt comes back with *failure left empty.
std::optional<QByteArray> readFile(
    const QString &path, Message *failure, const std::function<bool(qint64 size)> &mayReadLarge = {});

// What a file was when it was read or written, to see whether another program changed it since.
struct FileStamp
{
    bool known = false;
    qint64 size = 0;
    QDateTime modified;

    bool operator==(const FileStamp &) const = default;
};
FileStamp stampOf(const QString &path);
// True when the file still exists and is no longer the one the stamp describes.
bool changedSince(const FileStamp &stamp, const QString &path);

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
// Asked before a file larger than LargeFileSize is read (Yes reads it).
Message largeFileQuestion(const QString &path, qint64 size);
// A document may not be saved over a file that another of its windows shows.
Message openElsewhereMessage(const QString &path);
// Asked before a save would replace a file that another program changed (Yes replaces it).
Message changedOnDiskQuestion(const QString &path);
// Recovery copies that could not be read back: they stay in their folder.
Message unreadableCopiesMessage(const QString &folder, const QStringList &fileNames);
Message notTextMessage(const QString &path);
// An RTF file held parts the editor does not show (pictures, tables, lists, links, notes,
// headers) or ended early.
Message partsLeftOutMessage(const QString &path, bool truncated);
Message printFailedMessage(const QString &printer);

} // namespace TextEdFiles

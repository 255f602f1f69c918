#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

class QFile;
class QIODevice;

// Whole-file text reading and writing, shared by every store of the program.
// Files are UTF-8 with CR LF line ends; lines that are not valid UTF-8 are read as Windows-1252,
// so files written by older 8-bit installations keep their accented letters. A file that starts with
// a UTF-16 byte-order mark is read as UTF-16.

// Returns every line of the file followed by CR LF. Lines end at CR LF, CR or LF (files edited by
// other programs on this desktop end their lines with LF alone). A missing file reads as the empty
// text and is not created (reading never writes: see CreateMissingFile). A file that exists but
// cannot be read whole (no permission, a read error part way) gives nullopt and the reason in
// *error: the caller must then never write over it.
std::optional<QString> ReadTextFile(const QString &path, QString *error = nullptr);
// The same for the file's bytes, undecoded.
std::optional<QByteArray> ReadFileBytes(const QString &path, QString *error = nullptr);
// Creates the file empty when nothing is there (a dangling link counts as there); an existing file
// is left untouched. True when a file is there afterwards.
bool CreateMissingFile(const QString &path);
// Opens the file for reading when it is a regular file. Anything else (a named pipe, a device, a
// folder) is refused without waiting on it, with the reason in *error: opening a pipe would block
// the program until some other program wrote to it. Every read of a file that a user or the data
// folder names goes through here.
bool openRegularFile(QFile &file, QString *error = nullptr);
// Reads the device to its end; nullopt (and the device's reason) when a read fails part way.
std::optional<QByteArray> readDevice(QIODevice &device, QString *error = nullptr);

// Replaces the file's contents with the text exactly, atomically: every write is checked and the
// new contents reach the disk before they replace the old file, so on any failure (a full disk, a
// quota) the old file stays whole and the reason is returned in *error (when given). The folder is
// synced after the replacement, so a power loss cannot bring back the old file once true came back.
bool WriteTextFile(const QString &path, const QString &text, QString *error = nullptr);
// The same for bytes written as they are.
bool WriteFileBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// Text kept aside under a few headings (a draft, under what it belongs to): each heading on a line
// of its own, then the text with one line end added, which SplitHeadings takes off again.
bool WriteWithHeadings(const QString &path, const QStringList &headings, const QString &text, QString *error = nullptr);
// ReadTextFile's text of such a file: `count` headings (empty where the file ends first), then the text.
std::pair<QStringList, QString> SplitHeadings(QString text, int count);
// Adds the bytes to the end of the file (created when missing) and syncs it; false and the reason
// when that fails.
bool AppendToFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// A save that a crash cut short leaves its temporary file beside the file it was replacing. The
// writer names those ".qy2-save~XXXXXX" (hidden, and no name the program gives a user's file);
// this removes them from the folder and from its subfolders down to `depth` levels. Older versions
// named them "<name>.XXXXXX": those are removed where <name> ends in one of the suffixes (".dat").
// Returns how many were removed.
int removeStaleSaveFiles(const QString &folder, const QStringList &suffixes = {}, int depth = 0);
inline constexpr char SaveFilePrefix[] = ".qy2-save~";

// For tests: the next whole-file write fails at this step as a disk error would (the old file must
// then stay whole and the failure be reported).
enum class WriteStep { None, Sync, Rename };
void failNextWriteAt(WriteStep step);

// Every kind of line break (CR LF, CR, LF, U+2028, U+2029) becomes lineEnd.
QString withLineEnds(const QString &text, QStringView lineEnd);
// One space for each line break, so a text typed or pasted for one line of a file stays on one line.
inline QString OneLine(const QString &text)
{
    return withLineEnds(text, u" ");
}

// The decoding ReadTextFile applies to the file's bytes (exposed for the fuzzer and the tests).
QString decodeTextFile(const QByteArray &bytes);
QString decodeLine(QByteArrayView line);
// Calls back with each line of the file's bytes: its decoded text and its bytes without the line
// break (for a UTF-16 file, the text's UTF-8). Lines end as ReadTextFile says.
void forEachLine(const QByteArray &bytes, const std::function<void(const QString &text, QByteArrayView raw)> &line);
// Windows-1252, byte for byte (also the RTF codec's default code page).
QString decodeWindows1252(QByteArrayView bytes);

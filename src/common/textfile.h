#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Whole-file text reading and writing, shared by every store of the program.
// Files are UTF-8 with CR LF line ends; lines that are not valid UTF-8 are read as Windows-1252,
// so files written by older 8-bit installations keep their accented letters.

// Returns every line of the file followed by CR LF. Lines end at CR LF, CR or LF (files edited by
// other programs on this desktop end their lines with LF alone). A missing file is created empty
// and reads as the empty text. A file that exists but cannot be read whole (no permission, a read
// error part way) gives nullopt and the reason in *error: the caller must then never write over it.
std::optional<QString> ReadTextFile(const QString &path, QString *error = nullptr);

// Replaces the file's contents with the text exactly, atomically: on failure the old file stays
// whole and the reason is returned in *error (when given).
bool WriteTextFile(const QString &path, const QString &text, QString *error = nullptr);

// The decoding ReadTextFile applies to the file's bytes (exposed for the fuzzer and the tests).
QString decodeTextFile(const QByteArray &bytes);
QString decodeLine(QByteArrayView line);
// Windows-1252, byte for byte (also the RTF codec's default code page).
QString decodeWindows1252(QByteArrayView bytes);

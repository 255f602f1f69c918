#pragma once

#include <QFont>
#include <QString>
#include <Qt>

// The formatting rules the reader and the writer share: font sizes in half points and the four
// paragraph alignments.
namespace RtfFormat {

constexpr int DefaultHalfPoints = 24; // 12 pt, what a file means when it names no size
constexpr int MaxHalfPoints = 3276; // 1638 pt

// A size from a file (\fsN), kept within what a font can take.
int clampHalfPoints(int halfPoints);

// A font's size rounded to half points (a pixel size counts at 96 dpi).
int halfPoints(const QFont &font);

// One of AlignLeft, AlignHCenter, AlignRight and AlignJustify for a block's alignment flags.
Qt::Alignment horizontal(Qt::Alignment alignment);

// "ql", "qc", "qr" or "qj".
const char *alignmentWord(Qt::Alignment alignment);

// Turns what a text document would take for a block or frame boundary, lone surrogates and other
// controls into harmless characters (line separators, U+FFFD), so that a paragraph stays one block.
void sanitize(QString &text);

} // namespace RtfFormat

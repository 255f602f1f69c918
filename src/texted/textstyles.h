#pragma once

class QTextCharFormat;
class QTextCursor;
class QTextEdit;

// Bold, italic and underline as the toolbar switches them: on the selection, or, without one, on
// what is typed next at the cursor.
namespace TextStyles {

enum class Style { Bold, Italic, Underline };

bool has(const QTextCharFormat &format, Style style);

// True when every character of the cursor's selection has the style (without a selection: the
// format at the cursor).
bool selectionHas(const QTextCursor &cursor, Style style);

// Inverts the style: a selection that has it throughout loses it, any other (also one that has it
// only in part) gets it throughout. Returns whether the selection has the style now.
bool toggle(QTextEdit &box, Style style);

} // namespace TextStyles

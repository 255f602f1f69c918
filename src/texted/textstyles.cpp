#include "texted/textstyles.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace TextStyles {
namespace {

void set(QTextCharFormat &format, Style style, bool on)
{
    switch (style) {
    case Style::Bold: format.setFontWeight(on ? QFont::Bold : QFont::Normal); break;
    case Style::Italic: format.setFontItalic(on); break;
    case Style::Underline: format.setFontUnderline(on); break;
    }
}

} // namespace

bool has(const QTextCharFormat &format, Style style)
{
    switch (style) {
    case Style::Bold: return format.fontWeight() >= QFont::DemiBold;
    case Style::Italic: return format.fontItalic();
    case Style::Underline: return format.fontUnderline();
    }
    return false;
}

bool selectionHas(const QTextCursor &cursor, Style style)
{
    if (!cursor.hasSelection())
        return has(cursor.charFormat(), style);
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    const QTextDocument *document = cursor.document();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const bool inside = fragment.position() < end && fragment.position() + fragment.length() > start;
            if (inside && !has(fragment.charFormat(), style))
                return false;
        }
    }
    return true;
}

bool toggle(QTextEdit &box, Style style)
{
    const QTextCursor cursor = box.textCursor();
    const bool on = !selectionHas(cursor, style);
    QTextCharFormat change;
    set(change, style, on);
    box.mergeCurrentCharFormat(change);
    return on;
}

} // namespace TextStyles

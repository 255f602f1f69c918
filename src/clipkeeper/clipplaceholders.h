#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

class QMimeData;

// Clips that fill themselves in: when a clip is copied, "{date}" and "{time}" become the moment of
// copying in the locale's short format and "{clipboard}" what the clipboard held as plain text.
// "{{" writes "{" and "}}" writes "}"; any other name in braces is left as it stands.
QString FillPlaceholders(const QString &text, const QDateTime &now, const QLocale &locale, const QString &clipboard);

// The clipboard's text as plain text: its plain form where it offers one, else its HTML without the
// markup.
QString ClipboardPlainText(const QMimeData *clipboard);

#pragma once

#include <QString>

// A message for the user, decided by a core and shown by a window (through Dialogs).
struct Message
{
    enum class Icon { None, Information, Exclamation, Question, Critical };

    Icon icon = Icon::None;
    QString title;
    QString text;

    bool operator==(const Message &) const = default;
};

#pragma once

#include "common/message.h"

#include <QCoreApplication>
#include <QString>
#include <optional>

// Start with the desktop: the per-user XDG autostart entry ($XDG_CONFIG_HOME/autostart/<id>.desktop)
// that the desktop runs at every login. The option has no setting of its own: it is on while the entry
// exists and is not switched off (the user may delete it by hand, a session settings tool may hide it),
// so the Options dialog always shows the truth. Tests point the folder elsewhere with setFolder().
class Autostart final
{
    Q_DECLARE_TR_FUNCTIONS(Autostart)

public:
    // The name of the installed desktop entry, the icon and this autostart entry.
    static QString appId();
    static QString folder();
    static QString entryPath();
    static void setFolder(const QString &folder);

    static bool isOn();
    // Writes the entry (atomically) or removes it; nothing happens when the state is already the wanted
    // one. A failure leaves the state as it was and comes back as the message to show.
    static std::optional<Message> setOn(bool on, const QString &programPath);

    // The entry that starts the program at programPath, and that path as one Exec argument.
    static QString entryText(const QString &programPath);
    static QString execArgument(const QString &programPath);
    // Whether an entry's text switches it off (Hidden=true, or X-GNOME-Autostart-enabled=false).
    static bool isSwitchedOff(const QString &entryText);
};

#include "app/toolicons.h"

#include <QHash>

namespace {

struct IconSource
{
    const char *themeName; // freedesktop name, or nullptr where no common theme has a fitting icon
    const char *ownFile;
};

const QHash<QString, IconSource> &iconSources()
{
    static const QHash<QString, IconSource> sources = {
        { QStringLiteral("Calc"), { "accessories-calculator", "calculator.svg" } },
        { QStringLiteral("Cal"), { "x-office-calendar", "calendar.svg" } },
        { QStringLiteral("Clip"), { "edit-paste", "clipkeeper.svg" } },
        { QStringLiteral("Plan"), { "view-calendar-day", "planner.svg" } },
        { QStringLiteral("Quick"), { "view-pim-notes", "quicknotes.svg" } },
        { QStringLiteral("Rem"), { "appointment-soon", "reminder.svg" } },
        { QStringLiteral("Text"), { "accessories-text-editor", "texted.svg" } },
        { QStringLiteral("Help"), { "help-contents", "help.svg" } },
        { QStringLiteral("About"), { "help-about", "about.svg" } },
        { QStringLiteral("Options"), { "preferences-system", "options.svg" } },
        { QStringLiteral("Exit"), { "application-exit", "exit.svg" } },
        { QStringLiteral("Hide"), { nullptr, "hide.svg" } },
        { QStringLiteral("Menu"), { "open-menu", "menu.svg" } },
    };
    return sources;
}

} // namespace

QIcon toolIcon(const QString &key)
{
    const auto source = iconSources().constFind(key);
    if (source == iconSources().constEnd())
        return {};
    const QIcon own(QStringLiteral(":/icons/tools/") + QLatin1String(source->ownFile));
    if (!source->themeName)
        return own;
    return QIcon::fromTheme(QLatin1String(source->themeName), own);
}

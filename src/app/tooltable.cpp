#include "app/tooltable.h"

#include "app/frmabout.h"
#include "app/frmoptions.h"
#include "app/frmpopupmenu.h"
#include "app/frmqy2.h"
#include "app/frmsplash.h"
#include "app/frmtoolbar.h"
#include "calculator/frmcalculator.h"
#include "calendar/frmcalendar.h"
#include "clipkeeper/frmclipkeeper.h"
#include "planner/frmplanner.h"
#include "quicknotes/frmquicknotes.h"
#include "reminders/frmreminder.h"
#include "search/frmsearch.h"
#include "texted/frmtexted.h"
#include "widgets/helpviewer.h"

#include <QCoreApplication>

namespace {

template <typename Window> QWidget *make(frmQY2 &)
{
    return new Window;
}

template <typename Window> QWidget *makeWithMain(frmQY2 &main)
{
    return new Window(main);
}

QWidget *makeReminders(frmQY2 &main)
{
    return new frmReminder(main.reminders());
}

#define TOOL_TEXT(text) QT_TRANSLATE_NOOP("ToolTable", text)

// In WindowKey order.
constexpr std::array<WindowEntry, WindowCount> Windows = { {
    { WindowKey::Calculator,
        { "Calc", TOOL_TEXT("&Calculator"), TOOL_TEXT("Calculator"), "accessories-calculator", "calculator.svg" },
        HelpTopic::Calculator, "calculator.html", make<frmCalculator> },
    { WindowKey::Calendar,
        { "Cal", TOOL_TEXT("C&alendar"), TOOL_TEXT("Calendar"), "x-office-calendar", "calendar.svg" },
        HelpTopic::Calendar, "calendar.html", make<frmCalendar> },
    { WindowKey::ClipKeeper,
        { "Clip", TOOL_TEXT("Clip&Keeper"), TOOL_TEXT("ClipKeeper"), "edit-paste", "clipkeeper.svg" },
        HelpTopic::ClipKeeper, "clipkeeper.html", make<frmClipKeeper> },
    { WindowKey::Planner, { "Plan", TOOL_TEXT("&Planner"), TOOL_TEXT("Planner"), "view-calendar-day", "planner.svg" },
        HelpTopic::Planner, "planner.html", make<frmPlanner> },
    { WindowKey::QuickNotes,
        { "Quick", TOOL_TEXT("&QuickNotes"), TOOL_TEXT("QuickNotes"), "view-pim-notes", "quicknotes.svg" },
        HelpTopic::QuickNotes, "quicknotes.html", make<frmQuickNotes> },
    { WindowKey::Reminders,
        { "Rem", TOOL_TEXT("&Reminder"), TOOL_TEXT("Reminder"), "appointment-soon", "reminder.svg" },
        HelpTopic::Reminders, "reminders.html", makeReminders },
    { WindowKey::TextEd, { "Text", TOOL_TEXT("&TextEd"), TOOL_TEXT("TextEd"), "accessories-text-editor", "texted.svg" },
        HelpTopic::TextEd, "texted.html", make<frmTextEd> },
    { WindowKey::PopUpMenu, { "PopUp", nullptr, nullptr, nullptr, nullptr }, 0, nullptr, makeWithMain<frmPopUpMenu> },
    { WindowKey::About, { "About", TOOL_TEXT("&About"), TOOL_TEXT("About"), "help-about", "about.svg" }, 0, nullptr,
        make<frmAbout> },
    { WindowKey::Splash, { "Splash", nullptr, nullptr, nullptr, nullptr }, 0, nullptr, make<frmSplash> },
    { WindowKey::ToolBar, { "ToolBar", nullptr, nullptr, nullptr, nullptr }, 0, nullptr, makeWithMain<frmToolBar> },
    { WindowKey::Options,
        { "Options", TOOL_TEXT("Options"), TOOL_TEXT("Options"), "preferences-system", "options.svg" }, 0, nullptr,
        makeWithMain<frmOptions> },
    { WindowKey::Search, { "Find", TOOL_TEXT("&Find"), TOOL_TEXT("Find"), "edit-find", "find.svg" }, 0, nullptr,
        make<frmSearch> },
} };

// In Command order.
constexpr std::array<CommandEntry, 4> Commands = { {
    { Command::Help, { "Help", TOOL_TEXT("&Help"), TOOL_TEXT("Help"), "help-contents", "help.svg" } },
    { Command::Exit, { "Exit", TOOL_TEXT("E&xit"), TOOL_TEXT("Exit"), "application-exit", "exit.svg" } },
    { Command::Hide, { "Hide", nullptr, TOOL_TEXT("Hide Toolbar"), nullptr, "hide.svg" } },
    { Command::Menu, { "Menu", nullptr, TOOL_TEXT("Menu"), "open-menu", "menu.svg" } },
} };

constexpr bool inKeyOrder()
{
    for (int i = 0; i < WindowCount; ++i) {
        if (int(Windows[i].key) != i)
            return false;
    }
    for (size_t i = 0; i < Commands.size(); ++i) {
        if (size_t(Commands[i].command) != i)
            return false;
    }
    return true;
}
static_assert(inKeyOrder(), "the tables are indexed by their keys");

constexpr WindowKey Tools[] = { WindowKey::Calculator, WindowKey::Calendar, WindowKey::ClipKeeper, WindowKey::Planner,
    WindowKey::QuickNotes, WindowKey::Reminders, WindowKey::TextEd };

constexpr WindowKey LauncherKeys[] = { WindowKey::Calculator, WindowKey::Calendar, WindowKey::ClipKeeper,
    WindowKey::Planner, WindowKey::QuickNotes, WindowKey::Reminders, WindowKey::TextEd, WindowKey::Search };

constexpr WindowKey UnloadOrder[] = { WindowKey::Search, WindowKey::Calculator, WindowKey::Calendar,
    WindowKey::ClipKeeper, WindowKey::Planner, WindowKey::Reminders, WindowKey::TextEd, WindowKey::PopUpMenu,
    WindowKey::About, WindowKey::Splash, WindowKey::ToolBar, WindowKey::Options, WindowKey::QuickNotes };
static_assert(std::size(UnloadOrder) == WindowCount);

QIcon iconOf(const ButtonFace &face)
{
    if (!face.ownIcon)
        return {};
    const QIcon own(QStringLiteral(":/icons/tools/") + QLatin1String(face.ownIcon));
    return face.themeIcon ? QIcon::fromTheme(QLatin1String(face.themeIcon), own) : own;
}

} // namespace

const WindowEntry &windowEntry(WindowKey key)
{
    return Windows[size_t(key)];
}

const CommandEntry &commandEntry(Command command)
{
    return Commands[size_t(command)];
}

std::span<const WindowKey> toolKeys()
{
    return Tools;
}

std::span<const WindowKey> launcherKeys()
{
    return LauncherKeys;
}

std::span<const WindowKey> unloadOrder()
{
    return UnloadOrder;
}

QString windowName(WindowKey key)
{
    return QLatin1String(windowEntry(key).face.name);
}

QIcon buttonIcon(WindowKey key)
{
    return iconOf(windowEntry(key).face);
}

QIcon buttonIcon(Command command)
{
    return iconOf(commandEntry(command).face);
}

QString buttonText(const char *text)
{
    return QCoreApplication::translate("ToolTable", text);
}

QString buttonToolTip(WindowKey key, bool available)
{
    const QString tip = buttonText(windowEntry(key).face.toolTip);
    return available ? tip : QCoreApplication::translate("ToolTable", "%1 (not available yet)").arg(tip);
}

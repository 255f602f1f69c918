#pragma once

#include <QIcon>
#include <QString>
#include <array>
#include <span>

class QWidget;
class frmQY2;

// The one table of the program's windows and launcher commands. The launcher toolbar, the pop-up
// menu, the icons, the window opener's unload order and the help viewer's pages all read it, so a
// wrong key is a compile error rather than a button that silently opens nothing.

// Every window the opener can load. The first seven are the tools, in the launcher's order.
enum class WindowKey {
    Calculator,
    Calendar,
    ClipKeeper,
    Planner,
    QuickNotes,
    Reminders,
    TextEd,
    PopUpMenu,
    About,
    Splash,
    ToolBar,
    Options,
    Search,
};
inline constexpr int WindowCount = int(WindowKey::Search) + 1;

// Buttons that run a command instead of opening a window.
enum class Command { Help, Exit, Hide, Menu };

// What a button shows: its key (the button's objectName), caption ("&" before the access key),
// tool tip, and icon (a freedesktop theme name where common themes have a fitting one, else none;
// the program's own SVG otherwise).
struct ButtonFace
{
    const char *name;
    const char *caption;
    const char *toolTip;
    const char *themeIcon;
    const char *ownIcon;
};

struct WindowEntry
{
    WindowKey key;
    ButtonFace face;
    int helpTopic; // the context id of the window's help page; 0 for none
    const char *helpPage; // the built-in page of that topic
    QWidget *(*create)(frmQY2 &main); // nullptr while the window is not built into the program
};

struct CommandEntry
{
    Command command;
    ButtonFace face;
};

const WindowEntry &windowEntry(WindowKey key);
const CommandEntry &commandEntry(Command command);
std::span<const WindowKey> toolKeys(); // the seven tools, left to right on the launcher
std::span<const WindowKey> launcherKeys(); // the seven tools and the search, as the launcher shows them
std::span<const WindowKey> unloadOrder(); // every window, in the order the shutdown closes them

QString windowName(WindowKey key); // "Calc", "Rem", ...: the button key of the window
QString buttonText(const char *text); // a caption or tool tip of the tables, translated
// The tool tip of a window's button; the button of a window this build does not have yet says so.
QString buttonToolTip(WindowKey key, bool available);

// The icon of a window's or a command's button: the desktop theme's where it has a fitting one,
// else the program's own.
QIcon buttonIcon(WindowKey key);
QIcon buttonIcon(Command command);

#include "common/autostart.h"

#include "common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString s_folder;

// The general escapes of a desktop entry value, applied after the Exec quoting.
QString escapeValue(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\r': out += QLatin1String("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

Message failure(
    const QString &title, const QString &text, const QString &path, const QString &reason, const QString &solution)
{
    return { Message::Icon::Exclamation, title,
        text + QLatin1String("\r\n\r\n") + QDir::toNativeSeparators(path) + QLatin1String("\r\n") + reason
            + QLatin1String("\r\n\r\n") + QCoreApplication::translate("Autostart", "Solution:") + QLatin1String("\r\n")
            + solution };
}
} // namespace

QString Autostart::appId()
{
    return QStringLiteral(QY2_APP_ID);
}

QString Autostart::folder()
{
    if (s_folder.isEmpty())
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
    return s_folder;
}

QString Autostart::entryPath()
{
    return QDir(folder()).filePath(appId() + QStringLiteral(".desktop"));
}

void Autostart::setFolder(const QString &folder)
{
    s_folder = folder;
}

bool Autostart::isSwitchedOff(const QString &entryText)
{
    bool inMainGroup = false;
    for (const QString &rawLine : entryText.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if ((key == QLatin1String("Hidden") && value == QLatin1String("true"))
            || (key == QLatin1String("X-GNOME-Autostart-enabled") && value == QLatin1String("false")))
            return true;
    }
    return false;
}

bool Autostart::isOn()
{
    const QString path = entryPath();
    if (!QFileInfo(path).isFile())
        return false;
    // An entry that cannot be read is still there, and still starts the program.
    const std::optional<QString> text = ReadTextFile(path);
    return !text || !isSwitchedOff(*text);
}

QString Autostart::execArgument(const QString &programPath)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    QString arg;
    for (const QChar c : programPath) {
        quote = quote || reserved.contains(c);
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            arg += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            arg += QLatin1Char('%');
        arg += c;
    }
    return escapeValue(quote ? QLatin1Char('"') + arg + QLatin1Char('"') : arg);
}

QString Autostart::entryText(const QString &programPath)
{
    return QLatin1String("[Desktop Entry]\n"
                         "Type=Application\n"
                         "Name=Quillory2\n")
        + QLatin1String("Comment=") + escapeValue(tr("Reminders, planner, clips, calculator, notes and editor"))
        + QLatin1String("\nExec=") + execArgument(programPath) + QLatin1String("\nTryExec=") + escapeValue(programPath)
        + QLatin1String("\nIcon=") + appId()
        + QLatin1String("\n"
                        "Terminal=false\n"
                        "StartupNotify=false\n");
}

std::optional<Message> Autostart::setOn(bool on, const QString &programPath)
{
    if (on == isOn())
        return std::nullopt;
    const QString path = entryPath();
    QString reason;
    if (on) {
        if (!QDir().mkpath(folder()))
            reason = tr("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folder()));
        else if (WriteTextFile(path, entryText(programPath), &reason))
            return std::nullopt;
        return failure(tr("Quillory2: Cannot start with the desktop"), tr("THE LOGIN ENTRY COULD NOT BE WRITTEN"), path,
            reason, tr("Make the folder writable, then tick \"Start with the desktop\" again."));
    }
    QFile entry(path);
    if (entry.remove())
        return std::nullopt;
    return failure(tr("Quillory2: Still starts with the desktop"), tr("THE LOGIN ENTRY COULD NOT BE REMOVED"), path,
        entry.errorString(), tr("Make the folder writable, or delete the file by hand."));
}

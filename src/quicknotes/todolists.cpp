#include "quicknotes/todolists.h"

#include "common/clock.h"
#include "common/datafolder.h"
#include "common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

// In list order. They name the item files: never build a file name from anything else.
constexpr const char *Titles[ToDoLists::TitleCount] = {
    QT_TRANSLATE_NOOP("ToDoLists", "Things To Do Today"),
    QT_TRANSLATE_NOOP("ToDoLists", "Make a Note of this"),
    QT_TRANSLATE_NOOP("ToDoLists", "Things to Remember"),
    QT_TRANSLATE_NOOP("ToDoLists", "Phone Calls to Make"),
    QT_TRANSLATE_NOOP("ToDoLists", "Things To Do Tomorrow"),
    QT_TRANSLATE_NOOP("ToDoLists", "Things To Do This Week"),
    QT_TRANSLATE_NOOP("ToDoLists", "Things To Do This Month"),
    QT_TRANSLATE_NOOP("ToDoLists", "My Christmas List"),
    QT_TRANSLATE_NOOP("ToDoLists", "My Guest List"),
    QT_TRANSLATE_NOOP("ToDoLists", "My Shopping List"),
};

const QString CrLf = QStringLiteral("\r\n");

bool inRange(int position)
{
    return position >= 0 && position < ToDoLists::TitleCount;
}

// A file that exists but cannot be opened for reading must not be replaced by a save.
bool unreadable(const QString &path, QString *reason)
{
    QFile file(path);
    QString error;
    if (!file.exists() || openRegularFile(file, &error))
        return false;
    if (reason)
        *reason = ToDoLists::tr("The file cannot be read, so it was not replaced: %1").arg(error);
    return true;
}

QString sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes);
}

} // namespace

QString ToDoLists::title(int position)
{
    return inRange(position) ? QLatin1String(Titles[position]) : QString();
}

QString ToDoLists::titleText(int position)
{
    return inRange(position) ? tr(Titles[position]) : QString();
}

int ToDoLists::position(const QString &title)
{
    for (int i = 0; i < TitleCount; ++i) {
        if (title == QLatin1String(Titles[i]))
            return i;
    }
    return -1;
}

QString ToDoLists::itemFilePath(int position)
{
    return inRange(position) ? DataFolder::filePath(title(position) + QStringLiteral(".txt")) : QString();
}

QString ToDoLists::templateFilePath()
{
    return DataFolder::filePath(QStringLiteral("todo.dat"));
}

std::optional<QString> ToDoLists::load(const QString &path, Message *failure)
{
    const qint64 size = QFileInfo(path).size();
    if (size > MaxFileBytes) {
        if (failure) {
            *failure = readFailedMessage(path,
                tr("It holds %1; QuickNotes shows lists of up to %2. Open it in a text editor.")
                    .arg(sizeText(size), sizeText(MaxFileBytes)));
        }
        return std::nullopt;
    }
    QString reason;
    std::optional<QString> text = ReadTextFile(path, &reason);
    if (!text && failure)
        *failure = readFailedMessage(path, reason);
    return text;
}

bool ToDoLists::save(const QString &path, const QString &text, QString *reason)
{
    if (unreadable(path, reason))
        return false;
    return WriteTextFile(path, toFileText(text), reason);
}

// Not withLineEnds: that one turns every break-like character into CR LF, while a line separator
// typed in the pad (U+2028) is part of the list's text and is stored as it stands.
QString ToDoLists::toFileText(const QString &padText)
{
    QString result;
    result.reserve(padText.size() + padText.size() / 16);
    for (qsizetype i = 0; i < padText.size(); ++i) {
        const QChar c = padText.at(i);
        if (c == u'\n' && (i == 0 || padText.at(i - 1) != u'\r'))
            result += u'\r';
        result += c;
    }
    return result;
}

bool ToDoLists::holdsOtherText(const QString &path, const QString &padText)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0)
        return false;
    const QByteArray bytes = toFileText(padText).toUtf8();
    if (info.size() != bytes.size())
        return true;
    const std::optional<QByteArray> saved = ReadFileBytes(path);
    return saved && *saved != bytes;
}

Message ToDoLists::unseenListQuestion(int position, const QString &path)
{
    return { Message::Icon::Question, tr("Quillory2: Replace the list"),
        tr("THE SAVED LIST WAS NOT SHOWN\r\n\r\n\"%1\" holds a list saved earlier (%2), which QuickNotes has not "
           "shown since it opened.\r\n\r\nReplace it with the text in the pad?\r\nYes: the saved list is "
           "replaced.\r\nNo: nothing is saved; Load Selected Item shows the saved list.")
            .arg(titleText(position), sizeText(QFileInfo(path).size())) };
}

QString ToDoLists::defaultTemplate(const QDate &date, const QLocale &locale)
{
    QStringList lines;
    lines << tr("ToDo: ") + locale.toString(date, QStringLiteral("dddd d MMM")) << QString();
    for (int item = 1; item <= 9; ++item)
        lines << QStringLiteral("(%1) ").arg(item);
    lines << QString(18, u'_') << tr("Click <Save> button");
    return lines.join(CrLf);
}

QString ToDoLists::defaultTemplate()
{
    return defaultTemplate(Clock::now().date(), QLocale());
}

QString ToDoLists::draftFilePath()
{
    return DataFolder::filePath(QStringLiteral("QuickNotes draft.txt"));
}

bool ToDoLists::saveDraft(const Draft &draft, QString *reason)
{
    return WriteWithHeadings(draftFilePath(), { title(draft.position) }, toFileText(draft.text), reason);
}

std::optional<ToDoLists::Draft> ToDoLists::loadDraft(Message *failure)
{
    const QString path = draftFilePath();
    if (!QFile::exists(path))
        return std::nullopt;
    const std::optional<QString> text = load(path, failure);
    if (!text)
        return std::nullopt;
    const auto [headings, body] = SplitHeadings(*text, 1);
    return Draft { qMax(0, position(headings[0])), body };
}

bool ToDoLists::removeDraft()
{
    return !QFile::exists(draftFilePath()) || QFile::remove(draftFilePath());
}

Message ToDoLists::readFailedMessage(const QString &path, const QString &reason)
{
    return { Message::Icon::Exclamation, tr("Quillory2: Cannot read the file"),
        tr("THE FILE COULD NOT BE READ\r\n\r\n%1\r\n%2\r\n\r\nSolution:\r\n"
           "Make the file readable, then try again.\r\n"
           "The file was left as it is, and the pad keeps its text.")
            .arg(QDir::toNativeSeparators(path), reason) };
}

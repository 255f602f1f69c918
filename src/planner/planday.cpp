#include "planner/planday.h"

#include "common/datafolder.h"
#include "common/syncfiles.h"
#include "common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringTokenizer>

namespace PlanDay {

int slotMinutes(int interval)
{
    static constexpr int minutes[IntervalCount] = { 15, 30, 60 };
    return minutes[isInterval(interval) ? interval : DefaultInterval];
}

int slotCount(int interval)
{
    return 24 * 60 / slotMinutes(interval);
}

bool isInterval(int interval)
{
    return interval >= 0 && interval < IntervalCount;
}

QString dayKey(const QDate &day)
{
    return day.toString(QStringLiteral("yyyyMMdd"));
}

QString folder()
{
    return DataFolder::filePath(QStringLiteral("PlanData"));
}

bool makeFolder()
{
    return QDir().mkpath(folder());
}

QString dayPath(const QDate &day)
{
    return QDir(folder()).filePath(dayKey(day));
}

QString fileText(const Day &day)
{
    QString text = QString::number(day.interval) + QStringLiteral("\r\n");
    for (const Slot &slot : day.entries) {
        text += slot.done ? u'1' : u'0';
        text += OneLine(slot.text);
        text += QStringLiteral("\r\n");
    }
    return text;
}

// A slot's text as the slot shows it and the file stores it again: at most what a slot holds (never
// ending inside a character), on one line, whole characters only.
static QString storableText(QStringView line)
{
    if (line.size() > SlotTextLimit)
        line = line.first(line.at(SlotTextLimit - 1).isHighSurrogate() ? SlotTextLimit - 1 : SlotTextLimit);
    QString text = OneLine(line.toString());
    if (!QStringView(text).isValidUtf16())
        text = QString::fromUtf8(text.toUtf8());
    return text;
}

Contents parse(const QString &text)
{
    Contents contents;
    bool first = true;
    // ReadTextFile ends every line with CR LF; the tokenizer's last, empty part is no line.
    const QList<QStringView> lines = QStringTokenizer(text, u"\r\n").toContainer();
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QStringView line = lines.at(i);
        if (first) {
            first = false;
            if (line.size() == 1 && isInterval(line.at(0).unicode() - u'0'))
                contents.interval = line.at(0).unicode() - u'0';
            else
                ++contents.unusableLines;
            continue;
        }
        if (!line.isEmpty() && (line.at(0) == u'0' || line.at(0) == u'1')) {
            const QString slotText = storableText(line.sliced(1));
            if (slotText != line.sliced(1))
                ++contents.unusableLines;
            contents.entries.append(Slot { line.at(0) == u'1', slotText });
        } else {
            contents.entries.append(std::nullopt);
            ++contents.unusableLines;
        }
    }
    return contents;
}

Day apply(const Contents &contents, int interval)
{
    Day day;
    day.interval = contents.interval.value_or(interval);
    day.entries.resize(slotCount(day.interval));
    for (qsizetype k = 0; k < contents.entries.size(); ++k) {
        if (k < day.entries.size()) {
            if (contents.entries.at(k))
                day.entries[k] = *contents.entries.at(k);
        }
    }
    return day;
}

bool PlanSaveDay(const QDate &date, const Day &day, QString *error)
{
    makeFolder();
    return WriteTextFile(dayPath(date), fileText(day), error);
}

std::optional<Contents> PlanLoadDay(const QDate &date, QString *error)
{
    const std::optional<QString> text = ReadTextFile(dayPath(date), error);
    if (!text)
        return std::nullopt;
    return parse(*text);
}

QList<Entry> entriesOf(const Day &day)
{
    QList<Entry> entries;
    for (qsizetype k = 0; k < day.entries.size(); ++k) {
        if (!day.entries.at(k).text.isEmpty())
            entries.append({ int(k) * slotMinutes(day.interval), day.entries.at(k).text });
    }
    return entries;
}

QList<Plan> storedPlansFrom(const QDate &from)
{
    QList<Plan> plans;
    for (const QString &name : QDir(folder()).entryList(QDir::Files, QDir::Name)) {
        const QDate day = QDate::fromString(name, QStringLiteral("yyyyMMdd"));
        if (name.size() != 8 || !day.isValid() || day < from)
            continue;
        const std::optional<QString> text = ReadTextFile(dayPath(day));
        if (!text)
            continue;
        const Day stored = apply(parse(*text), DefaultInterval);
        for (const Entry &entry : entriesOf(stored))
            plans.append({ day, entry, slotMinutes(stored.interval) });
    }
    return plans;
}

QList<Entry> storedEntries(const QDate &date)
{
    const QFileInfo file(dayPath(date));
    if (!file.isFile() || file.size() == 0)
        return {};
    const std::optional<QString> text = ReadTextFile(file.filePath());
    return text ? entriesOf(apply(parse(*text), DefaultInterval)) : QList<Entry>();
}

bool isDamaged(const Contents &contents, int interval)
{
    return contents.unusableLines > 0 || contents.entries.size() > slotCount(contents.interval.value_or(interval));
}

QString keepDamagedCopy(const QDate &date)
{
    const QString copy = dayPath(date) + QStringLiteral(".damaged");
    const std::optional<QByteArray> bytes = ReadFileBytes(dayPath(date));
    if (!bytes || !AppendToFile(copy, *bytes))
        return QString();
    return copy;
}

QString keepUnsavedCopy(const QDate &date, const Day &day)
{
    const QString name = dayKey(date) + QStringLiteral(".unsaved");
    const QByteArray bytes = fileText(day).toUtf8();
    for (const QString &copy :
        { QDir(folder()).filePath(name), DataFolder::filePath(QStringLiteral("PlanData-") + name) }) {
        if (AppendToFile(copy, bytes))
            return copy;
    }
    return QString();
}

namespace {

QString mergedText(const QString &base, const QString &mine, const QString &theirs)
{
    if (theirs == base || mine == theirs)
        return mine;
    if (mine == base || mine.isEmpty())
        return theirs;
    return theirs.isEmpty() ? mine : mine + QStringLiteral(" / ") + theirs;
}

} // namespace

std::optional<Day> mergeDays(const Day &base, const Day &mine, const Day &theirs)
{
    if (base.interval != mine.interval || theirs.interval != mine.interval)
        return std::nullopt;
    Day merged = mine;
    for (qsizetype k = 0; k < merged.entries.size(); ++k) {
        const Slot &was = base.entries.value(k);
        const Slot &other = theirs.entries.value(k);
        Slot &slot = merged.entries[k];
        slot.text = mergedText(was.text, slot.text, other.text);
        if (slot.done == was.done)
            slot.done = other.done;
    }
    return merged;
}

QString keepConflictCopy(const QDate &date)
{
    return KeepConflictCopy(dayPath(date));
}

} // namespace PlanDay

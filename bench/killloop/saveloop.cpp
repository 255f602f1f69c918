// Saves one of the program's stores over and over through its own code, as fast as it can; run.sh
// kills it at random moments, then asks this program to check what the kill left behind.
// Usage: qy2-saveloop STORE DATA_FOLDER            save until killed
//        qy2-saveloop --seed STORE DATA_FOLDER     one save, so that there is a file to check
//        qy2-saveloop --check STORE DATA_FOLDER    the start-up clean-up, then: is the file whole?
// STORE: reminders, planday, clip, todo, draft, recovery, settings. A round N writes a text made
// from N alone, so a file is whole when it is exactly the text of the round it names.
// --check prints "whole" or "torn", the temporary files the clean-up removed ("removed N") and those it
// left ("left N"); it exits 1
// for a torn file or a temporary file left.
#include "clipkeeper/clipstore.h"
#include "common/clock.h"
#include "common/datafolder.h"
#include "common/settings.h"
#include "common/textfile.h"
#include "planner/planday.h"
#include "quicknotes/todolists.h"
#include "reminders/reminderlist.h"
#include "texted/recoverystore.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <cstdio>
#include <map>

namespace {

const QDate PlanDate(2030, 1, 1);
const QString ClipName = QStringLiteral("Kill loop clip");
const QString SettingsApp = QStringLiteral("Quillory2");
const QString SettingsSection = QStringLiteral("Settings");
const QString SettingsKey = QStringLiteral("KillLoop");

// About 40 KB, so that a save takes long enough to be cut short often.
QString roundText(int round, int lines = 400)
{
    QString text = QStringLiteral("Round %1\r\n").arg(round);
    for (int line = 0; line < lines; ++line)
        text += QStringLiteral("Line %1 of round %2 of the kill loop, written whole or not at all\r\n")
                    .arg(line)
                    .arg(round);
    return text;
}

// The round a text names on its first line, or -1.
int roundOf(const QString &text)
{
    static const QRegularExpression first(QStringLiteral("^Round (\\d+)"));
    const QRegularExpressionMatch match = first.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

bool isRoundText(const QString &text)
{
    return roundOf(text) >= 0 && text == roundText(roundOf(text));
}

QString readText(const QString &path)
{
    return ReadTextFile(path).value_or(QString());
}

PlanDay::Day planDay(int round)
{
    PlanDay::Day day;
    day.interval = 0;
    for (int slot = 0; slot < PlanDay::slotCount(day.interval); ++slot)
        day.entries.append({ slot % 2 == 1, QStringLiteral("Round %1 slot %2 ").arg(round).arg(slot).repeated(8) });
    return day;
}

ClipStore &clipStore()
{
    static ClipStore store;
    static const bool loaded = [] {
        store.EnsureClipFolder();
        store.LoadCategories();
        return true;
    }();
    Q_UNUSED(loaded);
    return store;
}

// Records of the reminder file: due key, schedule, category, message.
bool isReminderFile(const QByteArray &bytes)
{
    static const QRegularExpression record(QStringLiteral("^[0-9]{12}0[0-7][0-5][^\\r\\n]*\\r$"));
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 2 || !lines.takeLast().isEmpty())
        return false;
    return std::all_of(lines.cbegin(), lines.cend(),
        [](const QByteArray &line) { return record.match(QString::fromUtf8(line)).hasMatch(); });
}

void saveReminders(int round)
{
    static ReminderList *list = [] {
        auto *loaded = new ReminderList;
        loaded->LoadReminders();
        return loaded;
    }();
    const QDate date = QDate(2030, 1, 1).addDays(round % 3000);
    list->AddReminder(date, QTime(9, 0), 0, round % 6, QStringLiteral("Round %1 of the kill loop").arg(round));
    if (list->count() > 200)
        list->RemoveReminder(0, list->record(0));
}

bool remindersWhole()
{
    return isReminderFile(ReadFileBytes(DataFolder::filePath(QStringLiteral("reminders.dat"))).value_or(QByteArray()));
}

void savePlanDay(int round)
{
    PlanDay::PlanSaveDay(PlanDate, planDay(round));
}

bool planDayWhole()
{
    const std::optional<PlanDay::Contents> read = PlanDay::PlanLoadDay(PlanDate);
    if (!read || read->entries.isEmpty() || !read->entries.first() || PlanDay::isDamaged(*read, 0))
        return false;
    const PlanDay::Day day = PlanDay::apply(*read, 0);
    const int round = day.entries.first().text.section(u' ', 1, 1).toInt();
    return PlanDay::fileText(day) == PlanDay::fileText(planDay(round));
}

// The same text every round: a clip replaced by other text would go to the trash.
void saveClip(int)
{
    clipStore().SaveClip(ClipName, roundText(0));
}

bool clipWhole()
{
    return isRoundText(readText(clipStore().clipPath(ClipName)));
}

void saveToDo(int round)
{
    ToDoLists::save(ToDoLists::itemFilePath(0), roundText(round));
}

bool toDoWhole()
{
    return isRoundText(readText(ToDoLists::itemFilePath(0)));
}

void saveDraft(int round)
{
    ToDoLists::saveDraft({ round % ToDoLists::TitleCount, roundText(round) });
}

bool draftWhole()
{
    const std::optional<ToDoLists::Draft> draft = ToDoLists::loadDraft();
    return draft && isRoundText(draft->text);
}

// One document's copy, rewritten as it changes (each run of the loop is a new document).
void saveRecoveryCopy(int round)
{
    static RecoveryStore::Copy copy;
    copy.path = QStringLiteral("/home/user/Round %1.rtf").arg(round);
    RecoveryStore().keep(copy, roundText(round).toUtf8());
}

// Every copy a start would offer back holds what one save wrote.
bool recoveryCopyWhole()
{
    const RecoveryStore store;
    const QList<RecoveryStore::Copy> copies = store.copies();
    return !copies.isEmpty() && std::all_of(copies.cbegin(), copies.cend(), [&store](const RecoveryStore::Copy &copy) {
        return isRoundText(QString::fromUtf8(store.read(copy).value_or(QByteArray())));
    });
}

void saveSettings(int round)
{
    Settings::SaveSetting(SettingsApp, SettingsSection, SettingsKey, roundText(round, 20));
    Settings::sync();
}

bool settingsWhole()
{
    const QString text = Settings::GetSetting(SettingsApp, SettingsSection, SettingsKey, QString());
    return roundOf(text) >= 0 && text == roundText(roundOf(text), 20);
}

struct Store
{
    void (*save)(int round);
    bool (*isWhole)();
};

const std::map<QString, Store> Stores {
    { QStringLiteral("reminders"), { saveReminders, remindersWhole } },
    { QStringLiteral("planday"), { savePlanDay, planDayWhole } },
    { QStringLiteral("clip"), { saveClip, clipWhole } },
    { QStringLiteral("todo"), { saveToDo, toDoWhole } },
    { QStringLiteral("draft"), { saveDraft, draftWhole } },
    { QStringLiteral("recovery"), { saveRecoveryCopy, recoveryCopyWhole } },
    { QStringLiteral("settings"), { saveSettings, settingsWhole } },
};

// The program's own temporary files, and those of the settings library, left after the clean-up.
int leftOvers(const QStringList &folders)
{
    int count = 0;
    for (const QString &folder : folders) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QFileInfo(it.next()).fileName();
            static const QRegularExpression qtSave(QStringLiteral("\\.(dat|txt|conf|json|rtf)\\.[A-Za-z0-9]{6}$"));
            count += name.startsWith(QLatin1String(SaveFilePrefix)) || qtSave.match(name).hasMatch() ? 1 : 0;
        }
    }
    return count;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool check = args.value(0) == QLatin1String("--check");
    const bool seed = args.value(0) == QLatin1String("--seed");
    const int first = check || seed ? 1 : 0;
    const auto store = Stores.find(args.value(first));
    if (args.size() != first + 2 || store == Stores.end()) {
        std::fprintf(stderr,
            "usage: qy2-saveloop [--seed|--check] reminders|planday|clip|todo|draft|recovery|settings DATA_FOLDER\n");
        return 2;
    }
    DataFolder::setPath(args.value(first + 1));
    QDir().mkpath(DataFolder::filePath(QStringLiteral("PlanData")));
    Settings::useFile(DataFolder::filePath(QStringLiteral("settings/Quillory2.conf")));
    Clock::setFixed(QDateTime(QDate(2024, 1, 1), QTime(9, 0)));
    if (check) {
        const int removed = DataFolder::removeInterruptedSaves();
        const bool whole = store->second.isWhole();
        const int left = leftOvers({ DataFolder::path() });
        std::printf("%s removed %d left %d\n", whole ? "whole" : "torn", removed, left);
        return whole && left == 0 ? 0 : 1;
    }
    for (int round = 0;; ++round) {
        store->second.save(round);
        if (seed)
            return 0;
    }
}

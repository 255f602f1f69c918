#include "app/searchsources.h"

#include "clipkeeper/clipstore.h"
#include "common/syncfiles.h"
#include "common/textfile.h"
#include "planner/planday.h"
#include "quicknotes/todolists.h"
#include "reminders/reminderrecord.h"
#include "search/searchmatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Larger files are passed over: the tools do not open them either.
constexpr qint64 MaxFileBytes = 1024 * 1024;

// The file's text; empty when it cannot be read. Never creates a file, never waits on a pipe.
QString readExisting(const QString &path)
{
    QFile file(path);
    if (!openRegularFile(file) || file.size() > MaxFileBytes)
        return {};
    const std::optional<QByteArray> bytes = readDevice(file);
    return bytes ? decodeTextFile(*bytes) : QString();
}

class PlannerSource final : public SearchSource
{
public:
    explicit PlannerSource(const QString &folder)
        : m_folder(folder)
    { }

    bool visit(const Take &take) override
    {
        for (const SearchFile &file : SearchFilesIn(m_folder)) {
            const QDate day = QDate::fromString(file.name, QStringLiteral("yyyyMMdd"));
            if (!day.isValid() || file.name.size() != 8)
                continue;
            for (const SearchEntry &entry :
                m_cache.entries(file, [day](const QString &path) { return read(day, path); }))
                if (!take(entry))
                    return false;
        }
        m_cache.sweep();
        return true;
    }

private:
    static QList<SearchEntry> read(const QDate &day, const QString &path)
    {
        const PlanDay::Contents contents = PlanDay::parse(readExisting(path));
        const int minutes = PlanDay::slotMinutes(contents.interval.value_or(PlanDay::DefaultInterval));
        QList<SearchEntry> entries;
        for (int k = 0; k < contents.entries.size(); ++k) {
            const std::optional<PlanDay::Slot> &slot = contents.entries[k];
            if (slot && !slot->text.trimmed().isEmpty())
                entries.append({ SearchTool::Planner, slot->text,
                    SearchWhen(day, QTime(0, 0).addSecs(60 * minutes * k)), {}, {}, k, {} });
        }
        return entries;
    }

    QString m_folder;
    SearchFileCache m_cache;
};

class ReminderSource final : public SearchSource
{
public:
    explicit ReminderSource(std::function<QStringList()> records)
        : m_get(std::move(records))
    { }

    // A list that changed no longer shares its data with the copy taken before.
    void prepare() override
    {
        if (const QStringList records = m_get(); !records.isSharedWith(m_records) || records.isEmpty()) {
            m_records = records;
            m_entries.clear();
        }
    }

    bool visit(const Take &take) override
    {
        if (m_entries.isEmpty())
            m_entries = entriesOf(m_records);
        for (const SearchEntry &entry : std::as_const(m_entries)) {
            if (!take(entry))
                return false;
        }
        return true;
    }

private:
    static QList<SearchEntry> entriesOf(const QStringList &records)
    {
        QList<SearchEntry> entries;
        entries.reserve(records.size());
        for (int i = 0; i < records.size(); ++i) {
            const QString &record = records[i];
            const QString message = RecordMessage(record);
            entries.append({ SearchTool::Reminders, message, SearchWhen(RecordDate(record), RecordTime(record)), {},
                record, i, SearchFold(message) });
        }
        return entries;
    }

    std::function<QStringList()> m_get;
    QStringList m_records;
    QList<SearchEntry> m_entries;
};

class ClipSource final : public SearchSource
{
public:
    explicit ClipSource(const QString &folder)
        : m_folder(folder)
    { }

    bool visit(const Take &take) override
    {
        const QDir folder(m_folder);
        for (const QString &category : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const SearchFile &file : SearchFilesIn(folder.filePath(category))) {
                if (IsConflictCopy(file.name))
                    continue;
                const auto read = [&](const QString &path) {
                    return QList<SearchEntry> { { SearchTool::ClipKeeper, readExisting(path), {}, category, file.name,
                        -1, {} } };
                };
                if (!take(m_cache.entries(file, read).first()))
                    return false;
            }
        }
        m_cache.sweep();
        return true;
    }

private:
    QString m_folder;
    SearchFileCache m_cache;
};

class ToDoSource final : public SearchSource
{
public:
    bool visit(const Take &take) override
    {
        for (int position = 0; position < ToDoLists::TitleCount; ++position) {
            const QFileInfo info(ToDoLists::itemFilePath(position));
            if (!info.isFile())
                continue;
            const SearchFile file { info.filePath(), info.fileName(), info.lastModified().toMSecsSinceEpoch(),
                info.size() };
            const auto read = [position](const QString &path) {
                return QList<SearchEntry> { { SearchTool::QuickNotes, readExisting(path), {},
                    ToDoLists::titleText(position), {}, position, {} } };
            };
            if (!take(m_cache.entries(file, read).first()))
                return false;
        }
        m_cache.sweep();
        return true;
    }

private:
    SearchFileCache m_cache;
};

class ShownSource final : public SearchSource
{
public:
    explicit ShownSource(std::function<QList<SearchEntry>()> texts)
        : m_get(std::move(texts))
    { }

    void prepare() override { m_entries = m_get(); }

    bool visit(const Take &take) override
    {
        for (const SearchEntry &entry : std::as_const(m_entries)) {
            if (!take(entry))
                return false;
        }
        return true;
    }

private:
    std::function<QList<SearchEntry>()> m_get;
    QList<SearchEntry> m_entries;
};

} // namespace

namespace SearchSources {

std::shared_ptr<SearchSource> planner(const QString &planFolder)
{
    return std::make_shared<PlannerSource>(planFolder);
}

std::shared_ptr<SearchSource> reminders(std::function<QStringList()> records)
{
    return std::make_shared<ReminderSource>(std::move(records));
}

std::shared_ptr<SearchSource> clips(const QString &clipFolder)
{
    return std::make_shared<ClipSource>(clipFolder);
}

std::shared_ptr<SearchSource> toDoLists()
{
    return std::make_shared<ToDoSource>();
}

std::shared_ptr<SearchSource> shown(std::function<QList<SearchEntry>()> texts)
{
    return std::make_shared<ShownSource>(std::move(texts));
}

} // namespace SearchSources

#pragma once

#include "search/searchentry.h"

#include <QHash>
#include <QSet>
#include <functional>

// A file of a folder, with its time of change (nanoseconds) and size.
struct SearchFile
{
    QString path;
    QString name;
    qint64 modified = 0;
    qint64 size = -1;
};
// Every regular file directly in the folder, hidden ones left out (the writers' temporary files are
// hidden): one look at each file, which is most of what a search while typing costs.
QList<SearchFile> SearchFilesIn(const QString &folder);

// One tool's part of the search. src/app gives the search one source per tool, built on the tool's
// own readers, so the search knows no file format.
class SearchSource
{
public:
    // Returns false to stop: a newer query is waiting.
    using Take = std::function<bool(const SearchEntry &entry)>;

    virtual ~SearchSource() = default;
    // On the window's thread before each search, while no search runs: takes what lives in windows
    // (open documents, the note pad, the reminder list) as a copy.
    virtual void prepare() { }
    // In the search's worker thread, one search at a time: hands every entry to `take`. Returns false
    // when `take` stopped it.
    virtual bool visit(const Take &take) = 0;
};

// The entries read from files, kept while a file keeps its time and size, so that a search reads
// only what changed since the last one. Nothing is kept on disk: a file changed by anybody is read
// again, and a file that is gone is forgotten at the next sweep.
class SearchFileCache final
{
public:
    using Reader = std::function<QList<SearchEntry>(const QString &path)>;

    // The file's entries, read with `read` unless the file is unchanged since it was last read.
    const QList<SearchEntry> &entries(const SearchFile &file, const Reader &read);
    // Forgets the files not asked for since the last sweep.
    void sweep();
    int size() const { return int(m_files.size()); }
    int reads() const { return m_reads; } // how many times a reader ran

private:
    struct File
    {
        qint64 modified = 0;
        qint64 size = -1;
        QList<SearchEntry> entries;
    };
    QHash<QString, File> m_files;
    QSet<QString> m_seen;
    int m_reads = 0;
};

#include "search/searchsource.h"

#include "search/searchmatch.h"

#include <QFileInfo>

const QList<SearchEntry> &SearchFileCache::entries(const QFileInfo &file, const Reader &read)
{
    const QString path = file.filePath();
    m_seen.insert(path);
    File &kept = m_files[path];
    const QDateTime modified = file.lastModified();
    if (kept.size != file.size() || kept.modified != modified) {
        kept.modified = modified;
        kept.size = file.size();
        kept.entries = read(path);
        for (SearchEntry &entry : kept.entries)
            entry.folded = SearchFold(entry.text);
        ++m_reads;
    }
    return kept.entries;
}

void SearchFileCache::sweep()
{
    for (auto it = m_files.begin(); it != m_files.end();)
        it = m_seen.contains(it.key()) ? std::next(it) : m_files.erase(it);
    m_seen.clear();
}

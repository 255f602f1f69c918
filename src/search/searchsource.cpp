#include "search/searchsource.h"

#include "search/searchmatch.h"

#include <QDirIterator>
#include <QFile>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

// readdir and one fstatat a file: QDirIterator and QFileInfo look at each file twice.
QList<SearchFile> SearchFilesIn(const QString &folder)
{
    QList<SearchFile> files;
    DIR *dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return files;
    while (const dirent *entry = readdir(dir)) {
        struct stat info;
        if (entry->d_name[0] == '.' || fstatat(dirfd(dir), entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode))
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        files.append({ folder + u'/' + name, name, qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            qint64(info.st_size) });
    }
    closedir(dir);
    return files;
}
#else
QList<SearchFile> SearchFilesIn(const QString &folder)
{
    QList<SearchFile> files;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        const QFileInfo file = it.nextFileInfo();
        files.append(
            { file.filePath(), file.fileName(), file.lastModified().toMSecsSinceEpoch() * 1000000, file.size() });
    }
    return files;
}
#endif

const QList<SearchEntry> &SearchFileCache::entries(const SearchFile &file, const Reader &read)
{
    m_seen.insert(file.path);
    File &kept = m_files[file.path];
    if (kept.size != file.size || kept.modified != file.modified) {
        kept.modified = file.modified;
        kept.size = file.size;
        kept.entries = read(file.path);
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

// Any bytes as a clip folder: each line names a category and a clip ("category/clip", any bytes
// but "/", invalid UTF-8 included) and holds the clip's bytes after a tab. The folder is listed, its
// foreign names renamed, and every clip opened and saved back. Never crashes; a clip saved back
// opens as the same text, and once renamed every name can be listed.
#include "clipkeeper/clipstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A name the file system takes: no "." or "..", not empty, within the length a name may have.
QByteArray entryName(QByteArray name)
{
    name = name.left(200);
    return name.isEmpty() || name == "." || name == ".." ? QByteArray("x") + name : name;
}

void makeEntries(const QByteArray &root, const QByteArray &input)
{
    for (const QByteArray &line : input.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        const QByteArray path = tab < 0 ? line : line.left(tab);
        const qsizetype slash = path.indexOf('/');
        const QByteArray category = root + '/' + entryName(slash < 0 ? path : path.left(slash)).replace('\0', '_');
        ::mkdir(category.constData(), 0700);
        if (slash < 0)
            continue;
        const QByteArray clip = category + '/' + entryName(path.mid(slash + 1).replace('/', '_')).replace('\0', '_');
        const int fd = ::open(clip.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            continue;
        const QByteArray bytes = tab < 0 ? QByteArray() : line.mid(tab + 1);
        if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
            std::abort();
        ::close(fd);
    }
}

// Known, and left to the text file codec: the writer writes U+FEFF as it is, and the reader takes
// one at the start of a line for a UTF-8 byte-order mark and drops it; such a text loses them.
QString withoutMarks(QString text)
{
    return text.remove(QChar::ByteOrderMark);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // No desktop trash: a clip replaced by a save is replaced for good, never moved out of the folder.
    qputenv("XDG_DATA_HOME", "/nonexistent/qy2-fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTemporaryDir folder(
        QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm/qy2-XXXXXX") : QString());
    folder.setAutoRemove(false); // Qt's removal passes over names that are not valid UTF-8
    const QString clipFolder = folder.filePath(QStringLiteral("ClipData"));
    QDir().mkdir(clipFolder);
    makeEntries(QFile::encodeName(clipFolder), QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));

    ClipStore store(clipFolder);
    store.setConfirm([](const Message &) { return true; });
    [[maybe_unused]] const auto ensured = store.EnsureClipFolder();
    [[maybe_unused]] const auto loaded = store.LoadCategories();
    const QList<ClipStore::ForeignName> foreign = store.ForeignNames();
    [[maybe_unused]] const auto question = ClipStore::foreignNamesQuestion(foreign);
    if (!store.RenameForeign(foreign) && !store.ForeignNames().isEmpty())
        std::abort(); // told nothing failed, yet a name is still foreign

    for (int category = 0; category < store.categories().size(); ++category) {
        store.SelectCategory(category);
        const QStringList clips = store.clips();
        for (const QString &clip : clips) {
            const auto opened = store.OpenClip(clip);
            if (!std::holds_alternative<QString>(opened))
                continue;
            const QString text = std::get<QString>(opened);
            if (!ClipStore::IsUsableName(clip))
                continue; // listed, but refused as the name of a clip to save
            bool saved = false;
            if (store.SaveClip(clip, text, &saved) || !saved)
                std::abort();
            const auto again = store.OpenClip(clip);
            if (!std::holds_alternative<QString>(again) || withoutMarks(std::get<QString>(again)) != withoutMarks(text))
                std::abort(); // a clip saved back changed
        }
    }
    std::filesystem::remove_all(QFile::encodeName(folder.path()).toStdString());
    return 0;
}

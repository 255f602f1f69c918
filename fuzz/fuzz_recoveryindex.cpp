// Any bytes as the index of TextEd's recovery folder, beside a few copies: listing, reading, keeping
// again and removing never crash. Every copy listed is a file of the folder that reads back; a copy
// kept again keeps its name and reads back as written; a new copy gets a name no other copy has;
// after every copy is removed nothing is listed.
#include "texted/recoverystore.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void writeFile(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    check(file.write(bytes.data(), bytes.size()) == bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("TextEd Recovery"));
    QDir(folder).removeRecursively();
    check(QDir().mkpath(folder));
    for (const char *name : { "1.rtf", "2.rtf", "2147483647.rtf", "notes.rtf" })
        writeFile(QDir(folder).filePath(QLatin1String(name)), QByteArray(QByteArray("{\\rtf1 ") + name + '}'));
    writeFile(QDir(folder).filePath(QStringLiteral("index.json")),
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));

    RecoveryStore store(folder);
    QList<RecoveryStore::Copy> copies = store.copies();
    QSet<QString> names;
    for (const RecoveryStore::Copy &copy : copies) {
        check(!copy.fileName.contains(u'/') && !copy.fileName.contains(u'\\'));
        check(!names.contains(copy.fileName));
        names.insert(copy.fileName);
        check(store.read(copy).has_value());
    }
    check(copies.size() == 3); // notes.rtf is no copy of ours

    RecoveryStore::Copy again = copies.first();
    check(store.keep(again, "{\\rtf1 again}"));
    check(again.fileName == copies.first().fileName);
    check(store.read(again) == QByteArray("{\\rtf1 again}"));
    RecoveryStore::Copy added;
    check(store.keep(added, "{\\rtf1 added}"));
    check(!names.contains(added.fileName));

    copies = store.copies();
    check(copies.size() == 4);
    for (const RecoveryStore::Copy &copy : copies)
        check(store.remove(copy));
    check(store.copies().isEmpty());
    return 0;
}

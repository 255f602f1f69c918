#include "texted/recoverystore.h"

#include "common/datafolder.h"
#include "common/textfile.h"
#include "texted/textedfiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>

namespace {

const QString IndexName = QStringLiteral("index.json");

int copyNumber(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)\\.rtf$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

QString RecoveryStore::defaultFolder()
{
    return DataFolder::filePath(QStringLiteral("TextEd Recovery"));
}

RecoveryStore::RecoveryStore(const QString &folder)
    : m_folder(folder)
{ }

bool RecoveryStore::keep(const QString &path, int filterIndex, const QByteArray &rtf, QString *error)
{
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    QList<Copy> all = copies();
    int next = 1;
    for (const Copy &copy : all)
        next = std::max(next, copyNumber(copy.fileName) + 1);
    const Copy copy { QStringLiteral("%1.rtf").arg(next), path, filterIndex };
    if (!WriteFileBytes(QDir(m_folder).filePath(copy.fileName), rtf, error))
        return false;
    all.append(copy);
    return writeIndex(all, error);
}

QList<RecoveryStore::Copy> RecoveryStore::indexed() const
{
    QFile file(QDir(m_folder).filePath(IndexName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Copy> result;
    const QJsonArray entries = QJsonDocument::fromJson(file.readAll()).array();
    for (const QJsonValue &entry : entries) {
        const QJsonObject object = entry.toObject();
        const Copy copy { object.value(u"file").toString(), object.value(u"path").toString(),
            object.value(u"filter").toInt() };
        if (copyNumber(copy.fileName) > 0)
            result.append(copy);
    }
    return result;
}

QList<RecoveryStore::Copy> RecoveryStore::copies() const
{
    const QDir dir(m_folder);
    QList<Copy> result;
    for (const Copy &copy : indexed()) {
        if (dir.exists(copy.fileName))
            result.append(copy);
    }
    QList<Copy> unindexed;
    const QStringList files = dir.entryList({ QStringLiteral("*.rtf") }, QDir::Files);
    for (const QString &name : files) {
        const bool known
            = std::any_of(result.cbegin(), result.cend(), [&name](const Copy &copy) { return copy.fileName == name; });
        if (!known && copyNumber(name) > 0)
            unindexed.append(Copy { name, QString(), TextEdFiles::RtfFilter });
    }
    std::sort(unindexed.begin(), unindexed.end(),
        [](const Copy &a, const Copy &b) { return copyNumber(a.fileName) < copyNumber(b.fileName); });
    return result + unindexed;
}

std::optional<QByteArray> RecoveryStore::read(const Copy &copy) const
{
    QFile file(QDir(m_folder).filePath(copy.fileName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readDevice(file);
}

bool RecoveryStore::remove(const Copy &copy)
{
    QDir dir(m_folder);
    if (dir.exists(copy.fileName) && !dir.remove(copy.fileName))
        return false;
    QList<Copy> rest = copies();
    if (rest.isEmpty()) {
        dir.remove(IndexName);
        dir.rmdir(m_folder);
        return true;
    }
    return writeIndex(rest, nullptr);
}

bool RecoveryStore::writeIndex(const QList<Copy> &copies, QString *error)
{
    QJsonArray entries;
    for (const Copy &copy : copies)
        entries.append(QJsonObject { { QStringLiteral("file"), copy.fileName }, { QStringLiteral("path"), copy.path },
            { QStringLiteral("filter"), copy.filterIndex } });
    return WriteFileBytes(QDir(m_folder).filePath(IndexName), QJsonDocument(entries).toJson(), error);
}

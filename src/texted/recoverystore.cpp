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
#include <QSet>
#include <algorithm>

namespace {

const QString IndexName = QStringLiteral("index.json");
// An index larger than this was not written by TextEd; the copies are then listed without it.
constexpr qint64 MaxIndexSize = 1024 * 1024;

// Copies are named by a number of at most 18 digits: any such number, and the next, fit in 64 bits.
constexpr qint64 MaxCopyNumber = 999'999'999'999'999'999;

qint64 copyNumber(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,18})\\.rtf$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

// One more than the highest number; the lowest free one once the highest is the largest.
QString nextFileName(const QList<RecoveryStore::Copy> &copies)
{
    QSet<qint64> used;
    qint64 last = 0;
    for (const RecoveryStore::Copy &copy : copies) {
        const qint64 number = copyNumber(copy.fileName);
        used.insert(number);
        last = std::max(last, number);
    }
    qint64 next = last + 1;
    if (next > MaxCopyNumber) {
        next = 1;
        while (used.contains(next))
            ++next;
    }
    return QStringLiteral("%1.rtf").arg(next);
}

int knownFilter(int filterIndex)
{
    return filterIndex >= TextEdFiles::NoFilter && filterIndex <= TextEdFiles::HtmlFilter ? filterIndex
                                                                                          : TextEdFiles::RtfFilter;
}

} // namespace

QString RecoveryStore::defaultFolder()
{
    return DataFolder::filePath(QStringLiteral("TextEd Recovery"));
}

RecoveryStore::RecoveryStore(const QString &folder)
    : m_folder(folder)
{ }

QString RecoveryStore::filePath(const Copy &copy) const
{
    return QDir(m_folder).filePath(copy.fileName);
}

bool RecoveryStore::keep(Copy &copy, const QByteArray &rtf, QString *error)
{
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    QList<Copy> all = copies();
    Copy written = copy;
    if (copyNumber(written.fileName) == 0)
        written.fileName = nextFileName(all);
    if (!WriteFileBytes(filePath(written), rtf, error))
        return false;
    copy.fileName = written.fileName;
    const auto same = std::find_if(
        all.begin(), all.end(), [&written](const Copy &entry) { return entry.fileName == written.fileName; });
    if (same != all.end())
        *same = written;
    else
        all.append(written);
    return writeIndex(all, error);
}

QList<RecoveryStore::Copy> RecoveryStore::indexed() const
{
    QFile file(QDir(m_folder).filePath(IndexName));
    if (!openRegularFile(file) || file.size() > MaxIndexSize)
        return {};
    const std::optional<QByteArray> bytes = readDevice(file);
    QList<Copy> result;
    const QJsonArray entries = QJsonDocument::fromJson(bytes.value_or(QByteArray())).array();
    for (const QJsonValue &entry : entries) {
        const QJsonObject object = entry.toObject();
        Copy copy { object.value(u"file").toString(), object.value(u"path").toString(),
            knownFilter(object.value(u"filter").toInt()), {} };
        if (object.contains(u"modified")) {
            copy.stamp = { true, object.value(u"size").toInteger(),
                QDateTime::fromMSecsSinceEpoch(object.value(u"modified").toInteger()) };
        }
        if (!QDir::isAbsolutePath(copy.path))
            copy.path.clear();
        const bool listed = std::any_of(
            result.cbegin(), result.cend(), [&copy](const Copy &known) { return known.fileName == copy.fileName; });
        if (copyNumber(copy.fileName) > 0 && !listed)
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
            unindexed.append(Copy { name, QString(), TextEdFiles::RtfFilter, {} });
    }
    std::sort(unindexed.begin(), unindexed.end(),
        [](const Copy &a, const Copy &b) { return copyNumber(a.fileName) < copyNumber(b.fileName); });
    return result + unindexed;
}

std::optional<QByteArray> RecoveryStore::read(const Copy &copy, QString *error) const
{
    QFile file(filePath(copy));
    if (!openRegularFile(file, error))
        return std::nullopt;
    return readDevice(file, error);
}

bool RecoveryStore::remove(const Copy &copy)
{
    QDir dir(m_folder);
    if (copyNumber(copy.fileName) == 0)
        return true;
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
    for (const Copy &copy : copies) {
        QJsonObject entry { { QStringLiteral("file"), copy.fileName }, { QStringLiteral("path"), copy.path },
            { QStringLiteral("filter"), copy.filterIndex } };
        if (copy.stamp.known) {
            entry.insert(QStringLiteral("size"), copy.stamp.size);
            entry.insert(QStringLiteral("modified"), copy.stamp.modified.toMSecsSinceEpoch());
        }
        entries.append(entry);
    }
    return WriteFileBytes(QDir(m_folder).filePath(IndexName), QJsonDocument(entries).toJson(), error);
}

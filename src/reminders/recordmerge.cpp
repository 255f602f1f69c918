#include "reminders/recordmerge.h"

#include <QHash>
#include <algorithm>

namespace {

QHash<QString, int> counted(const QStringList &records)
{
    QHash<QString, int> counts;
    for (const QString &record : records)
        ++counts[record];
    return counts;
}

// How often the record stands in the merge: the base's count, moved by each side's change; a change
// both sides made the same way is made once.
int mergedCount(int base, int mine, int theirs)
{
    const int ours = mine - base;
    const int other = theirs - base;
    if (ours > 0 && other > 0)
        return base + std::max(ours, other);
    if (ours < 0 && other < 0)
        return std::max(0, base + std::min(ours, other));
    return std::max(0, base + ours + other);
}

} // namespace

QStringList MergeRecords(const QStringList &base, const QStringList &mine, const QStringList &theirs)
{
    const QHash<QString, int> baseCounts = counted(base);
    const QHash<QString, int> mineCounts = counted(mine);
    const QHash<QString, int> theirCounts = counted(theirs);
    QHash<QString, int> left;
    for (const QStringList *side : { &mine, &theirs }) {
        for (const QString &record : *side) {
            if (!left.contains(record)) {
                left.insert(
                    record, mergedCount(baseCounts.value(record), mineCounts.value(record), theirCounts.value(record)));
            }
        }
    }
    QStringList merged;
    for (const QStringList *side : { &mine, &theirs }) {
        for (const QString &record : *side) {
            int &count = left[record];
            if (count > 0) {
                merged.append(record);
                --count;
            }
        }
    }
    return merged;
}

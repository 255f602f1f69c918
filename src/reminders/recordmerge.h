#pragma once

#include <QStringList>

// Two copies of the reminder list changed apart (here, and on another computer through a shared
// folder) made one again, from the list both started from. Each record counts as often as it stands:
// a record added on either side is in the result, one deleted on either side is not, and the same
// change made on both sides counts once. The result keeps `mine`'s order, with what only `theirs`
// added after it; the caller sorts.
QStringList MergeRecords(const QStringList &base, const QStringList &mine, const QStringList &theirs);

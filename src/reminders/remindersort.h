#pragma once

#include <QList>

// The reminder list is ordered by an exchange sort:
//   for i: for j > i: if key[i] > key[j], swap i and j
// Equal keys come out of it in an order of its own, which reminders.dat has always been written
// in. ExchangeSortOrder gives exactly that order in O(n log n).
//
// Why it works. Pass i carries a[i] forward, dropping it into the slot of each strictly smaller
// key it meets and carrying that one on; the smallest lands at i. Looking only at the keys <= v,
// the other keys never decide anything, so keys <= v end up ordered as the exchange sort of that
// subsequence alone would order them. In it v is the largest key, and its records move only when
// one of them is first: it then jumps into the slot of the first smaller key after the run of
// v records it leads. From the first v on, every smaller key met rotates the run of v records
// gathered so far left by one, and the v records that follow it join the run at its end.

// The permutation that sorts `keys` as the exchange sort does: result[i] is the index in `keys`
// of the element that ends at position i.
QList<qsizetype> ExchangeSortOrder(const QList<qint64> &keys);

// True when the keys already ascend: the exchange sort then swaps nothing.
bool IsAscending(const QList<qint64> &keys);

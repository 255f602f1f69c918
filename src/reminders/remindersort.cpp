#include "reminders/remindersort.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// Marks over places: how many lie before a place, and the place of the k-th, in O(log n).
class Fenwick final
{
public:
    void reset(qsizetype size, bool marked)
    {
        m_tree.assign(size + 1, 0);
        if (marked) {
            for (qsizetype i = 1; i <= size; ++i)
                m_tree[i] = qint32(i & -i);
        }
        m_top = 1;
        while (m_top * 2 <= size)
            m_top *= 2;
    }

    qint32 before(qsizetype pos) const
    {
        qint32 sum = 0;
        for (; pos > 0; pos -= pos & -pos)
            sum += m_tree[pos];
        return sum;
    }

    void add(qsizetype pos, qint32 delta)
    {
        for (++pos; pos < qsizetype(m_tree.size()); pos += pos & -pos)
            m_tree[pos] += delta;
    }

    // The place of the k-th mark, counting from 0.
    qsizetype kth(qint32 k) const
    {
        qsizetype pos = 0;
        for (qsizetype step = m_top; step > 0; step /= 2) {
            if (pos + step < qsizetype(m_tree.size()) && m_tree[pos + step] <= k) {
                pos += step;
                k -= m_tree[pos];
            }
        }
        return pos;
    }

private:
    std::vector<qint32> m_tree;
    qsizetype m_top = 1;
};

// Places in the input, sorted by key, equal keys by place: a least-significant-digit radix sort
// (stable, no comparisons) over the bits in which the keys differ.
std::vector<qint32> sortByKey(const QList<qint64> &keys)
{
    const qsizetype size = keys.size();
    std::vector<qint32> places(size);
    std::iota(places.begin(), places.end(), 0);
    if (size < 2)
        return places;
    const quint64 low = quint64(*std::min_element(keys.cbegin(), keys.cend()));
    const quint64 span = quint64(*std::max_element(keys.cbegin(), keys.cend())) - low;
    constexpr int DigitBits = 11;
    constexpr quint64 DigitMask = (quint64(1) << DigitBits) - 1;
    std::vector<qint32> sorted(size);
    std::vector<qint32> starts(DigitMask + 2);
    for (int shift = 0; shift < 64 && (span >> shift) != 0; shift += DigitBits) {
        const auto digit = [&](qint32 place) { return ((quint64(keys[place]) - low) >> shift) & DigitMask; };
        std::fill(starts.begin(), starts.end(), 0);
        for (qint32 place : places)
            ++starts[digit(place) + 1];
        std::partial_sum(starts.begin(), starts.end(), starts.begin());
        for (qint32 place : places)
            sorted[starts[digit(place)]++] = place;
        places.swap(sorted);
    }
    return places;
}

// Scratch space for one run of equal keys, kept between runs.
struct Run
{
    std::vector<qint32> places; // in the input, ascending
    std::vector<qint32> smallerBefore; // smaller keys before each place
    std::vector<qint32> insertAt;
    std::vector<qint32> line;
    Fenwick free;
};

// Orders one run of equal keys. The run is kept as a ring read from a front mark: each smaller key
// met after the first record moves the mark one step on, each further record goes in just before
// the mark. Where each record goes in is known at once; the final order follows from those
// insertion points. `smallerTotal` counts every smaller key.
void orderEqualKeys(Run &run, qint32 smallerTotal)
{
    const qint32 count = qint32(run.places.size());
    run.insertAt.assign(count, 0);
    qint32 front = 0;
    qint32 seen = run.smallerBefore[0];
    bool moved = false;
    for (qint32 t = 1; t < count; ++t) {
        const qint32 now = run.smallerBefore[t];
        front = (front + now - seen) % t;
        moved = moved || now != seen;
        seen = now;
        run.insertAt[t] = front == 0 ? t : front++;
    }
    front = (front + smallerTotal - seen) % count;
    if (!moved && front == 0)
        return;

    // Record t sits, among records 0..t, at place insertAt[t]; later ones only push it along.
    run.free.reset(count, true);
    run.line.resize(count);
    for (qint32 t = count - 1; t >= 0; --t) {
        const qsizetype slot = run.free.kth(run.insertAt[t]);
        run.free.add(slot, -1);
        run.line[slot] = run.places[t];
    }
    for (qint32 k = 0; k < count; ++k)
        run.places[k] = run.line[(front + k) % count];
}

} // namespace

bool IsAscending(const QList<qint64> &keys)
{
    return std::is_sorted(keys.cbegin(), keys.cend());
}

QList<qsizetype> ExchangeSortOrder(const QList<qint64> &keys)
{
    const qsizetype size = keys.size();
    const std::vector<qint32> byKey = sortByKey(keys);

    QList<qsizetype> order;
    order.reserve(size);
    Fenwick placed; // the places of the keys already placed: all smaller than the current one
    placed.reset(size, false);
    Run run;
    for (qsizetype begin = 0; begin < size;) {
        qsizetype end = begin + 1;
        while (end < size && keys[byKey[end]] == keys[byKey[begin]])
            ++end;
        if (end - begin == 1) {
            order.append(byKey[begin]);
        } else {
            run.places.assign(byKey.begin() + begin, byKey.begin() + end);
            run.smallerBefore.clear();
            for (qint32 place : run.places)
                run.smallerBefore.push_back(placed.before(place));
            orderEqualKeys(run, qint32(begin));
            order.append(QList<qsizetype>(run.places.cbegin(), run.places.cend()));
        }
        for (qsizetype i = begin; i < end; ++i)
            placed.add(byKey[i], 1);
        begin = end;
    }
    return order;
}

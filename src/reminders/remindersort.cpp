#include "reminders/remindersort.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// Counts over positions: marks, prefix sums and the k-th marked position, all in O(log n).
class Fenwick final
{
public:
    explicit Fenwick(qsizetype size)
        : m_tree(size + 1, 0)
    {
    }

    void fillOnes()
    {
        for (qsizetype i = 1; i < qsizetype(m_tree.size()); ++i)
            m_tree[i] = i & -i;
    }

    void add(qsizetype pos, qsizetype delta)
    {
        for (++pos; pos < qsizetype(m_tree.size()); pos += pos & -pos)
            m_tree[pos] += delta;
    }

    // Marks before `pos`.
    qsizetype before(qsizetype pos) const
    {
        qsizetype sum = 0;
        for (; pos > 0; pos -= pos & -pos)
            sum += m_tree[pos];
        return sum;
    }

    // The position of the k-th mark, counting from 0.
    qsizetype kth(qsizetype k) const
    {
        qsizetype pos = 0;
        qsizetype step = 1;
        while (step * 2 < qsizetype(m_tree.size()))
            step *= 2;
        for (; step > 0; step /= 2) {
            if (pos + step < qsizetype(m_tree.size()) && m_tree[pos + step] <= k) {
                pos += step;
                k -= m_tree[pos];
            }
        }
        return pos;
    }

private:
    std::vector<qsizetype> m_tree;
};

// Orders one run of equal keys. `positions` are their places in the input (ascending), `smaller`
// marks the places of smaller keys. The run is kept as a ring read from a front mark: each smaller
// key met moves the mark one step on, each further record goes in just before the mark. Where each
// record goes in is known at once; the final order follows from those insertion points.
void orderEqualKeys(std::vector<qsizetype> &positions, const Fenwick &smaller, qsizetype smallerTotal)
{
    const qsizetype count = qsizetype(positions.size());
    std::vector<qsizetype> insertAt(count, 0);
    qsizetype front = 0;
    qsizetype seen = smaller.before(positions[0]);
    bool moved = false;
    for (qsizetype t = 1; t < count; ++t) {
        const qsizetype now = smaller.before(positions[t]);
        front = (front + now - seen) % t;
        moved = moved || now != seen;
        seen = now;
        if (front == 0) {
            insertAt[t] = t;
        } else {
            insertAt[t] = front++;
        }
    }
    front = (front + smallerTotal - seen) % count;
    if (!moved && front == 0)
        return;

    // Record t sits, among records 0..t, at place insertAt[t]; later ones only push it along.
    Fenwick free(count);
    free.fillOnes();
    std::vector<qsizetype> line(count);
    for (qsizetype t = count - 1; t >= 0; --t) {
        const qsizetype slot = free.kth(insertAt[t]);
        free.add(slot, -1);
        line[slot] = positions[t];
    }
    for (qsizetype k = 0; k < count; ++k)
        positions[k] = line[(front + k) % count];
}

} // namespace

bool IsAscending(const QList<qint64> &keys)
{
    return std::is_sorted(keys.cbegin(), keys.cend());
}

QList<qsizetype> ExchangeSortOrder(const QList<qint64> &keys)
{
    const qsizetype size = keys.size();
    std::vector<qsizetype> byKey(size);
    std::iota(byKey.begin(), byKey.end(), 0);
    std::stable_sort(byKey.begin(), byKey.end(), [&keys](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });

    QList<qsizetype> order;
    order.reserve(size);
    Fenwick smaller(size);
    std::vector<qsizetype> run;
    for (qsizetype begin = 0; begin < size;) {
        qsizetype end = begin + 1;
        while (end < size && keys[byKey[end]] == keys[byKey[begin]])
            ++end;
        run.assign(byKey.begin() + begin, byKey.begin() + end);
        if (run.size() > 1)
            orderEqualKeys(run, smaller, begin);
        for (qsizetype position : run) {
            order.append(position);
            smaller.add(position, 1);
        }
        begin = end;
    }
    return order;
}

#include "texted/windowtiling.h"

#include <algorithm>

namespace WindowTiling {
namespace {

// Splits length into count parts that differ by at most one, the larger first.
int partStart(int length, int count, int index)
{
    return index * (length / count) + std::min(index, length % count);
}

} // namespace

QList<QRect> aboveEachOther(const QRect &area, int count)
{
    QList<QRect> rects;
    for (int i = 0; i < count; ++i) {
        const int top = partStart(area.height(), count, i);
        rects.append(QRect(area.left(), area.top() + top, area.width(), partStart(area.height(), count, i + 1) - top));
    }
    return rects;
}

QList<QRect> sideBySide(const QRect &area, int count)
{
    QList<QRect> rects;
    for (int i = 0; i < count; ++i) {
        const int left = partStart(area.width(), count, i);
        rects.append(
            QRect(area.left() + left, area.top(), partStart(area.width(), count, i + 1) - left, area.height()));
    }
    return rects;
}

QList<QPoint> iconPositions(const QRect &area, const QSize &icon, int count)
{
    QList<QPoint> positions;
    const int perRow = std::max(1, area.width() / std::max(1, icon.width()));
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow;
        const int column = i % perRow;
        positions.append(QPoint(area.left() + column * icon.width(), area.bottom() + 1 - (row + 1) * icon.height()));
    }
    return positions;
}

} // namespace WindowTiling

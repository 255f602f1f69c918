#pragma once

#include <QList>
#include <QRect>

// Where the Window menu's arrangements put the document windows inside the frame's area.
namespace WindowTiling {

// Tile Horizontal: full-width strips, one above the other, sharing the height.
QList<QRect> aboveEachOther(const QRect &area, int count);
// Tile Vertical: full-height strips side by side, sharing the width.
QList<QRect> sideBySide(const QRect &area, int count);
// Arrange Icons: minimised windows in a row along the bottom, from the left, wrapping upwards.
QList<QPoint> iconPositions(const QRect &area, const QSize &icon, int count);

} // namespace WindowTiling

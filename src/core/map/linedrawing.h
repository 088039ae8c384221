#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>

namespace korvalo {

// A line straight into a 32-bit image (RGB32 or ARGB32, premultiplied or not), both
// ends included, `width` pixels wide (bounded to 1..MaxPenWidth) in the opaque colour
// `color`: at every step along its longer axis a run of pixels across it, as long as
// the line's width measured that way (width times length over the longer axis's
// extent), centred on the midpoint-rounded track. The ends are square to the longer
// axis (nodes cover them); a line of no length is a dot as wide as the pen. The work is
// bounded by the image, however far outside it the ends lie.
void DrawDirectLine(QImage &image, QPoint from, QPoint to, int width, QRgb color);

// The smooth counterpart, in device pixels of a 32-bit image (pixel (i, j) covers the
// square from (i, j) to (i + 1, j + 1)): the same track and the same width measured across
// the longer axis, each pixel blended with `color` by how much of it the line covers. The
// ends reach half the width beyond the end points (a square end). Bounded by the image.
void DrawSmoothLine(QImage &image, QPointF from, QPointF to, qreal width, QRgb color);

} // namespace korvalo

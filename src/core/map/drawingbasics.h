#pragma once

#include "core/model/textutil.h"

#include <QColor>
#include <QPen>

#include <algorithm>

// Small pieces the map's drawing code shares (render, line drawing, node stamps).

namespace korvalo {

// Pixel positions round half-way cases to even, as every other map computation does.
inline int RoundToPixel(double value)
{
    return int(RoundHalfEven(value));
}

// Pen widths come from files and input boxes and may be anything an int holds; beyond a
// million pixels a pen covers any map there is.
inline constexpr int MaxPenWidth = 1 << 20;

inline int BoundedPenWidth(int width)
{
    return std::clamp(width, 0, MaxPenWidth);
}

inline QPen SolidPen(QRgb color, int width)
{
    return QPen(QColor::fromRgb(color), BoundedPenWidth(width), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace korvalo

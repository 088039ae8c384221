#include "core/map/linedrawing.h"

#include "core/map/drawingbasics.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace korvalo {

// Qt blends stroked lines pixel by pixel (one-pixel lines) or goes through a path (wider
// ones), which took most of a capacity card's redraw; hence lines of their own.
void DrawDirectLine(QImage &image, QPoint from, QPoint to, int width, QRgb color)
{
    const QRgb pixel = 0xFF000000 | color;
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    QRgb *bits = reinterpret_cast<QRgb *>(image.bits());
    // Anything wider than the largest map covers it all the same.
    width = std::clamp(width, 1, MaxPenWidth);
    if (from == to) {
        // A line of no length is a dot as wide as the pen.
        const QRect dot = QRect(from.x() - (width - 1) / 2, from.y() - (width - 1) / 2, width, width)
                              .intersected(image.rect());
        for (int y = dot.top(); y <= dot.bottom(); ++y)
            for (int x = dot.left(); x <= dot.right(); ++x)
                bits[y * stride + x] = pixel;
        return;
    }
    qint64 x0 = from.x(), y0 = from.y(), x1 = to.x(), y1 = to.y();
    qint64 majorSize = image.width(), minorSize = image.height();
    const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
    if (steep) {
        std::swap(x0, y0);
        std::swap(x1, y1);
        std::swap(majorSize, minorSize);
    }
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const qint64 dx = x1 - x0;
    const qint64 ady = std::abs(y1 - y0);
    const qint64 step = y1 < y0 ? -1 : 1;
    qint64 run = 1;
    if (width > 1) {
        const double length = std::hypot(double(dx), double(ady));
        run = std::max<qint64>(1, qint64(RoundHalfEven(width * length / double(dx))));
    }
    const qint64 before = (run - 1) / 2;
    const qint64 first = std::max<qint64>(x0, 0);
    const qint64 last = std::min<qint64>(x1, majorSize - 1);
    if (first > last)
        return;
    // The track at x is y0 + step * floor((2 (x - x0) ady + dx) / 2 dx).
    const qint64 twoDx = 2 * dx;
    const qint64 start = 2 * (first - x0) * ady + dx;
    qint64 y = y0 + step * (start / twoDx);
    qint64 rest = start % twoDx;
    for (qint64 x = first; x <= last; ++x) {
        const qint64 low = std::max<qint64>(y - before, 0);
        const qint64 high = std::min<qint64>(y - before + run - 1, minorSize - 1);
        for (qint64 m = low; m <= high; ++m)
            bits[steep ? x * stride + m : m * stride + x] = pixel;
        rest += 2 * ady;
        if (rest >= twoDx) {
            rest -= twoDx;
            y += step;
        }
    }
}

} // namespace korvalo

namespace korvalo {

void DrawSmoothLine(QImage &image, QPointF from, QPointF to, qreal width, QRgb color)
{
    if (!(width > 0) || image.isNull())
        return;
    width = std::min<qreal>(width, MaxPenWidth);
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    QRgb *bits = reinterpret_cast<QRgb *>(image.bits());
    const bool steep = std::abs(to.y() - from.y()) > std::abs(to.x() - from.x());
    // Along the major axis "u", across it "v".
    qreal u0 = from.x(), v0 = from.y(), u1 = to.x(), v1 = to.y();
    int majorSize = image.width(), minorSize = image.height();
    if (steep) {
        std::swap(u0, v0);
        std::swap(u1, v1);
        std::swap(majorSize, minorSize);
    }
    if (u0 > u1) {
        std::swap(u0, u1);
        std::swap(v0, v1);
    }
    const qreal du = u1 - u0, dv = v1 - v0;
    const qreal length = std::hypot(du, dv);
    const qreal slope = du > 0 ? dv / du : 0;
    // Half the line's width measured across the major axis, and how far the square ends
    // reach beyond the end points along it.
    const qreal half = length > 0 ? width * length / du / 2 : width / 2;
    const qreal reach = length > 0 ? width / 2 * du / length : width / 2;
    const int first = std::max(0, int(std::ceil(u0 - reach - 0.5)));
    const int last = std::min(majorSize - 1, int(std::floor(u1 + reach - 0.5)));
    if (first > last)
        return;
    const uint red = qRed(color), green = qGreen(color), blue = qBlue(color);
    const QRgb solid = 0xFF000000 | color;
    auto blend = [&](QRgb &pixel, qint64 cover) {
        // cover in 1/65536 of a pixel
        if (cover >= 65536) {
            pixel = solid;
            return;
        }
        const uint a = uint(cover >> 8), keep = 256 - a;
        pixel = 0xFF000000 | (((red * a + qRed(pixel) * keep) >> 8) << 16)
                | (((green * a + qGreen(pixel) * keep) >> 8) << 8) | ((blue * a + qBlue(pixel) * keep) >> 8);
    };
    // The track at each column's (or row's) centre in 16.16 fixed point, stepped along:
    // the error stays far below a 256th of a pixel over the largest map.
    constexpr qreal one = 65536;
    qint64 centre = qint64(std::llround((v0 + (first + 0.5 - u0) * slope) * one));
    const qint64 step = qint64(std::llround(slope * one));
    const qint64 halfFixed = qint64(std::llround(half * one));
    const qint64 minorEnd = qint64(minorSize) << 16;
    for (int u = first; u <= last; ++u, centre += step) {
        const qint64 top = std::max<qint64>(centre - halfFixed, 0);
        const qint64 bottom = std::min<qint64>(centre + halfFixed, minorEnd);
        if (bottom <= top)
            continue;
        QRgb *at = steep ? bits + qsizetype(u) * stride : bits + u;
        const qsizetype across = steep ? 1 : stride;
        const qint64 low = top >> 16, high = (bottom - 1) >> 16;
        if (low == high) {
            blend(at[low * across], bottom - top);
            continue;
        }
        blend(at[low * across], ((low + 1) << 16) - top);
        for (qint64 v = low + 1; v < high; ++v)
            at[v * across] = solid;
        blend(at[high * across], bottom - (high << 16));
    }
}

} // namespace korvalo

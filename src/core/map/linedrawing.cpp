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

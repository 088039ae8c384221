#include "core/map/nodestamps.h"

#include "core/map/drawingbasics.h"
#include "core/map/render.h"

#include <QHash>
#include <QPainter>
#include <QtMath>

#include <array>

namespace korvalo {

void DrawNode(QPainter &painter, const NodeLook &look, int x, int y)
{
    const int r = look.radius;
    const std::array<QPoint, 3> marks{
        QPoint(RoundToPixel(x + r / 4.0), RoundToPixel(y - r / 4.0)),
        QPoint(RoundToPixel(x - r / 4.0), RoundToPixel(y - r / 4.0)),
        QPoint(x, RoundToPixel(y + r / 4.0)),
    };
    painter.setPen(SolidPen(qRgb(0, 0, 0), look.selected ? 2 : 1));
    painter.setBrush(QColor::fromRgb(look.fill));
    if (look.shape == NodeLook::Square) {
        const int b = RoundToPixel(0.85 * r);
        painter.drawRect(x - b, y - b, 2 * b, 2 * b);
        if (look.group) {
            const int mark = RoundToPixel(b / 3.0);
            for (const QPoint &c : marks)
                painter.drawRect(c.x() - mark, c.y() - mark, 2 * mark, 2 * mark);
        }
    } else if (look.shape == NodeLook::Circle) {
        painter.drawEllipse(QPoint(x, y), r, r);
        if (look.group) {
            const int mark = RoundToPixel(r / 3.0);
            for (const QPoint &c : marks)
                painter.drawEllipse(c, mark, mark);
        }
    }
    DrawSymbol(painter, RoundToPixel(x + 0.5 * r), RoundToPixel(y - 0.8 * r), r, look.symbol, false);
}

namespace {

// Node pictures, like the text rasters: a node drawn at whole pixels covers the same
// pixels wherever it stands, except that its marks and symbol round half-way offsets to
// even, so a picture serves all positions of the same parity.
struct NodeStampKey
{
    NodeLook look;
    int parity;
    // Smooth pictures: device pixels per pixel in 64ths (0 for the exact picture), and
    // where the centre falls inside its device pixel, in 64ths.
    int smoothScale = 0;
    int phaseX = 0, phaseY = 0;
    bool operator==(const NodeStampKey &) const = default;
};

size_t qHash(const NodeStampKey &key, size_t seed)
{
    return qHashMulti(seed, int(key.look.shape), key.look.radius, key.look.fill,
                      key.look.selected, key.look.group, key.look.symbol, key.parity,
                      key.smoothScale, key.phaseX, key.phaseY);
}

int parityOf(QPoint p)
{
    return (p.x() & 1) | ((p.y() & 1) << 1);
}

QPoint stampOrigin(int parity, int margin)
{
    return QPoint(margin + (parity & 1), margin + ((parity >> 1) & 1));
}

} // namespace

// The stamp of `key`; for a smooth one, the device pixel the node's centre lies in is
// the stamp's origin.
static const NodeStamp &stampFor(const NodeStampKey &key)
{
    constexpr qsizetype maxBytes = 16 * 1024 * 1024;
    thread_local QHash<NodeStampKey, NodeStamp> stamps;
    thread_local qsizetype bytes = 0;
    const NodeLook &look = key.look;
    const int parity = key.parity;
    auto it = stamps.constFind(key);
    if (it != stamps.constEnd())
        return *it;
    if (bytes > maxBytes) {
        stamps.clear();
        bytes = 0;
    }
    // The symbol reaches 1.6 r above and 1.3 r right of the centre; outlines one more.
    const qreal scale = key.smoothScale == 0 ? 1 : key.smoothScale / 64.0;
    const int margin = qCeil((2 * look.radius + 4) * scale);
    QImage canvas(2 * margin + 2, 2 * margin + 2, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPoint origin = stampOrigin(parity, margin);
    {
        QPainter painter(&canvas);
        if (key.smoothScale == 0) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            DrawNode(painter, look, origin.x(), origin.y());
        } else {
            // The node drawn at (parity) in map pixels lands on the origin plus the phase.
            origin = QPoint(margin, margin);
            const QPoint at(parity & 1, (parity >> 1) & 1);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.translate(margin + key.phaseX / 64.0, margin + key.phaseY / 64.0);
            painter.scale(scale, scale);
            painter.translate(-at);
            DrawNode(painter, look, at.x(), at.y());
        }
    }
    QRect ink;
    for (int y = 0; y < canvas.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        int left = -1, right = -1;
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(row[x]) != 0) {
                if (left < 0)
                    left = x;
                right = x;
            }
        }
        if (left >= 0)
            ink |= QRect(QPoint(left, y), QPoint(right, y));
    }
    NodeStamp stamp{ink.isNull() ? QImage() : canvas.copy(ink), ink.topLeft() - origin};
    bytes += stamp.image.sizeInBytes() + 64;
    return *stamps.insert(key, std::move(stamp));
}

const NodeStamp &NodeStampFor(const NodeLook &look, QPoint centre)
{
    return stampFor(NodeStampKey{look, parityOf(centre)});
}

const NodeStamp *SmoothNodeStampFor(const NodeLook &look, QPoint centre, QPointF deviceCentre, qreal scale,
                                    QPoint *devicePixel)
{
    const int smoothScale = qRound(scale * 64);
    if (smoothScale < 1 || !qFuzzyCompare(smoothScale / 64.0, scale) || look.radius * scale > MaxStampRadius)
        return nullptr;
    const QPoint pixel(qFloor(deviceCentre.x()), qFloor(deviceCentre.y()));
    const QPointF phase = deviceCentre - QPointF(pixel);
    const int phaseX = qRound(phase.x() * 64), phaseY = qRound(phase.y() * 64);
    // Only phases of whole 64ths are kept: anything else would draw a little off.
    if (qAbs(phase.x() * 64 - phaseX) > 1e-3 || qAbs(phase.y() * 64 - phaseY) > 1e-3)
        return nullptr;
    *devicePixel = pixel;
    return &stampFor(NodeStampKey{look, parityOf(centre), smoothScale, phaseX, phaseY});
}

void DrawSymbol(QPainter &painter, int x, int y, int size, const QString &symbol, bool boxed)
{
    painter.setPen(SolidPen(qRgb(0, 0, 0), 1));
    painter.setBrush(Qt::white);
    if (boxed)
        painter.drawRect(x - size, y - size, 2 * size, 2 * size);

    // Vertices as multiples of the size, relative to (x, y).
    static constexpr double flash[][2] = {{0.2, -0.8},  {-0.25, -0.1}, {0.05, -0.15}, {-0.35, 0.35},
                                          {-0.05, 0.3}, {-0.2, 0.8},   {0.25, 0.1},   {0.05, 0.15},
                                          {0.35, -0.35}, {-0.05, -0.3}};
    static constexpr double triangle[][2] = {{0, -0.8}, {-0.6, 0.6}, {0.6, 0.6}};
    static constexpr double box[][2] = {{-0.4, -0.4}, {-0.4, 0.4}, {0.4, 0.4}, {0.4, -0.4}};
    static constexpr double diamond[][2] = {{0, -0.5}, {-0.5, 0}, {0, 0.5}, {0.5, 0}};

    const double(*shape)[2] = nullptr;
    int count = 0;
    if (symbol == u"flash") {
        shape = flash;
        count = int(std::size(flash));
    } else if (symbol == u"triangle") {
        shape = triangle;
        count = int(std::size(triangle));
    } else if (symbol == u"box") {
        shape = box;
        count = int(std::size(box));
    } else if (symbol == u"diamond") {
        shape = diamond;
        count = int(std::size(diamond));
    } else {
        return;
    }
    std::array<QPoint, std::size(flash)> points;
    for (int k = 0; k < count; ++k)
        points[size_t(k)] = QPoint(RoundToPixel(x + shape[k][0] * size), RoundToPixel(y + shape[k][1] * size));
    painter.setBrush(QColor::fromRgb(0x80, 0x80, 0x80));
    painter.drawPolygon(points.data(), count);
}

} // namespace korvalo

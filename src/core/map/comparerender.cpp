#include "core/map/comparerender.h"

#include "core/analysis/measures.h"
#include "core/map/drawingbasics.h"
#include "core/map/geometry.h"
#include "core/map/linedrawing.h"
#include "core/map/render.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <vector>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

constexpr int legendWidth = 150;
constexpr int legendLine = 15;
constexpr int legendLines = 7;
constexpr int legendText = 12;
constexpr int arrowHead = 7; // length of the head in pixels
constexpr int starRadius = 5;

// Node radii as the map draws them, kept sensible for marks around them.
int markRadius(const Node &node, const ViewOptions &view)
{
    return std::clamp(NodeRadius(node.NodeSize, std::clamp(view.NodeBaseSize, 0, 1000)), 3, 1000);
}

bool directPixels(const QImage &image)
{
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
           || image.format() == QImage::Format_ARGB32_Premultiplied;
}

// A mark is drawn once with QPainter into a small picture; the pixels it set are kept
// as offsets from its centre, so that a map of a thousand marks costs a thousand copies
// rather than a thousand dashed outlines or filled polygons.
using Shape = std::vector<QPoint>;

Shape shapePixels(int half, const std::function<void(QPainter &, QPoint)> &draw)
{
    QImage picture(2 * half + 1, 2 * half + 1, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing, false);
        draw(painter, QPoint(half, half));
    }
    Shape shape;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != qRgb(255, 255, 255))
                shape.emplace_back(x - half, y - half);
    return shape;
}

void putShape(QImage &image, QPainter &painter, QPoint at, const Shape &shape, QRgb color)
{
    const int w = image.width();
    const int h = image.height();
    if (!directPixels(image)) {
        painter.setPen(QColor::fromRgb(color));
        for (const QPoint &d : shape)
            painter.drawPoint(at + d);
        return;
    }
    for (const QPoint &d : shape) {
        const int x = at.x() + d.x();
        const int y = at.y() + d.y();
        if (x >= 0 && y >= 0 && x < w && y < h)
            reinterpret_cast<QRgb *>(image.scanLine(y))[x] = color;
    }
}

void drawLine(QImage &image, QPainter &painter, QPoint from, QPoint to, QRgb color)
{
    if (directPixels(image)) {
        DrawDirectLine(image, from, to, 1, color);
        return;
    }
    painter.setPen(SolidPen(color, 1));
    painter.drawLine(from, to);
}

void drawArrow(QImage &image, QPainter &painter, QPoint from, QPoint to, int stopShort)
{
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    const double length = std::hypot(dx, dy);
    if (length < 2)
        return;
    // The tip touches the node's rim rather than hiding under it, when there is room.
    const double reach = length > stopShort + arrowHead + 2 ? length - stopShort : length;
    const double ux = dx / length;
    const double uy = dy / length;
    const QPoint tip(RoundToPixel(from.x() + ux * reach), RoundToPixel(from.y() + uy * reach));
    drawLine(image, painter, from, tip, CompareArrowColor);
    // The head: a fan of lines from the tip to its base, close enough to fill it.
    const double baseX = tip.x() - ux * arrowHead;
    const double baseY = tip.y() - uy * arrowHead;
    for (int i = -arrowHead; i <= arrowHead; i += 2) {
        const double across = i / 2.0;
        drawLine(image, painter, tip, QPoint(RoundToPixel(baseX - uy * across), RoundToPixel(baseY + ux * across)),
                 CompareArrowColor);
    }
}

const Shape &ghostShape(int radius, bool square)
{
    thread_local std::map<std::pair<int, bool>, Shape> shapes;
    auto found = shapes.find({radius, square});
    if (found == shapes.end()) {
        found = shapes.emplace(std::pair(radius, square), shapePixels(radius + 1, [&](QPainter &p, QPoint c) {
            p.setPen(QPen(Qt::black, 1, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            if (square)
                p.drawRect(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
            else
                p.drawEllipse(c, radius, radius);
        })).first;
    }
    return found->second;
}

const Shape &starShape()
{
    thread_local const Shape shape = shapePixels(starRadius + 1, [](QPainter &p, QPoint c) {
        QPolygon star;
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 == 0 ? starRadius : starRadius * 0.45;
            const double a = (-90 + i * 36) * std::numbers::pi / 180;
            star << QPoint(RoundToPixel(c.x() + r * std::cos(a)), RoundToPixel(c.y() + r * std::sin(a)));
        }
        p.setPen(SolidPen(qRgb(0, 0, 0), 1));
        p.setBrush(Qt::black);
        p.drawPolygon(star);
    });
    return shape;
}

void drawLegend(QImage &image, QPainter &painter, const CardComparison &c, const ViewOptions &view, QRect box)
{
    painter.setPen(SolidPen(qRgb(0, 0, 0), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    const int x = box.left() + 6;
    const int textX = x + 26;
    auto rowY = [&](int row) { return box.top() + 4 + row * legendLine; };
    auto middle = [&](int row) { return rowY(row) + legendLine / 2; };

    drawArrow(image, painter, QPoint(x, middle(0)), QPoint(x + 20, middle(0)), 0);
    putShape(image, painter, QPoint(x + 10, middle(1)), ghostShape(5, false), CompareGhostColor);
    putShape(image, painter, QPoint(x + 10, middle(2)), starShape(), CompareStarColor);

    const QChar sep = view.DecimalSeparator;
    const QString size = (c.sizeChange() > 0 ? u"+"_s : QString()) + QString::number(c.sizeChange());
    const QString texts[legendLines] = {
        u"kept (moved)"_s,
        u"lost"_s,
        u"new"_s,
        u"stability %1"_s.arg(FormatMeasure(c.stability, sep)),
        u"turnover %1"_s.arg(FormatMeasure(c.turnover, sep)),
        u"Jaccard %1"_s.arg(FormatMeasure(c.jaccard, sep)),
        u"size change %1"_s.arg(size),
    };
    painter.setPen(Qt::black);
    for (int row = 0; row < legendLines; ++row)
        DrawMapText(painter, row < 3 ? textX : x, rowY(row) + 1, texts[row], legendText, 0);
}

} // namespace

QRect CompareLegendRect(int w, int h)
{
    const int height = legendLines * legendLine + 8;
    return QRect(std::max(0, w - legendWidth - 6), 6, std::min(legendWidth, w), std::min(height, h));
}

void RenderCompare(QImage &target, const NetworkModel &model, const CardComparison &comparison,
                   const ViewOptions &view)
{
    if (target.isNull())
        return;
    RenderCard(target, model, comparison.to, view);
    if (!model.hasCard(comparison.from) || !model.hasCard(comparison.to))
        return;
    const NetworkCard &before = model.card(comparison.from);
    const NetworkCard &after = model.card(comparison.to);
    const int w = target.width();
    const int h = target.height();
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);

    auto place = [&](const NetworkCard &card, int node) {
        const Node &n = card.Nodes[size_t(node)];
        return MapPoint(n.Angle, n.Distance, w, h);
    };
    for (const ComparedAlter &a : comparison.alters) {
        if (a.change == AlterChange::Lost && NodeVisible(before, a.fromNode, view)) {
            const Node &n = before.Nodes[size_t(a.fromNode)];
            putShape(target, painter, place(before, a.fromNode), ghostShape(markRadius(n, view), n.Human == u"FALSE"),
                     CompareGhostColor);
        }
    }
    for (const ComparedAlter &a : comparison.alters) {
        if (a.change == AlterChange::Kept && NodeVisible(after, a.toNode, view))
            drawArrow(target, painter, place(before, a.fromNode), place(after, a.toNode),
                      markRadius(after.Nodes[size_t(a.toNode)], view));
    }
    for (const ComparedAlter &a : comparison.alters) {
        if (a.change == AlterChange::New && NodeVisible(after, a.toNode, view)) {
            const int r = markRadius(after.Nodes[size_t(a.toNode)], view);
            putShape(target, painter, place(after, a.toNode) + QPoint(r, -r), starShape(), CompareStarColor);
        }
    }
    drawLegend(target, painter, comparison, view, CompareLegendRect(w, h));
}

} // namespace korvalo

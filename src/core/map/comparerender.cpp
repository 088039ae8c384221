#include "core/map/comparerender.h"

#include "core/analysis/measures.h"
#include "core/map/drawingbasics.h"
#include "core/map/geometry.h"
#include "core/map/linedrawing.h"
#include "core/map/render.h"

#include <QLineF>
#include <QPainter>
#include <QPolygon>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
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

// Where an arrow from `from` to `to` ends and where its head's base lies; none when the
// two are too close for an arrow.
struct ArrowGeometry
{
    QPoint tip;
    QPointF base;
    QPointF side; // unit vector along the base
};

std::optional<ArrowGeometry> arrowGeometry(QPoint from, QPoint to, int stopShort)
{
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    const double length = std::hypot(dx, dy);
    if (length < 2)
        return std::nullopt;
    // The tip touches the node's rim rather than hiding under it, when there is room.
    const double reach = length > stopShort + arrowHead + 2 ? length - stopShort : length;
    const double ux = dx / length;
    const double uy = dy / length;
    const QPoint tip(RoundToPixel(from.x() + ux * reach), RoundToPixel(from.y() + uy * reach));
    return ArrowGeometry{tip, QPointF(tip.x() - ux * arrowHead, tip.y() - uy * arrowHead), QPointF(-uy, ux)};
}

void drawArrow(QImage &image, QPainter &painter, QPoint from, QPoint to, int stopShort)
{
    const std::optional<ArrowGeometry> arrow = arrowGeometry(from, to, stopShort);
    if (!arrow)
        return;
    drawLine(image, painter, from, arrow->tip, CompareArrowColor);
    // The head: a fan of lines from the tip to its base, close enough to fill it.
    for (int i = -arrowHead; i <= arrowHead; i += 2) {
        const QPointF corner = arrow->base + arrow->side * (i / 2.0);
        drawLine(image, painter, arrow->tip, QPoint(RoundToPixel(corner.x()), RoundToPixel(corner.y())),
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

// The star's ten corners around `c`, the first at the top.
QPolygonF starPoints(QPointF c)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 == 0 ? starRadius : starRadius * 0.45;
        const double a = (-90 + i * 36) * std::numbers::pi / 180;
        star << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    return star;
}

const Shape &starShape()
{
    thread_local const Shape shape = shapePixels(starRadius + 1, [](QPainter &p, QPoint c) {
        QPolygon star;
        for (const QPointF &corner : starPoints(c))
            star << QPoint(RoundToPixel(corner.x()), RoundToPixel(corner.y()));
        p.setPen(SolidPen(qRgb(0, 0, 0), 1));
        p.setBrush(Qt::black);
        p.drawPolygon(star);
    });
    return shape;
}

// The legend's rows: the three samples' captions, then the figures.
std::array<QString, legendLines> legendTexts(const CardComparison &c, const ViewOptions &view)
{
    const QChar sep = view.DecimalSeparator;
    const QString size = (c.sizeChange() > 0 ? u"+"_s : QString()) + QString::number(c.sizeChange());
    return {
        u"kept (moved)"_s,
        u"lost"_s,
        u"new"_s,
        u"stability %1"_s.arg(FormatMeasure(c.stability, sep)),
        u"turnover %1"_s.arg(FormatMeasure(c.turnover, sep)),
        u"Jaccard %1"_s.arg(FormatMeasure(c.jaccard, sep)),
        u"size change %1"_s.arg(size),
    };
}

// The legend's layout in `box`: where row `row` starts, where its text starts, and the
// middle of its sample.
struct LegendLayout
{
    QRect box;
    int x() const { return box.left() + 6; }
    int textX(int row) const { return row < 3 ? x() + 26 : x(); }
    int rowY(int row) const { return box.top() + 4 + row * legendLine; }
    int middle(int row) const { return rowY(row) + legendLine / 2; }
};

void drawLegend(QImage &image, QPainter &painter, const CardComparison &c, const ViewOptions &view, QRect box)
{
    const LegendLayout legend{box};
    painter.setPen(SolidPen(qRgb(0, 0, 0), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    const int x = legend.x();
    drawArrow(image, painter, QPoint(x, legend.middle(0)), QPoint(x + 20, legend.middle(0)), 0);
    putShape(image, painter, QPoint(x + 10, legend.middle(1)), ghostShape(5, false), CompareGhostColor);
    putShape(image, painter, QPoint(x + 10, legend.middle(2)), starShape(), CompareStarColor);

    const auto texts = legendTexts(c, view);
    painter.setPen(Qt::black);
    for (int row = 0; row < legendLines; ++row)
        DrawMapText(painter, legend.textX(row), legend.rowY(row) + 1, texts[size_t(row)], legendText, 0);
}

// The marks of the change on a map of w x h pixels, in the order they are drawn: the
// ghosts of the lost alters (centre, radius, square for a non-human), the arrows of the
// kept ones (from, to, the radius to stop short of), the stars of the new ones (centre).
// Hidden alters have no marks; both cards must exist.
void walkMarks(const NetworkModel &model, const CardComparison &comparison, const ViewOptions &view, int w, int h,
               const std::function<void(QPoint, int, bool)> &ghost,
               const std::function<void(QPoint, QPoint, int)> &arrow, const std::function<void(QPoint)> &star)
{
    const NetworkCard &before = model.card(comparison.from);
    const NetworkCard &after = model.card(comparison.to);
    auto place = [&](const NetworkCard &card, int node) {
        const Node &n = card.Nodes[size_t(node)];
        return MapPoint(n.Angle, n.Distance, w, h);
    };
    for (const ComparedAlter &a : comparison.alters) {
        if (a.change == AlterChange::Lost && NodeVisible(before, a.fromNode, view)) {
            const Node &n = before.Nodes[size_t(a.fromNode)];
            ghost(place(before, a.fromNode), markRadius(n, view), n.Human == u"FALSE");
        }
    }
    for (const ComparedAlter &a : comparison.alters) {
        if (a.change == AlterChange::Kept && NodeVisible(after, a.toNode, view))
            arrow(place(before, a.fromNode), place(after, a.toNode), markRadius(after.Nodes[size_t(a.toNode)], view));
    }
    for (const ComparedAlter &a : comparison.alters) {
        if (a.change == AlterChange::New && NodeVisible(after, a.toNode, view)) {
            const int r = markRadius(after.Nodes[size_t(a.toNode)], view);
            star(place(after, a.toNode) + QPoint(r, -r));
        }
    }
}

// The marks as shapes, for any paint device. The painter is translated by half a pixel,
// as PaintCard's shapes are, so that a line at x covers pixel x.

void paintArrow(QPainter &painter, QPoint from, QPoint to, int stopShort)
{
    const std::optional<ArrowGeometry> arrow = arrowGeometry(from, to, stopShort);
    if (!arrow)
        return;
    const QColor color = QColor::fromRgb(CompareArrowColor);
    painter.setPen(QPen(color, 1, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(from), arrow->base);
    const double half = arrowHead / 2.0;
    painter.setPen(QPen(color, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(color);
    painter.drawPolygon(
        QPolygonF{QPointF(arrow->tip), arrow->base + arrow->side * half, arrow->base - arrow->side * half});
}

void paintGhost(QPainter &painter, QPoint at, int radius, bool square)
{
    painter.setPen(QPen(QColor::fromRgb(CompareGhostColor), 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    if (square)
        painter.drawRect(QRectF(at.x() - radius, at.y() - radius, 2 * radius, 2 * radius));
    else
        painter.drawEllipse(QPointF(at), radius, radius);
}

void paintStar(QPainter &painter, QPoint at)
{
    const QColor color = QColor::fromRgb(CompareStarColor);
    painter.setPen(QPen(color, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(color);
    painter.drawPolygon(starPoints(at));
}

void paintLegend(QPainter &painter, const CardComparison &c, const ViewOptions &view, QRect box)
{
    const LegendLayout legend{box};
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(box.adjusted(0, 0, -1, -1)));
    const int x = legend.x();
    paintArrow(painter, QPoint(x, legend.middle(0)), QPoint(x + 20, legend.middle(0)), 0);
    paintGhost(painter, QPoint(x + 10, legend.middle(1)), 5, false);
    paintStar(painter, QPoint(x + 10, legend.middle(2)));

    const auto texts = legendTexts(c, view);
    painter.setPen(Qt::black);
    for (int row = 0; row < legendLines; ++row) // undoing the shapes' half pixel
        DrawSmoothMapText(painter, QPointF(legend.textX(row) - 0.5, legend.rowY(row) + 0.5), texts[size_t(row)],
                          legendText, 0);
}

// The marks and the legend drawn exactly into a map image of the image's size.
void drawChange(QImage &image, const NetworkModel &model, const CardComparison &comparison, const ViewOptions &view,
                QRect legend)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    walkMarks(
        model, comparison, view, image.width(), image.height(),
        [&](QPoint at, int radius, bool square) {
            putShape(image, painter, at, ghostShape(radius, square), CompareGhostColor);
        },
        [&](QPoint from, QPoint to, int stopShort) { drawArrow(image, painter, from, to, stopShort); },
        [&](QPoint at) { putShape(image, painter, at, starShape(), CompareStarColor); });
    drawLegend(image, painter, comparison, view, legend);
}

// The marks, and the legend unless `legend` is null, as shapes and text on a map of
// `mapSize` in the painter's coordinates.
void paintChange(QPainter &painter, QSize mapSize, const NetworkModel &model, const CardComparison &comparison,
                 const ViewOptions &view, const QRect *legend)
{
    painter.save();
    painter.setClipRect(QRect(QPoint(0, 0), mapSize), Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(0.5, 0.5);
    walkMarks(
        model, comparison, view, mapSize.width(), mapSize.height(),
        [&](QPoint at, int radius, bool square) { paintGhost(painter, at, radius, square); },
        [&](QPoint from, QPoint to, int stopShort) { paintArrow(painter, from, to, stopShort); },
        [&](QPoint at) { paintStar(painter, at); });
    if (legend)
        paintLegend(painter, comparison, view, *legend);
    painter.restore();
}

// Where the legend may go: what it would hide of the map in one corner.
struct Covered
{
    qint64 foreground = 0; // pixels of nodes, labels, sector labels, caption and marks
    int background = 0;    // circles, sector boundaries, lines and the coloured disc met

    bool operator<(const Covered &other) const
    {
        return std::pair(foreground, background) < std::pair(other.foreground, other.background);
    }
};

// The pixels of `box` that the later card covers with nodes, labels, sector labels, the
// caption and the marks. Only the box is drawn, so that a map of any size costs four
// small pictures.
qint64 foregroundIn(const NetworkModel &later, const NetworkModel &model, const CardComparison &comparison,
                    const ViewOptions &view, QSize mapSize, QRect box)
{
    QImage image(box.size(), QImage::Format_RGB32);
    if (image.isNull())
        return 0;
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.translate(-box.topLeft());
        PaintCard(painter, mapSize, later, 1, view);
        paintChange(painter, mapSize, model, comparison, view, nullptr);
    }
    qint64 ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ink += (line[x] & 0xFFFFFF) != 0xFFFFFF;
    }
    return ink;
}

bool segmentMeets(const QRectF &box, QPointF a, QPointF b)
{
    if (!box.intersects(QRectF(a, b).normalized().adjusted(-0.5, -0.5, 0.5, 0.5)))
        return false;
    if (box.contains(a) || box.contains(b))
        return true;
    const QLineF segment(a, b);
    const QPointF corners[] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
    for (int i = 0; i < 4; ++i) {
        if (segment.intersects(QLineF(corners[i], corners[(i + 1) % 4]), nullptr) == QLineF::BoundedIntersection)
            return true;
    }
    return false;
}

// The circles, sector boundaries, lines and coloured disc of `card` that meet `box`.
// `points` holds the card's node positions by node number.
int backgroundMet(const NetworkCard &card, const std::vector<QPoint> &points, const ViewOptions &view, QSize mapSize,
                  QRect box)
{
    const int w = mapSize.width();
    const int h = mapSize.height();
    const QPointF centre = MapCentre(w, h);
    const int radius = MapRadius(w, h);
    const QRectF area(box);
    const double nearX = std::clamp(centre.x(), area.left(), area.right()) - centre.x();
    const double nearY = std::clamp(centre.y(), area.top(), area.bottom()) - centre.y();
    const double nearest = std::hypot(nearX, nearY);
    const double farthest =
        std::hypot(std::max(std::abs(area.left() - centre.x()), std::abs(area.right() - centre.x())),
                   std::max(std::abs(area.top() - centre.y()), std::abs(area.bottom() - centre.y())));
    int met = 0;
    // Circles closer together than a pixel land on every radius from the first to the
    // last; each radius counts once, as it is drawn once.
    const int circles = card.Circles;
    if (circles > radius) {
        const double from = std::max<double>(CircleRadius(radius, circles, 1), std::ceil(nearest));
        const double to = std::min<double>(CircleRadius(radius, circles, circles), std::floor(farthest));
        met += int(std::max(0.0, to - from + 1));
    } else {
        int previous = -1;
        for (int i = 1; i <= circles; ++i) {
            const int r = CircleRadius(radius, circles, i);
            if (r != previous && r >= nearest && r <= farthest)
                ++met;
            previous = r;
        }
    }
    if (view.ColorSectors1 && card.SectorCount() > 0 && nearest <= radius)
        ++met;
    if (view.Show1) {
        for (int s = 1; s <= card.SectorCount(); ++s)
            met += segmentMeets(area, centre, MapPoint(card.Sectors[size_t(s)].SectorAngle, 1, w, h));
    }
    for (int l = 1; l <= card.LineCount(); ++l) {
        const Line &line = card.Lines[size_t(l)];
        if ((line.A == 0 || line.B == 0) ? !view.ShowLinesToEgo : !view.ShowLinesBetween)
            continue;
        if (line.A < 0 || line.B < 0 || line.A > card.NodeCount() || line.B > card.NodeCount()
            || !NodeVisible(card, line.A, view) || !NodeVisible(card, line.B, view))
            continue;
        met += segmentMeets(area, points[size_t(line.A)], points[size_t(line.B)]);
    }
    return met;
}

} // namespace

QRect CompareLegendRect(QSize mapSize, Qt::Corner corner)
{
    const int w = std::max(0, mapSize.width());
    const int h = std::max(0, mapSize.height());
    const int width = std::min(legendWidth, w);
    const int height = std::min(legendLines * legendLine + 8, h);
    const bool left = corner == Qt::TopLeftCorner || corner == Qt::BottomLeftCorner;
    const bool top = corner == Qt::TopLeftCorner || corner == Qt::TopRightCorner;
    const int x = left ? std::min(6, w - width) : std::max(0, w - width - 6);
    const int y = top ? std::min(6, h - height) : std::max(0, h - height - 6);
    return QRect(x, y, width, height);
}

QRect CompareLegendPlace(const NetworkModel &model, const CardComparison &comparison, const ViewOptions &view,
                         QSize mapSize)
{
    if (!model.hasCard(comparison.from) || !model.hasCard(comparison.to) || mapSize.isEmpty())
        return CompareLegendRect(mapSize, Qt::TopRightCorner);
    std::array<QRect, 4> boxes;
    const Qt::Corner corners[] = {Qt::TopRightCorner, Qt::TopLeftCorner, Qt::BottomRightCorner, Qt::BottomLeftCorner};
    for (size_t i = 0; i < boxes.size(); ++i)
        boxes[i] = CompareLegendRect(mapSize, corners[i]);
    auto nearABox = [&](const QRect &bounds) {
        return std::any_of(boxes.begin(), boxes.end(), [&](const QRect &box) { return box.intersects(bounds); });
    };
    const int w = mapSize.width();
    const int h = mapSize.height();
    // The later card alone, without what matters less to hide, and with only the nodes
    // whose disc or label may reach a corner, so that the four small pictures below cost
    // little on a crowded card.
    NetworkModel later;
    later.ego = model.ego;
    later.Cards.push_back(model.card(comparison.to));
    NetworkCard &laterCard = later.card(1);
    laterCard.Circles = 0;
    laterCard.Lines.resize(1); // not drawn: their ends may be left out below
    const NetworkCard &shown = model.card(comparison.to);
    std::vector<QPoint> points;
    points.reserve(shown.Nodes.size());
    for (const Node &node : shown.Nodes)
        points.push_back(MapPoint(node.Angle, node.Distance, w, h));
    const int baseSize = std::clamp(view.NodeBaseSize, -(1 << 20), 1 << 20);
    const int font = std::clamp(view.LabelFontSize, 1, 1000);
    laterCard.Nodes.resize(1);
    for (int i = 1; i <= shown.NodeCount(); ++i) {
        const Node &node = shown.Nodes[size_t(i)];
        const QPoint p = points[size_t(i)];
        const int r = std::abs(NodeRadius(node.NodeSize, baseSize)) + 2;
        // No glyph of a label is wider than two of its font's sizes; ids, roles, brackets
        // and numbers are counted in.
        const qint64 labelChars = node.ID.size() + node.Label.size() + node.Role.size() + 24;
        const int labelWidth = int(std::min<qint64>(labelChars * 2 * font, 1 << 24));
        const QRect disc(p.x() - r, p.y() - r, 2 * r + 1, 2 * r + 1);
        const QRect label(p.x() - r, p.y() - r - 2 * font, 2 * r + 2 + labelWidth, 2 * r + 4 * font);
        if (nearABox(disc.united(label)))
            laterCard.Nodes.push_back(node);
    }
    // Marks likewise: a ghost, an arrow or a star only where it may reach a corner.
    CardComparison nearMarks = comparison;
    {
        const NetworkCard &before = model.card(comparison.from);
        const NetworkCard &after = model.card(comparison.to);
        auto place = [&](const NetworkCard &card, int node) {
            const Node &n = card.Nodes[size_t(node)];
            return MapPoint(n.Angle, n.Distance, w, h);
        };
        auto reach = [&](const NetworkCard &card, int node) {
            return std::abs(NodeRadius(card.Nodes[size_t(node)].NodeSize, baseSize)) + arrowHead + starRadius + 4;
        };
        std::erase_if(nearMarks.alters, [&](const ComparedAlter &a) {
            QRect bounds;
            if (a.change == AlterChange::Lost) {
                const int r = reach(before, a.fromNode);
                bounds = QRect(place(before, a.fromNode) - QPoint(r, r), QSize(2 * r + 1, 2 * r + 1));
            } else if (a.change == AlterChange::New) {
                const int r = 2 * reach(after, a.toNode);
                bounds = QRect(place(after, a.toNode) - QPoint(r, r), QSize(2 * r + 1, 2 * r + 1));
            } else {
                const int r = reach(after, a.toNode);
                bounds = QRect(place(before, a.fromNode), place(after, a.toNode)).normalized().adjusted(-r, -r, r, r);
            }
            return !nearABox(bounds);
        });
    }
    ViewOptions foreground = view;
    foreground.ColorSectors1 = false;
    foreground.Show1 = false;
    foreground.ShowLinesBetween = false;
    foreground.ShowLinesToEgo = false;
    QRect best;
    Covered least;
    for (const QRect &box : boxes) {
        const Covered covered{foregroundIn(later, model, nearMarks, foreground, mapSize, box),
                              backgroundMet(shown, points, view, mapSize, box)};
        if (best.isNull() || covered < least) {
            best = box;
            least = covered;
        }
        if (least.foreground == 0 && least.background == 0)
            break;
    }
    return best;
}

void RenderCompare(QImage &target, const NetworkModel &model, const CardComparison &comparison,
                   const ViewOptions &view)
{
    if (target.isNull())
        return;
    RenderCard(target, model, comparison.to, view);
    if (!model.hasCard(comparison.from) || !model.hasCard(comparison.to))
        return;
    const qreal ratio = target.devicePixelRatio();
    const QSize mapSize = target.deviceIndependentSize().toSize();
    const QRect legend = CompareLegendPlace(model, comparison, view, mapSize);
    if (!view.Smooth && ratio == 1) {
        drawChange(target, model, comparison, view, legend);
        return;
    }
    // As RenderCard draws a smooth map: in the map's pixels, the painter scaled by the
    // ratio, so that the marks land on the alters whatever the ratio.
    target.setDevicePixelRatio(1);
    {
        QPainter painter(&target);
        painter.scale(ratio, ratio);
        paintChange(painter, mapSize, model, comparison, view, &legend);
    }
    target.setDevicePixelRatio(ratio);
}

void PaintCompare(QPainter &painter, QSize mapSize, const NetworkModel &model, const CardComparison &comparison,
                  const ViewOptions &view)
{
    PaintCard(painter, mapSize, model, comparison.to, view);
    if (!model.hasCard(comparison.from) || !model.hasCard(comparison.to))
        return;
    const QRect legend = CompareLegendPlace(model, comparison, view, mapSize);
    paintChange(painter, mapSize, model, comparison, view, &legend);
}

QString CompareTitle(const NetworkModel &model, const CardComparison &comparison, bool hideNames)
{
    if (hideNames)
        return u"Card %1 to card %2"_s.arg(comparison.from).arg(comparison.to);
    if (!model.hasCard(comparison.from) || !model.hasCard(comparison.to))
        return QString();
    return u"%1 to %2"_s.arg(CardTitle(model, comparison.from, false), model.card(comparison.to).ID);
}

} // namespace korvalo

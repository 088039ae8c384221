#include "core/map/comparerender.h"

#include "core/analysis/measures.h"
#include "core/map/drawingbasics.h"
#include "core/map/geometry.h"
#include "core/map/render.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <numbers>

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

void drawArrow(QPainter &painter, QPoint from, QPoint to, int stopShort)
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
    const double baseX = tip.x() - ux * arrowHead;
    const double baseY = tip.y() - uy * arrowHead;
    const QPoint left(RoundToPixel(baseX - uy * arrowHead / 2.0), RoundToPixel(baseY + ux * arrowHead / 2.0));
    const QPoint right(RoundToPixel(baseX + uy * arrowHead / 2.0), RoundToPixel(baseY - ux * arrowHead / 2.0));
    painter.setPen(SolidPen(CompareArrowColor, 1));
    painter.drawLine(from, tip);
    painter.setBrush(QColor::fromRgb(CompareArrowColor));
    painter.drawPolygon(QPolygon({tip, left, right}));
}

void drawGhost(QPainter &painter, QPoint at, int radius, bool square)
{
    QPen pen(QColor::fromRgb(CompareGhostColor), 1, Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    if (square)
        painter.drawRect(at.x() - radius, at.y() - radius, 2 * radius, 2 * radius);
    else
        painter.drawEllipse(at, radius, radius);
}

void drawStar(QPainter &painter, QPoint centre)
{
    QPolygon star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 == 0 ? starRadius : starRadius * 0.45;
        const double a = (-90 + i * 36) * std::numbers::pi / 180;
        star << QPoint(RoundToPixel(centre.x() + r * std::cos(a)), RoundToPixel(centre.y() + r * std::sin(a)));
    }
    painter.setPen(SolidPen(CompareStarColor, 1));
    painter.setBrush(QColor::fromRgb(CompareStarColor));
    painter.drawPolygon(star);
}

void drawLegend(QPainter &painter, const CardComparison &c, const ViewOptions &view, QRect box)
{
    painter.setPen(SolidPen(qRgb(0, 0, 0), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    const int x = box.left() + 6;
    const int textX = x + 26;
    auto rowY = [&](int row) { return box.top() + 4 + row * legendLine; };
    auto middle = [&](int row) { return rowY(row) + legendLine / 2; };

    drawArrow(painter, QPoint(x, middle(0)), QPoint(x + 20, middle(0)), 0);
    drawGhost(painter, QPoint(x + 10, middle(1)), 5, false);
    drawStar(painter, QPoint(x + 10, middle(2)));

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
            drawGhost(painter, place(before, a.fromNode), markRadius(n, view), n.Human == u"FALSE");
        }
    }
    for (const ComparedAlter &a : comparison.alters) {
        if (a.change == AlterChange::Kept && NodeVisible(after, a.toNode, view))
            drawArrow(painter, place(before, a.fromNode), place(after, a.toNode),
                      markRadius(after.Nodes[size_t(a.toNode)], view));
    }
    for (const ComparedAlter &a : comparison.alters) {
        if (a.change == AlterChange::New && NodeVisible(after, a.toNode, view)) {
            const int r = markRadius(after.Nodes[size_t(a.toNode)], view);
            drawStar(painter, place(after, a.toNode) + QPoint(r, -r));
        }
    }
    drawLegend(painter, comparison, view, CompareLegendRect(w, h));
}

} // namespace korvalo

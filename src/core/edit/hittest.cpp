#include "core/edit/hittest.h"

#include "core/map/geometry.h"
#include "core/map/render.h"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace korvalo {

namespace {

// Every colour the hit test knows, built once: nodes 1..8, lines 0..8, the handle.
struct ColorTable
{
    std::array<QRgb, PaletteSize> nodes{};
    std::array<QRgb, PaletteSize + 1> lines{};
    QRgb handle;

    ColorTable() : handle(BgrToRgb(SectorHandleColor) & RGB_MASK)
    {
        for (int k = 1; k <= PaletteSize; ++k)
            nodes[size_t(k - 1)] = PaletteColor(k) & RGB_MASK;
        for (int k = 0; k <= PaletteSize; ++k)
            lines[size_t(k)] = LineStrokeColor(PaletteColor(k)) & RGB_MASK;
    }
};

const ColorTable &colors()
{
    static const ColorTable table;
    return table;
}

} // namespace

PixelClass ClassifyPixel(QRgb pixel)
{
    const QRgb p = pixel & RGB_MASK;
    const ColorTable &t = colors();
    if (p == 0xFFFFFF)
        return PixelClass::Background;
    for (QRgb c : t.nodes)
        if (c == p)
            return PixelClass::Node;
    for (QRgb c : t.lines)
        if (c == p)
            return PixelClass::Line;
    if (p == t.handle)
        return PixelClass::Handle;
    return PixelClass::Other;
}

int NearestNode(const NetworkCard &card, int x, int y, int w, int h)
{
    int best = 1000000;
    int found = 0;
    for (int i = 0; i <= card.NodeCount(); ++i) {
        const Node &n = card.Nodes[size_t(i)];
        const QPoint p = MapPoint(n.Angle, n.Distance, w, h);
        const int d = std::abs(p.x() - x) + std::abs(p.y() - y);
        if (d < best) {
            best = d;
            found = i;
        }
    }
    return found;
}

int NodeCovering(const NetworkCard &card, int x, int y, int w, int h, const ViewOptions &view)
{
    int found = 0;
    double best = std::numeric_limits<double>::max();
    for (int i = 1; i <= card.NodeCount(); ++i) {
        if (!view.Show2 || !NodeVisible(card, i, view))
            continue;
        const Node &n = card.Nodes[size_t(i)];
        const QPoint p = MapPoint(n.Angle, n.Distance, w, h);
        const double r = std::abs(NodeRadius(n.NodeSize, view.NodeBaseSize)) + 2.0; // the pen
        const double dx = x - p.x(), dy = y - p.y();
        const double d = std::hypot(dx, dy);
        bool covered = d <= r;
        const bool symbol = n.Symbol == u"flash" || n.Symbol == u"triangle" || n.Symbol == u"box"
                            || n.Symbol == u"diamond";
        if (!covered && symbol && !view.IgnoreSymbols1) {
            // The symbol stands up and to the right of the node, 0.8 of the radius each way.
            const double sx = dx - 0.5 * (r - 1), sy = dy + 0.8 * (r - 1);
            covered = std::abs(sx) <= 0.8 * r + 1 && std::abs(sy) <= 0.8 * r + 1;
        }
        if (covered && d < best) {
            best = d;
            found = i;
        }
    }
    return found;
}

PixelClass ClassifyMapPixel(const NetworkCard &card, QRgb pixel, int x, int y, int w, int h,
                            const ViewOptions &view)
{
    const PixelClass p = ClassifyPixel(pixel);
    if ((p == PixelClass::Other || p == PixelClass::Background)
        && NodeCovering(card, x, y, w, h, view) != 0)
        return PixelClass::Node;
    return p;
}

int NearestSectorHandle(const NetworkCard &card, int x, int y, int w, int h)
{
    double best = 1000000.0;
    int found = 0;
    for (int s = 1; s <= card.SectorCount(); ++s) {
        const QPoint p = MapPoint(card.Sectors[size_t(s)].SectorAngle, 1.0f, w, h);
        const double d = std::abs(p.x() - x) + std::abs(p.y() - y);
        if (d < best) {
            best = d;
            found = s;
        }
    }
    return best > 5.0 ? 0 : found;
}

int LineAt(const NetworkCard &card, int x, int y, QRgb pixel, int w, int h)
{
    const QRgb p = pixel & RGB_MASK;
    // Lines are few colours and many lines: compare the stroke colour by palette index.
    std::array<bool, PaletteSize + 1> colorMatches{};
    bool any = false;
    for (int k = 0; k <= PaletteSize; ++k) {
        colorMatches[size_t(k)] = colors().lines[size_t(k)] == p;
        any = any || colorMatches[size_t(k)];
    }
    if (!any)
        return 0;
    // A colour index outside 0..8 is stroked gray, like index 0.
    auto matches = [&](int lineColor) {
        return colorMatches[size_t(lineColor >= 0 && lineColor <= PaletteSize ? lineColor : 0)];
    };

    // No upper limit: a steep line (both ends in one pixel column) can have an error far
    // above any fixed start value and must still be found when the pixel says it is there.
    double best = std::numeric_limits<double>::infinity();
    int found = 0;
    // Each end's pixel is worked out once, however many lines meet there.
    std::vector<QPoint> points(size_t(card.NodeCount() + 1));
    std::vector<bool> known(points.size());
    auto pointOf = [&](int node) {
        if (!known[size_t(node)]) {
            const Node &n = card.Nodes[size_t(node)];
            points[size_t(node)] = MapPoint(n.Angle, n.Distance, w, h);
            known[size_t(node)] = true;
        }
        return points[size_t(node)];
    };
    for (int l = 1; l <= card.LineCount(); ++l) {
        const Line &line = card.Lines[size_t(l)];
        if (!matches(line.LineColor))
            continue;
        if (line.A < 0 || line.A > card.NodeCount() || line.B < 0 || line.B > card.NodeCount())
            continue;
        const QPoint p1 = pointOf(line.A);
        const QPoint p2 = pointOf(line.B);
        double dx = x - p1.x();
        double run = p2.x() - p1.x();
        if (dx == 0)
            dx = 0.000001;
        if (run == 0)
            run = 0.000001;
        const double error = std::abs(y - (dx / run * (p2.y() - p1.y()) + p1.y()));
        if (error < best) {
            best = error;
            found = l;
        }
    }
    return found;
}

} // namespace korvalo

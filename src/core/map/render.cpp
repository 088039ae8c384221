#include "core/map/render.h"

#include "core/map/drawingbasics.h"
#include "core/map/geometry.h"
#include "core/map/linedrawing.h"
#include "core/map/nodestamps.h"
#include "core/map/textcache.h"
#include "core/model/textutil.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace korvalo {

namespace {

// Node radii come from files and input boxes and may be anything an int holds; beyond a
// million pixels a node covers any map there is.
constexpr int maxNodeBaseSize = 1 << 20;

QColor rgb(QRgb value)
{
    return QColor::fromRgb(value);
}

// Clockwise screen angle of the ray from the centre to p, in degrees.
double rayAngle(QPoint centre, QPoint p)
{
    const int dx = p.x() - centre.x();
    const int dy = p.y() - centre.y();
    if (dx == 0 && dy == 0)
        return 0;
    return std::atan2(double(dy), double(dx)) * 180.0 / std::numbers::pi;
}

class CardPainter
{
public:
    CardPainter(QImage &target, const NetworkModel &model, const NetworkCard &card,
                const ViewOptions &view)
        : m_image(target), m_painter(&target), m_model(model), m_card(card), m_view(view), m_w(target.width()),
          m_h(target.height()), m_centre(MapCentre(m_w, m_h)), m_radius(MapRadius(m_w, m_h))
    {
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::TextAntialiasing, false);
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        m_directPixels = target.format() == QImage::Format_RGB32
                        || target.format() == QImage::Format_ARGB32
                        || target.format() == QImage::Format_ARGB32_Premultiplied;
    }

    void draw();

private:
    QPoint point(float angle, float distance) const { return MapPoint(angle, distance, m_w, m_h); }
    int nodeRadius(const QString &word) const
    {
        return NodeRadius(word, std::clamp(m_view.NodeBaseSize, -maxNodeBaseSize, maxNodeBaseSize));
    }
    // Positions of nodes 0..NodeCount, worked out once per redraw: lines, nodes and
    // labels all need them.
    QPoint nodePoint(int i) const { return m_points[size_t(i)]; }
    void sectorWedges();
    void circles();
    void boundaryLines();
    void sectorLabels();
    void lines();
    void nodes();
    void ego();
    void nodeLabels();

    QImage &m_image;
    QPainter m_painter;
    const NetworkModel &m_model;
    const NetworkCard &m_card;
    const ViewOptions &m_view;
    int m_w, m_h;
    QPoint m_centre;
    int m_radius;
    std::vector<QPoint> m_points;
    // The image takes 32-bit pixels written straight in, and node pictures drawn over it
    // come out exactly as drawn directly.
    bool m_directPixels = false;
};

void CardPainter::draw()
{
    m_points.reserve(m_card.Nodes.size());
    for (const Node &n : m_card.Nodes)
        m_points.push_back(point(n.Angle, n.Distance));
    const bool hasNodes = m_card.NodeCount() >= 1;
    if (m_view.ColorSectors1)
        sectorWedges();
    circles();
    if (m_view.Show1)
        boundaryLines();
    if (m_view.ShowSectorLabels1)
        sectorLabels();
    if (hasNodes)
        lines();
    if (hasNodes && m_view.Show2)
        nodes();
    ego();
    if (hasNodes) {
        nodeLabels();
        if (m_view.ShowEgoCard1) {
            m_painter.setPen(Qt::black);
            DrawMapText(m_painter, 10, 10, m_model.ego.Name % u'-' % m_card.ID, 12, 0);
        }
    }
}

void CardPainter::sectorWedges()
{
    const QRect disc(m_centre.x() - m_radius, m_centre.y() - m_radius, 2 * m_radius,
                     2 * m_radius);
    m_painter.setPen(SolidPen(qRgb(255, 255, 255), 1));
    for (int s = 1; s <= m_card.SectorCount(); ++s) {
        const Sector &sector = m_card.Sectors[size_t(s)];
        m_painter.setBrush(rgb(LightenedColor(PaletteColor(sector.SectorColor))));
        if (m_card.SectorCount() == 1) {
            m_painter.drawEllipse(disc);
            continue;
        }
        // Two sectors on one boundary: the first covers nothing (a pie between two equal
        // rays would otherwise come out as the whole disc and hide its neighbours).
        const float span = SectorSpan(m_card, s);
        if (span <= 0)
            continue;
        const Sector &next = m_card.Sectors[size_t(NextSector(m_card, s))];
        const double from = rayAngle(m_centre, point(sector.SectorAngle, 1));
        const double to = rayAngle(m_centre, point(next.SectorAngle, 1));
        double clockwise = std::fmod(to - from, 360.0);
        if (clockwise < 0)
            clockwise += 360.0;
        // The rays end on rim pixels, so a sector of nearly 360 degrees can come out as
        // one of nearly none, and a sliver as nearly all; the span decides which it is.
        if (clockwise - span > 180)
            clockwise -= 360.0;
        else if (span - clockwise > 180)
            clockwise += 360.0;
        const int span16 = RoundToPixel(clockwise * 16);
        if (span16 <= 0)
            continue;
        // Qt counts angles anticlockwise in 1/16 degree.
        m_painter.drawPie(disc, RoundToPixel(-from * 16), -span16);
    }
}

void CardPainter::circles()
{
    const int n = m_card.Circles;
    if (n < 1)
        return;
    m_painter.setPen(QPen(Qt::black, BoundedPenWidth(m_view.OverlayPenWidth), Qt::DotLine));
    m_painter.setBrush(Qt::NoBrush);
    if (n > m_radius) {
        // Circles closer together than a pixel land on every radius from the first
        // circle's to the last one's; each radius is drawn once, however many circles
        // the card asks for.
        const int last = CircleRadius(m_radius, n, n);
        for (int r = CircleRadius(m_radius, n, 1); r <= last; ++r)
            m_painter.drawEllipse(m_centre, r, r);
        return;
    }
    int previous = -1;
    for (int i = 1; i <= n; ++i) {
        const int r = CircleRadius(m_radius, n, i);
        if (r == previous)
            continue;
        previous = r;
        m_painter.drawEllipse(m_centre, r, r);
    }
}

void CardPainter::boundaryLines()
{
    m_painter.setPen(SolidPen(qRgb(0, 0, 0), 1));
    for (int s = 1; s <= m_card.SectorCount(); ++s)
        m_painter.drawLine(m_centre, point(m_card.Sectors[size_t(s)].SectorAngle, 1));
    if (!m_view.SectorHandles)
        return;
    m_painter.setBrush(rgb(BgrToRgb(SectorHandleColor)));
    for (int s = 1; s <= m_card.SectorCount(); ++s)
        m_painter.drawEllipse(point(m_card.Sectors[size_t(s)].SectorAngle, 1), 5, 5);
}

void CardPainter::sectorLabels()
{
    const int count = m_card.SectorCount();
    constexpr int labelSize = 14;
    // The label is centred by its width measured in its own font.
    const QFontMetrics metrics(MapFontOfSize(labelSize).font);
    m_painter.setPen(Qt::black);
    for (int s = 1; s <= count; ++s) {
        const Sector &sector = m_card.Sectors[size_t(s)];
        // The middle of the wedge the sector owns, with boundaries taken by their place
        // on the circle as membership takes them: a boundary at 360 is the one at 0.
        const float own = AngleOnCircle(sector.SectorAngle);
        float m;
        if (count == 1) {
            m = ToSingle(own + 180.0);
        } else {
            const float next = AngleOnCircle(m_card.Sectors[size_t(NextSector(m_card, s))].SectorAngle);
            if (next == own) {
                // Sharing a boundary: nothing (the label sits on it) or the whole turn.
                m = ToSingle(own + SectorSpan(m_card, s) / 2.0);
            } else {
                m = ToSingle((double(own) + next) / 2);
                if (next < own)
                    m = ToSingle(m + 180.0);
            }
        }
        if (m > 360)
            m = ToSingle(m - 360.0);

        QString text = sector.SectorName;
        if (m_view.ShowSectorSize1) {
            const double share = double(SectorSpan(m_card, s)) / 360 * 100;
            text += u" [" % FormatFixed(share, 1, m_view.DecimalSeparator) % u']';
        }
        const int width = metrics.horizontalAdvance(text);
        float a = ToSingle(m - width / 12.0);
        if (a < 0)
            a = ToSingle(a + 360.0);
        const QPoint at = point(a, 1);
        DrawMapText(m_painter, at.x(), at.y(), text, labelSize, RoundToPixel(-double(m) - 90));
    }
}

void CardPainter::lines()
{
    QRgb penColor = 0;
    int width = -1;
    for (int l = 1; l <= m_card.LineCount(); ++l) {
        const Line &line = m_card.Lines[size_t(l)];
        if (line.A == 0 || line.B == 0) {
            if (!m_view.ShowLinesToEgo)
                continue;
        } else if (!m_view.ShowLinesBetween) {
            continue;
        }
        // Ends beyond the node table can only come from a damaged model; skip them rather
        // than read outside the card.
        if (line.A < 0 || line.B < 0 || line.A > m_card.NodeCount() || line.B > m_card.NodeCount())
            continue;
        if (!NodeVisible(m_card, line.A, m_view) || !NodeVisible(m_card, line.B, m_view))
            continue;
        const QRgb color = LineStrokeColor(PaletteColor(line.LineColor));
        if (m_directPixels) {
            DrawDirectLine(m_image, nodePoint(line.A), nodePoint(line.B), line.LineSize, color);
            continue;
        }
        if (color != penColor || line.LineSize != width) {
            penColor = color;
            width = line.LineSize;
            m_painter.setPen(SolidPen(color, width));
        }
        m_painter.drawLine(nodePoint(line.A), nodePoint(line.B));
    }
}

void CardPainter::nodes()
{
    for (int i = 1; i <= m_card.NodeCount(); ++i) {
        if (!NodeVisible(m_card, i, m_view))
            continue;
        const Node &node = m_card.Nodes[size_t(i)];
        NodeLook look;
        look.radius = nodeRadius(node.NodeSize);
        look.selected = node.Selected;
        look.group = node.Size > 1;
        if (node.Human == u"FALSE") {
            look.shape = NodeLook::Square;
            look.fill = PaletteColor(node.Color);
        } else if (node.Human == u"TRUE") {
            look.shape = NodeLook::Circle;
            int color = node.Color;
            if (m_view.Sex1) {
                color = 7;
                if (node.Sex == u"female")
                    color = 1;
                else if (node.Sex == u"male")
                    color = 3;
            }
            look.fill = PaletteColor(color);
        }
        // Only the four symbols draw anything; other texts need no pictures of their own.
        const bool drawable = node.Symbol == u"flash" || node.Symbol == u"triangle"
                              || node.Symbol == u"box" || node.Symbol == u"diamond";
        if (drawable && !m_view.IgnoreSymbols1)
            look.symbol = node.Symbol;
        const QPoint p = nodePoint(i);
        if (m_directPixels && look.radius >= 1 && look.radius <= MaxStampRadius) {
            const NodeStamp &stamp = NodeStampFor(look, p);
            if (!stamp.image.isNull())
                m_painter.drawImage(p + stamp.offset, stamp.image);
        } else {
            DrawNode(m_painter, look, p.x(), p.y());
        }
    }
}

void CardPainter::ego()
{
    if (m_card.EgoNode != u"none") {
        const int r = nodeRadius(m_card.EgoNode);
        m_painter.setPen(SolidPen(qRgb(0, 0, 0), 1));
        m_painter.setBrush(rgb(PaletteColor(m_card.EgoColor)));
        m_painter.drawEllipse(point(0, 0), r, r);
    }
    if (m_view.ShowEgoLabel1) {
        m_painter.setPen(Qt::black);
        DrawMapText(m_painter, RoundToPixel(m_w / 2.0 - 14), RoundToPixel(m_h / 2.0 - 10),
                    QStringLiteral("Ego"), 16, 0);
    }
}

void CardPainter::nodeLabels()
{
    m_painter.setPen(Qt::black);
    QString text;
    for (int i = 1; i <= m_card.NodeCount(); ++i) {
        if (!NodeVisible(m_card, i, m_view))
            continue;
        const Node &node = m_card.Nodes[size_t(i)];
        text.clear();
        if (m_view.ShowID1)
            text += u'[' % node.ID % u"] ";
        if (m_view.ShowLabels1)
            text += node.Label;
        if (m_view.ShowRoles1)
            text += u" (" % node.Role % u')';
        text = TrimBlanks(text);
        if (m_view.ShowGroupSize1 && node.Size > 1)
            text += u'{' % QString::number(node.Size) % u'}';
        if (m_view.ShowNodeNr1)
            text += u" {" % QString::number(i) % u'}';
        text = TrimBlanks(text);
        if (text.isEmpty())
            continue;
        const int r = nodeRadius(node.NodeSize);
        const QPoint p = nodePoint(i);
        DrawMapText(m_painter, p.x() + r + 1, p.y() - RoundToPixel(r / 2.0), text,
                    m_view.LabelFontSize, 0);
    }
}

} // namespace

bool NodeVisible(const NetworkCard &card, int node, const ViewOptions &view)
{
    const QString &symbol = card.Nodes[size_t(node)].Symbol;
    if (symbol.isEmpty())
        return view.ShowWithoutSymbol1;
    if (symbol == u"flash")
        return view.Show4;
    if (symbol == u"triangle")
        return view.ShowTriangle1;
    if (symbol == u"box")
        return view.ShowBox1;
    if (symbol == u"diamond")
        return view.ShowDiamond1;
    return true;
}

void RenderCard(QImage &target, const NetworkModel &model, int card, const ViewOptions &view)
{
    if (target.isNull())
        return;
    {
        QPainter clear(&target);
        clear.fillRect(target.rect(), Qt::white);
    }
    if (card < 1 || card > model.CardCount())
        return;
    CardPainter painter(target, model, model.card(card), view);
    painter.draw();
}

} // namespace korvalo

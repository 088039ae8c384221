#include "core/map/render.h"

#include "core/map/drawingbasics.h"
#include "core/map/geometry.h"
#include "core/map/linedrawing.h"
#include "core/map/nodestamps.h"
#include "core/map/textcache.h"
#include "core/model/textutil.h"

#include <QDataStream>
#include <QIODevice>
#include <QFontMetrics>
#include <QPaintEngine>
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
    // `image` is the painter's device when it is a map image drawn pixel-exact, so that
    // lines and nodes may be written into it directly; null for any other device.
    CardPainter(QPainter &painter, QImage *image, QSize mapSize, const NetworkModel &model, int cardNumber,
                const ViewOptions &view)
        : m_image(image), m_painter(painter), m_model(model), m_cardNumber(cardNumber),
          m_card(model.card(cardNumber)), m_view(view), m_w(mapSize.width()), m_h(mapSize.height()),
          m_centre(MapCentre(m_w, m_h)), m_radius(MapRadius(m_w, m_h))
    {
        m_painter.setRenderHint(QPainter::Antialiasing, view.Smooth);
        m_painter.setRenderHint(QPainter::TextAntialiasing, view.Smooth);
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform, view.Smooth);
        m_directPixels = !view.Smooth && image
                         && (image->format() == QImage::Format_RGB32
                             || image->format() == QImage::Format_ARGB32
                             || image->format() == QImage::Format_ARGB32_Premultiplied);
        // Antialiased, a one-pixel outline at whole coordinates would straddle two pixels;
        // half a pixel on puts every shape on the pixels the exact drawing fills.
        if (view.Smooth)
            m_painter.translate(0.5, 0.5);
        // Smooth nodes on a map image are copied from pictures as the exact ones are, when
        // the image's pixels are the map's scaled evenly.
        m_deviceTransform = m_painter.transform();
        m_smoothStamps = view.Smooth && m_painter.paintEngine()->type() == QPaintEngine::Raster
                         && m_painter.deviceTransform() == m_deviceTransform
                         && m_deviceTransform.type() <= QTransform::TxScale
                         && m_deviceTransform.m11() == m_deviceTransform.m22();
        // The painter strokes a thousand smooth lines slowly; on a map image they are
        // blended in directly.
        QPaintDevice *device = m_painter.device();
        if (m_smoothStamps && device->devType() == QInternal::Image
            && static_cast<QImage *>(device)->format() == QImage::Format_RGB32)
            m_smoothImage = static_cast<QImage *>(device);
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
    void background();
    bool cachedBackground();
    void sectorWedges();
    void circles();
    void boundaryLines();
    void sectorLabels();
    void lines();
    void nodes();
    void ego();
    void nodeLabels();
    void text(int x, int y, const QString &text, int size, int rotation);
    // The pen of straight lines. Smooth, their ends are square: an exact line covers its
    // end pixels, and a painter strokes square-ended lines far faster than round-ended ones.
    QPen straightPen(QRgb color, int width) const
    {
        QPen pen = SolidPen(color, width);
        if (m_view.Smooth)
            pen.setCapStyle(Qt::SquareCap);
        return pen;
    }

    QImage *m_image;
    QPainter &m_painter;
    const NetworkModel &m_model;
    int m_cardNumber;
    const NetworkCard &m_card;
    const ViewOptions &m_view;
    int m_w, m_h;
    QPoint m_centre;
    int m_radius;
    std::vector<QPoint> m_points;
    // The image takes 32-bit pixels written straight in, and node pictures drawn over it
    // come out exactly as drawn directly.
    bool m_directPixels = false;
    bool m_smoothStamps = false;
    QImage *m_smoothImage = nullptr;
    QTransform m_deviceTransform;
};

void CardPainter::draw()
{
    m_points.reserve(m_card.Nodes.size());
    for (const Node &n : m_card.Nodes)
        m_points.push_back(point(n.Angle, n.Distance));
    const bool hasNodes = m_card.NodeCount() >= 1;
    if (!m_smoothStamps || !cachedBackground())
        background();
    if (hasNodes)
        lines();
    if (hasNodes && m_view.Show2)
        nodes();
    ego();
    if (hasNodes) {
        nodeLabels();
        if (m_view.ShowEgoCard1) {
            m_painter.setPen(Qt::black);
            text(10, 10, CardTitle(m_model, m_cardNumber, m_view.HideNames), 12, 0);
        }
    }
}

void CardPainter::background()
{
    if (m_view.ColorSectors1)
        sectorWedges();
    circles();
    if (m_view.Show1)
        boundaryLines();
    if (m_view.ShowSectorLabels1)
        sectorLabels();
}

// Smooth sectors, circles and sector labels cost more than all the rest and change far
// less often (never while a node is dragged or the pointer hovers): the last background
// drawn is kept per thread, with everything it was drawn from, and copied while that holds.
bool CardPainter::cachedBackground()
{
    QPaintDevice *device = m_painter.device();
    if (device->devType() != QInternal::Image)
        return false;
    const QImage &target = *static_cast<QImage *>(device);
    const qreal scale = m_deviceTransform.m11();
    const QSize pixels(qRound(m_w * scale), qRound(m_h * scale));
    // Only a map that fills the image from its top-left corner.
    if (target.format() != QImage::Format_RGB32 || target.size() != pixels
        || !qFuzzyCompare(m_deviceTransform.dx(), 0.5 * scale) || !qFuzzyCompare(m_deviceTransform.dy(), 0.5 * scale))
        return false;

    QByteArray key;
    {
        QDataStream out(&key, QIODevice::WriteOnly);
        out << m_w << m_h << scale << m_card.Circles << m_view.ColorSectors1 << m_view.Show1 << m_view.SectorHandles
            << m_view.ShowSectorLabels1 << m_view.ShowSectorSize1 << m_view.OverlayPenWidth << m_view.DecimalSeparator;
        for (int s = 1; s <= m_card.SectorCount(); ++s) {
            const Sector &sector = m_card.Sectors[size_t(s)];
            out << sector.SectorAngle << sector.SectorName << sector.SectorColor;
        }
    }
    struct Background
    {
        QByteArray key;
        QImage image;
    };
    thread_local Background kept;
    if (kept.key != key || kept.image.size() != pixels) {
        kept.key.clear();
        kept.image = QImage(pixels, QImage::Format_RGB32);
        if (kept.image.isNull())
            return false;
        kept.image.fill(Qt::white);
        QPainter painter(&kept.image);
        painter.scale(scale, scale);
        CardPainter(painter, nullptr, QSize(m_w, m_h), m_model, m_cardNumber, m_view).background();
        kept.key = key;
    }
    m_painter.resetTransform();
    m_painter.drawImage(0, 0, kept.image);
    m_painter.setTransform(m_deviceTransform);
    return true;
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
    m_painter.setPen(straightPen(qRgb(0, 0, 0), 1));
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
        this->text(at.x(), at.y(), text, labelSize, RoundToPixel(-double(m) - 90));
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
            DrawDirectLine(*m_image, nodePoint(line.A), nodePoint(line.B), line.LineSize, color);
            continue;
        }
        if (m_smoothImage) {
            DrawSmoothLine(*m_smoothImage, m_deviceTransform.map(QPointF(nodePoint(line.A))),
                           m_deviceTransform.map(QPointF(nodePoint(line.B))),
                           std::clamp(line.LineSize, 1, MaxPenWidth) * m_deviceTransform.m11(), color);
            continue;
        }
        if (color != penColor || line.LineSize != width) {
            penColor = color;
            width = line.LineSize;
            m_painter.setPen(straightPen(color, width));
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
            continue;
        }
        if (m_smoothStamps && look.radius >= 1) {
            QPoint pixel;
            const NodeStamp *stamp = SmoothNodeStampFor(look, p, m_deviceTransform.map(QPointF(p)),
                                                        m_deviceTransform.m11(), &pixel);
            if (stamp) {
                if (!stamp->image.isNull()) {
                    m_painter.resetTransform();
                    m_painter.drawImage(pixel + stamp->offset, stamp->image);
                    m_painter.setTransform(m_deviceTransform);
                }
                continue;
            }
        }
        DrawNode(m_painter, look, p.x(), p.y());
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
        text(RoundToPixel(m_w / 2.0 - 14), RoundToPixel(m_h / 2.0 - 10), QStringLiteral("Ego"), 16, 0);
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
        // IDs and roles may carry names as well as the labels: only the number is left.
        if (m_view.HideNames)
            text = QString::number(i);
        const int r = nodeRadius(node.NodeSize);
        const QPoint p = nodePoint(i);
        this->text(p.x() + r + 1, p.y() - RoundToPixel(r / 2.0), text, m_view.LabelFontSize, 0);
    }
}

void CardPainter::text(int x, int y, const QString &text, int size, int rotation)
{
    if (m_view.Smooth)
        DrawSmoothMapText(m_painter, QPointF(x - 0.5, y - 0.5), text, size, rotation); // undo the shapes' half pixel
    else
        DrawMapText(m_painter, x, y, text, size, rotation);
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
    QPainter painter(&target);
    if (view.Smooth) {
        // Drawn at the image's device pixel ratio: the map keeps its size in pixels of the
        // screen's layout and every line and letter is as sharp as the screen allows. The
        // ratio is the painter's own scale while drawing, so that the pictures kept of
        // labels and nodes are made in device pixels.
        painter.end();
        const qreal ratio = target.devicePixelRatio();
        const QSize mapSize = target.deviceIndependentSize().toSize();
        target.setDevicePixelRatio(1);
        painter.begin(&target);
        painter.scale(ratio, ratio);
        PaintCard(painter, mapSize, model, card, view);
        painter.end();
        target.setDevicePixelRatio(ratio);
        return;
    }
    CardPainter cardPainter(painter, &target, target.size(), model, card, view);
    cardPainter.draw();
}

void PaintCard(QPainter &painter, QSize mapSize, const NetworkModel &model, int card, const ViewOptions &view)
{
    painter.save();
    const QRect map(QPoint(0, 0), mapSize);
    painter.setClipRect(map, Qt::IntersectClip);
    painter.fillRect(map, Qt::white);
    if (card >= 1 && card <= model.CardCount()) {
        ViewOptions smooth = view;
        smooth.Smooth = true;
        CardPainter cardPainter(painter, nullptr, mapSize, model, card, smooth);
        cardPainter.draw();
    }
    painter.restore();
}

QString CardTitle(const NetworkModel &model, int card, bool hideNames)
{
    if (hideNames)
        return QStringLiteral("Card %1").arg(card);
    if (card < 1 || card > model.CardCount())
        return QString();
    return model.ego.Name % u'-' % model.card(card).ID;
}

} // namespace korvalo

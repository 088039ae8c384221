#include "core/map/render.h"

#include "core/map/geometry.h"
#include "core/model/textutil.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace korvalo {

namespace {

int roundInt(double value)
{
    return int(RoundHalfEven(value));
}

// Sizes come from files and input boxes and may be anything an int holds. Each is
// bounded where it is drawn, at a size past which nothing more of the map could change:
// pen widths and node radii beyond a million pixels cover any map there is, and labels
// are drawn at most 4096 pixels high.
constexpr int maxPenWidth = 1 << 20;
constexpr int maxNodeBaseSize = 1 << 20;
constexpr int maxTextSize = 4096;

// Creating a QFont and resolving "Arial" costs far more than drawing a short label, and
// a capacity card draws a thousand of them per redraw; so the fonts are kept per size.
// Rotation is done by the painter's transform, not by the font.
struct MapFont
{
    QFont font;
    int ascent = 0;
};

// A text as the glyph rasteriser drew it, cut to its ink. Rotated text is the expensive
// part of a redraw: FreeType keeps only a few rotations, so the fifty sector labels are
// rasterised anew every time, and the thousand node labels are shaped anew. A text drawn
// at a whole-pixel origin lands on the same pixels wherever it is put, so drawing it once
// into a small image and copying that gives exactly what drawing it directly would.
struct TextRaster
{
    QImage image; // premultiplied ARGB; alpha 0 or 255 since the font is not antialiased
    QPoint offset; // of the image's top-left from the text's top-left corner
};

struct TextKey
{
    QString text;
    int size;
    int rotation;
    QRgb color;
    bool operator==(const TextKey &) const = default;
};

size_t qHash(const TextKey &key, size_t seed)
{
    return qHashMulti(seed, key.text, key.size, key.rotation, key.color);
}

// Fonts and text rasters of this thread, kept between redraws.
struct TextCaches
{
    QHash<int, MapFont> fonts;
    QHash<TextKey, TextRaster> texts;
    qsizetype textBytes = 0;
};

TextCaches &textCaches();

const MapFont &mapFont(int size)
{
    QHash<int, MapFont> &fonts = textCaches().fonts;
    auto it = fonts.constFind(size);
    if (it != fonts.constEnd())
        return *it;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(size);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // The mouse reads pixel colours; grey fringes around glyphs would be neither text nor
    // anything else the map knows.
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferDefaultHinting);
    MapFont entry{font, QFontMetrics(font).ascent()};
    return *fonts.insert(size, entry);
}

// Texts above this em height are not kept; a label blown up to fill the map is rare and
// its raster would be megabytes.
constexpr int maxCachedTextSize = 200;

// Em height in pixels for a requested text size; 0 means nothing is drawn.
int textPixelSize(int size)
{
    return size < 0 ? (size < -maxTextSize ? maxTextSize : -size) : std::min(size, maxTextSize);
}

// A raster this large (a very long label turned on its side) is drawn directly instead.
constexpr qint64 maxRasterPixels = 4'000'000;

// Null image and `direct` set when the text is better drawn straight onto the map.
TextRaster rasteriseText(const QString &text, const MapFont &font, int rotation, const QColor &color,
                         bool *direct)
{
    QTransform turn;
    turn.rotate(-rotation);
    const QFontMetrics metrics(font.font);
    // Generous room for overhanging glyphs, then the ink is cut out below.
    const int margin = metrics.height();
    const QRect box(-margin, -margin, metrics.horizontalAdvance(text) + 2 * margin,
                    metrics.height() + 2 * margin);
    const QRect bounds = turn.mapRect(box).adjusted(-2, -2, 2, 2);
    *direct = qint64(bounds.width()) * bounds.height() > maxRasterPixels;
    if (*direct)
        return {};

    QImage canvas(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setPen(color);
        painter.setFont(font.font);
        painter.translate(-bounds.left(), -bounds.top());
        painter.rotate(-rotation);
        painter.drawText(0, font.ascent, text);
    }
    int left = canvas.width(), right = -1, top = canvas.height(), bottom = -1;
    for (int y = 0; y < canvas.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(row[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return {};
    const QRect ink(QPoint(left, top), QPoint(right, bottom));
    return {canvas.copy(ink), bounds.topLeft() + ink.topLeft()};
}

TextCaches &textCaches()
{
    thread_local TextCaches caches;
    // Fonts must not outlive the application object; the main thread's caches go with it.
    static const bool cleanupRegistered = [] {
        qAddPostRoutine([] { textCaches() = TextCaches(); });
        return true;
    }();
    Q_UNUSED(cleanupRegistered);
    return caches;
}

// The raster of a text, or null when it is to be drawn directly.
const TextRaster *cachedText(const QString &text, int size, int rotation, const QColor &color)
{
    // A full card's labels take a few megabytes; beyond the limit the cache starts afresh.
    constexpr qsizetype maxBytes = 16 * 1024 * 1024;
    TextCaches &caches = textCaches();
    TextKey key{text, size, rotation, color.rgba()};
    auto it = caches.texts.constFind(key);
    if (it != caches.texts.constEnd())
        return &*it;
    bool direct = false;
    TextRaster raster = rasteriseText(text, mapFont(size), rotation, color, &direct);
    if (direct)
        return nullptr;
    if (caches.textBytes > maxBytes) {
        caches.texts.clear();
        caches.textBytes = 0;
    }
    caches.textBytes += raster.image.sizeInBytes() + text.size() * 2 + 64;
    return &*caches.texts.insert(key, std::move(raster));
}

QColor rgb(QRgb value)
{
    return QColor::fromRgb(value);
}

int penWidth(int width)
{
    return std::clamp(width, 0, maxPenWidth);
}

QPen solidPen(QRgb color, int width)
{
    QPen pen(rgb(color), penWidth(width), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return pen;
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

// A line straight into the image, both ends included: at every step along its longer
// axis a run of pixels across it, as long as the line's width measured that way (width
// times length over the longer axis's extent), centred on the midpoint-rounded track.
// Qt blends stroked lines pixel by pixel (one-pixel lines) or goes through a path
// (wider ones), which took most of a capacity card's redraw. The ends are square to the
// longer axis; nodes cover them. The work is bounded by the image, however far outside
// it the ends lie.
void drawDirectLine(QImage &image, QPoint from, QPoint to, int width, QRgb color)
{
    const QRgb pixel = 0xFF000000 | color;
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    QRgb *bits = reinterpret_cast<QRgb *>(image.bits());
    // Anything wider than the largest map covers it all the same.
    width = std::clamp(width, 1, maxPenWidth);
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

// Everything that decides how a node looks, apart from where it stands.
struct NodeLook
{
    enum Shape { None, Circle, Square };
    Shape shape = None;
    int radius = 0;
    QRgb fill = 0;
    bool selected = false;
    bool group = false;
    QString symbol; // empty when symbols are not drawn

    bool operator==(const NodeLook &) const = default;
};

void drawNode(QPainter &painter, const NodeLook &look, int x, int y)
{
    const int r = look.radius;
    const std::array<QPoint, 3> marks{
        QPoint(roundInt(x + r / 4.0), roundInt(y - r / 4.0)),
        QPoint(roundInt(x - r / 4.0), roundInt(y - r / 4.0)),
        QPoint(x, roundInt(y + r / 4.0)),
    };
    painter.setPen(solidPen(qRgb(0, 0, 0), look.selected ? 2 : 1));
    painter.setBrush(rgb(look.fill));
    if (look.shape == NodeLook::Square) {
        const int b = roundInt(0.85 * r);
        painter.drawRect(x - b, y - b, 2 * b, 2 * b);
        if (look.group) {
            const int mark = roundInt(b / 3.0);
            for (const QPoint &c : marks)
                painter.drawRect(c.x() - mark, c.y() - mark, 2 * mark, 2 * mark);
        }
    } else if (look.shape == NodeLook::Circle) {
        painter.drawEllipse(QPoint(x, y), r, r);
        if (look.group) {
            const int mark = roundInt(r / 3.0);
            for (const QPoint &c : marks)
                painter.drawEllipse(c, mark, mark);
        }
    }
    DrawSymbol(painter, roundInt(x + 0.5 * r), roundInt(y - 0.8 * r), r, look.symbol, false);
}

// Node pictures, like the text rasters: a node drawn at whole pixels covers the same
// pixels wherever it stands, except that its marks and symbol round half-way offsets to
// even, so a picture serves all positions of the same parity.
struct NodeStampKey
{
    NodeLook look;
    int parity;
    bool operator==(const NodeStampKey &) const = default;
};

size_t qHash(const NodeStampKey &key, size_t seed)
{
    return qHashMulti(seed, int(key.look.shape), key.look.radius, key.look.fill,
                      key.look.selected, key.look.group, key.look.symbol, key.parity);
}

struct NodeStamp
{
    QImage image;
    QPoint offset; // of the image's top-left from the node's centre
};

// Nodes bigger than this are drawn directly.
constexpr int maxStampRadius = 64;

int parityOf(QPoint p)
{
    return (p.x() & 1) | ((p.y() & 1) << 1);
}

QPoint stampOrigin(int parity, int margin)
{
    return QPoint(margin + (parity & 1), margin + ((parity >> 1) & 1));
}

const NodeStamp &nodeStampFor(const NodeLook &look, int parity)
{
    constexpr qsizetype maxBytes = 16 * 1024 * 1024;
    thread_local QHash<NodeStampKey, NodeStamp> stamps;
    thread_local qsizetype bytes = 0;
    const NodeStampKey key{look, parity};
    auto it = stamps.constFind(key);
    if (it != stamps.constEnd())
        return *it;
    if (bytes > maxBytes) {
        stamps.clear();
        bytes = 0;
    }
    // The symbol reaches 1.6 r above and 1.3 r right of the centre; outlines one more.
    const int margin = 2 * look.radius + 4;
    QImage canvas(2 * margin + 2, 2 * margin + 2, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    const QPoint origin = stampOrigin(parity, margin);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing, false);
        drawNode(painter, look, origin.x(), origin.y());
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
    m_painter.setPen(solidPen(qRgb(255, 255, 255), 1));
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
        const int span16 = roundInt(clockwise * 16);
        if (span16 <= 0)
            continue;
        // Qt counts angles anticlockwise in 1/16 degree.
        m_painter.drawPie(disc, roundInt(-from * 16), -span16);
    }
}

void CardPainter::circles()
{
    const int n = m_card.Circles;
    if (n < 1)
        return;
    m_painter.setPen(QPen(Qt::black, penWidth(m_view.OverlayPenWidth), Qt::DotLine));
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
    m_painter.setPen(solidPen(qRgb(0, 0, 0), 1));
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
    const QFontMetrics metrics(mapFont(labelSize).font);
    m_painter.setPen(Qt::black);
    for (int s = 1; s <= count; ++s) {
        const Sector &sector = m_card.Sectors[size_t(s)];
        float m;
        if (count == 1) {
            m = ToSingle(sector.SectorAngle + 180.0);
        } else {
            const float next = m_card.Sectors[size_t(NextSector(m_card, s))].SectorAngle;
            m = ToSingle((double(sector.SectorAngle) + next) / 2);
            if (next < sector.SectorAngle)
                m = ToSingle(m + 180.0);
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
        DrawMapText(m_painter, at.x(), at.y(), text, labelSize, roundInt(-double(m) - 90));
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
            drawDirectLine(m_image, nodePoint(line.A), nodePoint(line.B), line.LineSize, color);
            continue;
        }
            if (color != penColor || line.LineSize != width) {
            penColor = color;
            width = line.LineSize;
            m_painter.setPen(solidPen(color, width));
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
        if (m_directPixels && look.radius >= 1 && look.radius <= maxStampRadius) {
            const NodeStamp &stamp = nodeStampFor(look, parityOf(p));
            if (!stamp.image.isNull())
                m_painter.drawImage(p + stamp.offset, stamp.image);
        } else {
            drawNode(m_painter, look, p.x(), p.y());
        }
    }
}

void CardPainter::ego()
{
    if (m_card.EgoNode != u"none") {
        const int r = nodeRadius(m_card.EgoNode);
        m_painter.setPen(solidPen(qRgb(0, 0, 0), 1));
        m_painter.setBrush(rgb(PaletteColor(m_card.EgoColor)));
        m_painter.drawEllipse(point(0, 0), r, r);
    }
    if (m_view.ShowEgoLabel1) {
        m_painter.setPen(Qt::black);
        DrawMapText(m_painter, roundInt(m_w / 2.0 - 14), roundInt(m_h / 2.0 - 10),
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
        DrawMapText(m_painter, p.x() + r + 1, p.y() - roundInt(r / 2.0), text,
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

void DrawSymbol(QPainter &painter, int x, int y, int size, const QString &symbol, bool boxed)
{
    painter.setPen(solidPen(qRgb(0, 0, 0), 1));
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
        points[size_t(k)] = QPoint(roundInt(x + shape[k][0] * size), roundInt(y + shape[k][1] * size));
    painter.setBrush(QColor::fromRgb(0x80, 0x80, 0x80));
    painter.drawPolygon(points.data(), count);
}

void DrawMapText(QPainter &painter, int x, int y, const QString &text, int size, int rotation)
{
    const int pixels = textPixelSize(size);
    if (text.isEmpty() || pixels == 0)
        return;
    rotation %= 360;
    // A scaled or turned painter (a preview) draws directly, as the rasters hold device
    // pixels; so does a text too big to be worth keeping.
    const bool plainPainter = painter.transform().type() <= QTransform::TxTranslate;
    const TextRaster *raster = plainPainter && pixels <= maxCachedTextSize
                                   ? cachedText(text, pixels, rotation, painter.pen().color())
                                   : nullptr;
    if (raster) {
        if (!raster->image.isNull())
            painter.drawImage(QPoint(x, y) + raster->offset, raster->image);
        return;
    }
    const MapFont &font = mapFont(pixels);
    const QTransform saved = painter.transform();
    painter.setFont(font.font);
    painter.translate(x, y);
    painter.rotate(-rotation);
    painter.drawText(0, font.ascent, text);
    painter.setTransform(saved);
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

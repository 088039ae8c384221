#include "builders.h"
#include "core/analysis/compare.h"
#include "core/egofile/egofile.h"
#include "core/map/comparerender.h"
#include "core/map/geometry.h"
#include "core/map/vectorexport.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>

#include <array>
#include <cmath>
#include <functional>

using namespace korvalo;
using namespace Qt::StringLiterals;

// The compare view on the rendered picture: an arrow for the kept alter that moved and
// none for those that stayed, a ghost where each lost alter was, a star by each new one,
// and nothing of these colours anywhere else but in the legend.
class TestCompareRender : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void marksWhereTheChangeIs();
    // The compare view as SVG and PDF: the legend as text, the marks in their colours
    // where the change is, one page, and no names when they are hidden.
    void vectorPictures();
    // The legend goes to the corner where it hides least of the map, the same in the
    // picture and in the SVG; top right when that corner is free.
    void legendHidesLeastOfTheMap();
    // At a device pixel ratio of 2 the marks land on the alters as the map draws them.
    void marksFollowTheMapAtAnyRatio();
};

namespace {

constexpr int W = 850;
constexpr int H = 750;

QPoint placeOf(const NetworkModel &model, int card, int node)
{
    const Node &n = model.card(card).Nodes[size_t(node)];
    return MapPoint(n.Angle, n.Distance, W, H);
}

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    const double t = len2 == 0 ? 0 : std::clamp(QPointF::dotProduct(p - a, ab) / len2, 0.0, 1.0);
    const QPointF q = a + t * ab - p;
    return std::hypot(q.x(), q.y());
}

// The pixels of `colour` outside the legend that `allowed` does not explain, and how many
// it does explain.
std::pair<int, int> colourPixels(const QImage &image, QRgb colour, const std::function<bool(QPoint)> &allowed,
                                 QRect legend)
{
    int stray = 0;
    int placed = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour && !legend.contains(x, y))
                ++(allowed(QPoint(x, y)) ? placed : stray);
    return {stray, placed};
}

} // namespace

void TestCompareRender::marksWhereTheChangeIs()
{
    const NetworkModel model = compareExampleModel();
    const CardComparison c = CompareCards(model, 1, 2);
    QImage image(W, H, QImage::Format_RGB32);
    RenderCompare(image, model, c, ViewOptions());
    const QRect legend = CompareLegendPlace(model, c, ViewOptions(), QSize(W, H));

    // The later card is what is drawn: F (new on card 2) in card 2's node colour.
    const QPoint f = placeOf(model, 2, 5);
    QCOMPARE(image.pixel(f), PaletteColor(2));

    // One arrow, from A's place on card 1 to a's on card 2; B, CARL and E stayed put.
    const QPoint from = placeOf(model, 1, 1);
    const QPoint to = placeOf(model, 2, 1);
    auto [stray, placed] = colourPixels(image, CompareArrowColor, [&](QPoint p) {
        return distanceToSegment(p, from, to) <= 5;
    }, legend);
    QCOMPARE(stray, 0);
    QVERIFY2(placed >= (to - from).manhattanLength() / 2, qPrintable(QString::number(placed)));
    QCOMPARE(image.pixel((from + to) / 2 + QPoint(0, 0)) == CompareArrowColor
                 || image.pixel((from + to) / 2 + QPoint(1, 0)) == CompareArrowColor
                 || image.pixel((from + to) / 2 + QPoint(0, 1)) == CompareArrowColor,
             true);

    // A ghost for each lost alter (D and the second e of card 1), where it was.
    const QList<QPoint> ghosts = {placeOf(model, 1, 4), placeOf(model, 1, 6)};
    for (const QPoint &g : ghosts) {
        const QRect box(g - QPoint(12, 12), QSize(25, 25));
        const auto [outside, inside] =
            colourPixels(image, CompareGhostColor, [&](QPoint p) { return box.contains(p); }, legend);
        QVERIFY2(inside >= 20, qPrintable(QString::number(inside)));
        Q_UNUSED(outside);
    }
    std::tie(stray, placed) = colourPixels(image, CompareGhostColor, [&](QPoint p) {
        return std::any_of(ghosts.begin(), ghosts.end(), [&](QPoint g) { return (p - g).manhattanLength() <= 24; });
    }, legend);
    QCOMPARE(stray, 0);

    // A star by F, the only new alter.
    std::tie(stray, placed) = colourPixels(image, CompareStarColor, [&](QPoint p) {
        return (p - f).manhattanLength() <= 32;
    }, legend);
    QCOMPARE(stray, 0);
    QVERIFY(placed >= 10);

    // The legend holds its samples and black text.
    int arrow = 0, ghost = 0, star = 0, black = 0;
    for (int y = legend.top(); y <= legend.bottom(); ++y) {
        for (int x = legend.left(); x <= legend.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            arrow += p == CompareArrowColor;
            ghost += p == CompareGhostColor;
            star += p == CompareStarColor;
            black += p == qRgb(0, 0, 0);
        }
    }
    QVERIFY(arrow > 0 && ghost > 0 && star > 0 && black > 200);

    // Switched off by the symbol filters, the new alter loses its star with its node.
    ViewOptions noPlain;
    noPlain.ShowWithoutSymbol1 = false;
    RenderCompare(image, model, c, noPlain);
    std::tie(stray, placed) = colourPixels(image, CompareStarColor, [](QPoint) { return true; }, legend);
    QCOMPARE(placed, 0);
}

void TestCompareRender::vectorPictures()
{
    const NetworkModel model = compareExampleModel();
    const CardComparison c = CompareCards(model, 1, 2);
    const QByteArray svg = CompareSvg(model, c, ViewOptions(), QSize(W, H));

    QStringList texts;
    QString title;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"text")
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == u"title")
            title = xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(title, u"Carla Compare-Wave 1 to Wave 2"_s);
    for (const QString &legend : {u"kept (moved)"_s, u"lost"_s, u"new"_s, u"stability 0.667"_s,
                                  u"turnover 0.429"_s, u"Jaccard 0.571"_s, u"size change -1"_s})
        QVERIFY2(texts.contains(legend), qPrintable(legend));

    // Rasterised three times as large, a one-pixel mark has pixels of its own colour.
    constexpr int scale = 3;
    auto raster = [](const QByteArray &document) {
        QImage image(W * scale, H * scale, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QSvgRenderer(document).render(&painter);
        return image;
    };
    const QImage drawn = raster(svg);
    const QImage plain = raster(CardSvg(model, 2, ViewOptions(), QSize(W, H)));
    auto count = [](const QImage &image, QRgb colour, const std::function<bool(QPointF)> &where) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour && where(QPointF(x, y) / scale);
        return n;
    };
    const QRectF legend = CompareLegendPlace(model, c, ViewOptions(), QSize(W, H));
    auto outsideLegend = [&](QPointF p) { return !legend.contains(p); };
    const QPoint from = placeOf(model, 1, 1);
    const QPoint to = placeOf(model, 2, 1);
    auto nearArrow = [&](QPointF p) { return distanceToSegment(p, from, to) <= 5; };
    QVERIFY(count(drawn, CompareArrowColor, nearArrow) >= (to - from).manhattanLength());
    QCOMPARE(count(drawn, CompareArrowColor, [&](QPointF p) { return outsideLegend(p) && !nearArrow(p); }), 0);
    const QPointF f = placeOf(model, 2, 5);
    auto nearF = [&](QPointF p) { return (p - f).manhattanLength() <= 32; };
    QVERIFY(count(drawn, CompareStarColor, nearF) >= 30);
    QCOMPARE(count(drawn, CompareStarColor, [&](QPointF p) { return outsideLegend(p) && !nearF(p); }), 0);
    // Antialiased black makes greys too: the ghosts are the grey the plain card lacks.
    for (const QPoint &g : {placeOf(model, 1, 4), placeOf(model, 1, 6)}) {
        auto nearG = [&](QPointF p) { return (p - QPointF(g)).manhattanLength() <= 24; };
        QVERIFY(count(drawn, CompareGhostColor, nearG) >= count(plain, CompareGhostColor, nearG) + 20);
    }
    for (QRgb colour : {CompareArrowColor, CompareGhostColor, CompareStarColor})
        QVERIFY(count(drawn, colour, [&](QPointF p) { return legend.contains(p); }) > 0);

    // The PDF: one page, titled; hiding names leaves neither the ego's nor the cards'.
    const QByteArray pdf = ComparePdf(model, c, ViewOptions(), QSize(W, H));
    QVERIFY(pdf.startsWith("%PDF-"));
    static const QRegularExpression page(u"/Type\\s*/Page(?![a-zA-Z])"_s);
    QCOMPARE(QString::fromLatin1(pdf).count(page), 1);
    auto utf16 = [](const QString &text) { return QByteArray(QStringEncoder(QStringEncoder::Utf16BE)(text)); };
    QVERIFY(pdf.contains(utf16(u"Carla Compare-Wave 1 to Wave 2"_s)));
    ViewOptions hidden;
    hidden.HideNames = true;
    const QByteArray anonymous = CompareSvg(model, c, hidden, QSize(W, H));
    QVERIFY(anonymous.contains("Card 1 to card 2"));
    QVERIFY(ComparePdf(model, c, hidden, QSize(W, H)).contains(utf16(u"Card 1 to card 2"_s)));
    for (const char *name : {"Carla", "Wave"})
        QVERIFY2(!anonymous.contains(name), name);
}

namespace {

// Two equal cards with `count[i]` alters in corner i of the map (top right, top left,
// bottom right, bottom left), outside the circles. Nothing moved, so the arrow's colour
// is the legend's alone.
NetworkModel cornersModel(std::array<int, 4> count)
{
    NetworkModel model;
    SetupEgo(model, u"Corner Ego"_s, {}, 1, {}, {}, u"K1"_s);
    const float angles[4] = {315, 225, 45, 135};
    for (int card = 1; card <= 2; ++card) {
        AddCard(model, u"Wave %1"_s.arg(card), 5, u"normal"_s, 2, {}, {}, {});
        for (int corner = 0; corner < 4; ++corner)
            for (int i = 0; i < count[size_t(corner)]; ++i)
                AddNode(model, card,
                        alter(angles[corner] + 3.f * i, 1.3f - 0.1f * i, 1, u"N%1%2"_s.arg(corner).arg(i)));
    }
    return model;
}

// The bounds of the pixels of `colour`, in map pixels at `scale` image pixels to one.
QRectF boundsOf(const QImage &image, QRgb colour, int scale = 1)
{
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                found |= QRect(x, y, 1, 1);
    return QRectF(QPointF(found.topLeft()) / scale, QSizeF(found.size()) / scale);
}

} // namespace

void TestCompareRender::legendHidesLeastOfTheMap()
{
    const QSize size(W, H);
    const NetworkModel example = compareExampleModel();
    QCOMPARE(CompareLegendPlace(example, CompareCards(example, 1, 2), ViewOptions(), size),
             CompareLegendRect(size, Qt::TopRightCorner));

    // Three corners taken: the free one. All four: the one with least in it.
    for (const auto &[alters, corner] : {std::pair(std::array{1, 1, 1, 0}, Qt::BottomLeftCorner),
                                         std::pair(std::array{2, 2, 1, 2}, Qt::BottomRightCorner)}) {
        const NetworkModel model = cornersModel(alters);
        const CardComparison c = CompareCards(model, 1, 2);
        const QRectF box = CompareLegendRect(size, corner);
        QImage image(size, QImage::Format_RGB32);
        RenderCompare(image, model, c, ViewOptions());
        QVERIFY(box.contains(boundsOf(image, CompareArrowColor)));
        QImage vector(size * 2, QImage::Format_RGB32);
        vector.fill(Qt::white);
        QPainter painter(&vector);
        QSvgRenderer(CompareSvg(model, c, ViewOptions(), size)).render(&painter);
        QVERIFY(box.contains(boundsOf(vector, CompareArrowColor, 2)));
    }

    // An interview of the examples at the window's first map size: the label of
    // "Neighbour Pilar" reaches into the top right; the legend hides no node or text.
    Result<NetworkModel> read = ReadEgoFile(QStringLiteral(KORVALO_EXAMPLES "/tomas-reyes.ego"));
    QVERIFY(read);
    NetworkModel model = read.value();
    const CardComparison c = CompareCards(model, 1, 2);
    const QSize window(582, 579);
    const QRect legend = CompareLegendPlace(model, c, ViewOptions(), window);
    ViewOptions nodesAndTexts;
    nodesAndTexts.Show1 = nodesAndTexts.ShowLinesBetween = nodesAndTexts.ShowLinesToEgo = false;
    model.card(2).Circles = 0;
    QImage plain(window, QImage::Format_RGB32);
    RenderCard(plain, model, 2, nodesAndTexts);
    QVERIFY(boundsOf(plain.copy(CompareLegendRect(window, Qt::TopRightCorner)), qRgb(0, 0, 0)).isValid());
    QVERIFY(!boundsOf(plain.copy(legend), qRgb(0, 0, 0)).isValid());
}

void TestCompareRender::marksFollowTheMapAtAnyRatio()
{
    constexpr int ratio = 2;
    const NetworkModel model = compareExampleModel();
    const CardComparison c = CompareCards(model, 1, 2);
    ViewOptions smooth;
    smooth.Smooth = true;
    QImage drawn(W * ratio, H * ratio, QImage::Format_RGB32);
    drawn.setDevicePixelRatio(ratio);
    QImage plain = drawn;
    RenderCompare(drawn, model, c, smooth);
    RenderCard(plain, model, 2, smooth);
    const QRect legend = CompareLegendPlace(model, c, smooth, QSize(W, H));
    // The pixels of `colour` that the plain card lacks, outside the legend, from `inner`
    // to `outer` map pixels away from `at`.
    auto count = [&](QRgb colour, QPointF at, double inner, double outer) {
        int n = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                const QPointF p = QPointF(x, y) / ratio;
                const double d = std::hypot(p.x() - at.x(), p.y() - at.y());
                n += drawn.pixel(x, y) == colour && plain.pixel(x, y) != colour && !QRectF(legend).contains(p)
                     && d >= inner && d <= outer;
            }
        return n;
    };
    // The arrow's middle, the lost alters' outlines at their size on the map, F's star.
    QVERIFY(count(CompareArrowColor, QPointF(placeOf(model, 1, 1) + placeOf(model, 2, 1)) / 2, 0, 3) > 0);
    const int radius = NodeRadius(u"normal"_s, smooth.NodeBaseSize);
    for (const QPoint &g : {placeOf(model, 1, 4), placeOf(model, 1, 6)})
        QVERIFY(count(CompareGhostColor, g, radius - 1, radius + 1) >= 20);
    QVERIFY(count(CompareStarColor, placeOf(model, 2, 5) + QPoint(radius, -radius), 0, 6) >= 30);
    // And the legend with its samples, where it belongs.
    const QImage box = drawn.copy(QRect(legend.topLeft() * ratio, legend.size() * ratio));
    for (QRgb colour : {CompareArrowColor, CompareGhostColor, CompareStarColor})
        QVERIFY(boundsOf(box, colour).isValid());
}

QTEST_MAIN(TestCompareRender)
#include "tst_comparerender.moc"

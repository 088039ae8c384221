#include "builders.h"
#include "core/analysis/compare.h"
#include "core/map/comparerender.h"
#include "core/map/geometry.h"
#include "core/map/vectorexport.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>

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
std::pair<int, int> colourPixels(const QImage &image, QRgb colour, const std::function<bool(QPoint)> &allowed)
{
    const QRect legend = CompareLegendRect(W, H);
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

    // The later card is what is drawn: F (new on card 2) in card 2's node colour.
    const QPoint f = placeOf(model, 2, 5);
    QCOMPARE(image.pixel(f), PaletteColor(2));

    // One arrow, from A's place on card 1 to a's on card 2; B, CARL and E stayed put.
    const QPoint from = placeOf(model, 1, 1);
    const QPoint to = placeOf(model, 2, 1);
    auto [stray, placed] = colourPixels(image, CompareArrowColor, [&](QPoint p) {
        return distanceToSegment(p, from, to) <= 5;
    });
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
        const auto [outside, inside] = colourPixels(image, CompareGhostColor, [&](QPoint p) { return box.contains(p); });
        QVERIFY2(inside >= 20, qPrintable(QString::number(inside)));
        Q_UNUSED(outside);
    }
    std::tie(stray, placed) = colourPixels(image, CompareGhostColor, [&](QPoint p) {
        return std::any_of(ghosts.begin(), ghosts.end(), [&](QPoint g) { return (p - g).manhattanLength() <= 24; });
    });
    QCOMPARE(stray, 0);

    // A star by F, the only new alter.
    std::tie(stray, placed) = colourPixels(image, CompareStarColor, [&](QPoint p) {
        return (p - f).manhattanLength() <= 32;
    });
    QCOMPARE(stray, 0);
    QVERIFY(placed >= 10);

    // The legend holds its samples and black text.
    const QRect legend = CompareLegendRect(W, H);
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
    std::tie(stray, placed) = colourPixels(image, CompareStarColor, [](QPoint) { return true; });
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
    const QRectF legend = CompareLegendRect(W, H);
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

QTEST_MAIN(TestCompareRender)
#include "tst_comparerender.moc"

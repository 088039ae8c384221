#include "builders.h"
#include "core/map/geometry.h"
#include "core/map/render.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSet>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

using namespace korvalo;

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb SymbolGrey = 0xFF808080;

// Only what the test puts on the card: no "Ego" text in the middle.
ViewOptions bareView()
{
    ViewOptions view;
    view.ShowEgoLabel1 = false;
    return view;
}

QImage render(const NetworkModel &model, const ViewOptions &view, int w = 400, int h = 400)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red); // anything the clearing misses shows up
    RenderCard(image, model, model.CurrentCard, view);
    return image;
}

QSet<QRgb> coloursIn(const QImage &image, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            colours.insert(image.pixel(x, y));
    return colours;
}

int countColour(const QImage &image, QRgb colour, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

// Smallest rectangle holding every pixel that is not white.
QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != White)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    double t = len2 == 0 ? 0 : QPointF::dotProduct(p - a, ab) / len2;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF q = a + t * ab - p;
    return std::hypot(q.x(), q.y());
}

QString hex(QRgb c)
{
    return QString::number(c & 0xFFFFFF, 16).rightJustified(6, u'0');
}

} // namespace

class TestRender : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void arialIsLiberationSans();
    void noCardLeavesWhite();
    void imageIsNotCapped();
    void colourContract();
    void sectorModeOnlyShowsHandles();
    void emptyCardWithoutCirclesOrSectors();
    void groupOfNonHumans();
    void biggestHumanWithoutMarks();
    void otherHumanValueDrawsNoShape();
    void selectedNodeHasThickerOutline();
    void nodePicturesMatchDirectDrawing();
    void symbolFilterHidesNodeLabelAndLines();
    void hiddenShapesKeepLabelsAndLines();
    void labelTextComposition();
    void sectorSizeInLabel();
    void sectorLabelPositions_data();
    void sectorLabelPositions();
    void sectorWedgesOnSharedBoundary();
    void sexColouring();
    void thinLinesRunFromEndToEnd_data();
    void thinLinesRunFromEndToEnd();
    void wideLines();
    void damagedLineEndsAreSkipped();
    void outlandishValuesAreClipped();
    void denseCirclesCoverEveryRadiusOnce();
    void mapTextIsPlainBlackAndTurns();
    void symbolShapes();
};

void TestRender::arialIsLiberationSans()
{
    // Without fonts-liberation every map text would come out in a fallback font.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
}

void TestRender::noCardLeavesWhite()
{
    NetworkModel model = oneCardModel(7);
    model.CurrentCard = 0;
    const QImage image = render(model, ViewOptions());
    QCOMPARE(coloursIn(image), QSet<QRgb>{White});
    QImage none;
    RenderCard(none, model, 1, ViewOptions()); // a null image is left alone
    QVERIFY(none.isNull());
}

void TestRender::imageIsNotCapped()
{
    // A large map is drawn in full, out to the right-hand rim.
    NetworkModel model = oneCardModel();
    AddNode(model, 1, alter(0, 1, 3));
    const QImage image = render(model, bareView(), 2400, 1900);
    const QPoint node = MapPoint(0, 1, 2400, 1900);
    QVERIFY(node.x() > 2000);
    QCOMPARE(image.pixel(node), PaletteColor(3));
}

void TestRender::colourContract()
{
    // Every colour the mouse looks for appears on its item and nowhere else; everything
    // else is black, white, symbol grey or a lightened sector colour.
    constexpr int w = 700, h = 640;
    NetworkModel model = oneCardModel(5, QStringLiteral("normal"));
    for (int s = 1; s <= 8; ++s)
        AddSector(model, 1, QStringLiteral("Sector %1").arg(s), s, (s - 1) * 45.0f + 10);
    static const char *symbols[] = {"", "flash", "triangle", "box", "diamond"};
    struct Item { QPoint at; int radius; QRgb colour; };
    QList<Item> nodes;
    for (int c = 1; c <= 8; ++c) {
        for (int k = 0; k < 2; ++k) {
            Node n = alter((c - 1) * 45.0f + 20 + k * 15, 0.35f + 0.5f * k, c);
            n.Human = k == 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            n.Label = QStringLiteral("Node %1").arg(c);
            n.Symbol = QString::fromLatin1(symbols[(c + k) % 5]);
            n.Size = c % 3 == 0 ? 3 : 1;
            AddNode(model, 1, n);
            nodes.append({MapPoint(n.Angle, n.Distance, w, h), 10, PaletteColor(c)});
        }
    }
    nodes.append({MapCentre(w, h), 10, PaletteColor(2)}); // the ego
    // Lines of every colour 0..8 from the outer nodes towards the inner ones of the next
    // colour, and one to the ego.
    struct Stroke { QPoint a, b; int width; QRgb colour; };
    QList<Stroke> lines;
    const NetworkCard &card = model.card(1);
    for (int colour = 0; colour <= 8; ++colour) {
        const int a = colour == 8 ? 0 : 2 * (colour % 8) + 2;
        const int b = 2 * ((colour + 1) % 8) + 1;
        AddLine(model, a, b, 1 + colour % 3, colour);
        lines.append({MapPoint(card.Nodes[size_t(a)].Angle, card.Nodes[size_t(a)].Distance, w, h),
                      MapPoint(card.Nodes[size_t(b)].Angle, card.Nodes[size_t(b)].Distance, w, h),
                      1 + colour % 3, LineStrokeColor(PaletteColor(colour))});
    }
    QList<QPoint> handles;
    for (int s = 1; s <= 8; ++s)
        handles.append(MapPoint(card.Sectors[size_t(s)].SectorAngle, 1, w, h));

    ViewOptions view;
    view.ColorSectors1 = true;
    view.ShowSectorSize1 = true;
    view.ShowID1 = view.ShowRoles1 = view.ShowNodeNr1 = view.ShowGroupSize1 = true;
    view.ShowEgoCard1 = true;
    view.SectorHandles = true;
    const QImage image = render(model, view, w, h);

    const QRgb handle = BgrToRgb(SectorHandleColor);
    QSet<QRgb> background{White, Black, SymbolGrey};
    for (int s = 1; s <= 8; ++s)
        background.insert(LightenedColor(PaletteColor(s)));

    // Each item shows its own colour where it stands.
    for (const Item &node : nodes) {
        const QRect box(node.at - QPoint(7, 7), node.at + QPoint(7, 7));
        QVERIFY2(countColour(image, node.colour, box) > 20, qPrintable(hex(node.colour)));
    }
    for (const QPoint &at : handles)
        QCOMPARE(hex(image.pixel(at)), hex(handle));
    for (const Stroke &line : lines) {
        // A few pixels along the middle of the line, where no node lies.
        bool found = false;
        for (double t = 0.4; t <= 0.6 && !found; t += 0.02) {
            const QPointF p = QPointF(line.a) + t * QPointF(line.b - line.a);
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = image.pixel(p.toPoint() + QPoint(dx, dy)) == line.colour;
        }
        QVERIFY2(found, qPrintable(hex(line.colour)));
    }
    // The red line is stroked in 0x0101FF and the silver one in 0xC1C1C1 (blue-green-red).
    QCOMPARE(lines[1].colour, BgrToRgb(0x0101FF));
    QCOMPARE(lines[7].colour, BgrToRgb(0xC1C1C1));

    // ... and nowhere else.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            if (background.contains(c))
                continue;
            const QPointF p(x, y);
            bool explained = false;
            for (const Item &node : nodes)
                explained |= c == node.colour && std::hypot(p.x() - node.at.x(), p.y() - node.at.y()) <= node.radius + 1;
            for (const Stroke &line : lines)
                explained |= c == line.colour && distanceToSegment(p, line.a, line.b) <= line.width;
            for (const QPoint &at : handles)
                explained |= c == handle && std::hypot(p.x() - at.x(), p.y() - at.y()) <= 6;
            QVERIFY2(explained, qPrintable(QStringLiteral("stray colour %1 at %2,%3").arg(hex(c)).arg(x).arg(y)));
        }
    }
}

void TestRender::sectorModeOnlyShowsHandles()
{
    NetworkModel model = oneCardModel();
    AddSector(model, 1, QStringLiteral("A"), 1, 0);
    AddSector(model, 1, QStringLiteral("B"), 2, 180);
    const QRgb handle = BgrToRgb(SectorHandleColor);
    QCOMPARE(countColour(render(model, bareView()), handle), 0);
    ViewOptions handles = bareView();
    handles.SectorHandles = true;
    const int shown = countColour(render(model, handles), handle);
    QVERIFY2(shown > 80 && shown < 2 * 100, qPrintable(QString::number(shown))); // two discs of radius 5 inside their outlines
    ViewOptions noLines = handles;
    noLines.Show1 = false;
    QCOMPARE(countColour(render(model, noLines), handle), 0);
}

void TestRender::emptyCardWithoutCirclesOrSectors()
{
    NetworkModel model = oneCardModel(0);
    QCOMPARE(coloursIn(render(model, bareView())), QSet<QRgb>{White});

    // Nodes, lines and labels still appear.
    Node n = alter(0, 0.5f, 4);
    n.Label = QStringLiteral("Tom");
    AddNode(model, 1, n);
    AddLine(model, 0, 1, 1, 3);
    const QImage image = render(model, ViewOptions());
    const QSet<QRgb> colours = coloursIn(image);
    QVERIFY(colours.contains(PaletteColor(4)));
    QVERIFY(colours.contains(LineStrokeColor(PaletteColor(3))));
    // The label right of the node and "Ego" at the centre, and nothing dotted around.
    const QPoint at = MapPoint(0, 0.5f, 400, 400);
    QVERIFY(countColour(image, Black, QRect(at.x() + 11, at.y() - 5, 40, 14)) > 10);
    QVERIFY(countColour(image, Black, QRect(186, 190, 30, 20)) > 10);
    QCOMPARE(countColour(image, Black, QRect(0, 0, 400, 150)), 0);
}

void TestRender::groupOfNonHumans()
{
    // Radius 10: a square of half side 8 (8.5 to even), three marks of half side 3.
    NetworkModel model = oneCardModel();
    Node n = alter(0, 0, 6);
    n.Human = QStringLiteral("FALSE");
    n.Size = 3;
    AddNode(model, 1, n);
    const QImage image = render(model, bareView());
    const QPoint c = MapCentre(400, 400);
    QCOMPARE(inkBounds(image), QRect(c - QPoint(8, 8), c + QPoint(8, 8)));
    // The lower mark, centred at (x, y + 2.5 rounded to 2), has its bottom edge 3 below.
    QCOMPARE(image.pixel(c + QPoint(0, 5)), Black);
    QCOMPARE(image.pixel(c + QPoint(0, 6)), PaletteColor(6));
    QCOMPARE(image.pixel(c + QPoint(0, -1)), Black); // bottom edge of the upper marks
    // The same node alone has an unbroken fill inside its outline.
    model.card(1).Nodes[1].Size = 1;
    const QImage single = render(model, bareView());
    QCOMPARE(countColour(single, PaletteColor(6)), 15 * 15);
}

void TestRender::biggestHumanWithoutMarks()
{
    NetworkModel model = oneCardModel();
    Node n = alter(0, 0, 5);
    n.NodeSize = QStringLiteral("biggest");
    AddNode(model, 1, n);
    const QImage image = render(model, bareView());
    const QPoint c = MapCentre(400, 400);
    QCOMPARE(inkBounds(image), QRect(c - QPoint(20, 20), c + QPoint(20, 20)));
    const QRect inside(c - QPoint(13, 13), c + QPoint(13, 13));
    QCOMPARE(countColour(image, Black, inside), 0);
    // A group of the same size gets its marks.
    model.card(1).Nodes[1].Size = 2;
    QVERIFY(countColour(render(model, bareView()), Black, inside) > 20);
}

void TestRender::otherHumanValueDrawsNoShape()
{
    NetworkModel model = oneCardModel();
    AddNode(model, 1, alter(0, 0.5f, 3));
    model.card(1).Nodes[1].Human = QStringLiteral("true");
    model.card(1).Nodes[1].Symbol = QStringLiteral("box");
    const QSet<QRgb> colours = coloursIn(render(model, bareView()));
    QVERIFY(!colours.contains(PaletteColor(3)));
    QVERIFY(colours.contains(SymbolGrey)); // the symbol still comes
}

void TestRender::selectedNodeHasThickerOutline()
{
    NetworkModel model = oneCardModel();
    AddNode(model, 1, alter(0, 0, 3));
    const int thin = countColour(render(model, bareView()), Black);
    model.card(1).Nodes[1].Selected = true;
    const int thick = countColour(render(model, bareView()), Black);
    QVERIFY2(thick > thin * 3 / 2, qPrintable(QStringLiteral("%1 vs %2").arg(thick).arg(thin)));
}

void TestRender::nodePicturesMatchDirectDrawing()
{
    // 32-bit images get nodes as kept pictures, other formats have them drawn shape by
    // shape; both must give the same pixels, at odd and even positions alike.
    NetworkModel model = oneCardModel(0, QStringLiteral("bigger"));
    static const char *symbols[] = {"", "flash", "triangle", "box", "diamond"};
    static const char *sizes[] = {"smallest", "smaller", "normal", "bigger", "biggest"};
    for (int i = 0; i < 60; ++i) {
        Node n = alter(i * 6.1f, 0.25f + (i % 7) * 0.1f, i % 8 + 1);
        n.Human = i % 3 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        n.Symbol = QString::fromLatin1(symbols[i % 5]);
        n.NodeSize = QString::fromLatin1(sizes[(i / 5) % 5]);
        n.Size = i % 4 == 0 ? 3 : 1;
        AddNode(model, 1, n);
        model.card(1).Nodes.back().Selected = i % 6 == 0;
    }
    ViewOptions view = bareView();
    view.NodeBaseSize = 11; // odd radii put the marks and symbols on half pixels
    view.ShowLabels1 = false;
    QImage stamped(500, 460, QImage::Format_RGB32);
    RenderCard(stamped, model, 1, view);
    QImage direct(500, 460, QImage::Format_RGB888);
    RenderCard(direct, model, 1, view);
    QCOMPARE(direct.convertToFormat(QImage::Format_RGB32), stamped);
}

void TestRender::symbolFilterHidesNodeLabelAndLines()
{
    NetworkModel model = oneCardModel(0, QStringLiteral("normal"));
    Node plain = alter(0, 0.6f, 1);
    plain.Label = QStringLiteral("Plain");
    Node flash = alter(120, 0.6f, 3);
    flash.Symbol = QStringLiteral("flash");
    Node box = alter(240, 0.6f, 4);
    box.Symbol = QStringLiteral("box");
    AddNode(model, 1, plain);
    AddNode(model, 1, flash);
    AddNode(model, 1, box);
    AddLine(model, 1, 2, 1, 5); // touches the plain node
    AddLine(model, 2, 3, 1, 6);
    AddLine(model, 0, 3, 1, 8); // to the ego

    ViewOptions view = bareView();
    view.ShowWithoutSymbol1 = false;
    const QImage image = render(model, view);
    const QSet<QRgb> colours = coloursIn(image);
    QVERIFY(!colours.contains(PaletteColor(1)));
    QVERIFY(!colours.contains(LineStrokeColor(PaletteColor(5))));
    QVERIFY(!colours.contains(LineStrokeColor(PaletteColor(8))));
    QVERIFY(colours.contains(LineStrokeColor(PaletteColor(6))));
    QVERIFY(colours.contains(PaletteColor(3)) && colours.contains(PaletteColor(4)));
    QVERIFY(colours.contains(PaletteColor(2))); // the ego disc itself stays
    const QPoint at = MapPoint(0, 0.6f, 400, 400);
    QCOMPARE(countColour(image, Black, QRect(at.x() + 11, at.y() - 5, 40, 14)), 0);

    // Symbol filters are exact: "Box" is no "box" and stays visible.
    model.card(1).Nodes[3].Symbol = QStringLiteral("Box");
    view = bareView();
    view.ShowBox1 = false;
    QVERIFY(coloursIn(render(model, view)).contains(PaletteColor(4)));
    QVERIFY(!NodeVisible(model.card(1), 2, [] { ViewOptions v; v.Show4 = false; return v; }()));
}

void TestRender::hiddenShapesKeepLabelsAndLines()
{
    NetworkModel model = oneCardModel();
    Node a = alter(0, 0.5f, 1);
    a.Label = QStringLiteral("Anna");
    a.Symbol = QStringLiteral("triangle");
    AddNode(model, 1, a);
    AddNode(model, 1, alter(180, 0.5f, 3));
    AddLine(model, 1, 2, 1, 4);
    ViewOptions view = bareView();
    view.Show2 = false;
    const QImage image = render(model, view);
    const QSet<QRgb> colours = coloursIn(image);
    QVERIFY(!colours.contains(PaletteColor(1)) && !colours.contains(PaletteColor(3)));
    QVERIFY(!colours.contains(SymbolGrey));
    QVERIFY(colours.contains(LineStrokeColor(PaletteColor(4))));
    const QPoint at = MapPoint(0, 0.5f, 400, 400);
    QVERIFY(countColour(image, Black, QRect(at.x() + 11, at.y() - 5, 40, 14)) > 10);
}

void TestRender::labelTextComposition()
{
    // The label of a node with every switch on equals the plain label spelled out, and
    // with every switch off nothing is written, groups included.
    auto card = [](bool spelledOut) {
        NetworkModel model = oneCardModel();
        for (int i = 1; i <= 12; ++i) {
            Node n = alter(i * 30.0f, 0.7f, 1);
            if (i == 12) {
                n.ID = QStringLiteral("P7");
                n.Role = QStringLiteral("friend");
                n.Size = 3;
            }
            n.Label = spelledOut ? (i == 12 ? QStringLiteral("[P7] Neighbour (friend){3} {12}")
                                            : QStringLiteral("[]  () {%1}").arg(i))
                                 : (i == 12 ? QStringLiteral("Neighbour") : QString());
            AddNode(model, 1, n);
        }
        return model;
    };
    ViewOptions all = bareView();
    all.ShowID1 = all.ShowRoles1 = all.ShowGroupSize1 = all.ShowNodeNr1 = true;
    ViewOptions labelsOnly = bareView();
    const QImage composed = render(card(false), all);
    QCOMPARE(composed, render(card(true), labelsOnly));

    ViewOptions none = bareView();
    none.ShowLabels1 = false;
    const NetworkModel plain = card(false);
    const QImage unlabelled = render(plain, none);
    NetworkModel noText = card(false);
    noText.card(1).Nodes[12].Label.clear();
    QCOMPARE(unlabelled, render(noText, labelsOnly));
    QCOMPARE(countColour(unlabelled, Black) < countColour(composed, Black), true);
}

void TestRender::sectorSizeInLabel()
{
    auto card = [](bool named) {
        NetworkModel model = oneCardModel();
        const QStringList names{QStringLiteral("Family"), QStringLiteral("Work"),
                                QStringLiteral("Friends"), QStringLiteral("Other")};
        for (int s = 0; s < 4; ++s)
            AddSector(model, 1, named ? names[s] + QStringLiteral(" [25.0]") : names[s], s + 1, s * 90.0f);
        return model;
    };
    ViewOptions sized = bareView();
    sized.ShowSectorSize1 = true;
    QCOMPARE(render(card(false), sized), render(card(true), bareView()));
    // The decimal separator of the run is used.
    ViewOptions comma = sized;
    comma.DecimalSeparator = u',';
    QVERIFY(render(card(false), comma) != render(card(false), sized));
}

void TestRender::sectorLabelPositions_data()
{
    QTest::addColumn<QList<float>>("sectors");
    QTest::addColumn<QList<float>>("centres");
    QTest::newRow("halves") << QList<float>{0, 180} << QList<float>{90, 270};
    QTest::newRow("one sector, opposite its boundary") << QList<float>{30} << QList<float>{210};
    QTest::newRow("across zero") << QList<float>{300, 60} << QList<float>{0, 180};
    // 360 and 0 are one boundary: the first owns the wedge up to 90, the second nothing.
    QTest::newRow("360 beside 0") << QList<float>{360, 0, 90} << QList<float>{45, 0, 225};
    QTest::newRow("outside the circle") << QList<float>{400, -180} << QList<float>{110, 290};
}

void TestRender::sectorLabelPositions()
{
    // Each label's ink sits on the rim, roughly centred on its mid angle.
    QFETCH(QList<float>, sectors);
    QFETCH(QList<float>, centres);
    NetworkModel model = oneCardModel();
    for (float a : sectors)
        AddSector(model, 1, QStringLiteral("Acquaintances"), 1, a);
    ViewOptions view = bareView();
    view.Show1 = false;
    const QImage image = render(model, view, 500, 500);
    const int radius = MapRadius(500, 500);
    QList<QPointF> sums(centres.size());
    QList<int> counts(centres.size());
    for (int y = 0; y < 500; ++y) {
        for (int x = 0; x < 500; ++x) {
            if (image.pixel(x, y) != Black)
                continue;
            const float d = DistanceAt(x, y, 500, 500);
            QVERIFY2(d > 1 - 20.0 / radius && d < 1.01, qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
            const float a = AngleAt(x, y, 500, 500);
            int nearest = 0;
            for (int k = 1; k < centres.size(); ++k) {
                auto gap = [a](float c) { return std::abs(std::remainder(a - c, 360.0f)); };
                if (gap(centres[k]) < gap(centres[nearest]))
                    nearest = k;
            }
            sums[nearest] += QPointF(std::cos(a * M_PI / 180), std::sin(a * M_PI / 180));
            ++counts[nearest];
        }
    }
    for (int k = 0; k < centres.size(); ++k) {
        QVERIFY(counts[k] > 50);
        double mean = std::atan2(sums[k].y(), sums[k].x()) * 180 / M_PI;
        const double off = std::abs(std::remainder(mean - centres[k], 360.0));
        QVERIFY2(off < 6, qPrintable(QStringLiteral("label %1 centred at %2").arg(k).arg(mean)));
    }
}

void TestRender::sectorWedgesOnSharedBoundary()
{
    // Wedges in lightened colours (red 0x0000FF -> 0x8080FF, teal 0x808000 -> 0xC0C080);
    // a second sector on the first one's boundary must not paint over the whole disc.
    NetworkModel model = oneCardModel();
    AddSector(model, 1, QStringLiteral("A"), 1, 0);
    AddSector(model, 1, QStringLiteral("B"), 8, 180);
    AddSector(model, 1, QStringLiteral("C"), 3, 180);
    ViewOptions view = bareView();
    view.ColorSectors1 = true;
    view.ShowSectorLabels1 = false;
    const QImage image = render(model, view);
    QCOMPARE(hex(image.pixel(MapPoint(90, 0.5f, 400, 400))), hex(BgrToRgb(0x8080FF)));
    QCOMPARE(hex(image.pixel(MapPoint(270, 0.5f, 400, 400))), hex(BgrToRgb(0xC0C080)));
    QVERIFY(!coloursIn(image).contains(LightenedColor(PaletteColor(3))));
    // One sector fills the whole disc.
    NetworkModel single = oneCardModel();
    AddSector(single, 1, QStringLiteral("All"), 4, 77);
    const QImage disc = render(single, view);
    for (float a : {0.0f, 100.0f, 150.0f, 300.0f})
        QCOMPARE(disc.pixel(MapPoint(a, 0.9f, 400, 400)), LightenedColor(PaletteColor(4)));
    QCOMPARE(disc.pixel(2, 2), White);
    // Boundaries a hundredth of a degree apart: the wide sector is coloured all round,
    // though both boundaries fall on the same pixel of the rim.
    NetworkModel near = oneCardModel();
    AddSector(near, 1, QStringLiteral("Sliver"), 1, 0);
    AddSector(near, 1, QStringLiteral("Rest"), 4, 0.01f);
    const QImage wide = render(near, view);
    for (float a : {1.0f, 90.0f, 180.0f, 270.0f, 359.0f})
        QCOMPARE(hex(wide.pixel(MapPoint(a, 0.5f, 400, 400))), hex(LightenedColor(PaletteColor(4))));
    QVERIFY(!coloursIn(wide).contains(LightenedColor(PaletteColor(1))));
}

void TestRender::sexColouring()
{
    NetworkModel model = oneCardModel();
    Node female = alter(0, 0.5f, 8);
    female.Sex = QStringLiteral("female");
    Node male = alter(90, 0.5f, 4);
    male.Sex = QStringLiteral("male");
    Node unknown = alter(180, 0.5f, 4);
    Node thing = alter(270, 0.5f, 6);
    thing.Human = QStringLiteral("FALSE");
    thing.Sex = QStringLiteral("female");
    for (const Node &n : {female, male, unknown, thing})
        AddNode(model, 1, n);
    auto colourOf = [](const QImage &image, float angle) {
        return image.pixel(MapPoint(angle, 0.5f, 400, 400) + QPoint(-3, 3));
    };
    ViewOptions view = bareView();
    view.Sex1 = true;
    const QImage bySex = render(model, view);
    QCOMPARE(colourOf(bySex, 0), PaletteColor(1));
    QCOMPARE(colourOf(bySex, 90), PaletteColor(3));
    QCOMPARE(colourOf(bySex, 180), PaletteColor(7));
    QCOMPARE(colourOf(bySex, 270), PaletteColor(6));
    const QImage own = render(model, bareView());
    QCOMPARE(colourOf(own, 0), PaletteColor(8));
    QCOMPARE(colourOf(own, 90), PaletteColor(4));
    QCOMPARE(model.card(1).Nodes[1].Color, 8);
}

void TestRender::thinLinesRunFromEndToEnd_data()
{
    QTest::addColumn<float>("angleA");
    QTest::addColumn<float>("distanceA");
    QTest::addColumn<float>("angleB");
    QTest::addColumn<float>("distanceB");
    QTest::newRow("shallow") << 10.0f << 0.9f << 170.0f << 0.6f;
    QTest::newRow("steep, upwards") << 80.0f << 0.9f << 265.0f << 0.7f;
    QTest::newRow("diagonal") << 45.0f << 0.8f << 225.0f << 0.8f;
    QTest::newRow("vertical") << 90.0f << 0.5f << 270.0f << 0.5f;
    QTest::newRow("one end far outside") << 30.0f << 0.5f << 200.0f << 100000.0f;
    QTest::newRow("both ends outside") << 80.0f << 3.0f << 250.0f << 5.0f;
}

void TestRender::thinLinesRunFromEndToEnd()
{
    // One pixel of the line for every step along its longer axis, inside the image.
    QFETCH(float, angleA);
    QFETCH(float, distanceA);
    QFETCH(float, angleB);
    QFETCH(float, distanceB);
    NetworkModel model = oneCardModel();
    AddNode(model, 1, alter(angleA, distanceA));
    AddNode(model, 1, alter(angleB, distanceB));
    AddLine(model, 1, 2, 1, 3);
    ViewOptions view = bareView();
    view.Show2 = false;
    view.ShowLabels1 = false;
    const QImage image = render(model, view);
    const QRgb colour = LineStrokeColor(PaletteColor(3));
    const QPoint a = MapPoint(angleA, distanceA, 400, 400);
    const QPoint b = MapPoint(angleB, distanceB, 400, 400);
    const bool steep = qAbs(b.y() - a.y()) > qAbs(b.x() - a.x());
    if (image.rect().contains(a))
        QCOMPARE(image.pixel(a), colour);
    if (image.rect().contains(b))
        QCOMPARE(image.pixel(b), colour);
    int total = 0;
    for (int major = 0; major < 400; ++major) {
        int count = 0;
        for (int minor = 0; minor < 400; ++minor)
            count += image.pixel(steep ? minor : major, steep ? major : minor) == colour;
        QVERIFY(count <= 1);
        total += count;
    }
    QCOMPARE(total, countColour(image, colour));
    QVERIFY(total > 0);
    // Every coloured pixel lies on the line.
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            if (image.pixel(x, y) == colour)
                QVERIFY(distanceToSegment(QPointF(x, y), a, b) < 1);
}

void TestRender::wideLines()
{
    // A line is as thick as its LineSize across its direction, and a line between two
    // nodes on the same pixel still shows as a dot of that size.
    NetworkModel model = oneCardModel();
    AddNode(model, 1, alter(0, 0.8f));   // right of the centre
    AddNode(model, 1, alter(180, 0.8f)); // left
    AddNode(model, 1, alter(45, 0.8f));
    AddNode(model, 1, alter(45, 0.8f));
    AddLine(model, 1, 2, 3, 3);
    AddLine(model, 0, 3, 3, 4);
    AddLine(model, 3, 4, 5, 5);
    ViewOptions view = bareView();
    view.Show2 = false;
    view.ShowLabels1 = false;
    const QImage image = render(model, view);
    const QPoint c = MapCentre(400, 400);
    const QRgb horizontal = LineStrokeColor(PaletteColor(3));
    for (int x : {c.x() - 100, c.x() + 50})
        QCOMPARE(countColour(image, horizontal, QRect(x, c.y() - 10, 1, 21)), 3);
    const QRgb diagonal = LineStrokeColor(PaletteColor(4));
    const QPoint mid = MapPoint(45, 0.4f, 400, 400);
    QCOMPARE(countColour(image, diagonal, QRect(mid.x(), mid.y() - 10, 1, 21)), 4); // 3 * sqrt 2
    const QPoint dot = MapPoint(45, 0.8f, 400, 400);
    QCOMPARE(countColour(image, LineStrokeColor(PaletteColor(5))), 25);
    QCOMPARE(image.pixel(dot), LineStrokeColor(PaletteColor(5)));
}

void TestRender::damagedLineEndsAreSkipped()
{
    NetworkModel model = oneCardModel();
    AddNode(model, 1, alter(0, 0.5f, 1));
    model.card(1).Lines.push_back(Line{1, 7, 1, 3});
    model.card(1).Lines.push_back(Line{-1, 1, 1, 3});
    QVERIFY(!coloursIn(render(model, bareView())).contains(LineStrokeColor(PaletteColor(3))));
}

void TestRender::outlandishValuesAreClipped()
{
    // Sizes are taken as entered and files may hold anything; the map is drawn with
    // whatever fits into the image and keeps to its colours.
    const QList<std::function<void(NetworkModel &, ViewOptions &)>> tweaks{
        [](NetworkModel &, ViewOptions &v) { v.NodeBaseSize = -10; },
        [](NetworkModel &, ViewOptions &v) { v.NodeBaseSize = 0; },
        [](NetworkModel &, ViewOptions &v) { v.NodeBaseSize = 100000; },
        [](NetworkModel &, ViewOptions &v) { v.LabelFontSize = 0; },
        [](NetworkModel &, ViewOptions &v) { v.LabelFontSize = -12; },
        [](NetworkModel &, ViewOptions &v) { v.LabelFontSize = 2000; },
        [](NetworkModel &, ViewOptions &v) { v.OverlayPenWidth = -1; },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Circles = 1000000; },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Circles = -3; },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Lines[1].LineSize = -5; },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Lines[1].LineSize = 100000; },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Nodes[1].Distance = 1e30f; },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Nodes[1].Distance = std::numeric_limits<float>::quiet_NaN(); },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Nodes[1].Angle = std::numeric_limits<float>::infinity(); },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Sectors[1].SectorAngle = std::numeric_limits<float>::quiet_NaN(); },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Sectors[2].SectorAngle = -1e30f; },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Nodes[2].Size = 2000000000; },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Sectors[1].SectorName = QString(5000, u'W'); },
        // The largest whole numbers a file or an input box can hold
        [](NetworkModel &m, ViewOptions &) { m.card(1).Circles = std::numeric_limits<int>::max(); },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Lines[1].LineSize = std::numeric_limits<int>::max(); },
        [](NetworkModel &m, ViewOptions &) { m.card(1).Nodes[2].Size = std::numeric_limits<int>::max(); },
        [](NetworkModel &, ViewOptions &v) { v.NodeBaseSize = std::numeric_limits<int>::max(); },
        [](NetworkModel &, ViewOptions &v) { v.LabelFontSize = std::numeric_limits<int>::max(); },
        [](NetworkModel &, ViewOptions &v) { v.LabelFontSize = std::numeric_limits<int>::min(); },
        [](NetworkModel &, ViewOptions &v) { v.OverlayPenWidth = std::numeric_limits<int>::max(); },
    };
    QSet<QRgb> allowed{White, Black, SymbolGrey};
    for (int c = 0; c <= 8; ++c)
        allowed << PaletteColor(c) << LineStrokeColor(PaletteColor(c)) << LightenedColor(PaletteColor(c));
    for (qsizetype k = 0; k < tweaks.size(); ++k) {
        NetworkModel model = oneCardModel(7, QStringLiteral("normal"));
        AddSector(model, 1, QStringLiteral("A"), 1, 0);
        AddSector(model, 1, QStringLiteral("B"), 3, 100);
        Node n = alter(30, 0.5f, 4);
        n.Label = QStringLiteral("Label");
        n.Symbol = QStringLiteral("flash");
        AddNode(model, 1, n);
        n.Angle = 200;
        n.Size = 3;
        AddNode(model, 1, n);
        AddLine(model, 1, 2, 1, 1);
        AddLine(model, 0, 1, 2, 8);
        ViewOptions view;
        view.ColorSectors1 = true;
        tweaks[k](model, view);
        const QSet<QRgb> colours = coloursIn(render(model, view));
        QVERIFY2((colours - allowed).isEmpty(), qPrintable(QStringLiteral("case %1").arg(k)));
        // Images Qt's painter draws into alone (no direct pixel writes)
        QImage other(200, 150, QImage::Format_RGB16);
        RenderCard(other, model, 1, view);
    }
}

void TestRender::denseCirclesCoverEveryRadiusOnce()
{
    // Circles closer together than a pixel: however many a file asks for, the map shows
    // the same rings, and a redraw takes no longer than for a few thousand.
    NetworkModel model = oneCardModel(5000);
    const QImage some = render(model, bareView());
    for (int circles : {std::numeric_limits<int>::max(), 1000000000}) {
        model.card(1).Circles = circles;
        QCOMPARE(render(model, bareView()), some);
    }
    QVERIFY(countColour(some, Black) > 1000);
}

void TestRender::mapTextIsPlainBlackAndTurns()
{
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        DrawMapText(painter, 100, 100, QStringLiteral("Wg"), 20, 0);
        DrawMapText(painter, 100, 100, QString(), 20, 0);
    }
    QCOMPARE(coloursIn(image), (QSet<QRgb>{White, Black}));
    const QRect flat = inkBounds(image);
    QVERIFY(flat.left() >= 100 && flat.top() >= 100 && flat.width() > flat.height());

    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        DrawMapText(painter, 100, 100, QStringLiteral("Wg"), 20, 90); // reads upwards
    }
    QCOMPARE(coloursIn(image), (QSet<QRgb>{White, Black}));
    const QRect up = inkBounds(image);
    QVERIFY(up.bottom() <= 100 && up.left() >= 100 && up.height() > up.width());

    // The same text drawn twice (from the raster cache) and a text straight through a
    // turned painter give the same pixels as drawing it fresh.
    QImage direct(200, 200, QImage::Format_RGB32), cached(200, 200, QImage::Format_RGB32);
    for (int rotation : {0, -37, -200}) {
        direct.fill(Qt::white);
        cached.fill(Qt::white);
        {
            QPainter painter(&direct);
            QFont font(QStringLiteral("Arial"));
            font.setPixelSize(14);
            font.setStyleStrategy(QFont::NoAntialias);
            painter.setFont(font);
            painter.translate(90, 110);
            painter.rotate(-rotation);
            painter.drawText(0, QFontMetrics(font).ascent(), QStringLiteral("Neighbours [16.7]"));
        }
        for (int k = 0; k < 2; ++k) {
            cached.fill(Qt::white);
            QPainter painter(&cached);
            painter.setPen(Qt::black);
            DrawMapText(painter, 90, 110, QStringLiteral("Neighbours [16.7]"), 14, rotation);
        }
        QCOMPARE(cached, direct);
    }
}

void TestRender::symbolShapes()
{
    // Each symbol is a grey polygon with a black outline inside its size box; unknown
    // names draw nothing; boxed adds the white square with its outline.
    for (const char *name : {"flash", "triangle", "box", "diamond"}) {
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            DrawSymbol(painter, 50, 50, 20, QString::fromLatin1(name), false);
        }
        QCOMPARE(coloursIn(image), (QSet<QRgb>{White, Black, SymbolGrey}));
        const QRect ink = inkBounds(image);
        QVERIFY2(QRect(30, 30, 41, 41).contains(ink), name);
    }
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawSymbol(painter, 50, 50, 20, QStringLiteral("Triangle"), false);
    }
    QCOMPARE(inkBounds(image), QRect());
    {
        QPainter painter(&image);
        DrawSymbol(painter, 50, 50, 20, QStringLiteral("diamond"), true);
    }
    QCOMPARE(inkBounds(image), QRect(30, 30, 41, 41));
    // Triangle with size 10 at (50, 50): apex (50, 42), base from (44, 56) to (56, 56).
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawSymbol(painter, 50, 50, 10, QStringLiteral("triangle"), false);
    }
    const QRect triangle = inkBounds(image);
    QVERIFY(QRect(QPoint(44, 42), QPoint(56, 56)).contains(triangle));
    QCOMPARE(triangle.top(), 42);
    QCOMPARE(triangle.bottom(), 56);
    QVERIFY(triangle.width() >= 12);
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    TestRender test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_render.moc"

#include "core/map/geometry.h"

#include <QTest>

#include <initializer_list>

using namespace korvalo;

namespace {

NetworkCard cardWithSectors(std::initializer_list<float> angles)
{
    NetworkCard card;
    int n = 0;
    for (float a : angles)
        card.Sectors.push_back(Sector{a, QStringLiteral("S%1").arg(++n), n});
    return card;
}

} // namespace

class TestGeometry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void centreAndRadius_data();
    void centreAndRadius();
    void mapPoint_data();
    void mapPoint();
    void angleAt_data();
    void angleAt();
    void distanceAt();
    void circles();
    void roundTripThroughPixels();
    void sectorMembership_data();
    void sectorMembership();
    void nextSectorAndSpan_data();
    void nextSectorAndSpan();
    void spansSumTo360();
    void lookupsWithoutSectors();
    void sectorAtPixelAndNode();
    void nodesInSectorAndByName();
};

void TestGeometry::centreAndRadius_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<int>("radius");
    QTest::newRow("600x500: 237.5 rounds to even 238") << 600 << 500 << QPoint(300, 250) << 238;
    QTest::newRow("563x540: 256.5 rounds to even 256") << 563 << 540 << QPoint(282, 270) << 256;
    QTest::newRow("565x541: 280.5 and 270.5 round down") << 565 << 541 << QPoint(282, 270) << 257;
    QTest::newRow("portrait uses the width") << 400 << 900 << QPoint(200, 450) << 190;
    QTest::newRow("850x750 default map") << 850 << 750 << QPoint(425, 375) << 356;
}

void TestGeometry::centreAndRadius()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QTEST(MapCentre(w, h), "centre");
    QTEST(MapRadius(w, h), "radius");
}

void TestGeometry::mapPoint_data()
{
    QTest::addColumn<float>("angle");
    QTest::addColumn<float>("distance");
    QTest::addColumn<QPoint>("point");
    QTest::newRow("right, rim") << 0.0f << 1.0f << QPoint(538, 250);
    QTest::newRow("down, half") << 90.0f << 0.5f << QPoint(300, 369);
    QTest::newRow("up, rim") << 270.0f << 1.0f << QPoint(300, 12);
    QTest::newRow("45 degrees, rim") << 45.0f << 1.0f << QPoint(468, 418);
    QTest::newRow("left, rim") << 180.0f << 1.0f << QPoint(62, 250);
    QTest::newRow("centre") << 123.0f << 0.0f << QPoint(300, 250);
    QTest::newRow("beyond the rim") << 0.0f << 1.5f << QPoint(657, 250);
    QTest::newRow("negative angle") << -90.0f << 1.0f << QPoint(300, 12);
    QTest::newRow("angle above 360") << 450.0f << 0.5f << QPoint(300, 369);
}

void TestGeometry::mapPoint()
{
    QFETCH(float, angle);
    QFETCH(float, distance);
    QTEST(MapPoint(angle, distance, 600, 500), "point");
}

void TestGeometry::angleAt_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<float>("angle");
    QTest::newRow("right") << QPoint(400, 250) << 0.0f;
    QTest::newRow("left") << QPoint(200, 250) << 180.0f;
    QTest::newRow("up right") << QPoint(400, 150) << 315.0f;
    QTest::newRow("up left") << QPoint(200, 150) << 225.0f;
    QTest::newRow("down left") << QPoint(200, 350) << 135.0f;
    QTest::newRow("straight up counts as one pixel right") << QPoint(300, 150) << 270.57294f;
    QTest::newRow("straight down counts as one pixel right") << QPoint(300, 350) << 89.42706f;
    QTest::newRow("centre") << QPoint(300, 250) << 0.0f;
    QTest::newRow("just above the right ray stays below 360") << QPoint(500, 249) << 359.71353f;
}

void TestGeometry::angleAt()
{
    QFETCH(QPoint, pixel);
    QFETCH(float, angle);
    const float got = AngleAt(pixel.x(), pixel.y(), 600, 500);
    QVERIFY2(qAbs(got - angle) < 0.0005f, qPrintable(QString::number(got, 'g', 9)));
    QVERIFY(got >= 0 && got < 360);
}

void TestGeometry::distanceAt()
{
    QCOMPARE(DistanceAt(300, 12, 600, 500), 1.0f);
    QCOMPARE(DistanceAt(300, 250, 600, 500), 0.0f);
    QCOMPARE(DistanceAt(419, 250, 600, 500), 0.5f);
    // 3-4-5 triangle: 50 pixels of 238.
    QCOMPARE(DistanceAt(330, 290, 600, 500), float(float(50.0) / 238.0));
}

void TestGeometry::circles()
{
    const QList<int> expected{30, 89, 149, 208};
    for (int i = 1; i <= 4; ++i)
        QCOMPARE(CircleRadius(238, 4, i), expected[i - 1]);
    QCOMPARE(CircleDistance(4, 1), 0.125);
    QCOMPARE(CircleDistance(4, 4), 0.875);
    QCOMPARE(CircleDistance(1, 1), 0.5);
    // 356 / 7 * 0.5 = 25.43, * 6.5 = 330.57
    QCOMPARE(CircleRadius(356, 7, 1), 25);
    QCOMPARE(CircleRadius(356, 7, 7), 331);
}

void TestGeometry::roundTripThroughPixels()
{
    // What the mouse stores when a node is dropped must draw it where it was dropped.
    for (int x = 60; x < 540; x += 37) {
        for (int y = 20; y < 480; y += 29) {
            const float a = AngleAt(x, y, 600, 500);
            const float d = DistanceAt(x, y, 600, 500);
            const QPoint back = MapPoint(a, d, 600, 500);
            if (x == 300) // treated as one pixel to the right
                continue;
            QVERIFY2(qAbs(back.x() - x) <= 1 && qAbs(back.y() - y) <= 1,
                     qPrintable(QStringLiteral("(%1,%2) -> (%3,%4)").arg(x).arg(y).arg(back.x()).arg(back.y())));
        }
    }
}

void TestGeometry::sectorMembership_data()
{
    QTest::addColumn<QList<float>>("sectors");
    QTest::addColumn<float>("angle");
    QTest::addColumn<int>("sector");
    const QList<float> thirds{0, 120, 240};
    QTest::newRow("359 in the sector at 240") << thirds << 359.0f << 3;
    QTest::newRow("on a boundary belongs to that sector") << thirds << 120.0f << 2;
    QTest::newRow("0 in the sector at 0") << thirds << 0.0f << 1;
    QTest::newRow("119.9 still in the first") << thirds << 119.9f << 1;
    const QList<float> wrap{300, 60};
    QTest::newRow("10 in the sector at 300") << wrap << 10.0f << 1;
    QTest::newRow("200 in the sector at 60") << wrap << 200.0f << 2;
    QTest::newRow("one sector holds everything") << QList<float>{45} << 10.0f << 1;
    QTest::newRow("same boundary: lower number wins") << QList<float>{90, 90, 200} << 100.0f << 1;
    QTest::newRow("table order is free") << QList<float>{240, 0, 120} << 130.0f << 3;
}

void TestGeometry::sectorMembership()
{
    QFETCH(QList<float>, sectors);
    QFETCH(float, angle);
    NetworkCard card;
    for (float a : sectors)
        card.Sectors.push_back(Sector{a, {}, 1});
    QTEST(SectorOfAngle(card, angle), "sector");
    card.Nodes.push_back(Node{});
    card.Nodes[1].Angle = angle;
    QTEST(SectorOfNode(card, 1), "sector");
}

void TestGeometry::nextSectorAndSpan_data()
{
    QTest::addColumn<QList<float>>("sectors");
    QTest::addColumn<QList<int>>("next");
    QTest::addColumn<QList<float>>("spans");
    QTest::newRow("thirds") << QList<float>{0, 120, 240} << QList<int>{2, 3, 1}
                            << QList<float>{120, 120, 120};
    QTest::newRow("across zero") << QList<float>{300, 60} << QList<int>{2, 1}
                                 << QList<float>{120, 240};
    QTest::newRow("one sector") << QList<float>{30} << QList<int>{1} << QList<float>{360};
    // The wedge behind a shared boundary belongs to the lower number, as membership says.
    QTest::newRow("shared boundary") << QList<float>{90, 90, 200} << QList<int>{3, 1, 1}
                                     << QList<float>{110, 0, 250};
    QTest::newRow("shared boundary, higher first") << QList<float>{200, 90, 90} << QList<int>{2, 1, 2}
                                                   << QList<float>{250, 110, 0};
    QTest::newRow("all on one boundary") << QList<float>{90, 90, 90} << QList<int>{2, 1, 1}
                                         << QList<float>{360, 0, 0};
    QTest::newRow("unordered") << QList<float>{200, 10, 100} << QList<int>{2, 3, 1}
                               << QList<float>{170, 90, 100};
}

void TestGeometry::nextSectorAndSpan()
{
    QFETCH(QList<float>, sectors);
    QFETCH(QList<int>, next);
    QFETCH(QList<float>, spans);
    NetworkCard card;
    for (float a : sectors)
        card.Sectors.push_back(Sector{a, {}, 1});
    for (int s = 1; s <= card.SectorCount(); ++s) {
        QCOMPARE(NextSector(card, s), next[s - 1]);
        QCOMPARE(SectorSpan(card, s), spans[s - 1]);
    }
}

void TestGeometry::spansSumTo360()
{
    NetworkCard card = cardWithSectors({12.5f, 359.25f, 181.0f, 90.75f, 0.0f, 271.5f, 181.0f, 0.0f});
    double sum = 0;
    for (int s = 1; s <= card.SectorCount(); ++s)
        sum += SectorSpan(card, s);
    QCOMPARE(sum, 360.0);
}

void TestGeometry::lookupsWithoutSectors()
{
    NetworkCard card;
    card.Nodes.push_back(Node{});
    QCOMPARE(SectorOfNode(card, 1), 0);
    QCOMPARE(SectorNameAt(card, 10, 10, 600, 500), QString());
    QCOMPARE(SectorColorAt(card, 10, 10, 600, 500), 0);
    QCOMPARE(SectorNameOfNode(card, 1, 600, 500), QString());
    QCOMPARE(NodesInSector(card, 0), 1);
    QCOMPARE(SectorByName(card, QString()), 0);
}

void TestGeometry::sectorAtPixelAndNode()
{
    NetworkCard card = cardWithSectors({0, 120, 240});
    QCOMPARE(SectorNameAt(card, 400, 150, 600, 500), QStringLiteral("S3")); // 315
    QCOMPARE(SectorColorAt(card, 200, 350, 600, 500), 2);                  // 135
    QCOMPARE(SectorNameAt(card, 300, 350, 600, 500), QStringLiteral("S1")); // 89.4
    Node centre;
    centre.Angle = 200;
    centre.Distance = 0;
    Node justBelowBoundary;
    justBelowBoundary.Angle = 239.9f;
    justBelowBoundary.Distance = 1;
    card.Nodes.push_back(centre);
    card.Nodes.push_back(justBelowBoundary);
    // At the centre the drawn position says angle 0, whatever the stored angle.
    QCOMPARE(SectorOfNode(card, 1), 2);
    QCOMPARE(SectorNameOfNode(card, 1, 600, 500), QStringLiteral("S1"));
    QCOMPARE(SectorOfNode(card, 2), 2);
    QVERIFY(!SectorNameOfNode(card, 2, 600, 500).isEmpty());
}

void TestGeometry::nodesInSectorAndByName()
{
    NetworkCard card = cardWithSectors({0, 120, 240});
    card.Sectors.push_back(Sector{300, QStringLiteral("S1"), 4});
    for (float a : {10.0f, 130.0f, 250.0f, 310.0f, 359.0f, 0.0f}) {
        Node n;
        n.Angle = a;
        card.Nodes.push_back(n);
    }
    QCOMPARE(NodesInSector(card, 1), 2);
    QCOMPARE(NodesInSector(card, 2), 1);
    QCOMPARE(NodesInSector(card, 3), 1);
    QCOMPARE(NodesInSector(card, 4), 2);
    QCOMPARE(SectorByName(card, QStringLiteral("S1")), 4);
    QCOMPARE(SectorByName(card, QStringLiteral("S2")), 2);
    QCOMPARE(SectorByName(card, QStringLiteral("s2")), 0);
}

QTEST_APPLESS_MAIN(TestGeometry)
#include "tst_geometry.moc"

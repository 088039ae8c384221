#include "builders.h"
#include "core/edit/document.h"
#include "core/edit/sectors.h"
#include "core/map/geometry.h"

#include <QTest>

#include <cmath>
#include <random>

using namespace korvalo;

using namespace Qt::StringLiterals;

namespace {

// Card 1 with sectors A (0-120), B (120-240), C (240-360).
NetworkModel threeSectors()
{
    NetworkModel model = EgoWithCards(1);
    AddSectors(model, 1, {{"A", 0}, {"B", 120}, {"C", 240}});
    return model;
}

float angleOf(const Document &document, const QString &label)
{
    const NetworkCard &card = document.model().card(1);
    for (int i = 1; i <= card.NodeCount(); ++i) {
        if (card.Nodes[size_t(i)].Label == label)
            return card.Nodes[size_t(i)].Angle;
    }
    qFatal("no node %s", qPrintable(label));
}

} // namespace

class TestSectors : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deletingASectorHandsItsNodesToTheOneBefore();
    void orderRelaysSectorsKeepingOffsets();
    void orderKeepsUnequalWidths();
    void staleOrderListIsRefused();
    void sizeProportionalToNodes();
    void sizeProportionalWithSharedBoundary();
    void sizeProportionalNeedsTwoSectorsAndAlters();
    void sizeProportionalKeepsEveryAlterInItsSector();
};

void TestSectors::deletingASectorHandsItsNodesToTheOneBefore()
{
    NetworkModel model = threeSectors();
    AddNode(model, 1, alter(150, 0.5f, 1, u"x"_s));
    Document document;
    document.reset(model);
    QCOMPARE(SectorOfNode(document.model().card(1), 1), 2);

    QVERIFY(DeleteSectorStep(document, 1, 2));
    const NetworkCard &card = document.model().card(1);
    QCOMPARE(card.SectorCount(), 2);
    QCOMPARE(card.Sectors[2].SectorName, u"C"_s); // the last sector took the freed slot
    QCOMPARE(card.Sectors[2].SectorAngle, 240.0f);
    QCOMPARE(card.Nodes[1].Angle, 150.0f);        // nodes stay where they are
    QCOMPARE(SectorOfNode(card, 1), 1);
    QCOMPARE(SectorSpan(card, 1), 240.0f);
    QCOMPARE(document.undoStack()->undoText(), u"Delete sector \"B\""_s);

    document.undoStack()->undo();
    QCOMPARE(document.model(), model);
}

void TestSectors::orderRelaysSectorsKeepingOffsets()
{
    NetworkModel model = threeSectors();
    AddNode(model, 1, alter(10, 0.3f, 1, u"a"_s));
    AddNode(model, 1, alter(200, 0.6f, 1, u"b"_s));
    AddNode(model, 1, alter(300, 0.9f, 1, u"c"_s));
    AddNode(model, 1, alter(240, 0.5f, 1, u"c0"_s));
    Document document;
    document.reset(model);

    QStringList entries = SectorOrderEntries(document.model().card(1));
    QCOMPARE(entries, (QStringList{u"1 A"_s, u"2 B"_s, u"3 C"_s}));
    entries = {entries[2], entries[0], entries[1]};
    QVERIFY(ApplySectorOrderStep(document, 1, entries));

    const NetworkCard &card = document.model().card(1);
    QCOMPARE(card.Sectors[3].SectorAngle, 0.0f);   // C
    QCOMPARE(card.Sectors[1].SectorAngle, 120.0f); // A
    QCOMPARE(card.Sectors[2].SectorAngle, 240.0f); // B
    QCOMPARE(card.Sectors[1].SectorName, u"A"_s);  // numbers and table order stay
    QCOMPARE(angleOf(document, u"a"_s), 130.0f);
    QCOMPARE(angleOf(document, u"b"_s), 320.0f);
    QCOMPARE(angleOf(document, u"c"_s), 60.0f);
    QCOMPARE(angleOf(document, u"c0"_s), 0.0f);
    QCOMPARE(card.Nodes[2].Distance, 0.6f);
    for (int i = 1; i <= card.NodeCount(); ++i)
        QCOMPARE(SectorOfNode(card, i), SectorOfNode(model.card(1), i));

    QCOMPARE(document.undoStack()->count(), 1);
    document.undoStack()->undo();
    QCOMPARE(document.model(), model);
}

void TestSectors::orderKeepsUnequalWidths()
{
    // Sectors at 300 (W1, 120 wide, across 0) and 60 (W2, 240 wide), in the order 2, 1.
    NetworkModel model = EgoWithCards(1);
    AddSectors(model, 1, {{"W1", 300}, {"W2", 60}});
    AddNode(model, 1, alter(10, 0.5f, 1, u"p"_s));  // 70 into W1
    AddNode(model, 1, alter(100, 0.5f, 1, u"q"_s)); // 40 into W2
    NetworkCard &card = model.card(1);
    QVERIFY(ApplySectorOrder(card, {u"2 W2"_s, u"1 W1"_s}));
    QCOMPARE(card.Sectors[2].SectorAngle, 0.0f);
    QCOMPARE(card.Sectors[1].SectorAngle, 240.0f);
    QCOMPARE(card.Nodes[1].Angle, 310.0f);
    QCOMPARE(card.Nodes[2].Angle, 40.0f);
    QCOMPARE(SectorSpan(card, 1), 120.0f);
    QCOMPARE(SectorSpan(card, 2), 240.0f);
}

void TestSectors::staleOrderListIsRefused()
{
    NetworkModel model = threeSectors();
    AddNode(model, 1, alter(10, 0.5f, 1, u"a"_s));
    Document document;
    document.reset(model);
    const QStringList entries = SectorOrderEntries(model.card(1));

    const QStringList stale[] = {
        {entries[0], entries[1]},                        // a sector was added meanwhile
        {entries[1], entries[1], entries[2]},            // a number twice
        {entries[0], entries[1], u"C"_s},                // no number
        {entries[0], entries[1], entries[2], u"4 D"_s},  // one was deleted
    };
    for (const QStringList &list : stale) {
        const Status status = ApplySectorOrderStep(document, 1, list);
        QVERIFY2(!status.ok(), qPrintable(list.join(u'|')));
        QVERIFY(status.message().contains(u"Sector Order"_s));
    }
    QCOMPARE(document.model(), model);
    QCOMPARE(document.undoStack()->count(), 0);
    // The unchanged order changes nothing and records nothing.
    QVERIFY(ApplySectorOrderStep(document, 1, entries));
    QCOMPARE(document.undoStack()->count(), 0);

    // A sector renamed while the list was open: the numbers still name the same sectors.
    QVERIFY(RenameSectorStep(document, 1, 3, u"Renamed"_s));
    QVERIFY(ApplySectorOrderStep(document, 1, {entries[2], entries[0], entries[1]}));
    QCOMPARE(document.model().card(1).Sectors[3].SectorName, u"Renamed"_s);
    QCOMPARE(document.model().card(1).Sectors[3].SectorAngle, 0.0f);
}

void TestSectors::sizeProportionalToNodes()
{
    NetworkModel model = EgoWithCards(1);
    AddSectors(model, 1, {{"Family", 0}, {"Work", 180}});
    AddNode(model, 1, alter(90, 0.4f, 1, u"1"_s, u"Anna"_s)); // halfway through Family
    AddNode(model, 1, alter(45, 0.5f, 1, u"2"_s, u"Ben"_s));
    AddNode(model, 1, alter(270, 0.6f, 1, u"3"_s, u"Cem"_s)); // halfway through Work
    Document document;
    document.reset(model);
    QStringList info;
    document.session().infoSink = [&](const QString &line) { info << line; };
    document.session().DecimalSeparator = u',';

    QVERIFY(SizeSectorsByNodeCountStep(document, 1));
    const NetworkCard &card = document.model().card(1);
    QCOMPARE(card.Sectors[1].SectorAngle, 0.0f);
    QCOMPARE(card.Sectors[2].SectorAngle, 240.0f);
    QCOMPARE(SectorSpan(card, 1), 240.0f);
    QCOMPARE(SectorSpan(card, 2), 120.0f);
    QCOMPARE(card.Nodes[1].Angle, 120.0f);
    QCOMPARE(card.Nodes[2].Angle, 60.0f);
    QCOMPARE(card.Nodes[3].Angle, 300.0f);
    QCOMPARE(card.Nodes[3].Distance, 0.6f);
    QCOMPARE(info, (QStringList{u"Anna Family 0,50 240"_s, u"Ben Family 0,25 240"_s,
                                u"Cem Work 0,50 120"_s}));
    QCOMPARE(document.undoStack()->undoText(), u"Size Proportional to Number of Nodes"_s);
}

void TestSectors::sizeProportionalWithSharedBoundary()
{
    // Two boundaries at 90: they count as one, and every angle stays a number.
    NetworkModel model = EgoWithCards(1);
    AddSectors(model, 1, {{"A", 0}, {"B", 90}, {"B2", 90}, {"C", 180}});
    AddNode(model, 1, alter(135, 0.5f, 1, u"1"_s)); // halfway through B's wedge
    AddNode(model, 1, alter(90, 0.5f, 1, u"2"_s));
    AddNode(model, 1, alter(200, 0.5f, 1, u"3"_s));
    AddNode(model, 1, alter(10, 0.5f, 1, u"4"_s));
    NetworkCard &card = model.card(1);
    QCOMPARE(SectorOfNode(card, 1), 2);
    const QStringList lines = SizeSectorsByNodeCount(card);
    QCOMPARE(lines.size(), 4);
    for (int i = 1; i <= card.NodeCount(); ++i)
        QVERIFY(std::isfinite(card.Nodes[size_t(i)].Angle));
    // A: 1 of 4 alters (90 wide), B: 2 (180), B2: none (0, on B's start, which B owns),
    // C: 1 (90).
    QCOMPARE(card.Sectors[2].SectorAngle, 90.0f);
    QCOMPARE(card.Sectors[3].SectorAngle, 90.0f);
    QCOMPARE(card.Sectors[4].SectorAngle, 270.0f);
    QCOMPARE(SectorOfNode(card, 3), 4);
    QCOMPARE(card.Nodes[1].Angle, 180.0f);
    QCOMPARE(card.Nodes[2].Angle, 90.0f);
    QCOMPARE(lines[0], u"1 B 0.50 180"_s);
}

void TestSectors::sizeProportionalNeedsTwoSectorsAndAlters()
{
    NetworkModel one = EgoWithCards(1);
    AddSectors(one, 1, {{"Only", 30}});
    AddNode(one, 1, alter(100, 0.5f, 1, u"1"_s));
    NetworkModel empty = threeSectors();
    for (const NetworkModel &original : {one, empty}) {
        NetworkCard card = original.card(1);
        QVERIFY(SizeSectorsByNodeCount(card).isEmpty());
        QCOMPARE(card, original.card(1));
    }
}

void TestSectors::sizeProportionalKeepsEveryAlterInItsSector()
{
    const auto sectorNames = [](const NetworkCard &card) {
        QStringList names;
        for (int i = 1; i <= card.NodeCount(); ++i)
            names << card.Sectors[size_t(SectorOfNode(card, i))].SectorName;
        return names;
    };

    // A empty, alters in B and C: A used to take B's wedge and B's alters with it.
    NetworkModel model = threeSectors();
    AddNode(model, 1, alter(130, 0.5f, 1, u"b1"_s));
    AddNode(model, 1, alter(120, 0.5f, 1, u"b2"_s)); // on B's boundary
    AddNode(model, 1, alter(250, 0.5f, 1, u"c1"_s));
    Document document;
    document.reset(model);
    QVERIFY(SizeSectorsByNodeCountStep(document, 1));
    QCOMPARE(sectorNames(document.model().card(1)), (QStringList{u"B"_s, u"B"_s, u"C"_s}));
    QCOMPARE(SectorSpan(document.model().card(1), 2), 240.0f);

    // Random cards: empty sectors anywhere in the table, shared boundaries, alters on
    // boundaries and just short of the next one.
    std::mt19937 random(22);
    for (int round = 0; round < 400; ++round) {
        NetworkModel m = EgoWithCards(1);
        const int sectors = 2 + int(random() % 6);
        for (int s = 1; s <= sectors; ++s) {
            const float angle = random() % 4 == 0 ? 90.0f : float(random() % 36000) / 100.0f;
            AddSector(m, 1, u"S%1"_s.arg(s), s, angle);
        }
        const int alters = 1 + int(random() % 12);
        for (int i = 1; i <= alters; ++i) {
            float angle = float(random() % 36000) / 100.0f;
            const int s = 1 + int(random() % sectors);
            if (random() % 3 == 0)
                angle = m.card(1).Sectors[size_t(s)].SectorAngle;
            else if (random() % 3 == 0)
                angle = std::nextafter(m.card(1).Sectors[size_t(s)].SectorAngle, 0.0f);
            AddNode(m, 1, alter(angle, 0.5f, 1, QString::number(i)));
        }
        NetworkCard card = m.card(1);
        const QStringList before = sectorNames(card);
        Status status = Status::success();
        const QStringList lines = SizeSectorsByNodeCount(card, u'.', &status);
        QCOMPARE(sectorNames(card), before);
        QVERIFY(status.ok() ? lines.size() == alters : card == m.card(1));
    }
}

QTEST_APPLESS_MAIN(TestSectors)
#include "tst_sectors.moc"

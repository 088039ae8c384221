#include "builders.h"
#include "core/model/networkmodel.h"

#include <QTest>

using namespace korvalo;

class TestModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cardIdsAndEgoSlot();
    void newCardStartsEmpty();
    void linesBeyondNodeCountAreDropped();
    void humanIsNormalised();
    void distanceWarning();
    void nodeRadius();
    void colours();
    void capacityRefusalsLeaveModelUnchanged();
};

void TestModel::cardIdsAndEgoSlot()
{
    NetworkModel model = EgoWithCards(2);
    QCOMPARE(AddCard(model, QStringLiteral(" \t"), 5, QStringLiteral("bigger"), 3, {}, {}, {}).ok(), true);
    QCOMPARE(model.CardCount(), 3);
    QCOMPARE(model.CurrentCard, 3);
    QCOMPARE(model.card(1).ID, QStringLiteral("Card 1"));
    QCOMPARE(model.card(3).ID, QStringLiteral("Card 3"));
    const Node &ego = model.card(3).Nodes[0];
    QCOMPARE(ego.Color, 3);
    QCOMPARE(ego.NodeSize, QStringLiteral("bigger"));
    QCOMPARE(ego.Angle, 0.0f);
    QCOMPARE(ego.Distance, 0.0f);
    QVERIFY(ego.ID.isEmpty() && ego.Label.isEmpty());
}

void TestModel::newCardStartsEmpty()
{
    NetworkModel model = EgoWithCards(1);
    AddSector(model, 1, QStringLiteral("Family"), 2, 90.0f);
    AddNode(model, 1, alter(0, 0.5f, 1, QStringLiteral("x")));
    AddLine(model, 0, 1, 1, 1);
    // A new ego reuses card 1's place; the new card must not inherit its tables.
    SetupEgo(model, QStringLiteral("Bert"), {}, 2, {}, {}, QStringLiteral("B"));
    QCOMPARE(model.CardCount(), 0);
    QCOMPARE(model.CurrentCard, 0);
    AddCard(model, QStringLiteral("t1"), 7, QStringLiteral("none"), 1, {}, {}, {});
    QCOMPARE(model.card(1).NodeCount(), 0);
    QCOMPARE(model.card(1).SectorCount(), 0);
    QCOMPARE(model.card(1).LineCount(), 0);
}

void TestModel::linesBeyondNodeCountAreDropped()
{
    NetworkModel model = EgoWithCards(1);
    AddNode(model, 1, alter(0, 0.5f, 1, QStringLiteral("a")));
    AddNode(model, 1, alter(0, 0.5f, 1, QStringLiteral("b")));
    QVERIFY(AddLine(model, 0, 2, 3, 1).ok()); // ego to node 2
    QVERIFY(AddLine(model, 1, 3, 1, 1).ok()); // node 3 does not exist: ignored
    QVERIFY(AddLine(model, -1, 1, 1, 1).ok()); // would point before the ego: ignored
    QVERIFY(AddLine(model, 2, 2, 1, 1).ok()); // a loop is allowed
    QCOMPARE(model.card(1).LineCount(), 2);
    QCOMPARE(model.card(1).Lines[1].A, 0);
    QCOMPARE(model.card(1).Lines[1].B, 2);
    QCOMPARE(model.card(1).Lines[1].LineSize, 3);

    model.CurrentCard = 0;
    QVERIFY(!AddLine(model, 0, 1, 1, 1).ok());
}

void TestModel::humanIsNormalised()
{
    NetworkModel model = EgoWithCards(1);
    const QStringList given{"FALSE", "false", "", "TRUE", "yes"};
    const QStringList stored{"FALSE", "TRUE", "TRUE", "TRUE", "TRUE"};
    for (const QString &h : given) {
        Node n = alter(0, 0.5f, 1, QStringLiteral("n"));
        n.Human = h;
        AddNode(model, 1, n);
    }
    for (int i = 0; i < given.size(); ++i)
        QCOMPARE(model.card(1).Nodes[size_t(i + 1)].Human, stored[i]);

    ModifyNode(model, 1, 1, QStringLiteral("n"), QStringLiteral("L"), {}, {}, {},
               QStringLiteral("normal"), {}, QStringLiteral("no"), 1, 2, 0.7f,
               QStringLiteral("female"), {});
    QCOMPARE(model.card(1).Nodes[1].Human, QStringLiteral("TRUE"));
    QCOMPARE(model.card(1).Nodes[1].Distance, 0.7f);
}

void TestModel::distanceWarning()
{
    NetworkModel model = EgoWithCards(0);
    AddCard(model, QStringLiteral("t1"), 7, QStringLiteral("none"), 1, {}, {}, {});
    QStringList lines;
    const InfoSink sink = [&](const QString &line) { lines.append(line); };
    Node far = alter(0, 1.3f, 1, QStringLiteral("7"));
    far.Label = QStringLiteral("Otto");
    AddNode(model, 1, far, sink);
    AddNode(model, 1, alter(0, 1.25f, 1, QStringLiteral("8")), sink); // not above the limit
    AddNode(model, 1, far);                              // warnings off
    QCOMPARE(lines, QStringList{"Attention to Node Distance: (t1) Otto [7]. Distance=1.3000"});

    Node sel = alter(0, 0.5f, 1, QStringLiteral("9"));
    sel.Selected = true;
    AddNode(model, 1, sel);
    QVERIFY(!model.card(1).Nodes.back().Selected);
}

void TestModel::nodeRadius()
{
    QCOMPARE(NodeRadius(QStringLiteral("smallest"), 10), 5);
    QCOMPARE(NodeRadius(QStringLiteral("smaller"), 10), 7);
    QCOMPARE(NodeRadius(QStringLiteral("normal"), 10), 10);
    QCOMPARE(NodeRadius(QStringLiteral("bigger"), 10), 15);
    QCOMPARE(NodeRadius(QStringLiteral("biggest"), 10), 20);
    QCOMPARE(NodeRadius(QStringLiteral("huge"), 10), 10);
    QCOMPARE(NodeRadius(QStringLiteral("none"), 10), 10);
    // Halves go to the even neighbour: 1.5 * 5 = 7.5 -> 8, 0.5 * 5 = 2.5 -> 2.
    QCOMPARE(NodeRadius(QStringLiteral("bigger"), 5), 8);
    QCOMPARE(NodeRadius(QStringLiteral("smallest"), 5), 2);
}

void TestModel::colours()
{
    QCOMPARE(PaletteColor(1), qRgb(255, 0, 0));
    QCOMPARE(PaletteColor(2), qRgb(238, 204, 0));
    QCOMPARE(PaletteColor(3), qRgb(0, 0, 255));
    QCOMPARE(PaletteColor(8), qRgb(0, 128, 128));
    QCOMPARE(BgrToRgb(SectorHandleColor), qRgb(80, 80, 80));
    QCOMPARE(LightenedColor(qRgb(0, 128, 255)), qRgb(128, 192, 255)); // 127.5 -> 128, 63.5 -> 64
    QCOMPARE(LineStrokeColor(qRgb(255, 0, 128)), qRgb(255, 1, 129));

    // The mouse tells items apart by colour: nodes, lines and handles never share one,
    // and none is the white background.
    QSet<QRgb> seen{qRgb(255, 255, 255), BgrToRgb(SectorHandleColor)};
    for (int i = 0; i <= PaletteSize; ++i) {
        QVERIFY(!seen.contains(PaletteColor(i)));
        seen.insert(PaletteColor(i));
    }
    for (int i = 0; i <= PaletteSize; ++i) {
        QVERIFY(!seen.contains(LineStrokeColor(PaletteColor(i))));
        seen.insert(LineStrokeColor(PaletteColor(i)));
    }
}

void TestModel::capacityRefusalsLeaveModelUnchanged()
{
    NetworkModel model = EgoWithCards(MaxCards);
    const Status card = AddCard(model, QStringLiteral("extra"), 7, QStringLiteral("none"), 1, {}, {}, {});
    QVERIFY(!card.ok());
    QCOMPARE(card.message(), QStringLiteral("An ego holds at most 100 network cards."));
    QCOMPARE(model.CardCount(), MaxCards);
    QCOMPARE(model.CurrentCard, 1);

    for (int i = 0; i < MaxSectors; ++i)
        QVERIFY(AddSector(model, 1, QString::number(i), 1, float(i)).ok());
    for (int i = 0; i < MaxNodes; ++i)
        QVERIFY(AddNode(model, 1, alter(0, 0.5f, 1, QString::number(i))).ok());
    for (int i = 0; i < MaxLines; ++i)
        QVERIFY(AddLine(model, 0, 1, 1, 1).ok());

    const Status sector = AddSector(model, 1, QStringLiteral("more"), 1, 0);
    const Status node = AddNode(model, 1, alter(0, 0.5f, 1, QStringLiteral("more")), [](const QString &) {});
    const Status line = AddLine(model, 0, 2, 1, 1);
    QCOMPARE(sector.message(), QStringLiteral("A network card holds at most 50 sectors."));
    QCOMPARE(node.message(), QStringLiteral("A network card holds at most 1000 nodes."));
    QCOMPARE(line.message(), QStringLiteral("A network card holds at most 1000 lines."));
    QCOMPARE(model.card(1).SectorCount(), MaxSectors);
    QCOMPARE(model.card(1).NodeCount(), MaxNodes);
    QCOMPARE(model.card(1).LineCount(), MaxLines);
    QCOMPARE(model.card(1).Nodes.back().ID, QStringLiteral("999"));
    QVERIFY(!AddNode(model, 0, alter(0, 0.5f, 1, QStringLiteral("x"))).ok());
    QVERIFY(!AddSector(model, 101, QStringLiteral("x"), 1, 0).ok());
}

QTEST_APPLESS_MAIN(TestModel)
#include "tst_model.moc"

#include "builders.h"
#include "core/model/cards.h"

#include <QTest>

using namespace korvalo;

namespace {

void addAlter(NetworkModel &model, int card, const QString &id)
{
    Node node = bareAlter(id, 0, 0.5f);
    node.Human = QStringLiteral("TRUE");
    QVERIFY(AddNode(model, card, node).ok());
}

} // namespace

class TestCards : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deleteMiddleCardShiftsLaterCards();
    void deleteLastAndOnlyCard();
    void deleteNothing();
    void deletedCardGoesBackWhereItWas();
    void duplicateCopiesEverythingButSelection();
    void duplicateRefusedWhenFull();
    void modifyNamesBlankIdAndKeepsEgoSlot();
    void copyCardKeepsTargetEgoSlot();
};

void TestCards::deleteMiddleCardShiftsLaterCards()
{
    NetworkModel model = EgoWithNamedCards({QStringLiteral("t1"), QStringLiteral("t2"), QStringLiteral("t3")});
    addAlter(model, 3, QStringLiteral("P1"));
    addAlter(model, 3, QStringLiteral("P2"));
    model.CurrentCard = 2;
    QCOMPARE(DeleteCard(model, 2), 2);
    QCOMPARE(model.CardCount(), 2);
    QCOMPARE(model.CurrentCard, 2);
    QCOMPARE(model.card(1).ID, QStringLiteral("t1"));
    QCOMPARE(model.card(2).ID, QStringLiteral("t3"));
    QCOMPARE(model.card(2).NodeCount(), 2);
    QCOMPARE(model.card(2).Nodes[2].ID, QStringLiteral("P2"));
    // The moved card keeps its own ego slot.
    QCOMPARE(model.card(2).Nodes[0].Color, 3);
}

void TestCards::deleteLastAndOnlyCard()
{
    NetworkModel model = EgoWithNamedCards({QStringLiteral("t1"), QStringLiteral("t2")});
    QCOMPARE(DeleteCard(model, 2), 1);
    QCOMPARE(model.CurrentCard, 1);
    QCOMPARE(DeleteCard(model, 1), 0);
    QCOMPARE(model.CardCount(), 0);
    QCOMPARE(model.CurrentCard, 0);
    // A card added afterwards starts empty and is numbered from 1 again.
    QVERIFY(AddCard(model, {}, 7, QStringLiteral("none"), 1, {}, {}, {}).ok());
    QCOMPARE(model.card(1).ID, QStringLiteral("Card 1"));
    QCOMPARE(model.card(1).NodeCount(), 0);
}

void TestCards::deleteNothing()
{
    NetworkModel model = EgoWithNamedCards({QStringLiteral("t1")});
    model.CurrentCard = 0;
    QCOMPARE(DeleteCard(model, 0), 0);
    QCOMPARE(DeleteCard(model, 5), 0);
    QCOMPARE(model.CardCount(), 1);
}

void TestCards::deletedCardGoesBackWhereItWas()
{
    NetworkModel model = EgoWithNamedCards({QStringLiteral("t1"), QStringLiteral("t2"), QStringLiteral("t3")});
    addAlter(model, 2, QStringLiteral("P1"));
    const NetworkModel before = model;
    NetworkCard removed;
    QCOMPARE(DeleteCard(model, 2, &removed), 2);
    QVERIFY(removed == before.card(2));
    QVERIFY(InsertCard(model, 2, removed).ok());
    QCOMPARE(model.CurrentCard, 2);
    model.CurrentCard = before.CurrentCard;
    QVERIFY(model == before);

    // Only the numbers 1 to CardCount()+1 take a card (a full ego: duplicateRefusedWhenFull).
    const QString nowhere = QStringLiteral("A network card cannot be put at number %1.");
    QCOMPARE(InsertCard(model, 0, removed).message(), nowhere.arg(0));
    QCOMPARE(InsertCard(model, 5, removed).message(), nowhere.arg(5));
    QVERIFY(model == before);
}

void TestCards::duplicateCopiesEverythingButSelection()
{
    NetworkModel model = EgoWithNamedCards({QStringLiteral("t1"), QStringLiteral("t2")});
    model.card(1).Interviewer = QStringLiteral("Iris");
    model.card(1).CardMemo = QStringLiteral("first visit");
    QVERIFY(AddSector(model, 1, QStringLiteral("Family"), 3, 0).ok());
    QVERIFY(AddSector(model, 1, QStringLiteral("Work"), 4, 180).ok());
    addAlter(model, 1, QStringLiteral("P1"));
    addAlter(model, 1, QStringLiteral("P2"));
    model.card(1).Nodes[2].Selected = true;
    model.CurrentCard = 1;
    QVERIFY(AddLine(model, 1, 2, 3, 5).ok());
    QVERIFY(AddLine(model, 0, 1, 1, 0).ok());

    QVERIFY(DuplicateCard(model, 1).ok());
    QCOMPARE(model.CardCount(), 3);
    QCOMPARE(model.CurrentCard, 3);
    const NetworkCard &src = model.card(1);
    const NetworkCard &copy = model.card(3);
    QCOMPARE(copy.ID, QStringLiteral("t1 Copy"));
    QCOMPARE(copy.Interviewer, QStringLiteral("Iris"));
    QCOMPARE(copy.CardMemo, src.CardMemo);
    QCOMPARE(copy.Circles, src.Circles);
    QCOMPARE(copy.EgoColor, src.EgoColor);
    QCOMPARE(copy.SectorCount(), 2);
    QCOMPARE(copy.Sectors[2].SectorName, QStringLiteral("Work"));
    QCOMPARE(copy.Sectors[2].SectorAngle, 180.0f);
    QCOMPARE(copy.NodeCount(), 2);
    QCOMPARE(copy.Nodes[2].ID, QStringLiteral("P2"));
    QVERIFY(!copy.Nodes[2].Selected);
    QVERIFY(src.Nodes[2].Selected);
    QCOMPARE(copy.LineCount(), 2);
    QCOMPARE(copy.Lines[1].A, 1);
    QCOMPARE(copy.Lines[1].LineColor, 5);
    QCOMPARE(copy.Lines[2].A, 0);
    // The source card is untouched.
    QCOMPARE(src.LineCount(), 2);
    QCOMPARE(model.card(2).NodeCount(), 0);
}

void TestCards::duplicateRefusedWhenFull()
{
    NetworkModel model = EgoWithNamedCards({});
    for (int i = 0; i < MaxCards; ++i)
        QVERIFY(AddCard(model, {}, 7, QStringLiteral("none"), 1, {}, {}, {}).ok());
    model.CurrentCard = 4;
    const Status refused = DuplicateCard(model, 4);
    QVERIFY(!refused.ok());
    QVERIFY(refused.message().contains(QString::number(MaxCards)));
    QCOMPARE(model.CardCount(), MaxCards);
    QCOMPARE(model.CurrentCard, 4);
    QVERIFY(!DuplicateCard(model, 0).ok());
}

void TestCards::modifyNamesBlankIdAndKeepsEgoSlot()
{
    NetworkModel model = EgoWithNamedCards({QStringLiteral("t1"), QStringLiteral("t2"), QStringLiteral("t3")});
    ModifyCard(model, 3, QString(), 4, QStringLiteral("biggest"), 8, QStringLiteral("Iris"),
               QStringLiteral("2024-05-01"), QStringLiteral("memo"));
    const NetworkCard &c = model.card(3);
    // A blank ID is stored as the reader would give it back.
    QCOMPARE(c.ID, QStringLiteral("Card 3"));
    QCOMPARE(c.Circles, 4);
    QCOMPARE(c.EgoNode, QStringLiteral("biggest"));
    QCOMPARE(c.EgoColor, 8);
    QCOMPARE(c.Date, QStringLiteral("2024-05-01"));
    QCOMPARE(c.Nodes[0].Color, 3);
    QCOMPARE(c.Nodes[0].NodeSize, QStringLiteral("normal"));
    ModifyCard(model, 4, QStringLiteral("x"), 1, {}, 1, {}, {}, {});
    QCOMPARE(model.CardCount(), 3);
}

void TestCards::copyCardKeepsTargetEgoSlot()
{
    NetworkModel model = EgoWithNamedCards({QStringLiteral("t1"), QStringLiteral("t2")});
    addAlter(model, 2, QStringLiteral("P9"));
    CopyCard(model, 2, 1);
    QCOMPARE(model.card(1).ID, QStringLiteral("t2"));
    QCOMPARE(model.card(1).NodeCount(), 1);
    QCOMPARE(model.card(1).Nodes[1].ID, QStringLiteral("P9"));
    QCOMPARE(model.card(1).Nodes[0].Color, 1);
}

QTEST_GUILESS_MAIN(TestCards)
#include "tst_cards.moc"

#include "builders.h"
#include "core/edit/document.h"
#include "core/edit/commands.h"
#include "core/edit/selection.h"

#include <QTest>

using namespace korvalo;

using namespace Qt::StringLiterals;

namespace {

QList<int> selected(const NetworkCard &card)
{
    const std::vector<int> nodes = SelectedNodes(card);
    return QList<int>(nodes.begin(), nodes.end());
}

// Lines as "end-end" by label ("Ego" for 0), in table order.
QStringList lineEnds(const NetworkCard &card)
{
    auto name = [&](int n) { return n == 0 ? u"Ego"_s : card.Nodes[size_t(n)].Label; };
    QStringList ends;
    for (int l = 1; l <= card.LineCount(); ++l)
        ends << name(card.Lines[size_t(l)].A) + u'-' + name(card.Lines[size_t(l)].B);
    return ends;
}

} // namespace

class TestSelection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deleteSelectedRenumbersLines();
    void deleteAllSelectedLeavesNoLines();
    void selectCaseRules();
    void multiIDs();
    void copyToThisCardShiftsAndWarns();
    void copyToNextCard();
    void copyBeyondCapacityCopiesNothing();
    void arrowMovesMergeAndWrap();
};

void TestSelection::deleteSelectedRenumbersLines()
{
    NetworkModel model = EgoWithCards(1);
    for (const QString &id : {u"a"_s, u"b"_s, u"c"_s, u"d"_s})
        AddNode(model, 1, alter(0, 0.5f, 1, id));
    AddLine(model, 2, 4, 3, 2);
    AddLine(model, 0, 4, 1, 1);
    AddLine(model, 1, 2, 1, 1);
    AddLine(model, 3, 4, 1, 1);
    AddLine(model, 0, 2, 1, 1);
    model.card(1).Nodes[1].Selected = true;
    model.card(1).Nodes[3].Selected = true;
    Document document;
    document.reset(model);

    QVERIFY(DeleteSelectedStep(document, 1));
    const NetworkCard &card = document.model().card(1);
    QCOMPARE(Labels(card), (QStringList{u"d"_s, u"b"_s}));
    QCOMPARE(lineEnds(card), (QStringList{u"b-d"_s, u"Ego-d"_s, u"Ego-b"_s}));
    QCOMPARE(card.Lines[1].LineSize, 3);
    QCOMPARE(document.undoStack()->count(), 1);
    document.undoStack()->undo();
    QCOMPARE(document.model(), model);

    // The three alters of the example: only the former alter 2 stays, in slot 1.
    NetworkModel three = EgoWithCards(1);
    for (const QString &id : {u"a"_s, u"b"_s, u"c"_s})
        AddNode(three, 1, alter(0, 0.5f, 1, id));
    AddLine(three, 0, 2, 1, 1);
    AddLine(three, 1, 2, 1, 1);
    AddLine(three, 2, 3, 1, 1);
    three.card(1).Nodes[1].Selected = three.card(1).Nodes[3].Selected = true;
    DeleteSelectedNodes(three.card(1));
    QCOMPARE(Labels(three.card(1)), QStringList{u"b"_s});
    QCOMPARE(lineEnds(three.card(1)), QStringList{u"Ego-b"_s});
}

void TestSelection::deleteAllSelectedLeavesNoLines()
{
    NetworkModel model = EgoWithCards(1);
    for (int i = 0; i < 6; ++i)
        AddNode(model, 1, alter(0, 0.5f, 1, QString::number(i)));
    for (int i = 1; i <= 6; ++i)
        AddLine(model, 0, i, 1, 1);
    AddLine(model, 1, 6, 1, 1);
    AddLine(model, 6, 1, 1, 1);
    SelectAll(model.card(1));
    QCOMPARE(model.card(1).Nodes[0].Selected, false);
    DeleteSelectedNodes(model.card(1));
    QCOMPARE(model.card(1).NodeCount(), 0);
    QCOMPARE(model.card(1).LineCount(), 0);
}

void TestSelection::selectCaseRules()
{
    NetworkModel model = EgoWithCards(1);
    AddNode(model, 1, alter(0, 0.5f, 1, u"A"_s, u"Anna"_s));
    AddNode(model, 1, alter(0, 0.5f, 1, u"a"_s, u"ANNA"_s));
    AddNode(model, 1, alter(0, 0.5f, 1, u"a "_s, u"Annabel"_s));
    AddNode(model, 1, alter(0, 0.5f, 1, u"b"_s, u"anna"_s));
    AddNode(model, 1, alter(0, 0.5f, 1, u"c"_s, u"Ännä"_s));
    NetworkCard &card = model.card(1);

    SelectByID(card, u"a"_s);
    QCOMPARE(selected(card), QList<int>{2});
    SelectByLabel(card, u"anna"_s);
    QCOMPARE(selected(card), (QList<int>{1, 2, 4})); // replaces the selection
    SelectByLabel(card, u"ÄNNÄ"_s);
    QCOMPARE(selected(card), QList<int>{5});
    SelectByID(card, u"z"_s);
    QVERIFY(selected(card).isEmpty());
    SelectAll(card);
    QCOMPARE(selected(card).size(), 5);
    DeselectAll(card);
    QVERIFY(selected(card).isEmpty());
}

void TestSelection::multiIDs()
{
    NetworkModel model = EgoWithCards(1);
    for (const QString &id : {u"x"_s, u"y"_s, u"x"_s, u"z"_s, u"y"_s, u"X"_s})
        AddNode(model, 1, alter(0, 0.5f, 1, id));
    SelectMultiIDs(model.card(1));
    QCOMPARE(selected(model.card(1)), (QList<int>{1, 2, 3, 5}));
}

void TestSelection::copyToThisCardShiftsAndWarns()
{
    NetworkModel model = EgoWithCards(1);
    Node source = alter(358, 1.22f, 1, u"7"_s, u"Far"_s);
    source.Merger = u"7=8"_s;
    source.Memo1 = u"met at work"_s;
    source.Color = 5;
    AddNode(model, 1, source);
    AddNode(model, 1, alter(10, 0.2f, 1, u"8"_s));
    model.card(1).Nodes[1].Selected = true;
    Document document;
    document.reset(model);
    QStringList info;
    document.session().infoSink = [&](const QString &line) { info << line; };

    QVERIFY(CopySelectedToThisCardStep(document, 1));
    const NetworkCard &card = document.model().card(1);
    QCOMPARE(card.NodeCount(), 3);
    const Node &copy = card.Nodes[3];
    QCOMPARE(copy.Angle, 363.0f);
    QCOMPARE(copy.Distance, 1.27f);
    QCOMPARE(copy.Selected, false);
    QCOMPARE(card.Nodes[1].Selected, true);
    QCOMPARE(copy.ID, source.ID);
    QCOMPARE(copy.Merger, source.Merger);
    QCOMPARE(copy.Memo1, source.Memo1);
    QCOMPARE(copy.Color, 5);
    QCOMPARE(info, QStringList{u"Attention to Node Distance: (Card 1) Far [7]. Distance=1.2700"_s});
    // The copy shares the ID, so Multi IDs finds both.
    QVERIFY(SelectStep(document, 1, SelectMultiIDs));
    QCOMPARE(selected(document.model().card(1)), (QList<int>{1, 3}));
    QCOMPARE(document.undoStack()->count(), 1); // selecting is no step
}

void TestSelection::copyToNextCard()
{
    NetworkModel model = EgoWithCards(2);
    AddNode(model, 1, alter(30, 0.3f, 1, u"1"_s));
    AddNode(model, 1, alter(60, 1.3f, 1, u"2"_s));
    AddNode(model, 1, alter(90, 0.9f, 1, u"3"_s));
    model.card(1).Nodes[2].Selected = model.card(1).Nodes[3].Selected = true;
    AddNode(model, 2, alter(0, 0.5f, 1, u"9"_s));
    model.card(2).Nodes[1].Selected = true;
    Document document;
    document.reset(model);
    QStringList info;
    document.session().infoSink = [&](const QString &line) { info << line; };

    // From the last card: the message, no change.
    document.setCurrentCard(2);
    const Status last = CopySelectedToNextCardStep(document, 2);
    QCOMPARE(last.message(), u"Attention: There is no Next Card!"_s);
    QCOMPARE(document.model().card(2), model.card(2));
    QCOMPARE(document.undoStack()->count(), 0);

    document.setCurrentCard(1);
    QVERIFY(CopySelectedToNextCardStep(document, 1));
    const NetworkCard &next = document.model().card(2);
    QCOMPARE(Labels(next), (QStringList{u"9"_s, u"2"_s, u"3"_s}));
    QCOMPARE(next.Nodes[2].Angle, 60.0f);
    QCOMPARE(next.Nodes[2].Distance, 1.3f);
    QCOMPARE(next.Nodes[3].Selected, false);
    QCOMPARE(document.model().CurrentCard, 1);
    QCOMPARE(document.model().card(1), model.card(1));
    QCOMPARE(info.size(), 1); // the copy at 1.3
    QVERIFY(info[0].startsWith(u"Attention to Node Distance: (Card 2) 2 [2]"_s));
}

void TestSelection::copyBeyondCapacityCopiesNothing()
{
    NetworkModel model = EgoWithCards(2);
    for (int i = 0; i < MaxNodes - 1; ++i)
        AddNode(model, 2, alter(0, 0.5f, 1, QString::number(i)));
    for (int i = 0; i < 3; ++i)
        AddNode(model, 1, alter(0, 0.5f, 1, u"n"_s));
    SelectAll(model.card(1));
    Document document;
    document.reset(model);

    const Status status = CopySelectedToNextCardStep(document, 1);
    QVERIFY(!status.ok());
    QVERIFY2(status.message().startsWith(u"Only 1 more nodes fit"_s), qPrintable(status.message()));
    QCOMPARE(document.model(), model);
    QCOMPARE(document.undoStack()->count(), 0);

    model.card(1).Nodes[1].Selected = model.card(1).Nodes[2].Selected = false;
    document.reset(model);
    QVERIFY(CopySelectedToNextCardStep(document, 1));
    QCOMPARE(document.model().card(2).NodeCount(), MaxNodes);
}

void TestSelection::arrowMovesMergeAndWrap()
{
    NetworkModel model = EgoWithCards(1);
    AddNode(model, 1, alter(358.5f, 0.015f, 1, u"1"_s));
    AddNode(model, 1, alter(100, 0.5f, 1, u"2"_s));
    model.card(1).Nodes[1].Selected = true;
    Document document;
    document.reset(model);

    for (int i = 0; i < 3; ++i)
        QVERIFY(MoveSelectedStep(document, 1, 1, -0.01f, Merge{MergeId::KeyMove, 5}));
    const NetworkCard &card = document.model().card(1);
    QCOMPARE(card.Nodes[1].Angle, 1.5f);
    QCOMPARE(card.Nodes[1].Distance, 0.0f);
    QCOMPARE(card.Nodes[2], model.card(1).Nodes[2]);
    QCOMPARE(document.undoStack()->count(), 1);
    QVERIFY(MoveSelectedStep(document, 1, -10, 0.1f, Merge{MergeId::KeyMove, 6}));
    QCOMPARE(card.Nodes[1].Angle, 351.5f);
    QCOMPARE(document.undoStack()->count(), 2);
}

QTEST_APPLESS_MAIN(TestSelection)
#include "tst_selection.moc"

#include "core/model/cards.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "core/egofile/egofile.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace korvalo;

using namespace Qt::StringLiterals;

namespace {

NetworkModel realEgo()
{
    Result<NetworkModel> read = ReadEgoFile(QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego"));
    if (!read)
        qFatal("%s", qPrintable(read.message()));
    return std::move(read.value());
}

QByteArray fileText(const Document &document)
{
    return EgoFileBytes(document.model());
}

// One random change of the kind the program makes, pushed as the program pushes it.
void randomStep(Document &doc, QRandomGenerator &rng)
{
    const NetworkModel &m = doc.model();
    const int cards = m.CardCount();
    const int card = cards > 0 ? 1 + int(rng.bounded(cards)) : 0;
    const int kind = int(rng.bounded(cards > 0 ? 10 : 2));
    const QString word = QString::number(rng.bounded(1000));
    switch (kind) {
    case 0: // a new card
        if (cards < MaxCards)
            doc.push(new InsertCardCommand(doc, cards + 1, NewCard(cards + 1, word, 5, u"none"_s, 2, {}, {}, {}),
                                           u"New card"_s));
        return;
    case 1: { // the ego's settings
        Ego ego = m.ego;
        ego.Misc1 = word;
        ego.Sex = int(rng.bounded(3));
        doc.push(new ReplaceEgoCommand(doc, ego, u"Ego settings"_s));
        return;
    }
    case 2:
        if (cards < MaxCards)
            doc.push(new InsertCardCommand(doc, cards + 1, DuplicatedCard(m.card(card)), u"Duplicate"_s));
        return;
    case 3:
        doc.push(new RemoveCardCommand(doc, card, u"Delete card"_s));
        return;
    case 4:
        doc.setCurrentCard(card); // not a step
        return;
    default:
        break;
    }
    // Changes of one card, some merged as a drag would be.
    const Merge merge = kind == 9 ? Merge{MergeId::NodeDrag, 7} : Merge{};
    ChangeCard(doc, card, u"Edit"_s, [&](NetworkModel &model) {
        NetworkCard &c = model.card(card);
        switch (kind) {
        case 5: {
            Node n;
            n.ID = word;
            n.Label = u"Alter "_s + word;
            n.Angle = float(rng.bounded(360.0));
            n.Distance = float(rng.bounded(1.2));
            return AddNode(model, card, n);
        }
        case 6:
            c.ID = word;
            c.CardMemo = u"memo "_s + word;
            return Status::success();
        case 7:
            return AddSector(model, card, word, 1 + int(rng.bounded(8)), float(rng.bounded(360.0)));
        case 8:
            if (c.NodeCount() > 0) {
                model.CurrentCard = card;
                return AddLine(model, 0, 1 + int(rng.bounded(c.NodeCount())), 1, int(rng.bounded(9)));
            }
            return Status::success();
        default:
            if (c.NodeCount() > 0) {
                Node &n = c.Nodes[size_t(1 + rng.bounded(c.NodeCount()))];
                n.Angle = float(rng.bounded(360.0));
                n.Distance = float(rng.bounded(1.0));
            }
            return Status::success();
        }
    }, merge);
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void randomHistoryUndoesToTheOriginalBytes();
    void historyKeepsAHundredSteps();
    void commandsThatChangeNothingAreDropped();
    void failedChangePutsTheCardBack();
    void cardCommandsNameTheirObject();
    void dragBackToTheStartLeavesNoStep();
    void stepsMergeWithinOneRunOfOneKind();
    void viewSwitchesAreNoSteps();
};

void TestUndo::randomHistoryUndoesToTheOriginalBytes()
{
    for (quint32 seed : {1u, 2u, 3u}) {
        Document doc(nullptr, 1000);
        doc.reset(realEgo());
        QRandomGenerator rng(seed);
        const QByteArray original = fileText(doc);
        // Some draws change nothing or merge into the step before: go on until 220 steps.
        for (int i = 0; i < 5000 && doc.undoStack()->count() < 220; ++i)
            randomStep(doc, rng);
        QCOMPARE(doc.undoStack()->count(), 220);
        QVERIFY(doc.isModified());
        const QByteArray final = fileText(doc);
        while (doc.undoStack()->canUndo())
            doc.undoStack()->undo();
        QCOMPARE(fileText(doc), original);
        QVERIFY(!doc.isModified());
        while (doc.undoStack()->canRedo())
            doc.undoStack()->redo();
        QCOMPARE(fileText(doc), final);
    }
}

void TestUndo::historyKeepsAHundredSteps()
{
    Document doc;
    doc.reset(realEgo());
    QByteArray after50;
    for (int i = 1; i <= 150; ++i) {
        ChangeCard(doc, 1, u"Memo"_s, [&](NetworkModel &m) {
            m.card(1).CardMemo = QString::number(i);
            return Status::success();
        });
        if (i == 50)
            after50 = fileText(doc);
    }
    QCOMPARE(doc.undoStack()->count(), Document::UndoLimit);
    while (doc.undoStack()->canUndo())
        doc.undoStack()->undo();
    QCOMPARE(fileText(doc), after50);
}

void TestUndo::commandsThatChangeNothingAreDropped()
{
    Document doc;
    doc.reset(realEgo());
    QSignalSpy changed(&doc, &Document::changed);
    QVERIFY(ChangeCard(doc, 1, u"Nothing"_s, [](NetworkModel &) { return Status::success(); }).ok());
    QVERIFY(!doc.push(new ReplaceEgoCommand(doc, doc.model().ego, u"Ego settings"_s)));
    // Card numbers with no card to remove or no place to insert at.
    const int cards = doc.model().CardCount();
    for (int at : {0, cards + 1, -1})
        QVERIFY(!doc.push(new RemoveCardCommand(doc, at, u"Delete card"_s)));
    for (int at : {0, cards + 2})
        QVERIFY(!doc.push(new InsertCardCommand(doc, at, NewCard(1, u"new"_s, 5, u"none"_s, 2, {}, {}, {}),
                                                u"New card"_s)));
    QCOMPARE(doc.model().CardCount(), cards);
    QCOMPARE(doc.undoStack()->count(), 0);
    QVERIFY(!doc.isModified());
    QCOMPARE(changed.count(), 0);
    // A card that does not exist is refused.
    QVERIFY(!ChangeCard(doc, 99, u"Edit"_s, [](NetworkModel &) { return Status::success(); }).ok());
}

void TestUndo::failedChangePutsTheCardBack()
{
    Document doc;
    doc.reset(realEgo());
    const QByteArray before = fileText(doc);
    const Status s = ChangeCard(doc, 1, u"Add"_s, [](NetworkModel &m) {
        m.card(1).CardMemo = u"half done"_s;
        return Status::failure(u"A network card holds at most 1000 nodes."_s);
    });
    QCOMPARE(s.message(), u"A network card holds at most 1000 nodes."_s);
    QCOMPARE(fileText(doc), before);
    QCOMPARE(doc.undoStack()->count(), 0);
}

void TestUndo::cardCommandsNameTheirObject()
{
    Document doc;
    doc.reset(realEgo());
    const int cards = doc.model().CardCount();
    const QString id = doc.model().card(2).ID;
    doc.setCurrentCard(2);
    doc.push(new RemoveCardCommand(doc, 2, u"Delete card \"%1\""_s.arg(id)));
    QCOMPARE(doc.undoStack()->undoText(), u"Delete card \"%1\""_s.arg(id));
    QCOMPARE(doc.model().CardCount(), cards - 1);
    doc.undoStack()->undo();
    QCOMPARE(doc.model().card(2).ID, id);
    QCOMPARE(doc.model().CurrentCard, 2);
    QCOMPARE(doc.undoStack()->redoText(), u"Delete card \"%1\""_s.arg(id));
}

void TestUndo::dragBackToTheStartLeavesNoStep()
{
    Document doc;
    doc.reset(realEgo());
    const float start = doc.model().card(1).Nodes[1].Angle;
    for (float angle : {start + 5, start + 10, start}) {
        ChangeCard(doc, 1, u"Move node"_s, [angle](NetworkModel &m) {
            m.card(1).Nodes[1].Angle = angle;
            return Status::success();
        }, Merge{MergeId::NodeDrag, 3});
    }
    QCOMPARE(doc.undoStack()->count(), 0);
    QVERIFY(!doc.isModified());
}

void TestUndo::stepsMergeWithinOneRunOfOneKind()
{
    Document doc;
    doc.reset(realEgo());
    auto move = [&](Merge merge, int card = 1) {
        ChangeCard(doc, card, u"Move"_s, [&](NetworkModel &m) {
            m.card(card).Nodes[1].Angle += 1;
            return Status::success();
        }, merge);
    };
    move({MergeId::NodeDrag, 1});
    move({MergeId::NodeDrag, 1});
    QCOMPARE(doc.undoStack()->count(), 1);
    // The next drag, a key move of the same run number, another card, no merging at all.
    move({MergeId::NodeDrag, 2});
    QCOMPARE(doc.undoStack()->count(), 2);
    move({MergeId::KeyMove, 2});
    QCOMPARE(doc.undoStack()->count(), 3);
    move({MergeId::KeyMove, 2}, 2);
    QCOMPARE(doc.undoStack()->count(), 4);
    move({});
    move({});
    QCOMPARE(doc.undoStack()->count(), 6);
}

void TestUndo::viewSwitchesAreNoSteps()
{
    Document doc;
    doc.reset(realEgo());
    QSignalSpy changed(&doc, &Document::changed);
    QSignalSpy view(&doc, &Document::viewChanged);
    doc.setViewSwitch(&ViewSwitchState::ShowSectorSize1, true);
    doc.setViewSwitch(&ViewSwitchState::ShowSectorLabels1, false);
    doc.setViewSwitch(&ViewSwitchState::ShowSectorLabels1, false); // no change, no signal
    doc.setNodeBaseSize(14);
    doc.setNodeBaseSize(14);
    QCOMPARE(view.count(), 3);
    // The sizes go with the labels.
    const ViewOptions options = doc.viewOptions();
    QVERIFY(!options.ShowSectorLabels1);
    QVERIFY(!options.ShowSectorSize1);
    QCOMPARE(options.NodeBaseSize, 14);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(doc.undoStack()->count(), 0);
    QVERIFY(!doc.isModified());
}

QTEST_GUILESS_MAIN(TestUndo)
#include "tst_undo.moc"

#include "builders.h"
#include "core/edit/cardedits.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "core/edit/nodeform.h"
#include "core/map/geometry.h"
#include "core/model/textutil.h"

#include <QTest>

using namespace korvalo;

// The node and line dialogs' checks and saves, and the table operations behind deleting
// nodes and lines and the two line tools.
namespace {

const QSize Map(600, 500);

struct Doc
{
    Document document;
    QStringList info;
    explicit Doc(NetworkModel model)
    {
        document.reset(std::move(model));
        document.session().infoSink = [this](const QString &line) { info << line; };
    }
    const NetworkCard &card() const { return document.model().card(1); }
};

NodeForm filledAdd(const QString &id = QStringLiteral("P7"), const QString &label = QStringLiteral("Neighbour"))
{
    NodeForm f;
    f.ID = id;
    f.Label = label;
    f.Distance = QStringLiteral("0.500");
    return f;
}

QList<QPair<int, int>> ends(const NetworkCard &card)
{
    QList<QPair<int, int>> result;
    for (int l = 1; l <= card.LineCount(); ++l)
        result << qMakePair(card.Lines[size_t(l)].A, card.Lines[size_t(l)].B);
    return result;
}

} // namespace

class TestNodeForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validationInOrder_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("group");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("distance");
        QTest::addColumn<QString>("message");
        const QString ok = QStringLiteral("0.5");
        QTest::newRow("blank ID") << " \t " << "L" << false << "" << ok << "\"Node ID\" is obligatory!";
        QTest::newRow("blank label") << "A" << "  " << false << "" << ok << "\"Label\" is obligatory!";
        QTest::newRow("both blank: ID first") << "" << "" << false << "" << ok << "\"Node ID\" is obligatory!";
        QTest::newRow("empty group size") << "A" << "L" << true << " " << ok << "\"Group Size must be at least 2!";
        QTest::newRow("group size 1") << "A" << "L" << true << "1" << ok << "\"Group Size must be at least 2!";
        QTest::newRow("group size too big") << "A" << "L" << true << "99999999999" << ok
                                            << "\"Group Size\" must be a whole number, for example 3; \"99999999999\" is none.";
        QTest::newRow("distance no number") << "A" << "L" << false << "" << "near"
                                            << "\"Distance to Ego\" must be a number, for example 0.750; \"near\" is none.";
    }
    void validationInOrder()
    {
        QFETCH(QString, id);
        QFETCH(QString, label);
        QFETCH(bool, group);
        QFETCH(QString, size);
        QFETCH(QString, distance);
        QFETCH(QString, message);
        Doc d(oneCardModel());
        NodeForm f = filledAdd(id, label);
        f.Group = group;
        f.GroupSize = size;
        f.Distance = distance;
        const Status status = SaveNodeForm(d.document, f, {400, 250}, Map);
        QVERIFY(!status);
        QCOMPARE(status.message(), message);
        QCOMPARE(d.card().NodeCount(), 0);
        QCOMPARE(d.document.undoStack()->count(), 0);
        if (group && IsBlank(size))
            QCOMPARE(f.GroupSize, std::optional<QString>(QStringLiteral("0")));
    }

    void addStoresTheFields()
    {
        Doc d(oneCardModel());
        NodeForm f = filledAdd(QStringLiteral(" P7 "));
        f.Group = false;
        f.GroupSize = QStringLiteral("7"); // hidden while unticked: not stored
        f.Human = 0;
        f.Symbol = 2;
        f.Color = 5;
        f.Sex = QStringLiteral("somebody"); // typed text is kept
        QVERIFY(SaveNodeForm(d.document, f, {300, 100}, Map));
        const Node &n = d.card().Nodes[1];
        QCOMPARE(n.ID, QStringLiteral(" P7 ")); // stored with its blanks
        QCOMPARE(n.Size, 1);
        QCOMPARE(n.Human, QStringLiteral("FALSE"));
        QCOMPARE(n.Symbol, QStringLiteral("triangle"));
        QCOMPARE(n.Color, 5);
        QCOMPARE(n.Sex, QStringLiteral("somebody"));
        QCOMPARE(n.Angle, AngleAt(300, 100, 600, 500));
        QCOMPARE(n.Distance, 0.5f);
        QCOMPARE(d.document.undoStack()->text(0), QStringLiteral("Add node \"Neighbour\""));

        f.Group = true;
        f.GroupSize = QStringLiteral("2");
        QVERIFY(SaveNodeForm(d.document, f, {300, 100}, Map));
        QCOMPARE(d.card().Nodes[2].Size, 2);
    }

    void distanceWarningAboveOnePointTwoFive()
    {
        Doc d(oneCardModel());
        NodeForm f = filledAdd();
        f.Distance = QStringLiteral("1.25");
        QVERIFY(SaveNodeForm(d.document, f, {300, 100}, Map));
        QVERIFY(d.info.isEmpty());
        f.Distance = QStringLiteral("1.3");
        QVERIFY(SaveNodeForm(d.document, f, {300, 100}, Map));
        QCOMPARE(d.info, QStringList{QStringLiteral("Attention to Node Distance: (Wave 1) Neighbour [P7]. Distance=1.3000")});
        QCOMPARE(d.card().NodeCount(), 2);
    }

    void theSessionsDecimalSeparator()
    {
        Doc d(oneCardModel());
        d.document.session().DecimalSeparator = u',';
        NodeForm f = filledAdd();
        f.Distance = QStringLiteral("0,25");
        QVERIFY(SaveNodeForm(d.document, f, {300, 100}, Map));
        QCOMPARE(d.card().Nodes[1].Distance, 0.25f);
        f.Distance = QStringLiteral("zero");
        QCOMPARE(SaveNodeForm(d.document, f, {300, 100}, Map).message(),
                 QStringLiteral("\"Distance to Ego\" must be a number, for example 0,750; \"zero\" is none."));
    }

    void modifyKeepsAngleAndEmptiesMerger()
    {
        NetworkModel model = oneCardModel();
        Node n = alter(33, 0.9f, 3, QStringLiteral("K"), QStringLiteral("Kim"));
        n.Merger = QStringLiteral("K=K2");
        n.Selected = true;
        n.Size = 4;
        AddNode(model, 1, n);
        model.card(1).Nodes[1].Selected = true;
        Doc d(std::move(model));
        NodeForm f = PrepareNodeModify(d.card(), 1, 1, u'.');
        QCOMPARE(f.Distance, QStringLiteral("0.900"));
        QVERIFY(f.Group);
        QCOMPARE(f.GroupSize, std::optional<QString>(QStringLiteral("4")));
        f.Distance = QStringLiteral("0.500");
        f.Distance = QStringLiteral("0.500");
        QVERIFY(SaveNodeForm(d.document, f, {0, 0}, Map));
        const Node &after = d.card().Nodes[1];
        QCOMPARE(after.Angle, 33.f);
        QCOMPARE(after.Distance, 0.5f);
        QCOMPARE(after.Merger, QString());
        QVERIFY(after.Selected);
        QCOMPARE(after.Size, 4);
        QVERIFY(d.info.isEmpty()); // no warning when modifying
    }

    void anUnknownSymbolIsKept()
    {
        NetworkModel model = oneCardModel();
        Node n = alter(0, 0.5f, 1, QStringLiteral("S"));
        n.Symbol = QStringLiteral("star");
        AddNode(model, 1, n);
        Doc d(std::move(model));
        NodeForm f = PrepareNodeModify(d.card(), 1, 1, u'.');
        QCOMPARE(f.Symbol, SymbolUnknown);
        f.Memo1 = QStringLiteral("edited");
        QVERIFY(SaveNodeForm(d.document, f, {}, Map));
        QCOMPARE(d.card().Nodes[1].Symbol, QStringLiteral("star"));
        f = PrepareNodeModify(d.card(), 1, 1, u'.');
        f.Symbol = 0; // the user picked "no symbol"
        QVERIFY(SaveNodeForm(d.document, f, {}, Map));
        QCOMPARE(d.card().Nodes[1].Symbol, QString());
    }

    void aStaleModifyChangesNothing()
    {
        NetworkModel model = cardWithIDs({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        AddCard(model, QStringLiteral("Wave 2"), 0, QStringLiteral("none"), 1, {}, {}, {});
        model.CurrentCard = 1;
        Doc d(std::move(model));
        NodeForm f = PrepareNodeModify(d.card(), 1, 1, u'.');
        f.Memo1 = QStringLiteral("for A");

        // A is deleted and C moves into its slot.
        ChangeCard(d.document, 1, QStringLiteral("Delete"), [](NetworkModel &m) {
            DeleteNode(m.card(1), 1);
            return Status::success();
        });
        Status status = SaveNodeForm(d.document, f, {}, Map);
        QVERIFY(!status);
        QVERIFY(status.message().contains(QStringLiteral("\"A\" was deleted, renumbered or changed")));
        QCOMPARE(d.card().Nodes[1].Memo1, QString());

        // Undone, it is A again; but on another card it is not.
        d.document.undoStack()->undo();
        d.document.setCurrentCard(2);
        status = SaveNodeForm(d.document, f, {}, Map);
        QVERIFY(!status);
        QVERIFY(status.message().contains(QStringLiteral("\"Wave 1\", but the current card is now \"Wave 2\"")));
        d.document.setCurrentCard(1);
        // Dragged meanwhile is still the same node.
        ChangeCard(d.document, 1, QStringLiteral("Drag"), [](NetworkModel &m) {
            m.card(1).Nodes[1].Angle = 200;
            return Status::success();
        });
        QVERIFY(SaveNodeForm(d.document, f, {}, Map));
        QCOMPARE(d.card().Nodes[1].Memo1, QStringLiteral("for A"));
        QCOMPARE(d.card().Nodes[1].Angle, 200.f);
    }

    void nodeCapacity()
    {
        NetworkModel model = oneCardModel();
        for (int i = 0; i < MaxNodes; ++i)
            AddNode(model, 1, alter(0, 0.5f, 1, QStringLiteral("N")));
        Doc d(std::move(model));
        NodeForm f = filledAdd();
        const Status status = SaveNodeForm(d.document, f, {}, Map);
        QVERIFY(!status);
        QCOMPARE(status.message(), QStringLiteral("A network card holds at most 1000 nodes."));
        QCOMPARE(d.document.undoStack()->count(), 0);
    }

    void lineFormAddAndModify()
    {
        Doc d(cardWithIDs({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        // Untouched panels: silver, which stands for gray (0); value 1.
        QVERIFY(SaveLineForm(d.document, PrepareLineAdd(d.card(), 1, 0, 2), 1, LineColorOfPanel(7)));
        QCOMPARE(d.card().Lines[1], (Line{0, 2, 1, 0}));
        QCOMPARE(PrepareLineAdd(d.card(), 1, 0, 2).labelA, QStringLiteral("Ego"));
        QCOMPARE(LineColorOfPanel(1), 1);
        QCOMPARE(LineColorOfPanel(8), 8);

        QVERIFY(SaveLineForm(d.document, PrepareLineAdd(d.card(), 1, 1, 3), 1, 0));
        const LineForm modify = PrepareLineModify(d.card(), 1, 2);
        QVERIFY(SaveLineForm(d.document, modify, 7, 3));
        QCOMPARE(d.card().Lines[2], (Line{1, 3, 7, 3}));
        QCOMPARE(d.card().LineCount(), 2);

        // After line 1 went, line 2 is line 1: the form for line 2 refuses.
        ChangeCard(d.document, 1, QStringLiteral("Delete"), [](NetworkModel &m) {
            DeleteLine(m.card(1), 1);
            return Status::success();
        });
        QVERIFY(!SaveLineForm(d.document, modify, 9, 4));
        QCOMPARE(d.card().Lines[1], (Line{1, 3, 7, 3}));

        // The ends of a line being added were renumbered: refused as well.
        const LineForm add = PrepareLineAdd(d.card(), 1, 2, 3);
        ChangeCard(d.document, 1, QStringLiteral("Delete"), [](NetworkModel &m) {
            DeleteNode(m.card(1), 2);
            return Status::success();
        });
        const Status status = SaveLineForm(d.document, add, 1, 0);
        QVERIFY(!status);
        QVERIFY(status.message().contains(QStringLiteral("\"B\" or \"C\"")));
        QCOMPARE(d.card().LineCount(), 1);
    }

    void deleteNodeRenumbers()
    {
        NetworkModel model = cardWithIDs({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        NetworkCard &card = model.card(1);
        card.Lines = {Line{}, Line{1, 2, 1, 0}, Line{2, 3, 1, 0}, Line{3, 0, 1, 0}};
        NetworkCard last = card;
        DeleteNode(card, 1);
        QCOMPARE(card.NodeCount(), 2);
        QCOMPARE(card.Nodes[1].ID, QStringLiteral("3"));
        // (3–0) moved into the slot of (1–2) before the renumbering.
        QCOMPARE(ends(card), (QList<QPair<int, int>>{{1, 0}, {2, 1}}));

        DeleteNode(last, 3); // the last node: its lines go, nothing is renumbered
        QCOMPARE(ends(last), (QList<QPair<int, int>>{{1, 2}}));

        NetworkCard hub = cardWithIDs({QStringLiteral("H"), QStringLiteral("x"), QStringLiteral("y")}).card(1);
        hub.Lines = {Line{}, Line{1, 2, 1, 0}, Line{3, 1, 1, 0}, Line{1, 0, 1, 0}, Line{1, 1, 1, 0}};
        DeleteNode(hub, 1);
        QCOMPARE(hub.LineCount(), 0);
        DeleteNode(hub, 0); // the ego is never deleted
        QCOMPARE(hub.NodeCount(), 2);
    }

    void lineTools()
    {
        NetworkModel model = cardWithIDs({QStringLiteral("K"), QStringLiteral("K"), QStringLiteral("K"),
                                          QStringLiteral("k"), QString(), QString()});
        NetworkCard &card = model.card(1);
        int added = 0;
        QVERIFY(ConnectIdenticalIDs(card, &added));
        QCOMPARE(added, 4);
        QCOMPARE(ends(card), (QList<QPair<int, int>>{{1, 2}, {1, 3}, {2, 3}, {5, 6}}));
        QCOMPARE(card.Lines[1].LineColor, 1);
        QCOMPARE(card.Lines[1].LineSize, 1);
        QVERIFY(ConnectIdenticalIDs(card));
        QCOMPARE(card.LineCount(), 8);

        card.Lines[2].LineColor = 3;
        QCOMPARE(DeleteRedLines(card), 7);
        QCOMPARE(ends(card), (QList<QPair<int, int>>{{1, 3}}));

        NetworkCard mixed = card;
        mixed.Lines = {Line{}, Line{1, 2, 1, 1}, Line{2, 3, 1, 3}, Line{3, 4, 1, 1}};
        DeleteRedLines(mixed);
        QCOMPARE(ends(mixed), (QList<QPair<int, int>>{{2, 3}}));
    }

    void connectIdenticalIDsWithinCapacity()
    {
        QStringList ids;
        for (int i = 0; i < 46; ++i)
            ids << QStringLiteral("same"); // 46 * 45 / 2 = 1035 pairs
        NetworkCard card = cardWithIDs(ids).card(1);
        const Status status = ConnectIdenticalIDs(card);
        QVERIFY(!status);
        QVERIFY(status.message().contains(QStringLiteral("1035 new lines")));
        QCOMPARE(card.LineCount(), 0);
        ids.resize(45); // 990 pairs fit
        NetworkCard fits = cardWithIDs(ids).card(1);
        QVERIFY(ConnectIdenticalIDs(fits));
        QCOMPARE(fits.LineCount(), 990);
    }
};

QTEST_MAIN(TestNodeForm)
#include "tst_nodeform.moc"

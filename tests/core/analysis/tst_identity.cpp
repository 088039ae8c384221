#include "builders.h"
#include "core/analysis/identity.h"
#include "core/edit/document.h"
#include "core/edit/identityedits.h"
#include "core/egofile/egofile.h"

#include <QTest>

using namespace korvalo;

namespace {

QStringList collect(NetworkModel &model, ReportMode mode = ReportMode::lang)
{
    QStringList lines;
    MergeUnsureNodeMergings(model, mode, [&](const QString &l) { lines.append(l); });
    return lines;
}

QStringList ids(const NetworkCard &card)
{
    QStringList out;
    for (int i = 1; i <= card.NodeCount(); ++i)
        out << card.Nodes[size_t(i)].ID;
    return out;
}

QStringList mergers(const NetworkCard &card)
{
    QStringList out;
    for (int i = 1; i <= card.NodeCount(); ++i)
        out << card.Nodes[size_t(i)].Merger;
    return out;
}

// Two cards: A and B on the first, B and C on the second.
NetworkModel twoWaves()
{
    NetworkModel m = EgoWithNamedCards({QStringLiteral("w1"), QStringLiteral("w2")});
    AddNode(m, 1, alter(10, 0.5f, 1, QStringLiteral("A")));
    AddNode(m, 1, alter(20, 0.5f, 1, QStringLiteral("B")));
    AddNode(m, 2, alter(30, 0.5f, 1, QStringLiteral("B")));
    AddNode(m, 2, alter(40, 0.5f, 1, QStringLiteral("C")));
    return m;
}

} // namespace

class TestIdentity : public QObject
{
    Q_OBJECT
private slots:
    void applyWritesPartnersAndRebuildsTheList()
    {
        NetworkModel m = twoWaves();
        QVERIFY(ApplyMergerGroups(m, {{QStringLiteral("A"), QStringLiteral("B")}}));
        QCOMPARE(mergers(m.card(1)), (QStringList{"|B|", "|A|"}));
        QCOMPARE(mergers(m.card(2)), (QStringList{"|A|", ""}));
        QCOMPARE(MergerGroupsOf(m), (std::vector<MergerGroup>{{"A", "B"}}));

        // A node written in another case belongs to the group too.
        m.card(2).Nodes[2].ID = QStringLiteral("a");
        QVERIFY(ApplyMergerGroups(m, {{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C-1")}}));
        QCOMPARE(mergers(m.card(2)), (QStringList{"|A|C-1|", "|B|C-1|"}));
        QCOMPARE(MergerGroupsOf(m), (std::vector<MergerGroup>{{"A", "B"}}));

        QVERIFY(ApplyMergerGroups(m, {}));
        QCOMPARE(mergers(m.card(1)) + mergers(m.card(2)), (QStringList{"", "", "", ""}));
        QVERIFY(MergerGroupsOf(m).empty());
    }

    void separatorsInAnIDAreRefused()
    {
        NetworkModel m = twoWaves();
        QVERIFY(ApplyMergerGroups(m, {{QStringLiteral("A"), QStringLiteral("B")}}));
        const NetworkModel before = m;
        const Status refused = ApplyMergerGroups(m, {{QStringLiteral("A"), QStringLiteral("x|y")}});
        QVERIFY(!refused);
        QVERIFY(refused.message().contains(QStringLiteral("\"x|y\"")));
        QVERIFY(m == before);
        QVERIFY(!CheckMergerGroups({{QStringLiteral("a=b")}}));
    }

    void chooserOffersEachIDOnceSorted()
    {
        NetworkModel m = twoWaves();
        m.card(2).Nodes[1].ID = QStringLiteral("b");
        AddNode(m, 2, alter(0, 0.5f, 1, QStringLiteral("A-x"), QStringLiteral("Ann")));
        QStringList texts;
        for (const MergerChoice &c : MergerChoices(m))
            texts << c.text();
        QCOMPARE(texts, (QStringList{"A-A", "A-x-Ann", "B-B", "C-C"}));
        QCOMPARE(MergerChoices(m)[1].id, QStringLiteral("A-x"));
    }

    void mergeJoinsAGroupUnderItsFirstID()
    {
        NetworkModel m = cardWithIDs({"A", "B", "C", "D"});
        QVERIFY(ApplyMergerGroups(m, {{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}}));
        QCOMPARE(collect(m), (QStringList{"Card: Wave 1", "B->A", "C->A"}));
        QCOMPARE(ids(m.card(1)), (QStringList{"A", "A", "A", "D"}));
        QCOMPARE(mergers(m.card(1)), (QStringList{"", "", "", ""}));
        // Nothing is left to merge.
        QCOMPARE(collect(m), (QStringList{"Card: Wave 1"}));
        QVERIFY(collect(m, ReportMode::nix).isEmpty());
    }

    void mergeFollowsGroupsAcrossCardsAndCase()
    {
        // B only on card 1 names A; A on card 2 names B; C on card 2 is tied to B by a
        // second group; "b" differs from B only in case.
        NetworkModel m = EgoWithNamedCards({QStringLiteral("w1"), QStringLiteral("w2")});
        Node b = alter(0, 0.5f, 1, QStringLiteral("B"));
        b.Merger = QStringLiteral("|A|");
        AddNode(m, 1, b);
        Node a = alter(0, 0.5f, 1, QStringLiteral("A"));
        a.Merger = QStringLiteral("|B|");
        AddNode(m, 2, a);
        Node c = alter(0, 0.5f, 1, QStringLiteral("C"));
        c.Merger = QStringLiteral("|b|");
        AddNode(m, 2, c);
        AddNode(m, 2, alter(0, 0.5f, 1, QStringLiteral("b")));
        QCOMPARE(collect(m), (QStringList{"Card: w1", "Card: w2", "A->B", "C->B", "b->B"}));
        QCOMPARE(ids(m.card(2)), (QStringList{"B", "B", "B"}));
    }

    void plausibilityListsConflictingLabelsAndCaseForms()
    {
        NetworkModel m = EgoWithNamedCards({QStringLiteral("w1"), QStringLiteral("w2")});
        AddNode(m, 1, alter(0, 0.5f, 1, QStringLiteral("7"), QStringLiteral("Anna")));
        AddNode(m, 2, alter(0, 0.5f, 1, QStringLiteral("7"), QStringLiteral("Anna")));
        QVERIFY(IDLabelPlausibility(m).isEmpty());

        AddNode(m, 2, alter(0, 0.5f, 1, QStringLiteral("7"), QStringLiteral("Ann")));
        AddNode(m, 2, alter(0, 0.5f, 1, QStringLiteral("x"), QStringLiteral("Xa")));
        AddNode(m, 2, alter(0, 0.5f, 1, QStringLiteral("X"), QStringLiteral("Xa")));
        QCOMPARE(IDLabelPlausibility(m),
                 (QStringList{"A1 Anna", "7-Anna   7-Ann", "7-Anna   7-Ann",
                              PlausibilityCaseHeading, "x   X"}));
    }

    void aggregateSummarisesBySectorAndColour()
    {
        NetworkModel m = oneCardModel();
        AddSectors(m, 1, {{"Family", 0}, {"Work", 180}});
        AddNode(m, 1, alter(350, 0.2f, 1, QStringLiteral("r1")));  // Work
        AddNode(m, 1, alter(10, 0.4f, 1, QStringLiteral("r2")));   // Family
        AddNode(m, 1, alter(20, 0.6f, 1, QStringLiteral("r3")));   // Family
        AddNode(m, 1, alter(30, 0.3f, 3, QStringLiteral("b1")));   // Family
        AddNode(m, 1, alter(190, 0.5f, 0, QStringLiteral("g")));   // Work, colour 0
        m.card(1).Nodes[3].Size = 3;

        QStringList lines;
        QVERIFY(AggregateNodes(m, 1, [&](const QString &l) { lines << l; }, u','));
        QCOMPARE(m.CardCount(), 2);
        QCOMPARE(m.CurrentCard, 2);
        const NetworkCard &n = m.card(2);
        QCOMPARE(n.ID, QStringLiteral("Wave 1 aggr"));
        QCOMPARE(n.SectorCount(), 2);
        QCOMPARE(lines, (QStringList{"Family", "1 2 0,50", "3 1 0,30", "Work", "1 1 0,20", "0 1 0,50"}));
        QCOMPARE(ids(n), (QStringList{"A-1", "A-2", "A-3", "A-4"}));
        QCOMPARE(n.Nodes[1].Color, 1);
        QCOMPARE(n.Nodes[1].Size, 4);
        QCOMPARE(n.Nodes[1].Angle, 15.0f);
        QCOMPARE(n.Nodes[2].Color, 3);
        QCOMPARE(n.Nodes[4].Color, 0);
        QCOMPARE(n.Nodes[1].NodeSize, QStringLiteral("biggest"));

        // The mean of 350° and 10° points up, not down.
        NetworkModel wrap = oneCardModel();
        AddNode(wrap, 1, alter(350, 0.5f, 2, QStringLiteral("p")));
        AddNode(wrap, 1, alter(10, 0.5f, 2, QStringLiteral("q")));
        lines.clear();
        const NetworkCard summary = AggregatedCard(wrap.card(1), &lines);
        QCOMPARE(lines, (QStringList{AggregateNoSector, "2 2 0.50"}));
        QCOMPARE(summary.Nodes[1].Angle, 0.0f);
        QCOMPARE(summary.Nodes[1].Size, 2);

        NetworkModel full = EgoWithCards(MaxCards);
        QVERIFY(!AggregateNodes(full, 1, {}));
        QCOMPARE(full.CardCount(), MaxCards);
    }

    void eachToolIsOneUndoableStep()
    {
        NetworkModel m = twoWaves();
        AddSectors(m, 1, {{"Family", 0}});
        Document doc;
        doc.reset(m);
        const QByteArray saved = EgoFileBytes(doc.model());

        QVERIFY(ApplyMergerGroups(doc, {{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}}));
        QCOMPARE(MergeUnsureNodeMergings(doc, ReportMode::nix, {}), 3);
        doc.setCurrentCard(1);
        QVERIFY(AggregateNodes(doc, {}, u'.'));
        QCOMPARE(doc.undoStack()->count(), 3);
        QCOMPARE(doc.model().CardCount(), 3);
        // Nothing left to merge: no step.
        QCOMPARE(MergeUnsureNodeMergings(doc, ReportMode::nix, {}), 0);
        QCOMPARE(doc.undoStack()->count(), 3);

        doc.undoStack()->undo();
        QCOMPARE(doc.model().CardCount(), 2);
        doc.undoStack()->undo();
        QCOMPARE(ids(doc.model().card(2)), (QStringList{"B", "C"}));
        doc.undoStack()->undo();
        QCOMPARE(EgoFileBytes(doc.model()), saved);
    }
};

QTEST_GUILESS_MAIN(TestIdentity)
#include "tst_identity.moc"

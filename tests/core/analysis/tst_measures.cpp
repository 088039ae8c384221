#include "builders.h"
#include "core/analysis/measures.h"

#include <QTest>

using namespace korvalo;
using namespace Qt::StringLiterals;

// The ego-network measures of a card, checked through the rows the CLI and the window
// show: the worked example of the manual, what counts as a tie, the composition over each
// attribute, and the measures that are not defined.
class TestMeasures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void workedExample();
    void tiesCountOncePerPairOfAlters();
    void compositionByAttribute();
    void undefinedMeasuresSayNA();
    void delimitedCells();

private:
    static QStringList row(const NetworkModel &model, MeasureAttribute attribute = MeasureAttribute::Sex)
    {
        return CardMeasureRow(u"E"_s, 1, MeasureCard(model.ego, model.card(1), 1, attribute));
    }
};

void TestMeasures::workedExample()
{
    const NetworkModel model = measuresExampleModel();
    const QStringList expected{u"E"_s,     u"1"_s,     u"6"_s,     u"4"_s,     u"0.267"_s, u"3"_s,
                               u"1"_s,     u"0.200"_s, u"4.667"_s, u"0.778"_s, u"0.384"_s, u"0.333"_s,
                               u"0.000"_s, u"0.444"_s, u"0.889"_s, u"0.918"_s};
    QCOMPARE(row(model), expected);

    const std::vector<SectorMeasures> sectors = MeasureSectors(model.card(1));
    QCOMPARE(sectors.size(), size_t(3));
    QCOMPARE(SectorMeasureRow(u"E"_s, 1, sectors[0]),
             (QStringList{u"E"_s, u"1"_s, u"1"_s, u"Family"_s, u"3"_s, u"3"_s, u"1.000"_s, u"0.000"_s}));
    QCOMPARE(SectorMeasureRow(u"E"_s, 1, sectors[2]),
             (QStringList{u"E"_s, u"1"_s, u"3"_s, u"Friends"_s, u"1"_s, u"0"_s, u"NA"_s, u"NA"_s}));

    // A tie from Family to Work: one of Family's four ties and one of Work's two cross.
    NetworkModel crossing = model;
    AddLine(crossing, 1, 4, 1, 0);
    const std::vector<SectorMeasures> after = MeasureSectors(crossing.card(1));
    QCOMPARE(FormatMeasure(after[0].crossingShare), u"0.250"_s);
    QCOMPARE(FormatMeasure(after[1].crossingShare), u"0.500"_s);
}

void TestMeasures::tiesCountOncePerPairOfAlters()
{
    NetworkModel model = measuresExampleModel();
    AddLine(model, 2, 1, 3, 0); // A-B again, reversed
    AddLine(model, 1, 2, 1, 4); // and again
    AddLine(model, 6, 6, 1, 0); // a loop
    AddLine(model, 0, 6, 1, 0); // to the ego, which is tied to everyone anyway
    AddLine(model, 5, 6, 0, 0); // a line of size 0
    const CardMeasures m = MeasureCard(model.ego, model.card(1), 1, MeasureAttribute::Sex);
    QCOMPARE(m.ties, 4);
    QCOMPARE(m.isolates, std::optional<int>(1));
    QVERIFY(m.warnings.isEmpty());

    // The same person drawn twice is two positions, and the user is told.
    model.card(1).Nodes[6].ID = u"a"_s;
    const CardMeasures twice = MeasureCard(model.ego, model.card(1), 1, MeasureAttribute::Sex);
    QCOMPARE(twice.size, 6);
    QCOMPARE(twice.warnings.size(), 1);
    QVERIFY(twice.warnings[0].contains(u"\"A\" stands on 2 nodes"_s));
}

void TestMeasures::compositionByAttribute()
{
    NetworkModel model = measuresExampleModel();
    // Sector: the ego is in no sector; three sectors, alters 3/2/1.
    QStringList r = row(model, MeasureAttribute::Sector);
    QCOMPARE(r.mid(11), (QStringList{u"NA"_s, u"-1.000"_s, u"0.611"_s, u"0.917"_s, u"1.459"_s}));

    // Colour: compared with the ego's colour on the card (2); K is the palette's 8.
    model.card(1).Nodes[1].Color = 2;
    r = row(model, MeasureAttribute::Color);
    QCOMPARE(r.mid(11), (QStringList{u"0.667"_s, u"0.000"_s, u"0.278"_s, u"0.317"_s, u"0.650"_s}));

    // Role: empty and "undefined" are left out; K is the card's distinct roles.
    model.card(1).Nodes[1].Role = u"Mother"_s;
    model.card(1).Nodes[2].Role = u"mother"_s;
    model.card(1).Nodes[3].Role = u"Uncle"_s;
    model.card(1).Nodes[4].Role = u"undefined"_s;
    r = row(model, MeasureAttribute::Role);
    QCOMPARE(r.mid(11), (QStringList{u"NA"_s, u"0.333"_s, u"0.444"_s, u"0.889"_s, u"0.918"_s}));

    // Sex left out where undefined: the ego-alter EI counts only the alters that count.
    model.card(1).Nodes[3].Sex = u"undefined"_s;
    r = row(model, MeasureAttribute::Sex);
    QCOMPARE(r[11], u"0.200"_s);
}

void TestMeasures::undefinedMeasuresSayNA()
{
    NetworkModel model = oneCardModel();
    QCOMPARE(row(model).mid(2), (QStringList{u"0"_s, u"0"_s} + QStringList(12, u"NA"_s)));

    // Two alters of unknown sex, ego's sex unknown: density, but no centralization or
    // composition.
    AddNode(model, 1, alter(10, 0.5f, 1, u"X"_s));
    AddNode(model, 1, alter(20, 0.5f, 1, u"Y"_s));
    QCOMPARE(row(model).mid(2), (QStringList{u"2"_s, u"0"_s, u"0.000"_s, u"2"_s, u"2"_s, u"NA"_s,
                                             u"2.000"_s, u"1.000"_s, u"0.500"_s} + QStringList(5, u"NA"_s)));

    // One category only: Blau and entropy 0, but no sector table without sectors and no
    // IQV when the card offers a single role.
    model.card(1).Nodes[1].Role = u"Friend"_s;
    QCOMPARE(row(model, MeasureAttribute::Role).mid(13), (QStringList{u"0.000"_s, u"NA"_s, u"0.000"_s}));
    QVERIFY(MeasureSectors(model.card(1)).empty());
}

void TestMeasures::delimitedCells()
{
    const QStringList cells{u"Smith, J."_s, u"say \"hi\""_s, u"a\tb"_s, u"plain"_s};
    QCOMPARE(DelimitedLine(cells, u','), u"\"Smith, J.\",\"say \"\"hi\"\"\",a\tb,plain"_s);
    QCOMPARE(DelimitedLine(cells, u'\t'), u"Smith, J.\tsay \"hi\"\ta b\tplain"_s);
}

QTEST_GUILESS_MAIN(TestMeasures)
#include "tst_measures.moc"

#include "builders.h"
#include "core/analysis/cardanalyses.h"
#include "core/analysis/compare.h"

#include <QTest>

#include <limits>
#include <tuple>

using namespace korvalo;
using namespace Qt::StringLiterals;

// Matching the alters of two cards and the figures of the change, on the three-wave ego
// of the builders: an ID whose case differs, a repeated ID, an alter two rings inwards
// in another sector, lost and new alters, ties between kept alters.
class TestCompare : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keptLostAndNew();
    void undefinedFigures();
    void altersAcrossCards();
};

namespace {

QList<QStringList> rows(const CardComparison &c)
{
    QList<QStringList> out;
    for (const ComparedAlter &a : c.alters)
        out << ComparedAlterRow(a);
    return out;
}

} // namespace

void TestCompare::keptLostAndNew()
{
    const NetworkModel model = compareExampleModel();
    const CardComparison c = CompareCards(model, 1, 2);
    QCOMPARE(c.fromAlters, 6);
    QCOMPARE(c.toAlters, 5);
    QCOMPARE(c.kept, 4);
    QCOMPARE(c.lost, 2);
    QCOMPARE(c.added, 1);
    QCOMPARE(c.sizeChange(), -1);
    QCOMPARE(ComparisonSummaryRow(u"C3"_s, c),
             (QStringList{u"C3"_s, u"1"_s, u"2"_s, u"4"_s, u"2"_s, u"1"_s, u"0.667"_s, u"0.429"_s, u"0.571"_s}));
    // A-B stays; A-Carl and Carl-E go; B-CARL comes; B-D and B-F do not join kept alters.
    QCOMPARE(c.tiesKept, 1);
    QCOMPARE(c.tiesLost, 2);
    QCOMPARE(c.tiesNew, 1);
    // "A" found as "a", two rings inwards, from Family to Friends; the second "e" lost.
    const QList<QStringList> expected = {
        {u"kept"_s, u"a"_s, u"4"_s, u"2"_s, u"Family"_s, u"Friends"_s, u"-0.400"_s},
        {u"kept"_s, u"B"_s, u"2"_s, u"2"_s, u"Family"_s, u"Family"_s, u"0.000"_s},
        {u"kept"_s, u"CARL"_s, u"3"_s, u"3"_s, u"Work"_s, u"Work"_s, u"0.000"_s},
        {u"lost"_s, u"D"_s, u"3"_s, QString(), u"Work"_s, QString(), u"NA"_s},
        {u"kept"_s, u"E"_s, u"3"_s, u"3"_s, u"Friends"_s, u"Friends"_s, u"0.000"_s},
        {u"lost"_s, u"e"_s, u"5"_s, QString(), u"Friends"_s, QString(), u"NA"_s},
        {u"new"_s, u"F"_s, QString(), u"3"_s, QString(), u"Friends"_s, u"NA"_s},
    };
    QCOMPARE(rows(c), expected);
    QCOMPARE(c.repeatedIDs, QStringList{u"Card 1 holds the ID \"E\" 2 times; they are matched in node order."_s});

    // The other way round, what was lost comes back as new and the ties swap.
    const CardComparison back = CompareCards(model, 2, 1);
    QCOMPARE((std::tuple(back.kept, back.lost, back.added, back.tiesLost, back.tiesNew)), std::tuple(4, 1, 2, 1, 2));
    QCOMPARE(*back.stability, 0.8);

    const std::vector<CardComparison> pairs = ConsecutiveComparisons(model);
    QCOMPARE(pairs.size(), size_t(2));
    QCOMPARE(ComparisonSummaryRow(u"C3"_s, pairs[1]),
             (QStringList{u"C3"_s, u"2"_s, u"3"_s, u"1"_s, u"4"_s, u"1"_s, u"0.200"_s, u"0.833"_s, u"0.167"_s}));
}

void TestCompare::undefinedFigures()
{
    // Blank IDs name nobody: they never match, not even each other.
    const NetworkCard empty = cardOfIDs(u"Before"_s, {});
    const NetworkCard blanks = cardOfIDs(u"After"_s, {u""_s, u" "_s});
    CardComparison c = CompareCards(empty, blanks, 1, 2);
    QCOMPARE(ComparisonSummaryRow(u"X"_s, c),
             (QStringList{u"X"_s, u"1"_s, u"2"_s, u"0"_s, u"0"_s, u"2"_s, u"NA"_s, u"1.000"_s, u"0.000"_s}));
    c = CompareCards(blanks, blanks, 1, 2);
    QCOMPARE((std::tuple(c.kept, c.lost, c.added)), std::tuple(0, 2, 2));
    c = CompareCards(empty, empty, 1, 2);
    QCOMPARE(ComparisonSummaryRow(u"X"_s, c),
             (QStringList{u"X"_s, u"1"_s, u"2"_s, u"0"_s, u"0"_s, u"0"_s, u"NA"_s, u"NA"_s, u"NA"_s}));

    // Rings at the edges: the centre, a ring's outer border, the rim and beyond it.
    NetworkCard card = cardOf(u"R"_s, 4, {}, {{u"x"_s, 0, 0.f}, {u"y"_s, 0, 0.25f}, {u"z"_s, 0, 0.99f}, {u"w"_s, 0, 1.2f}});
    card.Nodes.push_back(bareAlter(u"n"_s, 0, std::numeric_limits<float>::quiet_NaN()));
    QCOMPARE((QList<int>{AlterRing(card, 1), AlterRing(card, 2), AlterRing(card, 3), AlterRing(card, 4),
                         AlterRing(card, 5)}),
             (QList<int>{1, 1, 4, 5, 1}));
}

void TestCompare::altersAcrossCards()
{
    const AltersAcrossCardsTable table = AltersAcrossCards(CardsOf(compareExampleModel()));
    QCOMPARE(table.headings, (QStringList{u"ID"_s, u"Wave 1"_s, u"Wave 2"_s, u"Wave 3"_s}));
    const std::vector<QStringList> expected = {
        {u"A"_s, u"4"_s, u"2"_s, QString()},       {u"B"_s, u"2"_s, u"2"_s, QString()},
        {u"Carl"_s, u"3"_s, u"3"_s, QString()},    {u"D"_s, u"3"_s, QString(), QString()},
        {u"E"_s, u"3/5"_s, u"3"_s, QString()},     {u"F"_s, QString(), u"3"_s, u"3"_s},
        {u"G"_s, QString(), QString(), u"1"_s},
    };
    QCOMPARE(table.rows, expected);
}

QTEST_GUILESS_MAIN(TestCompare)
#include "tst_compare.moc"

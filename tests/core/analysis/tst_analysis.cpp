#include "core/analysis/analysisreport.h"
#include "builders.h"

#include <QTest>

using namespace korvalo;

Q_DECLARE_METATYPE(std::vector<NetworkCard>)

namespace {

const Ego TheEgo{QStringLiteral("Hanna Berg"), QStringLiteral("HB"), {}, 1, {}, {}};

QStringList lines(Analysis analysis, const std::vector<NetworkCard> &cards, ReportMode mode = ReportMode::lang,
                  int current = 1, int k = 2, QChar separator = u'.', int mapRadius = 356)
{
    ReportRequest request;
    request.mode = mode;
    request.currentCard = current;
    request.strongCircles = k;
    request.separator = separator;
    request.mapRadius = mapRadius;
    return ReportLines(analysis, TheEgo, cards, request);
}

QString shortLine(Analysis analysis, const std::vector<NetworkCard> &cards, int current = 1, int k = 2)
{
    const QStringList result = lines(analysis, cards, ReportMode::kurz, current, k);
    return result.isEmpty() ? QStringLiteral("<none>") : result.join(u'\n');
}

std::vector<NetworkCard> cardsOfIDs(const QList<QStringList> &ids)
{
    std::vector<NetworkCard> cards;
    for (qsizetype i = 0; i < ids.size(); ++i)
        cards.push_back(cardOfIDs(QStringLiteral("C%1").arg(i + 1), ids[i]));
    return cards;
}

QStringList range(const QString &prefix, int from, int to)
{
    QStringList ids;
    for (int i = from; i <= to; ++i)
        ids << prefix + QString::number(i);
    return ids;
}

} // namespace

class TestAnalysis : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void continuity_data();
    void continuity();
    void continuityLongForm();
    void strongTies_data();
    void strongTies();
    void strongTiesTakeEachCardsCircles();
    void distancesToEgo();
    void sectorTables();
    void nixPrintsNothing();
};

void TestAnalysis::continuity_data()
{
    QTest::addColumn<QList<QStringList>>("ids");
    QTest::addColumn<QString>("line");
    // 20, 16 and 11 IDs; 15 of card 1 on card 2, 8 of card 2 (and of card 1) on card 3,
    // 24 IDs in all.
    QTest::newRow("three cards")
        << QList<QStringList>{range(u"P"_qs, 1, 20), range(u"P"_qs, 1, 15) << u"P21"_qs,
                              range(u"P"_qs, 1, 8) + range(u"P"_qs, 22, 24)}
        << u"HB\t[1>2]: 75.0\t[2>3]: 50.0\t[1>3]: 40.0\t[all]:33.3"_qs;
    QTest::newRow("two cards: the pair and all")
        << QList<QStringList>{{u"a"_qs, u"b"_qs}, {u"a"_qs, u"c"_qs}} << u"HB\t[1>2]: 50.0\t[all]:33.3"_qs;
    QTest::newRow("letter case ignored, also beyond ASCII")
        << QList<QStringList>{{u"anna"_qs, u"Müller"_qs}, {u"Anna"_qs, u"MÜLLER"_qs}, {u"ANNA"_qs, u"Mueller"_qs}}
        << u"HB\t[1>2]: 100.0\t[2>3]: 50.0\t[1>3]: 50.0\t[all]:33.3"_qs;
    QTest::newRow("an ID twice on a card counts once")
        << QList<QStringList>{{u"a"_qs, u"A"_qs, u"b"_qs}, {u"a"_qs}} << u"HB\t[1>2]: 50.0\t[all]:50.0"_qs;
    QTest::newRow("none on every card")
        << QList<QStringList>{{u"a"_qs, u"b"_qs}, {u"b"_qs}, {u"a"_qs}}
        << u"HB\t[1>2]: 50.0\t[2>3]: 0.0\t[1>3]: 50.0\t[all]:0.0"_qs;
    QTest::newRow("an earlier card without alters")
        << QList<QStringList>{{}, {u"a"_qs}, {u"a"_qs}}
        << u"HB\t[1>2]: -\t[2>3]: 100.0\t[1>3]: -\t[all]:0.0"_qs;
    QTest::newRow("one card: silence") << QList<QStringList>{{u"a"_qs}} << u"<none>"_qs;
}

void TestAnalysis::continuity()
{
    QFETCH(QList<QStringList>, ids);
    QFETCH(QString, line);
    const std::vector<NetworkCard> cards = cardsOfIDs(ids);
    QCOMPARE(shortLine(Analysis::IDContinuity, cards), line);
    QCOMPARE(lines(Analysis::IDContinuity, cards).isEmpty(), cards.size() < 2);
}

void TestAnalysis::continuityLongForm()
{
    // Pairs in the order 1>2, 2>3, 1>3, 1>4; the IDs on every card as the last card
    // spells and orders them.
    const std::vector<NetworkCard> cards = cardsOfIDs({{}, {u"x"_qs, u"b"_qs, u"a"_qs}, {u"A"_qs, u"B"_qs}, {u"B"_qs, u"a"_qs}});
    QCOMPARE(lines(Analysis::IDContinuity, cards, ReportMode::lang, 1, 2, u','),
             (QStringList{QString(), u"Continuity of Nodes:"_qs, u"-   C1 -> C2"_qs, u"66,7%   C2 -> C3"_qs,
                          u"100,0%   C3 -> C4"_qs, u"-   C1 -> C3"_qs, u"-   C1 -> C4"_qs,
                          u"0,0% in all Cards -> "_qs}));
    const std::vector<NetworkCard> kept = cardsOfIDs({{u"x"_qs, u"b"_qs, u"a"_qs}, {u"A"_qs, u"B"_qs}, {u"B"_qs, u"a"_qs}});
    QCOMPARE(lines(Analysis::IDContinuity, kept).last(), u"66.7% in all Cards -> B  a  "_qs);
}

void TestAnalysis::strongTies_data()
{
    QTest::addColumn<int>("circles");
    QTest::addColumn<int>("k");
    QTest::addColumn<QList<float>>("distances");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("ratio");
    QTest::newRow("3 circles, k 2: just inside and just outside circle 3")
        << 3 << 2 << QList<float>{0.8333f, 0.84f, 0.1f} << 2 << u"0.67"_qs;
    QTest::newRow("k beyond the circles counts as all of them")
        << 3 << 5 << QList<float>{1.16f, 1.17f} << 1 << u"0.50"_qs;
    QTest::newRow("k 0: inside the first circle") << 4 << 0 << QList<float>{0.125f, 0.13f} << 1 << u"0.50"_qs;
    QTest::newRow("no circles: as one circle") << 0 << 2 << QList<float>{1.5f, 1.51f} << 1 << u"0.50"_qs;
    QTest::newRow("no alters: a ratio of 0") << 3 << 2 << QList<float>{} << 0 << u"0.00"_qs;
    QTest::newRow("negative k: nothing is strong") << 3 << -1 << QList<float>{0.0f, 0.5f} << 0 << u"0.00"_qs;
}

void TestAnalysis::strongTies()
{
    QFETCH(int, circles);
    QFETCH(int, k);
    QFETCH(QList<float>, distances);
    QFETCH(int, count);
    QFETCH(QString, ratio);
    NetworkCard card = cardOf(u"W1"_qs, circles, {}, {});
    for (float d : distances)
        card.Nodes.push_back(Node{u"n"_qs, {}, 1, 1, 0, d, {}, {}, {}, {}, {}, {}, {}, {}, false});
    // The map's size must not move a node across the threshold.
    for (int radius : {1, 238, 356, 713}) {
        const std::vector<NetworkCard> cards{card};
        QCOMPARE(lines(Analysis::StrongTies, cards, ReportMode::lang, 1, k, u'.', radius),
                 QStringList{u"Number of Strong Ties (k=%1): %2"_qs.arg(k).arg(count)});
        QCOMPARE(lines(Analysis::StrongTiesRatio, cards, ReportMode::lang, 1, k, u'.', radius), QStringList{ratio});
    }
}

void TestAnalysis::strongTiesTakeEachCardsCircles()
{
    // Card 1 has 8 circles, card 2 has 2: with k = 1 a node at 0.7 is strong on card 2
    // (threshold 0.75) and not on card 1 (0.1875), whichever card is current.
    const std::vector<NetworkCard> cards{cardOf(u"A"_qs, 8, {}, {{u"a"_qs, 0, 0.7f}, {u"b"_qs, 0, 0.1f}}),
                                         cardOf(u"B"_qs, 2, {}, {{u"a"_qs, 0, 0.7f}}), cardOf(u"C"_qs, 5, {}, {})};
    for (int current : {1, 2}) {
        QCOMPARE(shortLine(Analysis::StrongTies, cards, current, 1), u"Hanna Berg\tHB\t1.000\t1.000\t0.000\t"_qs);
        QCOMPARE(shortLine(Analysis::StrongTiesRatio, cards, current, 1), u"Hanna Berg\tHB\t0.500\t1.000\t0.000\t"_qs);
    }
    QCOMPARE(lines(Analysis::StrongTies, cards, ReportMode::lang, 2, 1), QStringList{u"Number of Strong Ties (k=1): 1"_qs});
    QCOMPARE(shortLine(Analysis::StrongTiesRatio, {}, 1, 1), u"Hanna Berg\tHB\t"_qs);
}

void TestAnalysis::distancesToEgo()
{
    // Sectors at 0 and 180, none of the alters in the second; the one at distance 0 is
    // placed by its angle.
    const std::vector<NetworkCard> cards{
        cardOf(u"A"_qs, 3, {{0, u"Family"_qs}, {180, u"Work"_qs}},
               {{u"a"_qs, 10, 0.25f}, {u"b"_qs, 100, 0.5f}, {u"c"_qs, 179.5f, 0.0f}}),
        cardOf(u"B"_qs, 3, {{0, u"Family"_qs}}, {})};
    QCOMPARE(lines(Analysis::DistancesToEgo, cards, ReportMode::lang, 1, 2, u','),
             (QStringList{QString(), u"Average Node Distance to Ego:"_qs, u"0,25 Family"_qs, u"0,00 Work"_qs,
                          u"0,25 ALL"_qs}));
    // Halves round up in magnitude: 0.125 is 0.13.
    const std::vector<NetworkCard> eighth{cardOf(u"A"_qs, 3, {}, {{u"a"_qs, 0, 0.125f}})};
    QCOMPARE(lines(Analysis::DistancesToEgo, eighth).last(), u"0.13 ALL"_qs);
    // The single sum 1.005 over three alters is 0.3349999984: 0.33, not the 0.34 its
    // single would print.
    const std::vector<NetworkCard> third{cardOf(u"A"_qs, 3, {}, {{u"a"_qs, 0, 1.005f}, {u"b"_qs, 0, 0}, {u"c"_qs, 0, 0}})};
    QCOMPARE(lines(Analysis::DistancesToEgo, third).last(), u"0.33 ALL"_qs);
    QCOMPARE(lines(Analysis::DistancesToEgo, cards, ReportMode::lang, 2), QStringList());
    QCOMPARE(lines(Analysis::DistancesToEgo, cards, ReportMode::lang, 0), QStringList());
}

void TestAnalysis::sectorTables()
{
    // Card 2 names its sector in lower case: one row, named as card 1 has it, "-" for
    // card 2. Card 3 has no sectors: nothing in its cells, nothing in its total.
    const std::vector<NetworkCard> cards{
        cardOf(u"W1"_qs, 3, {{300, u"Family"_qs}, {60, u"Friends"_qs}},
               {{u"a"_qs, 10, 0.5f}, {u"b"_qs, 200, 0.5f}, {u"c"_qs, 359, 0.5f}}),
        cardOf(u"W2"_qs, 3, {{0, u"family"_qs}}, {{u"a"_qs, 90, 0.5f}}),
        cardOf(u"W3"_qs, 3, {}, {{u"a"_qs, 90, 0.5f}, {u"b"_qs, 0, 0.5f}})};
    QCOMPARE(lines(Analysis::SectorSizes, cards),
             (QStringList{u"Sector Sizes:"_qs, u"W1\tW2\tW3\t"_qs, u"33.3 %\t-\t-\tFamily"_qs,
                          u"66.7 %\t-\t-\tFriends"_qs}));
    QCOMPARE(lines(Analysis::SectorNodeCounts, cards),
             (QStringList{u"Number of Nodes in Sectors:"_qs, u"W1\tW2\tW3\t"_qs, u"2\t-\t-\tFamily"_qs,
                          u"1\t-\t-\tFriends"_qs, u"3\t0\t0\tALL"_qs}));
    QCOMPARE(shortLine(Analysis::SectorNodeCounts, cards), u"Hanna Berg\t3\t0\t0\t"_qs);
    QCOMPARE(lines(Analysis::DominantSector, cards),
             (QStringList{QString(), u"Dominant Sektor:"_qs, u"W1\tW2\tW3\t"_qs, u"0.667\t1.000\t0.000\t"_qs}));
    QCOMPARE(shortLine(Analysis::NumberOfSectors, cards), u"Hanna Berg\tHB\t2\t1\t0\t"_qs);

    // Of two sectors with the same name the last one counts; a lone sector is the whole map.
    const std::vector<NetworkCard> twice{
        cardOf(u"T"_qs, 3, {{0, u"Work"_qs}, {90, u"Home"_qs}, {180, u"Work"_qs}}, {{u"a"_qs, 45, 0.5f}}),
        cardOf(u"L"_qs, 3, {{200, u"Home"_qs}}, {{u"a"_qs, 45, 0.5f}})};
    QCOMPARE(lines(Analysis::SectorSizes, twice).mid(2),
             (QStringList{u"50.0 %\t-\tWork"_qs, u"25.0 %\t100.0 %\tHome"_qs}));
    QCOMPARE(lines(Analysis::SectorNodeCounts, twice).mid(2),
             (QStringList{u"0\t-\tWork"_qs, u"0\t1\tHome"_qs, u"0\t1\tALL"_qs}));

    // A boundary at 360 is the one at 0: of sectors at 360, 0 and 90 the lower number owns
    // the wedge up to 90, and the alters in it (one at 0, one at 360, one at 45).
    const std::vector<NetworkCard> round{cardOf(u"R"_qs, 3, {{360, u"One"_qs}, {0, u"Two"_qs}, {90, u"Three"_qs}},
                                                {{u"a"_qs, 0, 0.5f}, {u"b"_qs, 360, 0.5f}, {u"c"_qs, 45, 0.5f},
                                                 {u"d"_qs, 180, 0.5f}})};
    QCOMPARE(lines(Analysis::SectorSizes, round).mid(2),
             (QStringList{u"25.0 %\tOne"_qs, u"0.0 %\tTwo"_qs, u"75.0 %\tThree"_qs}));
    QCOMPARE(lines(Analysis::SectorNodeCounts, round).mid(2),
             (QStringList{u"3\tOne"_qs, u"0\tTwo"_qs, u"1\tThree"_qs, u"4\tALL"_qs}));
    QCOMPARE(lines(Analysis::DistancesToEgo, round).mid(2),
             (QStringList{u"0.50 One"_qs, u"0.00 Two"_qs, u"0.50 Three"_qs, u"0.50 ALL"_qs}));
}

void TestAnalysis::nixPrintsNothing()
{
    const std::vector<NetworkCard> cards = cardsOfIDs({{u"a"_qs}, {u"a"_qs}});
    for (const AnalysisInfo &info : Analyses())
        QVERIFY2(lines(info.analysis, cards, ReportMode::nix).isEmpty(), qPrintable(info.name));
}

QTEST_GUILESS_MAIN(TestAnalysis)
#include "tst_analysis.moc"

#include "core/map/transforms.h"
#include "core/model/textutil.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>

using namespace korvalo;

using namespace Qt::StringLiterals;

using Distances = QList<float>;
using Transform = std::function<int(NetworkCard &)>;
Q_DECLARE_METATYPE(Transform)

// The Transform menu's operations on cards built by hand.
class TestTransforms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rotationWraps_data();
    void rotationWraps();
    void distances_data();
    void distances();
    void multipleIdAgreesWithTheWalk();
    void recolouring();
    void parseTypedNumber_data();
    void parseTypedNumber();
};

static NetworkCard cardWith(const QStringList &ids, const Distances &distances)
{
    NetworkCard card;
    card.Nodes[0].Distance = 0.3f; // the ego's slot is never moved
    for (qsizetype i = 0; i < distances.size(); ++i) {
        Node n;
        n.ID = i < ids.size() ? ids[i] : u"N%1"_s.arg(i + 1);
        n.Angle = float(30 * i);
        n.Distance = distances[i];
        card.Nodes.push_back(n);
    }
    return card;
}

static Distances distancesOf(const NetworkCard &card)
{
    Distances out;
    for (int i = 1; i <= card.NodeCount(); ++i)
        out << card.Nodes[size_t(i)].Distance;
    return out;
}

void TestTransforms::rotationWraps_data()
{
    QTest::addColumn<float>("angle");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<float>("expected");
    QTest::newRow("359.5 +1 passes 360") << 359.5f << 1.0 << 0.5f;
    QTest::newRow("359 +1 lands on 360 and stays") << 359.0f << 1.0 << 360.0f;
    QTest::newRow("0.5 -1 passes 0") << 0.5f << -1.0 << 359.5f;
    QTest::newRow("0 -90") << 0.0f << -90.0 << 270.0f;
    QTest::newRow("45.25 +90 in single steps") << 45.25f << 90.0 << 135.25f;
    // Angles a file holds outside the circle come inside with the first turn.
    QTest::newRow("725 +1 is 6, not 366") << 725.0f << 1.0 << 6.0f;
    QTest::newRow("719 +1 ends a turn at 360") << 719.0f << 1.0 << 360.0f;
    QTest::newRow("-725 -1 is 354") << -725.0f << -1.0 << 354.0f;
}

void TestTransforms::rotationWraps()
{
    QFETCH(float, angle);
    QFETCH(double, degrees);
    QFETCH(float, expected);
    NetworkCard card = cardWith({}, {0.5f});
    card.Nodes[1].Angle = angle;
    card.Nodes[0].Angle = 10;
    card.Sectors.push_back(Sector{angle, u"Family"_s, 2});
    card.Lines.push_back(Line{0, 1, 2, 3});
    const NetworkCard before = card;

    QCOMPARE(RotateCard(card, degrees), 2);
    QCOMPARE(card.Sectors[1].SectorAngle, expected);
    QCOMPARE(card.Nodes[1].Angle, expected);
    // Only the angles turn.
    NetworkCard rest = card;
    rest.Sectors[1].SectorAngle = angle;
    rest.Nodes[1].Angle = angle;
    QCOMPARE(rest, before);
}

void TestTransforms::distances_data()
{
    QTest::addColumn<Transform>("transform");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<Distances>("before");
    QTest::addColumn<Distances>("after");

    const Transform outmost = ProjectOutmostNode;
    const Transform middle = MeanToMiddle;
    const Transform multi = MeanDistanceForMultipleID;
    const Transform clamp = [](NetworkCard &c) { return ClampDistances(c, 0.8f); };
    QTest::newRow("outmost: farthest to 0.92")
        << outmost << QStringList{} << Distances{0.25f, 0.5f} << Distances{0.46f, 0.92f};
    QTest::newRow("outmost: all at the ego") << outmost << QStringList{} << Distances{0, 0} << Distances{0, 0};
    QTest::newRow("outmost: no nodes") << outmost << QStringList{} << Distances{} << Distances{};
    QTest::newRow("mean to middle") << middle << QStringList{} << Distances{0.2f, 0.6f} << Distances{0.25f, 0.75f};
    QTest::newRow("mean to middle: mean 0") << middle << QStringList{} << Distances{0, 0} << Distances{0, 0};
    QTest::newRow("mean to middle: a mean no single can invert")
        << middle << QStringList{} << Distances{1e-44f} << Distances{1e-44f};
    QTest::newRow("zoom out moves away")
        << Transform(ZoomOut) << QStringList{} << Distances{0.5f, 1.0f} << Distances{0.55f, 1.1f};
    QTest::newRow("zoom in moves closer")
        << Transform(ZoomIn) << QStringList{} << Distances{0.5f, 1.0f} << Distances{0.45f, 0.9f};
    QTest::newRow("max distance 0.8") << clamp << QStringList{} << Distances{0.5f, 1.3f} << Distances{0.5f, 0.8f};
    QTest::newRow("max distance below 0 leaves the card alone")
        << Transform([](NetworkCard &c) { return ClampDistances(c, -0.3f); }) << QStringList{}
        << Distances{0.5f, 1.3f} << Distances{0.5f, 1.3f};
    QTest::newRow("multiple ID: A twice, B once")
        << multi << QStringList{u"A"_s, u"A"_s, u"B"_s} << Distances{0.2f, 0.6f, 0.9f}
        << Distances{0.4f, 0.4f, 0.9f};
    QTest::newRow("multiple ID: other case keeps its distance")
        << multi << QStringList{u"A"_s, u"a"_s, u"A"_s} << Distances{0.2f, 0.6f, 0.4f}
        << Distances{0.3f, 0.6f, 0.3f};
    QTest::newRow("multiple ID: alters without an ID are not one person")
        << multi << QStringList{QString(), u"A"_s, QString(), u"A"_s} << Distances{0.2f, 0.6f, 0.4f, 0.8f}
        << Distances{0.2f, 0.7f, 0.4f, 0.7f};
    QTest::newRow("multiple ID: spelling met first wins")
        << multi << QStringList{u"a"_s, u"A"_s, u"A"_s, u"a"_s} << Distances{0.2f, 0.6f, 0.4f, 0.8f}
        << Distances{0.5f, 0.6f, 0.4f, 0.5f};
}

void TestTransforms::distances()
{
    QFETCH(Transform, transform);
    QFETCH(QStringList, ids);
    QFETCH(Distances, before);
    QFETCH(Distances, after);
    NetworkCard card = cardWith(ids, before);
    const NetworkCard original = card;
    const int changed = transform(card);
    const Distances result = distancesOf(card);
    QCOMPARE(result.size(), after.size());
    for (qsizetype i = 0; i < after.size(); ++i)
        QCOMPARE(result[i], after[i]);
    QCOMPARE(changed == 0, card == original);
    QCOMPARE(card.Nodes[0], original.Nodes[0]);
    for (int i = 1; i <= card.NodeCount(); ++i)
        QCOMPARE(card.Nodes[size_t(i)].Angle, original.Nodes[size_t(i)].Angle);
}

// The averaging sorts instead of walking; on random cards full of case variants it must
// give what the plain walk gives: each node in table order, its ID skipped when empty or
// met before in any case, otherwise all nodes of exactly that ID averaged.
void TestTransforms::multipleIdAgreesWithTheWalk()
{
    const QStringList pool = {u"A"_s, u"a"_s, u"B"_s, u"b"_s, u"Émile"_s, u"émile"_s, u"ÉMILE"_s,
                              u""_s, u"P1"_s, u"p1"_s, u"Q"_s};
    QRandomGenerator random(20261208);
    for (int round = 0; round < 200; ++round) {
        const int n = random.bounded(1, 40);
        QStringList ids;
        Distances distances;
        for (int i = 0; i < n; ++i) {
            ids << pool[random.bounded(int(pool.size()))];
            distances << float(random.bounded(1000)) / 997.0f;
        }
        NetworkCard walked = cardWith(ids, distances);
        DistinctList handled;
        for (int i = 1; i <= n; ++i) {
            const QString id = walked.Nodes[size_t(i)].ID;
            if (id.isEmpty() || handled.contains(id))
                continue;
            handled.add(id);
            float sum = 0;
            int count = 0;
            for (int j = 1; j <= n; ++j)
                if (walked.Nodes[size_t(j)].ID == id) {
                    sum += walked.Nodes[size_t(j)].Distance;
                    ++count;
                }
            if (count >= 2)
                for (int j = 1; j <= n; ++j)
                    if (walked.Nodes[size_t(j)].ID == id)
                        walked.Nodes[size_t(j)].Distance = ToSingle(double(sum) / count);
        }
        NetworkCard sorted = cardWith(ids, distances);
        MeanDistanceForMultipleID(sorted);
        QVERIFY2(sorted == walked, qPrintable(ids.join(u',')));
    }
}

void TestTransforms::recolouring()
{
    NetworkCard card = cardWith({}, {0.1f, 0.2f, 0.3f, 0.4f});
    for (int i = 1; i <= 4; ++i)
        card.Nodes[size_t(i)].Color = QList{2, 1, 2, 3}[i - 1];
    card.Nodes[0].Color = 2;
    card.Sectors.push_back(Sector{0, u"S"_s, 2});
    card.Lines.push_back(Line{1, 3, 1, 2});
    const NetworkCard before = card;
    QCOMPARE(RecolorNodes(card, 1, 1), 0);
    QCOMPARE(RecolorNodes(card, 5, 6), 0);
    QCOMPARE(card, before);

    // Yellow alters turn blue; the ego, the sector and the line keep their colours.
    QCOMPARE(RecolorNodes(card, 2, 3), 2);
    NetworkCard expected = before;
    expected.Nodes[1].Color = expected.Nodes[3].Color = 3;
    QCOMPARE(card, expected);
}

void TestTransforms::parseTypedNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<float>("value");
    QTest::newRow("point") << u"0.8"_s << QChar(u'.') << true << 0.8f;
    QTest::newRow("comma") << u"0,8"_s << QChar(u',') << true << 0.8f;
    QTest::newRow("point while comma is set") << u"0.8"_s << QChar(u',') << false << 0.f;
    QTest::newRow("blanks, sign, exponent") << u" -1.5e-1 "_s << QChar(u'.') << true << -0.15f;
    QTest::newRow("word") << u"one"_s << QChar(u'.') << false << 0.f;
    QTest::newRow("too big for a single") << u"1e39"_s << QChar(u'.') << false << 0.f;
    QTest::newRow("not a number") << u"nan"_s << QChar(u'.') << false << 0.f;
}

void TestTransforms::parseTypedNumber()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(bool, valid);
    QFETCH(float, value);
    const std::optional<float> parsed = ParseTypedNumber(text, separator);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

QTEST_GUILESS_MAIN(TestTransforms)
#include "tst_transforms.moc"

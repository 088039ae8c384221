#include "egofile/egofile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// korvalo-cli transform on the example ego: operations in order, one card or all, and the
// refusals that leave no file behind.
class TestTransformCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void operationsApplyInOrder();
    void oneCardOrAll();
    void refusals_data();
    void refusals();

private:
    struct Run
    {
        int exitCode;
        QString stdErr;
    };
    Run cli(const QStringList &args);
    NetworkModel readOut(const QString &name);
    QString out(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    NetworkModel m_example;
};

static const QString example = QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego");

TestTransformCli::Run TestTransformCli::cli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(KORVALO_CLI), QStringList{u"transform"_s} + args);
    if (!process.waitForFinished(60000))
        return {-1, u"timed out"_s};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

NetworkModel TestTransformCli::readOut(const QString &name)
{
    Result<NetworkModel> read = ReadEgoFile(out(name));
    if (!read)
        qFatal("%s", qPrintable(read.message()));
    return read.value();
}

void TestTransformCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Result<NetworkModel> read = ReadEgoFile(example);
    QVERIFY(read);
    m_example = read.value();
}

void TestTransformCli::operationsApplyInOrder()
{
    // Red becomes yellow and then, with the yellow ones, blue; the other way round the red
    // nodes stop at yellow.
    QCOMPARE(cli({example, out(u"a.ego"_s), u"recolor=1:2"_s, u"recolor=2:3"_s}).exitCode, 0);
    QCOMPARE(cli({example, out(u"b.ego"_s), u"recolor=2:3"_s, u"recolor=1:2"_s}).exitCode, 0);
    const NetworkCard &before = m_example.card(1);
    const NetworkCard a = readOut(u"a.ego"_s).card(1);
    const NetworkCard b = readOut(u"b.ego"_s).card(1);
    for (int i = 1; i <= before.NodeCount(); ++i) {
        const int c = before.Nodes[size_t(i)].Color;
        QCOMPARE(a.Nodes[size_t(i)].Color, c == 1 || c == 2 ? 3 : c);
        QCOMPARE(b.Nodes[size_t(i)].Color, c == 1 ? 2 : c == 2 ? 3 : c);
    }

    // Max distance after zooming out catches more nodes than before it; the file keeps
    // three decimals.
    QCOMPARE(cli({example, out(u"c.ego"_s), u"zoom-out"_s, u"max-distance=0.8"_s}).exitCode, 0);
    const NetworkCard c = readOut(u"c.ego"_s).card(1);
    QCOMPARE(c.Nodes[1].Distance, 0.132f); // P1 0.12 moved out
    QCOMPARE(c.Nodes[5].Distance, 0.8f);   // P5 0.78 beyond 0.8 once zoomed
    QCOMPARE(c.Nodes[16].Distance, 0.8f);  // X1 1.1
}

void TestTransformCli::oneCardOrAll()
{
    QCOMPARE(cli({example, out(u"two.ego"_s), u"--card"_s, u"2"_s, u"rotate=-90"_s}).exitCode, 0);
    QCOMPARE(cli({example, out(u"all.ego"_s), u"--card"_s, u"all"_s, u"rotate=-90"_s}).exitCode, 0);
    const NetworkModel two = readOut(u"two.ego"_s);
    const NetworkModel all = readOut(u"all.ego"_s);
    QCOMPARE(two.CardCount(), m_example.CardCount());
    for (int card = 1; card <= m_example.CardCount(); ++card) {
        const NetworkCard &before = m_example.card(card);
        for (int i = 1; i <= before.NodeCount(); ++i) {
            float turned = before.Nodes[size_t(i)].Angle - 90;
            if (turned < 0)
                turned += 360;
            QCOMPARE(all.card(card).Nodes[size_t(i)].Angle, turned);
            QCOMPARE(two.card(card).Nodes[size_t(i)].Angle,
                     card == 2 ? turned : before.Nodes[size_t(i)].Angle);
        }
    }
    QVERIFY(m_example.card(2).NodeCount() > 0);
}

void TestTransformCli::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("named"); // what the message must name
    const QString in = example;
    QTest::newRow("no operation") << QStringList{in, u"x.ego"_s} << 2 << u"operation"_s;
    QTest::newRow("unknown operation") << QStringList{in, u"x.ego"_s, u"shrink"_s} << 2 << u"\"shrink\""_s;
    QTest::newRow("rotate without degrees") << QStringList{in, u"x.ego"_s, u"rotate"_s} << 2 << u"\"rotate\""_s;
    QTest::newRow("rotate by a word") << QStringList{in, u"x.ego"_s, u"rotate=left"_s} << 2 << u"\"rotate=left\""_s;
    QTest::newRow("rotate beyond a turn") << QStringList{in, u"x.ego"_s, u"rotate=720"_s} << 2 << u"\"rotate=720\""_s;
    QTest::newRow("max distance with a comma")
        << QStringList{in, u"x.ego"_s, u"max-distance=0,8"_s} << 2 << u"\"max-distance=0,8\""_s;
    QTest::newRow("recolour outside the palette")
        << QStringList{in, u"x.ego"_s, u"recolor=0:3"_s} << 2 << u"\"recolor=0:3\""_s;
    QTest::newRow("zoom with a value") << QStringList{in, u"x.ego"_s, u"zoom-in=2"_s} << 2 << u"\"zoom-in=2\""_s;
    QTest::newRow("card zero") << QStringList{in, u"x.ego"_s, u"--card"_s, u"0"_s, u"outmost"_s} << 2 << u"--card"_s;
    QTest::newRow("unknown option") << QStringList{in, u"x.ego"_s, u"--cards=2"_s, u"outmost"_s} << 2 << u"cards"_s;
    QTest::newRow("card beyond the ego")
        << QStringList{in, u"x.ego"_s, u"--card"_s, u"9"_s, u"outmost"_s} << 1 << u"no network card 9"_s;
    QTest::newRow("missing input")
        << QStringList{u"/nonexistent/in.ego"_s, u"x.ego"_s, u"outmost"_s} << 1 << u"in.ego"_s;
}

void TestTransformCli::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, named);
    args[1] = out(args[1]);
    const Run run = cli(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.stdErr.startsWith(u"korvalo-cli transform: "_s), qPrintable(run.stdErr));
    QVERIFY2(run.stdErr.contains(named), qPrintable(run.stdErr));
    QVERIFY(!QFile::exists(args[1]));
}

QTEST_GUILESS_MAIN(TestTransformCli)
#include "tst_transformcli.moc"

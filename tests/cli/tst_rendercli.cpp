#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>


// korvalo-cli render against pictures of whole cards checked by eye once and kept.
class TestRenderCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void goldenPictures_data();
    void goldenPictures();
    void refusals_data();
    void refusals();
    void hostileNumbersFinish();
    void vectorSmoothAndHiddenNames();

private:
    struct Run
    {
        int exitCode;
        QString stdErr;
    };
    Run cli(const QStringList &args);
    QTemporaryDir m_dir;
    QTemporaryDir m_runtime;
};

static QString dataPath(const QString &name)
{
    return QStringLiteral(KORVALO_TEST_DATA "/render/") + name;
}

TestRenderCli::Run TestRenderCli::cli(const QStringList &args)
{
    QProcess process;
    // Keeps Qt's note about a missing runtime directory off standard error.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KORVALO_CLI), QStringList{QStringLiteral("render")} + args);
    if (!process.waitForFinished(60000))
        return {-1, QStringLiteral("timed out")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

void TestRenderCli::initTestCase()
{
    QVERIFY(m_dir.isValid() && m_runtime.isValid());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestRenderCli::goldenPictures_data()
{
    QTest::addColumn<QString>("golden");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("card 1 as the main window shows it") << QStringLiteral("lindqvist-card1.png") << QStringList{};
    QTest::newRow("smooth drawing off") << QStringLiteral("lindqvist-card1.png")
                                        << QStringList{QStringLiteral("--smooth"), QStringLiteral("off")};
    QTest::newRow("sector mode, coloured sectors, sizes, IDs, caption")
        << QStringLiteral("lindqvist-card1-sectors.png")
        << QStringList{QStringLiteral("--size"), QStringLiteral("700x600"),
                       QStringLiteral("--mode"), QStringLiteral("sectors"),
                       QStringLiteral("--view"), QStringLiteral("ColorSectors=on"),
                       QStringLiteral("--view"), QStringLiteral("ShowSectorSize=on"),
                       QStringLiteral("--view"), QStringLiteral("ShowIDs=on"),
                       QStringLiteral("--view"), QStringLiteral("ShowEgo+Card=on"),
                       QStringLiteral("--view"), QStringLiteral("ShowGroupSize=on")};
    QTest::newRow("by sex, symbol filters, roles, no sector lines")
        << QStringLiteral("lindqvist-card1-filtered.png")
        << QStringList{QStringLiteral("--size"), QStringLiteral("600x500"),
                       QStringLiteral("--view"), QStringLiteral("Sex=on"),
                       QStringLiteral("--view"), QStringLiteral("ShowWithoutSymbol=off"),
                       QStringLiteral("--view"), QStringLiteral("ShowFlash=off"),
                       QStringLiteral("--view"), QStringLiteral("ShowRoles=on"),
                       QStringLiteral("--view"), QStringLiteral("ShowSectorLines=off")};
    QTest::newRow("no circles, no sectors, no ego disc")
        << QStringLiteral("lindqvist-card2.png")
        << QStringList{QStringLiteral("--card"), QStringLiteral("2"),
                       QStringLiteral("--size"), QStringLiteral("500x400"),
                       QStringLiteral("--view"), QStringLiteral("ShowNodeNr=on"),
                       QStringLiteral("--view"), QStringLiteral("ShowEgo+Card=on")};
    QTest::newRow("one sector, no nodes, so no caption")
        << QStringLiteral("lindqvist-card3.png")
        << QStringList{QStringLiteral("--card"), QStringLiteral("3"),
                       QStringLiteral("--size"), QStringLiteral("400x400"),
                       QStringLiteral("--view"), QStringLiteral("ColorSectors=on"),
                       QStringLiteral("--view"), QStringLiteral("ShowEgo+Card=on")};
}

void TestRenderCli::goldenPictures()
{
    QFETCH(QString, golden);
    QFETCH(QStringList, options);
    const QString out = m_dir.filePath(golden);
    const Run run = cli(QStringList{dataPath(QStringLiteral("lindqvist.ego")), out} + options);
    QVERIFY2(run.exitCode == 0, qPrintable(run.stdErr));
    QVERIFY(run.stdErr.isEmpty());

    const QImage expected = QImage(dataPath(golden)).convertToFormat(QImage::Format_RGB32);
    const QImage actual = QImage(out).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!expected.isNull());
    QCOMPARE(actual.size(), expected.size());
    int differing = 0;
    QPoint first;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
        }
    }
    QVERIFY2(differing == 0,
             qPrintable(QStringLiteral("%1 pixels differ, the first at %2,%3; the picture is at %4")
                            .arg(differing).arg(first.x()).arg(first.y()).arg(out)));
    if (differing == 0)
        QFile::remove(out);
    else
        m_dir.setAutoRemove(false);
}

void TestRenderCli::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString ego = dataPath(QStringLiteral("lindqvist.ego"));
    QTest::newRow("missing file") << QStringList{dataPath(QStringLiteral("nothing.ego")), QStringLiteral("x.png")}
                                  << 1 << QStringLiteral("nothing.ego");
    QTest::newRow("not an ego file") << QStringList{dataPath(QStringLiteral("lindqvist-card1.png")), QStringLiteral("x.png")}
                                     << 1 << QStringLiteral("lindqvist-card1.png");
    QTest::newRow("no such card") << QStringList{ego, QStringLiteral("x.png"), QStringLiteral("--card"), QStringLiteral("4")}
                                  << 1 << QStringLiteral("\"lindqvist.ego\" has no network card 4 (it holds 3).");
    QTest::newRow("unknown switch") << QStringList{ego, QStringLiteral("x.png"), QStringLiteral("--view"), QStringLiteral("ShowEverything=on")}
                                    << 2 << QStringLiteral("ShowEverything");
    QTest::newRow("switch without state") << QStringList{ego, QStringLiteral("x.png"), QStringLiteral("--view"), QStringLiteral("ShowIDs")}
                                          << 2 << QStringLiteral("NAME=on");
    QTest::newRow("bad size") << QStringList{ego, QStringLiteral("x.png"), QStringLiteral("--size"), QStringLiteral("0x600")}
                              << 2 << QStringLiteral("--size");
    QTest::newRow("card zero") << QStringList{ego, QStringLiteral("x.png"), QStringLiteral("--card"), QStringLiteral("0")}
                               << 2 << QStringLiteral("--card");
    QTest::newRow("no output") << QStringList{ego} << 2 << QStringLiteral("output");
    QTest::newRow("smooth yes") << QStringList{ego, QStringLiteral("x.png"), QStringLiteral("--smooth"), QStringLiteral("yes")}
                                << 2 << QStringLiteral("--smooth needs on or off");
    QTest::newRow("SVG of all cards") << QStringList{ego, QStringLiteral("x.svg"), QStringLiteral("--all-cards")}
                                      << 2 << QStringLiteral("--all-cards needs OUT.pdf");
}

void TestRenderCli::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const QString out = m_dir.filePath(QStringLiteral("x.png"));
    args.replaceInStrings(QStringLiteral("x.png"), out);
    const Run run = cli(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.stdErr.contains(message), qPrintable(run.stdErr));
    QCOMPARE(run.stdErr.count(u'\n'), 1);
    QVERIFY(!QFile::exists(out));
}

void TestRenderCli::hostileNumbersFinish()
{
    // The largest whole numbers a file may hold, where they size loops of the drawing:
    // the picture is drawn in the usual time and the file is read as it is.
    const QString ego = m_dir.filePath(QStringLiteral("huge.ego"));
    QFile file(ego);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<Ego><Name>N</Name><Sex>0</Sex><Card><ID>c</ID><Circles>2147483647</Circles>"
               "<EgoNode>normal</EgoNode><EgoColor>2147483647</EgoColor>"
               "<Node><ID>a</ID><Label>A</Label><Angle>10</Angle><Distance>0.5</Distance><Color>2</Color>"
               "<Size>2147483647</Size><Human>TRUE</Human><NodeSize>biggest</NodeSize></Node>"
               "<Node><ID>b</ID><Label>B</Label><Angle>200</Angle><Distance>3e38</Distance><Color>-2147483648</Color>"
               "<Size>-2147483648</Size><Human>FALSE</Human></Node>"
               "<Line><A>1</A><B>2</B><LineSize>2147483647</LineSize><LineColor>2147483647</LineColor></Line>"
               "<Line><A>0</A><B>1</B><LineSize>-2147483648</LineSize><LineColor>3</LineColor></Line>"
               "</Card></Ego>");
    file.close();
    const QString out = m_dir.filePath(QStringLiteral("huge.png"));
    for (const QString &smooth : {QStringLiteral("off"), QStringLiteral("on")}) {
        const Run run = cli({ego, out, QStringLiteral("--view"), QStringLiteral("ShowGroupSize=on"),
                             QStringLiteral("--smooth"), smooth});
        QVERIFY2(run.exitCode == 0, qPrintable(run.stdErr));
        QVERIFY(!QImage(out).isNull());
    }
}

void TestRenderCli::vectorSmoothAndHiddenNames()
{
    auto render = [this](const QString &name, QStringList options) {
        const Run run = cli(QStringList{dataPath(QStringLiteral("lindqvist.ego")), m_dir.filePath(name)} + options);
        QFile file(m_dir.filePath(name));
        return run.exitCode == 0 && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QStringList card2{QStringLiteral("--card"), QStringLiteral("2"), QStringLiteral("--view"),
                      QStringLiteral("ShowEgo+Card=on")};
    QVERIFY(render(QStringLiteral("card2.svg"), card2).contains(">Maria Lindqvist-"));
    const QByteArray hidden = render(QStringLiteral("hidden.svg"), card2 << QStringLiteral("--anonymise"));
    QVERIFY(hidden.contains(">Card 2<") && !hidden.contains("Lindqvist"));
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    QCOMPARE(QString::fromLatin1(render(QStringLiteral("all.pdf"), {QStringLiteral("--all-cards")})).count(page), 3);
    QCOMPARE(QString::fromLatin1(render(QStringLiteral("one.pdf"), {QStringLiteral("--card"), QStringLiteral("3")}))
                 .count(page), 1);
    QVERIFY(!render(QStringLiteral("smooth.png"), {QStringLiteral("--smooth"), QStringLiteral("on")}).isEmpty());
    QVERIFY(QImage(m_dir.filePath(QStringLiteral("smooth.png"))).convertToFormat(QImage::Format_RGB32)
            != QImage(dataPath(QStringLiteral("lindqvist-card1.png"))).convertToFormat(QImage::Format_RGB32));
}

QTEST_GUILESS_MAIN(TestRenderCli)
#include "tst_rendercli.moc"

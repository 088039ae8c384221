#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// korvalo-cli render into SVG and PDF, smooth and with the names hidden.
class TestRenderVectorCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void vectorPictures();
    void smoothSwitch();
    void refusals_data();
    void refusals();

private:
    struct Run
    {
        int exitCode;
        QString stdErr;
    };
    Run cli(const QStringList &args);
    QByteArray read(const QString &name) const;
    QTemporaryDir m_dir;
    QTemporaryDir m_runtime;
};

static const QString Ego = QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego");

TestRenderVectorCli::Run TestRenderVectorCli::cli(const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_RUNTIME_DIR"_s, m_runtime.path());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KORVALO_CLI), QStringList{u"render"_s} + args);
    if (!process.waitForFinished(60000))
        return {-1, u"timed out"_s};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray TestRenderVectorCli::read(const QString &name) const
{
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestRenderVectorCli::initTestCase()
{
    QVERIFY(m_dir.isValid() && m_runtime.isValid());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestRenderVectorCli::vectorPictures()
{
    Run run = cli({Ego, m_dir.filePath(u"card2.svg"_s), u"--card"_s, u"2"_s, u"--view"_s, u"ShowEgo+Card=on"_s});
    QVERIFY2(run.exitCode == 0, qPrintable(run.stdErr));
    const QByteArray svg = read(u"card2.svg"_s);
    QVERIFY(svg.contains("<svg"));
    QVERIFY(svg.contains(">Maria Lindqvist-"));

    run = cli({Ego, m_dir.filePath(u"hidden.svg"_s), u"--card"_s, u"2"_s, u"--view"_s, u"ShowEgo+Card=on"_s,
               u"--anonymise"_s});
    QVERIFY2(run.exitCode == 0, qPrintable(run.stdErr));
    const QByteArray hidden = read(u"hidden.svg"_s);
    QVERIFY(!hidden.contains("Lindqvist"));
    QVERIFY(hidden.contains(">Card 2<"));

    run = cli({Ego, m_dir.filePath(u"all.pdf"_s), u"--all-cards"_s});
    QVERIFY2(run.exitCode == 0, qPrintable(run.stdErr));
    static const QRegularExpression page(u"/Type\\s*/Page(?![a-zA-Z])"_s);
    QCOMPARE(QString::fromLatin1(read(u"all.pdf"_s)).count(page), 3);
    run = cli({Ego, m_dir.filePath(u"one.pdf"_s), u"--card"_s, u"3"_s});
    QVERIFY2(run.exitCode == 0, qPrintable(run.stdErr));
    QCOMPARE(QString::fromLatin1(read(u"one.pdf"_s)).count(page), 1);
}

// Off is the exact picture the golden pictures hold; on smooths it.
void TestRenderVectorCli::smoothSwitch()
{
    for (const QString &state : {u"off"_s, u"on"_s}) {
        const Run run = cli({Ego, m_dir.filePath(state + u".png"_s), u"--smooth"_s, state});
        QVERIFY2(run.exitCode == 0, qPrintable(run.stdErr));
    }
    const QImage golden = QImage(QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist-card1.png")).convertToFormat(QImage::Format_RGB32);
    const QImage off = QImage(m_dir.filePath(u"off.png"_s)).convertToFormat(QImage::Format_RGB32);
    const QImage on = QImage(m_dir.filePath(u"on.png"_s)).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(off, golden);
    QCOMPARE(on.size(), golden.size());
    QVERIFY(on != golden);
}

void TestRenderVectorCli::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("smooth needs on or off") << QStringList{Ego, u"x.png"_s, u"--smooth"_s, u"yes"_s} << u"--smooth"_s;
    QTest::newRow("an SVG holds one card") << QStringList{Ego, u"x.svg"_s, u"--all-cards"_s} << u"--all-cards"_s;
    QTest::newRow("no vector strips") << QStringList{Ego, u"x.pdf"_s, u"--strip"_s} << u"--strip"_s;
}

void TestRenderVectorCli::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run run = cli(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.stdErr.startsWith(u"korvalo-cli render:"_s) && run.stdErr.contains(message), qPrintable(run.stdErr));
}

QTEST_MAIN(TestRenderVectorCli)
#include "tst_rendervectorcli.moc"

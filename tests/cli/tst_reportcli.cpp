#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>


// korvalo-cli report against golden texts checked by hand once and kept.
class TestReportCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void longReports_data();
    void longReports();
    void shortLines_data();
    void shortLines();
    void commaAsSeparator();
    void refusedFilesAreNamedAndTheOthersReported();
    void usageErrors_data();
    void usageErrors();

private:
    struct Run
    {
        int exitCode;
        QByteArray out;
        QString err;
    };
    static Run cli(const QStringList &args);
};

static QString data(const QString &name)
{
    return QStringLiteral(KORVALO_TEST_DATA "/analysis/") + name;
}

static QByteArray golden(const QString &name)
{
    QFile file(data(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing golden %s", qPrintable(name));
    return file.readAll();
}

TestReportCli::Run TestReportCli::cli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(KORVALO_CLI), QStringList{QStringLiteral("report")} + args);
    if (!process.waitForFinished(60000))
        return {-1, {}, QStringLiteral("timed out")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

static const char *const LongAnalyses[] = {
    "distances-to-ego", "strong-ties", "strong-ties-ratio", "id-continuity",
    "sector-sizes", "sector-node-counts", "dominant-sector", "number-of-sectors",
    "different-ids", "different-ids-card", "different-ids-all"};

static const char *const ShortAnalyses[] = {
    "strong-ties", "strong-ties-ratio", "id-continuity", "sector-node-counts",
    "dominant-sector", "number-of-sectors", "different-ids"};

void TestReportCli::longReports_data()
{
    QTest::addColumn<QString>("analysis");
    for (const char *name : LongAnalyses)
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestReportCli::longReports()
{
    QFETCH(QString, analysis);
    const Run run = cli({data(QStringLiteral("berg.ego")), QStringLiteral("--analysis"), analysis});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, golden(QStringLiteral("berg-%1.txt").arg(analysis)));
}

void TestReportCli::shortLines_data()
{
    QTest::addColumn<QString>("analysis");
    for (const char *name : ShortAnalyses)
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Several files print one line per ego in turn, which is also the default for them.
void TestReportCli::shortLines()
{
    QFETCH(QString, analysis);
    const QStringList files{data(QStringLiteral("berg.ego")), data(QStringLiteral("okafor.ego"))};
    const Run run = cli(files + QStringList{QStringLiteral("--analysis"), analysis});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, golden(QStringLiteral("short-%1.txt").arg(analysis)));
}

void TestReportCli::commaAsSeparator()
{
    // The same ego written with commas: read with them, printed with them.
    QTemporaryDir dir;
    const QString comma = dir.filePath(QStringLiteral("berg.ego"));
    QFile file(comma);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(golden(QStringLiteral("berg.ego")).replace('.', ','));
    file.close();
    const QStringList args{QStringLiteral("--analysis"), QStringLiteral("id-continuity"), QStringLiteral("--mode"),
                           QStringLiteral("short")};
    Run run = cli(QStringList{comma} + args + QStringList{QStringLiteral("--decimal-separator"), QStringLiteral(",")});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("HB-07\t[1>2]: 75,0\t[2>3]: 50,0\t[1>3]: 40,0\t[all]:33,3\n"));
    // Without the option the file is still read (its numbers tell their separator), and
    // the report writes numbers with the separator asked for.
    run = cli(QStringList{comma} + args);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("HB-07\t[1>2]: 75.0\t[2>3]: 50.0\t[1>3]: 40.0\t[all]:33.3\n"));
}

void TestReportCli::refusedFilesAreNamedAndTheOthersReported()
{
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.ego"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not an ego\r\n");
    file.close();
    const QString missing = dir.filePath(QStringLiteral("missing.ego"));

    Run run = cli({broken, data(QStringLiteral("berg.ego")), missing, data(QStringLiteral("okafor.ego")),
                   QStringLiteral("--analysis"), QStringLiteral("number-of-sectors")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, golden(QStringLiteral("short-number-of-sectors.txt")));
    const QStringList errors = run.err.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(errors.size(), 2);
    QVERIFY2(errors[0].startsWith(QStringLiteral("korvalo-cli report: ")) && errors[0].contains(QStringLiteral("broken.ego")),
             qPrintable(errors[0]));
    QVERIFY2(errors[1].contains(QStringLiteral("missing.ego")), qPrintable(errors[1]));

    // The long continuity of a single card is refused in the program's words; its short
    // line is simply absent.
    run = cli({data(QStringLiteral("okafor.ego")), QStringLiteral("--analysis"), QStringLiteral("id-continuity")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, QStringLiteral("korvalo-cli report: \"okafor.ego\": Error: Not enough Cards!\n"));
    run = cli({data(QStringLiteral("okafor.ego")), QStringLiteral("--analysis"), QStringLiteral("id-continuity"),
               QStringLiteral("--mode"), QStringLiteral("short")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray());

    // A card the file does not hold.
    run = cli({data(QStringLiteral("berg.ego")), QStringLiteral("--analysis"), QStringLiteral("distances-to-ego"),
               QStringLiteral("--card"), QStringLiteral("4")});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QStringLiteral("korvalo-cli report: \"berg.ego\" has no network card 4 (it holds 3).\n"));
}

void TestReportCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("named");
    const QString berg = data(QStringLiteral("berg.ego"));
    QTest::newRow("no file") << QStringList{QStringLiteral("--analysis"), QStringLiteral("sector-sizes")}
                             << QStringLiteral(".ego");
    QTest::newRow("card 0") << QStringList{berg, QStringLiteral("--analysis"), QStringLiteral("strong-ties"),
                                           QStringLiteral("--card"), QStringLiteral("0")}
                            << QStringLiteral("--card");
    QTest::newRow("no short line") << QStringList{berg, QStringLiteral("--analysis"), QStringLiteral("sector-sizes"),
                                                  QStringLiteral("--mode"), QStringLiteral("short")}
                                   << QStringLiteral("sector-sizes");
    QTest::newRow("unknown option") << QStringList{berg, QStringLiteral("--analysis"), QStringLiteral("sector-sizes"),
                                                   QStringLiteral("--colour")}
                                    << QStringLiteral("colour");
}

void TestReportCli::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, named);
    const Run run = cli(args);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith(QStringLiteral("korvalo-cli report: ")) && run.err.contains(named), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestReportCli)
#include "tst_reportcli.moc"

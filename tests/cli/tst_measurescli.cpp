#include "builders.h"
#include "core/egofile/egofile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;
using namespace Qt::StringLiterals;

// korvalo-cli measures over real files and folders: the worked example's row, the sector
// rows, NA for what is not defined, and files that cannot be read.
class TestMeasuresCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void folderOfEgos();
    void sectorsAsCsv();
    void usageErrors();

private:
    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };
    static Run cli(const QStringList &args)
    {
        QProcess process;
        process.start(QStringLiteral(KORVALO_CLI), QStringList{u"measures"_s} + args);
        if (!process.waitForFinished(60000))
            return {-1, {}, u"timed out"_s};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    // The worked example as "2 example.ego", an ego without ID and with an empty second
    // card as "10 blank.ego", and "1 broken.ego" that is no ego file.
    static void writeStudy(const QString &folder)
    {
        QVERIFY(WriteEgoFile(measuresExampleModel(), folder + u"/2 example.ego"_s).ok());
        NetworkModel blank = measuresExampleModel();
        blank.ego.EgoID.clear();
        AddCard(blank, u"Wave 2"_s, 7, u"none"_s, 1, {}, {}, {});
        QVERIFY(WriteEgoFile(blank, folder + u"/10 blank.ego"_s).ok());
        QFile broken(folder + u"/1 broken.ego"_s);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("this is not an ego file\n");
    }
};

void TestMeasuresCli::folderOfEgos()
{
    QTemporaryDir dir;
    writeStudy(dir.path());
    const Run run = cli({dir.path()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(u"1 broken.ego"_s), qPrintable(run.err));
    const QString example = u"1\t6\t4\t0.267\t3\t1\t0.200\t4.667\t0.778\t0.384\t0.333\t0.000\t0.444\t0.889\t0.918"_s;
    const QString expected =
        u"ego_id\tcard\tsize\tties\tdensity\tcomponents\tisolates\tdegree_centralization\t"
        "effective_size\tefficiency\tconstraint\tei_ego_alter\tei_alter_alter\tblau\tiqv\tentropy\n"
        "E7\t"_s + example + u"\n"
        "10 blank\t"_s + example + u"\n"
        "10 blank\t2\t0\t0\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\n"_s;
    QCOMPARE(run.out, expected);

    // One card of one file; a card the ego lacks is an error for that file.
    const Run one = cli({dir.path() + u"/10 blank.ego"_s, u"--card"_s, u"2"_s});
    QCOMPARE(one.exitCode, 0);
    QVERIFY(one.out.endsWith(u"\n10 blank\t2\t0\t0\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\n"_s));
    const Run missing = cli({dir.path() + u"/2 example.ego"_s, u"--card"_s, u"2"_s});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY2(missing.err.contains(u"has no network card 2"_s), qPrintable(missing.err));
}

void TestMeasuresCli::sectorsAsCsv()
{
    QTemporaryDir dir;
    NetworkModel model = measuresExampleModel();
    model.card(1).Sectors[2].SectorName = u"Work, paid"_s;
    QVERIFY(WriteEgoFile(model, dir.filePath(u"e.ego"_s)).ok());
    const Run run = cli({dir.filePath(u"e.ego"_s), u"--by-sector"_s, u"--format"_s, u"csv"_s});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, u"ego_id,card,sector,sector_name,alters,ties_inside,density,crossing_share\n"
                      "E7,1,1,Family,3,3,1.000,0.000\n"
                      "E7,1,2,\"Work, paid\",2,1,1.000,0.000\n"
                      "E7,1,3,Friends,1,0,NA,NA\n"_s);

    const Run bySector = cli({dir.filePath(u"e.ego"_s), u"--attribute"_s, u"sector"_s});
    QVERIFY2(bySector.out.endsWith(u"\tNA\t-1.000\t0.611\t0.917\t1.459\n"_s), qPrintable(bySector.out));
}

void TestMeasuresCli::usageErrors()
{
    for (const QStringList &args : {QStringList{}, QStringList{u"x.ego"_s, u"--attribute"_s, u"age"_s},
                                    QStringList{u"x.ego"_s, u"--format"_s, u"xls"_s},
                                    QStringList{u"x.ego"_s, u"--card"_s, u"0"_s}}) {
        const Run run = cli(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.startsWith(u"korvalo-cli measures: "_s));
    }
}

QTEST_GUILESS_MAIN(TestMeasuresCli)
#include "tst_measurescli.moc"

#include "builders.h"
#include "core/egofile/egofile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;
using namespace Qt::StringLiterals;

// korvalo-cli export-tables and export-graphml over files and folders: one set of tables
// for the whole study, the files that cannot be read named, usage errors told apart.
class TestExportCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tablesOfAStudy();
    void graphmlOfOneCard();
    void usageErrors();

private:
    struct Run
    {
        int exitCode;
        QString err;
    };
    static Run cli(const QStringList &args)
    {
        QProcess process;
        process.start(QStringLiteral(KORVALO_CLI), args);
        if (!process.waitForFinished(60000))
            return {-1, u"timed out"_s};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardError())};
    }
    // "a.ego" (EgoID A, two cards) and "b.ego" (EgoID B, one card) in folder, each with a
    // named alter on card 1.
    static void writeStudy(const QString &folder)
    {
        for (const auto &[file, id, cards] : {std::tuple{u"a.ego"_s, u"A"_s, 2}, {u"b.ego"_s, u"B"_s, 1}}) {
            NetworkModel model = EgoWithCards(cards);
            model.ego.EgoID = id;
            AddNode(model, 1, alter(90, 0.5f, 1, u"X"_s, u"Xaver"_s));
            QVERIFY(WriteEgoFile(model, QDir(folder).filePath(file)).ok());
        }
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

void TestExportCli::tablesOfAStudy()
{
    QTemporaryDir study;
    writeStudy(study.path());
    QTemporaryDir out;
    const QString tables = out.filePath(u"new/tables"_s);
    // A folder and a file; the folder for the tables is made.
    const Run run = cli({u"export-tables"_s, study.filePath(u"a.ego"_s), study.path(), u"--out"_s, tables});
    QCOMPARE(run.exitCode, 0);
    const QByteArray egos = read(tables + u"/egos.csv"_s);
    QCOMPARE(egos.count("\r\n"), 1 + 2 + 2 + 1);
    QVERIFY(egos.contains("\r\nA_1,A,1,") && egos.contains("\r\nB_1,B,1,"));
    QVERIFY(!read(tables + u"/alters.csv"_s).contains("Xaver"));
    QVERIFY(QFile::exists(tables + u"/aaties.csv"_s));

    // With names; a file that is no ego is named and the rest still written.
    QFile broken(study.filePath(u"c.ego"_s));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("no ego here");
    broken.close();
    const Run named = cli({u"export-tables"_s, study.path(), u"--out"_s, tables, u"--include-private"_s});
    QCOMPARE(named.exitCode, 1);
    QVERIFY2(named.err.contains(u"c.ego"_s), qPrintable(named.err));
    QVERIFY(read(tables + u"/alters.csv"_s).contains(",X,Xaver,"));
}

void TestExportCli::graphmlOfOneCard()
{
    QTemporaryDir study;
    writeStudy(study.path());
    const QString graph = study.filePath(u"study.graphml"_s);
    const Run all = cli({u"export-graphml"_s, study.path(), graph});
    QCOMPARE(all.exitCode, 0);
    QCOMPARE(read(graph).count("<graph "), 3);

    // b.ego has no second card: said, and a's is written.
    const Run second = cli({u"export-graphml"_s, study.path(), graph, u"--card"_s, u"2"_s});
    QCOMPARE(second.exitCode, 1);
    QVERIFY2(second.err.contains(u"b.ego\" has no network card 2"_s), qPrintable(second.err));
    QCOMPARE(read(graph).count("<graph "), 1);
    QVERIFY(read(graph).contains(">A_2<"));
}

void TestExportCli::usageErrors()
{
    QTemporaryDir study;
    writeStudy(study.path());
    const QString ego = study.filePath(u"a.ego"_s);
    // The last one would have written GraphML over b.ego.
    for (const QStringList &args :
         {QStringList{u"export-tables"_s, ego}, {u"export-graphml"_s, ego, u"x.graphml"_s, u"--card"_s, u"first"_s},
          {u"export-graphml"_s, ego, study.filePath(u"b.ego"_s)}}) {
        const Run run = cli(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith(u"korvalo-cli "_s + args[0]), qPrintable(run.err));
    }
    QVERIFY(ReadEgoFile(study.filePath(u"b.ego"_s)));
}

QTEST_GUILESS_MAIN(TestExportCli)
#include "tst_exportcli.moc"

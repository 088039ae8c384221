#include "builders.h"
#include "core/analysis/identity.h"
#include "core/egofile/egofile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;

// The node identity sub-commands print what the menu commands write into the info window.
class TestIdentityCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mergeUnsurePrintsAndWritesTheMerge()
    {
        QTemporaryDir dir;
        NetworkModel m = cardWithIDs({"A", "b", "C"});
        QVERIFY(ApplyMergerGroups(m, {{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}}));
        QVERIFY(WriteEgoFile(m, dir.filePath("in.ego")));

        Run run = cli({"merge-unsure", dir.filePath("in.ego"), dir.filePath("out.ego")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("Card: Wave 1\nb->A\nC->A\n"));
        // The merged file has nothing left to merge.
        run = cli({"merge-unsure", dir.filePath("out.ego"), dir.filePath("again.ego")});
        QCOMPARE(run.out, QByteArray("Card: Wave 1\n"));
        QCOMPARE(ReadEgoFile(dir.filePath("again.ego")).value(), ReadEgoFile(dir.filePath("out.ego")).value());
    }

    void plausibilityWalksFilesAndFolders()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("study"));
        NetworkModel conflict = cardWithIDs({"7", "7"});
        conflict.card(1).Nodes[2].Label = QStringLiteral("Ann");
        QVERIFY(WriteEgoFile(conflict, dir.filePath("study/a.ego")));
        QVERIFY(WriteEgoFile(cardWithIDs({"7", "8"}), dir.filePath("study/b.ego")));
        const Run run = cli({"plausibility", dir.filePath("study"), dir.filePath("missing.ego")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray("E1 Anna Berg\n7-7   7-Ann\n"));
        QVERIFY(run.err.contains("missing.ego"));
    }

    void aggregateAddsTheSummaryCard()
    {
        QTemporaryDir dir;
        NetworkModel m = oneCardModel();
        AddSectors(m, 1, {{"Family", 0}});
        AddNode(m, 1, alter(10, 0.5f, 1, QStringLiteral("r1")));
        AddNode(m, 1, alter(20, 0.5f, 1, QStringLiteral("r2")));
        AddNode(m, 1, alter(30, 0.25f, 3, QStringLiteral("b1")));
        QVERIFY(WriteEgoFile(m, dir.filePath("in.ego")));

        Run run = cli({"aggregate", dir.filePath("in.ego"), dir.filePath("out.ego"), "--card", "1"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("Family\n1 2 0.50\n3 1 0.25\n"));
        const NetworkModel out = ReadEgoFile(dir.filePath("out.ego")).value();
        QCOMPARE(out.CardCount(), 2);
        QCOMPARE(out.card(2).ID, QStringLiteral("Wave 1 aggr"));
        QCOMPARE(Labels(out.card(2)), (QStringList{"A-1", "A-2"}));

        run = cli({"aggregate", dir.filePath("in.ego"), dir.filePath("x.ego"), "--card", "2"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!QFile::exists(dir.filePath("x.ego")));
    }

private:
    struct Run
    {
        int exitCode;
        QByteArray out;
        QByteArray err;
    };
    static Run cli(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(KORVALO_CLI), args);
        if (!p.waitForFinished(30000))
            qFatal("korvalo-cli did not finish");
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }
};

QTEST_GUILESS_MAIN(TestIdentityCli)
#include "tst_identitycli.moc"

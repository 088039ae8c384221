#include "builders.h"
#include "core/egofile/egofile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;
using namespace Qt::StringLiterals;

// korvalo-cli report over folders: the files in name order, a broken file named and
// skipped, the table for statistics programs.
class TestStudyCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void folderInNameOrderWithABrokenFile();
    void tableRowsHaveTheHeadersFields();
    void usageErrors();
    void picturesOfAFolder();

private:
    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };
    static Run cli(const QStringList &args, const QString &command = u"report"_s)
    {
        QProcess process;
        process.start(QStringLiteral(KORVALO_CLI), QStringList{command} + args);
        if (!process.waitForFinished(60000))
            return {-1, {}, u"timed out"_s};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }
    // A study: egos named after their files with `cards` cards of a sector each.
    static void writeStudy(const QTemporaryDir &dir)
    {
        const std::pair<const char *, int> egos[] = {{"b.ego", 3}, {"A.EGO", 1}, {"10.ego", 2}, {"9.ego", 3}};
        for (const auto &[file, cards] : egos) {
            NetworkModel model = EgoWithCards(cards);
            model.ego.Name = QString::fromUtf8(file);
            model.ego.EgoID = u"id-"_s + QString::fromUtf8(file);
            for (int c = 1; c <= cards; ++c) {
                AddSectors(model, c, {{"family", 0.f}});
                AddNode(model, c, bareAlter(u"x"_s));
            }
            QVERIFY(WriteEgoFile(model, dir.filePath(QString::fromUtf8(file))).ok());
        }
    }
};

void TestStudyCli::folderInNameOrderWithABrokenFile()
{
    QTemporaryDir dir;
    writeStudy(dir);
    QFile broken(dir.filePath(u"5.ego"_s));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("<Ego><Name>cut off");
    broken.close();

    for (const char *jobs : {"1", "3"}) {
        const Run run = cli({dir.path(), u"--analysis"_s, u"number-of-sectors"_s, u"--jobs"_s, QString::fromUtf8(jobs)});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, u"9.ego\tid-9.ego\t1\t1\t1\t\n10.ego\tid-10.ego\t1\t1\t\n"
                          "A.EGO\tid-A.EGO\t1\t\nb.ego\tid-b.ego\t1\t1\t1\t\n"_s);
        QVERIFY2(run.err.startsWith(u"korvalo-cli report: "_s + dir.filePath(u"5.ego"_s) + u": "_s), qPrintable(run.err));
        QCOMPARE(run.err.count(u'\n'), 1);
    }
    // The continuity skips the one-card ego; an empty folder gives nothing.
    const Run continuity = cli({dir.path(), u"--analysis"_s, u"id-continuity"_s});
    QCOMPARE(continuity.out.count(u'\n'), 3);
    QVERIFY(continuity.out.startsWith(u"id-9.ego\t[1>2]: 100.0"_s));
    QTemporaryDir empty;
    const Run none = cli({empty.path(), u"--analysis"_s, u"different-ids"_s});
    QCOMPARE(none.exitCode, 0);
    QCOMPARE(none.out, QString());
}

void TestStudyCli::tableRowsHaveTheHeadersFields()
{
    QTemporaryDir dir;
    writeStudy(dir);
    for (const char *analysis : {"id-continuity", "strong-ties", "different-ids", "memo-scan"}) {
        const Run run = cli({dir.path(), u"--analysis"_s, QString::fromUtf8(analysis), u"--format"_s, u"tsv"_s});
        QCOMPARE(run.exitCode, 0);
        const QStringList rows = run.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(!rows.isEmpty());
        const qsizetype fields = rows.first().count(u'\t');
        for (const QString &row : rows)
            QVERIFY2(row.count(u'\t') == fields, qPrintable(QString::fromUtf8(analysis) + u": "_s + row));
        if (QByteArray(analysis) != "memo-scan")
            QCOMPARE(rows.size(), 5); // the header and every ego, one-card egos included
    }
}

void TestStudyCli::usageErrors()
{
    QTemporaryDir dir;
    for (const QStringList &args : {QStringList{u"--jobs"_s, u"0"_s}, {u"--format"_s, u"csv"_s}}) {
        const Run run = cli(QStringList{dir.path(), u"--analysis"_s, u"different-ids"_s} + args);
        QCOMPARE(run.exitCode, 2);
    }
    QCOMPARE(cli({dir.path(), u"--analysis"_s, u"sector-sizes"_s, u"--format"_s, u"tsv"_s}).exitCode, 2);
}

void TestStudyCli::picturesOfAFolder()
{
    QTemporaryDir dir;
    writeStudy(dir);
    // A name that would reach outside the folder stays inside it.
    NetworkModel model = EgoWithNamedCards({u"w1"_s});
    model.ego.Name = u"../up"_s;
    QVERIFY(WriteEgoFile(model, dir.filePath(u"z.ego"_s)).ok());
    QTemporaryDir out;
    const Run cards = cli({dir.path(), u"--all-cards"_s, u"--out"_s, out.path(), u"--size"_s, u"200x150"_s}, u"render"_s);
    QCOMPARE(cards.exitCode, 0);
    const QStringList written = QDir(out.path()).entryList(QDir::Files);
    QCOMPARE(written.size(), 3 + 1 + 2 + 3 + 1);
    QCOMPARE(written.filter(u"9.ego-"_s).size(), 3);
    QVERIFY2(written.contains(u"_._up-w1.jpg"_s), qPrintable(written.join(u", "_s)));

    const QString grid = out.filePath(u"grid.jpg"_s);
    QCOMPARE(cli({dir.path(), u"--grid"_s, u"--out"_s, grid, u"--size"_s, u"200x150"_s}, u"render"_s).exitCode, 0);
    QCOMPARE(QImage(grid).size(), QSize(600, 5 * 150));
}

QTEST_GUILESS_MAIN(TestStudyCli)
#include "tst_studycli.moc"

#include "builders.h"
#include "core/egofile/egofile.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;
using namespace Qt::StringLiterals;

// korvalo-cli compare on real files: the report of one pair of cards, the rows of every
// consecutive pair over a folder, the picture, and what it refuses.
class TestCompareCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void onePair();
    void folderOfEgos();
    void refusals();

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
        process.start(QStringLiteral(KORVALO_CLI), QStringList{u"compare"_s} + args);
        if (!process.waitForFinished(60000))
            return {-1, {}, u"timed out"_s};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
};

void TestCompareCli::onePair()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"carla.ego"_s);
    QVERIFY(WriteEgoFile(compareExampleModel(), file).ok());
    Run run = cli({file});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.split(u'\n'),
             (QStringList{
                 u"C3: card 1 \"Wave 1\" -> card 2 \"Wave 2\""_s,
                 u"alters\t6 -> 5 (size change -1)"_s,
                 u"kept\t4"_s,
                 u"lost\t2"_s,
                 u"new\t1"_s,
                 u"stability\t0.667"_s,
                 u"turnover\t0.429"_s,
                 u"jaccard\t0.571"_s,
                 u"ties between kept alters\tkept 1, lost 2, new 1"_s,
                 u"kept\ta\tring 4 -> 2\tsector Family -> Friends\tdistance -0.400"_s,
                 u"kept\tB\tring 2 -> 2\tsector Family -> Family\tdistance 0.000"_s,
                 u"kept\tCARL\tring 3 -> 3\tsector Work -> Work\tdistance 0.000"_s,
                 u"lost\tD\tring 3\tsector Work"_s,
                 u"kept\tE\tring 3 -> 3\tsector Friends -> Friends\tdistance 0.000"_s,
                 u"lost\te\tring 5\tsector Friends"_s,
                 u"new\tF\tring 3\tsector Friends"_s,
                 u"note\tCard 1 holds the ID \"E\" 2 times; they are matched in node order."_s,
                 QString()}));

    // The later card first: the same pair the other way, as tab-separated tables, and
    // the compare view as a JPEG picture of the size asked for.
    const QString picture = dir.filePath(u"change.jpg"_s);
    run = cli({file, u"--cards"_s, u"3"_s, u"2"_s, u"--format"_s, u"tsv"_s, u"--picture"_s, picture,
               u"--size"_s, u"400x300"_s});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.split(u'\n'),
             (QStringList{u"ego_id\tcard_from\tcard_to\tkept\tlost\tnew\tstability\tturnover\tjaccard"_s,
                          u"C3\t3\t2\t1\t1\t4\t0.500\t0.833\t0.167"_s, QString(),
                          u"change\tid\tring_from\tring_to\tsector_from\tsector_to\tdistance_change"_s,
                          u"kept\tF\t3\t3\tFriends\tFriends\t0.000"_s, u"lost\tG\t1\t\tFamily\t\tNA"_s,
                          u"new\ta\t\t2\t\tFriends\tNA"_s, u"new\tB\t\t2\t\tFamily\tNA"_s,
                          u"new\tCARL\t\t3\t\tWork\tNA"_s, u"new\tE\t\t3\t\tFriends\tNA"_s, QString()}));
    QCOMPARE(QImage(picture).size(), QSize(400, 300));

    // As vector pictures, chosen by the ending: an SVG of that size, a PDF of one page.
    const QString svg = dir.filePath(u"change.SVG"_s);
    const QString pdf = dir.filePath(u"change.pdf"_s);
    for (const QString &out : {svg, pdf}) {
        run = cli({file, u"--picture"_s, out, u"--size"_s, u"400x300"_s});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    }
    QSvgRenderer vector(svg);
    QVERIFY(vector.isValid());
    QCOMPARE(vector.viewBox(), QRect(0, 0, 400, 300));
    QFile document(pdf);
    QVERIFY(document.open(QIODevice::ReadOnly));
    const QByteArray bytes = document.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    QCOMPARE(QString::fromLatin1(bytes).count(QRegularExpression(u"/Type\\s*/Page(?![a-zA-Z])"_s)), 1);

    run = cli({file, u"--alters"_s});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(u"ID\tWave 1\tWave 2\tWave 3\nA\t4\t2\t\nB\t2\t2\t\n"_s), qPrintable(run.out));
    QVERIFY(run.out.contains(u"\nE\t3/5\t3\t\n"_s));
}

void TestCompareCli::folderOfEgos()
{
    QTemporaryDir dir;
    QVERIFY(WriteEgoFile(compareExampleModel(), dir.filePath(u"2 carla.ego"_s)).ok());
    // No ego ID: the file's name stands in. The first card has no alters.
    NetworkModel blank = EgoWithCards(2);
    blank.ego.EgoID.clear();
    AddNode(blank, 2, alter(0, 0.5f, 1, u"X"_s));
    QVERIFY(WriteEgoFile(blank, dir.filePath(u"10 blank.ego"_s)).ok());
    QFile broken(dir.filePath(u"1 broken.ego"_s));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("no ego here\n");
    broken.close();

    const Run run = cli({dir.path(), u"--all"_s, u"--format"_s, u"tsv"_s});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out.split(u'\n'),
             (QStringList{u"ego_id\tcard_from\tcard_to\tkept\tlost\tnew\tstability\tturnover\tjaccard"_s,
                          u"C3\t1\t2\t4\t2\t1\t0.667\t0.429\t0.571"_s, u"C3\t2\t3\t1\t4\t1\t0.200\t0.833\t0.167"_s,
                          u"10 blank\t1\t2\t0\t0\t1\tNA\t1.000\t0.000"_s, QString()}));
    QVERIFY2(run.err.contains(u"1 broken.ego"_s), qPrintable(run.err));
    QVERIFY2(run.err.contains(u"\"E\" 2 times"_s), qPrintable(run.err));
}

void TestCompareCli::refusals()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"carla.ego"_s);
    QVERIFY(WriteEgoFile(compareExampleModel(), file).ok());
    const QList<std::pair<QStringList, int>> cases = {
        {{file, u"--cards"_s, u"2"_s}, 2},
        {{file, u"--cards"_s, u"2"_s, u"2"_s}, 2},
        {{file, u"--cards"_s, u"1"_s, u"x"_s}, 2},
        {{file, u"--format"_s, u"csv"_s}, 2},
        {{dir.path()}, 2},
        {{file, file}, 2},
        {{file, u"--all"_s, u"--cards"_s, u"1"_s, u"2"_s}, 2},
        {{file, u"--cards"_s, u"1"_s, u"4"_s}, 1},
        {{dir.filePath(u"missing.ego"_s)}, 1},
    };
    for (const auto &[args, status] : cases) {
        const Run run = cli(args);
        QVERIFY2(run.exitCode == status, qPrintable(args.join(u' ') + u": "_s + run.err));
        QVERIFY2(run.err.startsWith(u"korvalo-cli compare: "_s), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }
}

QTEST_GUILESS_MAIN(TestCompareCli)
#include "tst_comparecli.moc"

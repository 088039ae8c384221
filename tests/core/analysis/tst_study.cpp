#include "builders.h"
#include "core/analysis/study.h"
#include "core/egofile/egofile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>

using namespace korvalo;
using namespace Qt::StringLiterals;

// Walking a study: which files a folder stands for, in which order, and how a walk in
// parallel still delivers in file order, skips what cannot be read and stops on cancel.
class TestStudy : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void namesSortIgnoringCaseWithNumbers();
    void folderListsItsEgoFiles();
    void walkDeliversInFileOrderAndRecordsFailures_data();
    void walkDeliversInFileOrderAndRecordsFailures();
    void cancelStopsBetweenFiles();

private:
    // An ego named `name` with `cards` cards, written to folder/file.
    static void writeEgo(const QString &folder, const QString &file, const QString &name, int cards)
    {
        NetworkModel model = EgoWithCards(cards);
        model.ego.Name = name;
        QVERIFY(WriteEgoFile(model, QDir(folder).filePath(file)).ok());
    }
};

void TestStudy::namesSortIgnoringCaseWithNumbers()
{
    QStringList names{u"b.ego"_s, u"10.ego"_s, u"A.EGO"_s, u"9.ego"_s, u"wave 2.ego"_s,
                      u"wave 10.ego"_s, u"Wave 1.ego"_s, u"007.ego"_s};
    std::sort(names.begin(), names.end(), StudyNameLess);
    QCOMPARE(names, (QStringList{u"007.ego"_s, u"9.ego"_s, u"10.ego"_s, u"A.EGO"_s, u"b.ego"_s,
                                 u"Wave 1.ego"_s, u"wave 2.ego"_s, u"wave 10.ego"_s}));
    // A strict order: names equal but for case still have one.
    QVERIFY(StudyNameLess(u"A.ego"_s, u"a.ego"_s) != StudyNameLess(u"a.ego"_s, u"A.ego"_s));
}

void TestStudy::folderListsItsEgoFiles()
{
    QTemporaryDir dir;
    for (const QString &name : {u"b.ego"_s, u"10.ego"_s, u"A.EGO"_s, u"9.ego"_s, u"notes.txt"_s}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(u"inner.ego"_s)); // a folder is not an ego file
    const QStringList files = EgoFilesInFolder(dir.path());
    QCOMPARE(files, (QStringList{dir.filePath(u"9.ego"_s), dir.filePath(u"10.ego"_s),
                                 dir.filePath(u"A.EGO"_s), dir.filePath(u"b.ego"_s)}));

    QTemporaryDir empty;
    QCOMPARE(EgoFilesInFolder(empty.path()), QStringList());

    // Files stand for themselves, folders for their ego files, in the order given.
    std::vector<StudyFailure> failures;
    const QString single = dir.filePath(u"notes.txt"_s);
    QCOMPARE(StudyFiles({single, dir.path(), dir.filePath(u"missing.ego"_s)}, &failures),
             QStringList{single} + files);
    QCOMPARE(failures.size(), size_t(1));
    QCOMPARE(failures[0].path, dir.filePath(u"missing.ego"_s));
}

void TestStudy::walkDeliversInFileOrderAndRecordsFailures_data()
{
    QTest::addColumn<int>("jobs");
    QTest::newRow("one thread") << 1;
    QTest::newRow("two threads") << 2;
    QTest::newRow("more threads than files") << 64;
}

void TestStudy::walkDeliversInFileOrderAndRecordsFailures()
{
    QFETCH(int, jobs);
    QTemporaryDir dir;
    const int count = 40;
    for (int i = 1; i <= count; ++i)
        writeEgo(dir.path(), u"ego%1.ego"_s.arg(i), u"Ego %1"_s.arg(i), 1 + i % 3);
    {
        QFile broken(dir.filePath(u"ego17.ego"_s));
        QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write("<Ego><Name>cut off");
    }
    const QStringList files = EgoFilesInFolder(dir.path());
    QCOMPARE(files.size(), count);

    StudyWalkOptions options;
    options.jobs = jobs;
    QStringList progress;
    options.progress = [&](int index, int n, const QString &path) {
        QCOMPARE(n, count);
        progress << u"%1 %2"_s.arg(index).arg(QFileInfo(path).fileName());
    };
    QStringList delivered;
    const StudyWalkResult result = WalkStudy<QString>(
        files, options,
        [](const QString &, const NetworkModel &model) {
            return u"%1: %2 cards"_s.arg(model.ego.Name).arg(model.CardCount());
        },
        [&](const QString &, QString &line) { delivered << line; });

    QStringList expected;
    for (int i = 1; i <= count; ++i)
        if (i != 17)
            expected << u"Ego %1: %2 cards"_s.arg(i).arg(1 + i % 3);
    QCOMPARE(delivered, expected);
    QCOMPARE(result.delivered, count - 1);
    QCOMPARE(result.failures.size(), size_t(1));
    QCOMPARE(result.failures[0].path, dir.filePath(u"ego17.ego"_s));
    QVERIFY(result.failures[0].message.contains(u"ego17"_s));
    QVERIFY(!result.cancelled);
    QCOMPARE(progress.size(), count);
    QCOMPARE(progress.first(), u"0 ego1.ego"_s);
    QCOMPARE(progress.last(), u"39 ego40.ego"_s);
}

void TestStudy::cancelStopsBetweenFiles()
{
    QTemporaryDir dir;
    for (int i = 1; i <= 30; ++i)
        writeEgo(dir.path(), u"e%1.ego"_s.arg(i), u"E%1"_s.arg(i), 1);
    const QStringList files = EgoFilesInFolder(dir.path());
    for (int jobs : {1, 3}) {
        StudyWalkOptions options;
        options.jobs = jobs;
        int deliveredCount = 0;
        options.cancelled = [&] { return deliveredCount == 5; };
        std::atomic<int> worked = 0;
        const StudyWalkResult result = WalkStudy<int>(
            files, options,
            [&](const QString &, const NetworkModel &) { return ++worked; },
            [&](const QString &, int &) { ++deliveredCount; });
        QVERIFY(result.cancelled);
        QCOMPARE(deliveredCount, 5);
        QCOMPARE(result.delivered, 5);
        // Workers run at most a small window ahead of what was delivered.
        QVERIFY2(worked <= 5 + 4 * jobs, qPrintable(QString::number(worked)));
    }
}

QTEST_GUILESS_MAIN(TestStudy)
#include "tst_study.moc"

#include "builders.h"
#include "core/edit/recovery.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;

// Recovery copies on disk: what runs that died leave behind, and what a failed write says.
class TestRecoveryCopy : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void halfWrittenCopiesAreCleanedUp();
    void failedWriteNamesTheRecoveryFolder();
};

static void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

void TestRecoveryCopy::halfWrittenCopiesAreCleanedUp()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    const QByteArray ego(200000, 'x');
    // Killed in the middle of the first write: the lock of a process that is gone, and the
    // temporary file of the ego.
    writeFile(folder + QStringLiteral("/dead.lock"),
              "999999\nkorvalo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    writeFile(folder + QStringLiteral("/dead.ego.korvalo-save.tmp"), ego);
    // The same, its lock removed by a start in between.
    writeFile(folder + QStringLiteral("/orphan.ego.korvalo-save.tmp"), ego);
    // Killed while writing the second copy: the first is kept, the temporary files go.
    NetworkModel model;
    model.ego.Name = QStringLiteral("Eva");
    RecoveryCopy kept;
    kept.folder = folder;
    kept.id = QStringLiteral("kept");
    QVERIFY(WriteRecoveryCopy(kept, model, QString(), QDateTime::currentDateTimeUtc()).ok());
    writeFile(kept.egoPath() + QStringLiteral(".korvalo-save.tmp"), ego);
    writeFile(kept.infoPath() + QStringLiteral(".korvalo-save.tmp"), "{");

    std::vector<RecoveryCopy> found = ClaimLeftoverRecoveryCopies(folder);
    QCOMPARE(found.size(), size_t(1));
    QCOMPARE(found[0].id, QStringLiteral("kept"));
    QCOMPARE(found[0].egoName, QStringLiteral("Eva"));
    QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QCOMPARE(left, (QStringList{QStringLiteral("kept.ego"), QStringLiteral("kept.json"), QStringLiteral("kept.lock")}));
    RemoveRecoveryFiles(found[0]);
    found.clear();
    QVERIFY(ClaimLeftoverRecoveryCopies(folder).empty());
}

void TestRecoveryCopy::failedWriteNamesTheRecoveryFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeFile(dir.filePath(QStringLiteral("plain")), "not a folder");
    RecoveryCopy copy;
    copy.folder = dir.filePath(QStringLiteral("plain/recovery"));
    copy.id = QStringLiteral("07bf45f2");
    const Status status = WriteRecoveryCopy(copy, NetworkModel{}, QStringLiteral("/home/x/study.ego"), QDateTime::currentDateTimeUtc());
    QVERIFY(!status.ok());
    QVERIFY2(status.message().startsWith(QStringLiteral("The recovery copy could not be written to \"%1\": ")
                                             .arg(QDir::toNativeSeparators(copy.folder))),
             qPrintable(status.message()));
    QVERIFY(!status.message().contains(QStringLiteral("Cannot save")));
}

QTEST_GUILESS_MAIN(TestRecoveryCopy)
#include "tst_recoverycopy.moc"

#include "builders.h"
#include "core/egofile/egofile.h"
#include "gui/windows/infowindows.h"
#include "shellfixture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace korvalo;
using namespace Qt::StringLiterals;

// Macro > Directory from the menu: a chosen folder read beside the open ego, which keeps
// its data, its file name and its history.
class TestMacroActions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void runOverAFolderLeavesTheOpenEgoAlone();
    void cancelledQuestionsRunNothing();
    void picturesOfEveryCardGoBesideTheFiles();
};

namespace {

QStringList infoLines(const Shell &shell)
{
    return shell.window.infoWindows()->info()->lines();
}

void writeEgo(const QString &path, const QString &name, int cards)
{
    NetworkModel model = EgoWithCards(cards);
    model.ego.Name = name;
    model.ego.EgoID = name.toLower();
    QVERIFY(WriteEgoFile(model, path).ok());
}

} // namespace

void TestMacroActions::runOverAFolderLeavesTheOpenEgoAlone()
{
    QTemporaryDir home;
    QTemporaryDir study;
    const QString own = home.filePath(u"own.ego"_s);
    writeEgo(own, u"Own"_s, 1);
    writeEgo(study.filePath(u"10.ego"_s), u"Ten"_s, 2);
    writeEgo(study.filePath(u"9.ego"_s), u"Nine"_s, 3);
    QFile broken(study.filePath(u"5.ego"_s));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("<Ego><Name>cut off");
    broken.close();

    Shell shell;
    shell.asker->fileNames.push_back(own);
    shell.trigger(u"Open1"_s);
    shell.changeSomething(u"unsaved memo"_s);
    const int steps = shell.window.document().undoStack()->count();

    const qsizetype before = infoLines(shell).size();
    shell.asker->fileNames.push_back(study.path());
    shell.trigger(u"N24"_s);
    QCOMPARE(infoLines(shell).mid(before), (QStringList{u"Nine\tnine\t0\t0\t0\t"_s, u"Ten\tten\t0\t0\t"_s}));
    // The folder dialog started at the open file's folder; the broken file is reported.
    QVERIFY(shell.asker->asked.contains(u"folder: Number of Sectors|"_s + home.path()));
    QCOMPARE(shell.asker->messages().size(), 1);
    QVERIFY(shell.asker->messages().first().contains(u"5.ego"_s));

    QCOMPARE(shell.model.ego.Name, u"Own"_s);
    QCOMPARE(shell.session.CurrentFileName, own);
    QCOMPARE(shell.window.document().undoStack()->count(), steps);

    // The next run starts in the study's folder; Save still writes the open ego home.
    shell.asker->fileNames.push_back(QString());
    shell.trigger(u"Directory1"_s);
    QVERIFY(shell.asker->asked.last().endsWith(study.path()));
    shell.trigger(u"Save1"_s);
    const Result<NetworkModel> saved = ReadEgoFile(own, {});
    QVERIFY(saved);
    QCOMPARE(saved.value().ego.Name, u"Own"_s);
    QCOMPARE(saved.value().Cards[1].CardMemo, u"unsaved memo"_s);
    const Result<NetworkModel> nine = ReadEgoFile(study.filePath(u"9.ego"_s), {});
    QCOMPARE(nine.value().ego.Name, u"Nine"_s);
}

void TestMacroActions::cancelledQuestionsRunNothing()
{
    QTemporaryDir study;
    writeEgo(study.filePath(u"a.ego"_s), u"A"_s, 2);
    Shell shell;
    const qsizetype before = infoLines(shell).size();
    // Cancel in the strong-tie question asks for no folder.
    shell.asker->inputs.push_back(QString());
    shell.trigger(u"StrongWeakTies4"_s);
    QCOMPARE(shell.asker->asked, QStringList{u"input: Strong/Weak Ties|Number of Strong Circles:|2"_s});
    // Cancel in the folder dialog.
    shell.asker->fileNames.push_back(QString());
    shell.trigger(u"Directory1"_s);
    QCOMPARE(infoLines(shell).size(), before);
    QVERIFY(shell.asker->unexpected.isEmpty());

    // A folder without ego files is said so, before "1 big JPG" asks for a picture.
    QTemporaryDir empty;
    for (const QString &item : {u"Directory1"_s, u"N1bigJPG1"_s, u"ExportTables1"_s}) {
        shell.asker->asked.clear();
        shell.asker->choices.push_back(0); // without names, for the tables
        shell.asker->fileNames.push_back(empty.path());
        shell.trigger(item);
        QCOMPARE(shell.asker->messages(),
                 QStringList{u"message: There are no ego files (*.ego) in \"%1\"."_s.arg(
                     QDir::toNativeSeparators(empty.path()))});
        shell.asker->choices.clear();
    }
    QCOMPARE(infoLines(shell).size(), before);
    QVERIFY(shell.asker->unexpected.isEmpty());
}

void TestMacroActions::picturesOfEveryCardGoBesideTheFiles()
{
    QTemporaryDir study;
    writeEgo(study.filePath(u"a.ego"_s), u"Ann"_s, 2);
    writeEgo(study.filePath(u"b.ego"_s), u"Ben"_s, 1);
    Shell shell;
    shell.asker->fileNames.push_back(study.path());
    shell.trigger(u"JGPAllCards1"_s);
    QCOMPARE(QDir(study.path()).entryList({u"*.jpg"_s}).size(), 3);

    const QString grid = study.filePath(u"grid.jpg"_s);
    shell.asker->fileNames.push_back(study.path());
    shell.asker->fileNames.push_back(grid);
    shell.trigger(u"N1bigJPG1"_s);
    const QImage picture(grid);
    // Three cards wide, a row per file.
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.width() % 3, 0);
    QCOMPARE(picture.height() % 2, 0);
    QVERIFY(shell.asker->unexpected.isEmpty());
}

QTEST_MAIN(TestMacroActions)
#include "tst_macroactions.moc"

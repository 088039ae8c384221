#include "builders.h"
#include "core/egofile/egofile.h"
#include "gui/windows/infowindows.h"
#include "shellfixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace korvalo;
using namespace Qt::StringLiterals;

// The tables and GraphML from the menus: the open ego through File > Export, a folder
// through Macro > Directory > "Export Tables" and "Export GraphML", with the question about
// names and memos.
class TestStudyExportActions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void openEgoToTablesAndGraphML();
    void folderToTablesBesideItsFiles();
    void folderToOneGraphML();
};

namespace {

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestStudyExportActions::openEgoToTablesAndGraphML()
{
    QTemporaryDir dir;
    Shell shell;
    // Nothing to export before there is a card.
    shell.trigger(u"TablesforRPython1"_s);
    QCOMPARE(shell.asker->messages(), QStringList{u"message: There are no network cards to export."_s});

    shell.createEgo(u"Zoë"_s, u"Z9"_s);
    shell.addCard(u"Wave 1"_s, u"Kim"_s);
    shell.asker->asked.clear();
    // Names and memos included: the unsaved ego as it is in memory.
    shell.asker->choices.push_back(1);
    shell.asker->fileNames.push_back(dir.path());
    shell.trigger(u"TablesforRPython1"_s);
    QVERIFY(shell.asker->asked.first().endsWith(u"[Without names and memos|Include names and memos|Cancel]"_s));
    QVERIFY(read(dir.filePath(u"egos.csv"_s)).contains(u"\r\nZ9_1,Z9,1,Wave 1,"_s.toUtf8()));
    QVERIFY(read(dir.filePath(u"egos.csv"_s)).contains(u",Zoë,"_s.toUtf8()));

    // Tables there already: No to replacing them leaves them alone.
    QFile::remove(dir.filePath(u"alters.csv"_s));
    shell.asker->choices.push_back(0);
    shell.asker->fileNames.push_back(dir.path());
    shell.asker->answers.push_back(Asker::Answer::No);
    shell.trigger(u"TablesforRPython1"_s);
    QVERIFY(shell.asker->asked.last().startsWith(u"yesNo: "_s));
    QVERIFY(!QFile::exists(dir.filePath(u"alters.csv"_s)));

    // GraphML without names; Cancel in the question asks nothing more.
    const QString graph = dir.filePath(u"z.graphml"_s);
    shell.asker->choices.push_back(0);
    shell.asker->fileNames.push_back(graph);
    shell.trigger(u"GraphML1"_s);
    QVERIFY(read(graph).contains("<graph id=\"g1\""));
    QVERIFY(!read(graph).contains(u"Zoë"_s.toUtf8()));
    const qsizetype asked = shell.asker->asked.size();
    shell.asker->choices.push_back(2);
    shell.trigger(u"GraphML1"_s);
    QCOMPARE(shell.asker->asked.size(), asked + 1);
    QVERIFY(shell.asker->unexpected.isEmpty());
}

void TestStudyExportActions::folderToTablesBesideItsFiles()
{
    QTemporaryDir study;
    for (const QString &id : {u"b"_s, u"a"_s}) {
        NetworkModel model = EgoWithCards(1);
        model.ego.EgoID = id;
        AddNode(model, 1, alter(0, 0.5f, 1, u"X"_s));
        QVERIFY(WriteEgoFile(model, study.filePath(id + u".ego"_s)).ok());
    }
    Shell shell;
    shell.asker->choices.push_back(0);
    shell.asker->fileNames.push_back(study.path());
    shell.trigger(u"ExportTables1"_s);
    QCOMPARE(read(study.filePath(u"egos.csv"_s)).count("\r\n"), 3);
    QVERIFY(read(study.filePath(u"alters.csv"_s)).contains("\r\na_1,1,X,"));
    QVERIFY(shell.window.infoWindows()->info()->lines().last().startsWith(u"Tables of 2 ego files written"_s));
    QVERIFY(shell.asker->unexpected.isEmpty());
}

void TestStudyExportActions::folderToOneGraphML()
{
    QTemporaryDir study;
    for (const QString &id : {u"b"_s, u"a"_s}) {
        NetworkModel model = EgoWithCards(2);
        model.ego.EgoID = id;
        AddNode(model, 2, alter(0, 0.5f, 1, u"X"_s, u"Xavier"_s));
        QVERIFY(WriteEgoFile(model, study.filePath(id + u".ego"_s)).ok());
    }
    const QString graph = study.filePath(u"study.graphml"_s);
    Shell shell;
    shell.asker->choices.push_back(0);
    shell.asker->fileNames.push_back(study.path());
    shell.asker->fileNames.push_back(graph);
    shell.trigger(u"ExportGraphML1"_s);
    // Every card of the folder's files in name order, without names.
    const QByteArray written = read(graph);
    QCOMPARE(written.count("<graph "), 4);
    QVERIFY(written.indexOf(">a_1<") < written.indexOf(">b_1<"));
    QVERIFY(!written.contains("Xavier"));
    QVERIFY(shell.window.infoWindows()->info()->lines().last().startsWith(u"GraphML of 2 ego files written"_s));
    QVERIFY(shell.asker->unexpected.isEmpty());
}

QTEST_MAIN(TestStudyExportActions)
#include "tst_studyexportactions.moc"

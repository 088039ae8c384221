#include "gui/actions/fileactions.h"
#include "gui/shell/menus.h"
#include "gui/shell/recentfiles.h"
#include "core/egofile/egofile.h"
#include "shellfixture.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>

using namespace korvalo;

using namespace Qt::StringLiterals;

class TestRecentFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void newestFirstAtMostEight();
    void chosenFromTheMenu();
    void missingFileLeavesTheList();
    void saveNamesTheFileInTheStatusBar();

private:
    // An ego file "<name>.ego" with one card; returns its path.
    QString egoFile(const QString &name);
    static QStringList menuTexts(Shell &s);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRecentFiles::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestRecentFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    Shell s;
    s.window.recentFiles().clear();
}

QString TestRecentFiles::egoFile(const QString &name)
{
    NetworkModel m;
    SetupEgo(m, name, {}, 0, {}, {}, {});
    AddCard(m, u"t1"_s, 5, u"normal"_s, 2, {}, {}, {});
    const QString path = QDir(m_dir->path()).canonicalPath() + u'/' + name + u".ego"_s;
    if (!WriteEgoFile(m, path))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QStringList TestRecentFiles::menuTexts(Shell &s)
{
    QStringList texts;
    const QList<QAction *> items = s.window.menus().menu(u"RecentFiles1"_s)->actions();
    for (QAction *item : items) {
        if (item->isVisible())
            texts << (item->isSeparator() ? u"-"_s : item->text());
    }
    return texts;
}

void TestRecentFiles::newestFirstAtMostEight()
{
    QStringList paths;
    for (int i = 1; i <= 10; ++i)
        paths << egoFile(u"ego%1"_s.arg(i));
    {
        Shell s;
        QAction *menu = s.window.menus().action(u"RecentFiles1"_s);
        QVERIFY(!menu->isEnabled());
        for (const QString &path : std::as_const(paths)) {
            s.asker->fileNames = {path};
            s.trigger(u"Open1"_s);
        }
        QVERIFY(menu->isEnabled());
        // Read again: to the top, not twice.
        s.asker->fileNames = {paths[4]};
        s.trigger(u"Open1"_s);
        const QStringList expected{paths[4], paths[9], paths[8], paths[7],
                                   paths[6], paths[5], paths[3], paths[2]};
        QCOMPARE(s.window.recentFiles().files(), expected);
        QCOMPARE(menuTexts(s).size(), 10);
        QCOMPARE(menuTexts(s).first(), u"&1 "_s + QDir::toNativeSeparators(paths[4]));
        QCOMPARE(menuTexts(s).last(), u"Clear List"_s);

        // Saved under a new name: that file comes first.
        s.changeSomething();
        s.asker->fileNames = {m_dir->filePath(u"renamed"_s)};
        s.trigger(u"Saveas1"_s);
        QCOMPARE(s.window.recentFiles().files().first(), QDir(m_dir->path()).canonicalPath() + u"/renamed.ego"_s);
        QCOMPARE(s.window.recentFiles().files().size(), 8);
        QCOMPARE(s.asker->unexpected, QStringList());
    }
    // Kept between runs; cleared on request, and then greyed.
    Shell t;
    QCOMPARE(t.window.recentFiles().files().size(), 8);
    t.trigger(u"ClearRecentFiles1"_s);
    QCOMPARE(t.window.recentFiles().files(), QStringList());
    QVERIFY(!t.window.menus().action(u"RecentFiles1"_s)->isEnabled());
}

void TestRecentFiles::chosenFromTheMenu()
{
    const QString anna = egoFile(u"anna"_s);
    const QString berta = egoFile(u"berta"_s);
    Shell s;
    s.window.recentFiles().add(anna);
    s.window.recentFiles().add(berta);
    s.asker->fileNames = {anna};
    s.trigger(u"Open1"_s);
    s.changeSomething();

    // Unsaved changes are asked about first, as File > Read does; Abort keeps everything.
    s.asker->answers = {Asker::Answer::Abort};
    s.trigger(u"RecentFile2"_s); // berta, below anna that was read last
    QCOMPARE(s.model.ego.Name, u"anna"_s);
    s.asker->answers = {Asker::Answer::No};
    s.trigger(u"RecentFile2"_s);
    QCOMPARE(s.model.ego.Name, u"berta"_s);
    QCOMPARE(s.session.CurrentFileName, berta);
    QVERIFY(!s.window.document().isModified());
    QCOMPARE(s.window.recentFiles().files(), (QStringList{berta, anna}));
    QCOMPARE(s.asker->unexpected, QStringList());
}

void TestRecentFiles::missingFileLeavesTheList()
{
    const QString anna = egoFile(u"anna"_s);
    const QString gone = egoFile(u"gone"_s);
    Shell s;
    s.window.recentFiles().add(anna);
    s.window.recentFiles().add(gone);
    QVERIFY(QFile::remove(gone));
    s.trigger(u"RecentFile1"_s);
    QCOMPARE(s.asker->messages().size(), 1);
    QVERIFY(s.asker->messages().first().contains(QDir::toNativeSeparators(gone)));
    QCOMPARE(s.window.recentFiles().files(), QStringList{anna});
    QCOMPARE(menuTexts(s), (QStringList{u"&1 "_s + QDir::toNativeSeparators(anna), u"-"_s, u"Clear List"_s}));
    QVERIFY(s.model.ego.Name.isEmpty()); // nothing was read
}

void TestRecentFiles::saveNamesTheFileInTheStatusBar()
{
    const QString anna = egoFile(u"anna"_s);
    Shell s;
    s.window.show();
    s.window.setEditMode(EditMode::AddNodes);
    QVERIFY(s.window.fileCommands().readFile(anna, false));
    s.changeSomething();
    s.trigger(u"Save1"_s);
    auto *panel = s.child<QLabel>(u"StatusPanel"_s);
    QCOMPARE(s.window.statusBar()->currentMessage(), u"Saved \"anna.ego\""_s);
    QVERIFY(!panel->isVisible());
    // A few seconds later the editing mode shows again.
    QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), 6000);
    QCOMPARE(s.window.statusBar()->currentMessage(), QString());
    QCOMPARE(panel->text(), u"Add Nodes."_s);
}

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"

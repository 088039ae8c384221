#include "shellfixture.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

using namespace korvalo;

using namespace Qt::StringLiterals;
using Answer = Asker::Answer;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Undo and redo as a user reaches them: the Edit menu and its keys, the modified mark in
// the title, and the save questions that follow the mark.
class TestUndoShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void keysUndoAndRedoCardCommands();
    void titleMarkFollowsTheSavedStep();
};

void TestUndoShell::keysUndoAndRedoCardCommands()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"wave.ego"_s);
    {
        Shell s;
        s.createEgo(u"Anna"_s, u"A1"_s);
        s.addCard(u"Wave 1"_s, u"Iris"_s);
        s.addCard(u"Wave 2"_s);
        s.asker->fileNames = {file};
        s.trigger(u"Save1"_s);
    }
    const QByteArray saved = contents(file);

    Shell s;
    s.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    s.asker->fileNames = {file};
    s.trigger(u"Open1"_s);
    QCOMPARE(s.window.windowTitle(), u"wave.ego[*] - Korvalo"_s);
    QAction *undo = s.action(u"Undo1"_s);
    QAction *redo = s.action(u"Redo1"_s);
    QVERIFY(!undo->isEnabled());
    QCOMPARE(undo->text(), u"Undo"_s);
    QCOMPARE(qobject_cast<QMenu *>(undo->parent())->objectName(), u"Edit1"_s);

    s.asker->answers = {Answer::Yes, Answer::Yes};
    s.trigger(u"DuplicateCard1"_s); // card 1 is current after reading
    QCOMPARE(s.cardList(), (QStringList{u"<none>"_s, u"Wave 1"_s, u"Wave 2"_s, u"Wave 1 Copy"_s}));
    s.trigger(u"DeleteCard1"_s);
    QCOMPARE(s.cardList(), (QStringList{u"<none>"_s, u"Wave 1"_s, u"Wave 2"_s}));
    QCOMPARE(undo->text(), u"Undo Delete card \"Wave 1 Copy\""_s);
    s.trigger(u"Ne1"_s);
    s.child<QLineEdit>(u"misc1"_s, s.window.egoDialog())->setText(u"moved"_s);
    s.child<QPushButton>(u"Button1"_s, s.window.egoDialog())->click();
    QCOMPARE(s.field(u"Edit5"_s), u"moved"_s);
    QVERIFY(s.window.isWindowModified());

    // Ctrl+Z three times, Ctrl+Y and Ctrl+Shift+Z redo.
    s.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    QTest::keyClick(&s.window, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(s.model.ego.Misc1, QString());
    QCOMPARE(s.field(u"Edit5"_s), QString());
    QTest::keyClick(&s.window, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(s.cardList(), (QStringList{u"<none>"_s, u"Wave 1"_s, u"Wave 2"_s, u"Wave 1 Copy"_s}));
    QCOMPARE(s.model.CurrentCard, 3);
    QTest::keyClick(&s.window, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(s.cardList(), (QStringList{u"<none>"_s, u"Wave 1"_s, u"Wave 2"_s}));
    QVERIFY(!s.window.isWindowModified());
    QVERIFY(!undo->isEnabled());
    QCOMPARE(redo->text(), u"Redo Duplicate card \"Wave 1\""_s);
    QTest::keyClick(&s.window, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(&s.window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(s.cardList(), (QStringList{u"<none>"_s, u"Wave 1"_s, u"Wave 2"_s}));
    QVERIFY(s.window.isWindowModified());
    QTest::keyClick(&s.window, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&s.window, Qt::Key_Z, Qt::ControlModifier);

    // Back at the file's step: saving writes the same bytes.
    QVERIFY(!s.window.isWindowModified());
    s.trigger(u"Save1"_s);
    QCOMPARE(contents(file), saved);
    QVERIFY(s.asker->unexpected.isEmpty());
}

void TestUndoShell::titleMarkFollowsTheSavedStep()
{
    QTemporaryDir dir;
    Shell s;
    s.window.show();
    s.trigger(u"New1"_s);
    s.window.egoDialog()->hide();
    QCOMPARE(s.window.windowTitle(), u"Untitled[*] - Korvalo"_s);
    QVERIFY(!s.window.isWindowModified());
    s.createEgo(u"Bea"_s);
    s.addCard(u"t1"_s);
    QVERIFY(s.window.isWindowModified());

    s.asker->fileNames = {dir.filePath(u"bea"_s)};
    s.trigger(u"Save1"_s);
    QCOMPARE(s.window.windowTitle(), u"bea.ego[*] - Korvalo"_s);
    QVERIFY(!s.window.isWindowModified());

    // New right after a save asks nothing; after one change it asks.
    s.asker->asked.clear();
    s.changeSomething();
    QVERIFY(s.window.isWindowModified());
    s.window.document().undoStack()->undo();
    QVERIFY(!s.window.isWindowModified());
    s.trigger(u"New1"_s);
    QVERIFY(s.asker->asked.isEmpty());
    QCOMPARE(s.window.document().undoStack()->count(), 0);

    s.createEgo(u"Cleo"_s);
    s.asker->answers = {Answer::Abort};
    s.trigger(u"New1"_s);
    QCOMPARE(s.asker->asked, QStringList{u"yesNoAbort: Do you want to save the current Ego?"_s});
    QCOMPARE(s.model.ego.Name, u"Cleo"_s);
}

QTEST_MAIN(TestUndoShell)
#include "tst_undoshell.moc"

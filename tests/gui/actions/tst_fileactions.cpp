#include "gui/dialogs/startchooser.h"
#include "shellfixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

using namespace korvalo;

using namespace Qt::StringLiterals;
using Answer = Asker::Answer;

namespace {

const QString SaveQuestion = u"yesNoAbort: Do you want to save the current Ego?"_s;
const QString ClosingQuestion =
    u"yesNoAbort: Korvalo is closing. Do you want to save the current Ego?"_s;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void exitWithoutCardsClosesAtOnce();
    void exitAndCloseQueryAnswers();
    void exitGoesOnOnlyAfterARealSave();
    void saveNamesTheFile();
    void saveWithoutEgoName();
    void failedSaveKeepsState();
    void newAsksAndForgetsTheFile();
    void readReplacesTheEgo();
    void readFailureKeepsTheEgo();
    void fileArgumentAtStart();
    void startChooser();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // An ego "Anna" with two cards saved to anna.ego.
    void savedEgo(Shell &s);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFileCommands::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestFileCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFileCommands::savedEgo(Shell &s)
{
    s.createEgo(u"Anna"_s, u"A1"_s);
    s.addCard(u"t1"_s, u"Iris"_s);
    s.addCard(u"t2"_s);
    s.asker->fileNames = {path(u"anna.ego"_s)};
    s.trigger(u"Save1"_s);
    QVERIFY(QFile::exists(path(u"anna.ego"_s)));
    s.asker->asked.clear();
}

void TestFileCommands::exitWithoutCardsClosesAtOnce()
{
    // Nothing changed since File > New: nothing to ask.
    Shell s;
    s.window.show();
    s.trigger(u"New1"_s);
    s.window.egoDialog()->hide();
    s.trigger(u"Exit1"_s);
    QVERIFY(!s.window.isVisible());
    QVERIFY(s.session.ExitConfirmed);
    QVERIFY(s.asker->asked.isEmpty());
}

void TestFileCommands::exitAndCloseQueryAnswers()
{
    Shell s;
    s.window.show();
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s);
    s.asker->answers = {Answer::Abort, Answer::Abort};
    s.trigger(u"Exit1"_s);
    QVERIFY(!s.window.close());
    QVERIFY(s.window.isVisible());
    QCOMPARE(s.asker->asked, (QStringList{ClosingQuestion, ClosingQuestion}));
    QVERIFY(s.model.EgoPresent);
    QVERIFY(!s.session.ExitConfirmed);
    QCOMPARE(s.model.CardCount(), 1);

    s.asker->answers = {Answer::No};
    QVERIFY(s.window.close());

    // Exit asks once; the close that follows does not ask again.
    Shell t;
    t.window.show();
    t.createEgo(u"Bea"_s);
    t.addCard();
    t.asker->answers = {Answer::No};
    t.trigger(u"Exit1"_s);
    QVERIFY(!t.window.isVisible());
    QCOMPARE(t.asker->asked, QStringList{ClosingQuestion});
    QVERIFY(t.asker->unexpected.isEmpty());
}

void TestFileCommands::exitGoesOnOnlyAfterARealSave()
{
    Shell s;
    s.window.show();
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s);
    // Yes, then the save dialog cancelled: the program stays open with its ego.
    s.asker->answers = {Answer::Yes, Answer::Yes};
    s.asker->fileNames = {QString(), QString()};
    s.trigger(u"Exit1"_s);
    QVERIFY(s.window.isVisible());
    QVERIFY(!s.window.close());
    QCOMPARE(s.model.CardCount(), 1);
    QVERIFY(!s.session.ExitConfirmed);

    // Yes and a real save: closed.
    s.asker->answers = {Answer::Yes};
    s.asker->fileNames = {path(u"anna"_s)};
    s.trigger(u"Exit1"_s);
    QVERIFY(!s.window.isVisible());
    QVERIFY(QFile::exists(path(u"anna.ego"_s)));

    // A file read without an ego name cannot be saved: Yes keeps the program open.
    Shell t;
    t.window.show();
    QVERIFY(t.model.ego.Name.isEmpty());
    t.createEgo(QString(), QString()); // refused by the dialog: no name on the side panel
    t.window.document().push(new InsertCardCommand(t.window.document(), 1,
                                                   NewCard(1, u"t1"_s, 7, u"none"_s, 1, {}, {}, {}),
                                                   u"New card"_s));
    t.asker->answers = {Answer::Yes};
    t.trigger(u"Exit1"_s);
    QVERIFY(t.window.isVisible());
    QVERIFY(t.asker->messages().last().contains(u"Ego Settings"_s));
}

void TestFileCommands::saveNamesTheFile()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s);
    s.asker->fileNames = {path(u"first"_s)};
    s.trigger(u"Save1"_s);
    QCOMPARE(s.session.CurrentFileName, path(u"first.ego"_s));
    const QByteArray firstWrite = contents(path(u"first.ego"_s));
    QVERIFY(firstWrite.contains("<Name>Anna</Name>"));

    // A second Save writes to the same file without a dialog.
    s.addCard(u"t2"_s);
    s.trigger(u"Save1"_s);
    QCOMPARE(s.asker->asked, QStringList{u"save: Ego files (*.ego)"_s});
    QVERIFY(contents(path(u"first.ego"_s)).contains("t2"));

    // Save as always asks; the extension test is case-sensitive.
    s.asker->fileNames = {path(u"Second.EGO"_s), path(u"third.ego"_s)};
    s.trigger(u"Saveas1"_s);
    QCOMPARE(s.session.CurrentFileName, path(u"Second.EGO.ego"_s));
    QVERIFY(QFile::exists(path(u"Second.EGO.ego"_s)));
    s.trigger(u"Saveas1"_s);
    QCOMPARE(s.session.CurrentFileName, path(u"third.ego"_s));
    QVERIFY(!QFile::exists(path(u"third.ego.ego"_s)));
    QVERIFY(s.asker->unexpected.isEmpty());
}

void TestFileCommands::saveWithoutEgoName()
{
    Shell s;
    s.trigger(u"New1"_s); // ego dialog not saved yet
    s.trigger(u"Save1"_s);
    s.trigger(u"Saveas1"_s);
    s.child<QToolButton>(u"SpeedButton7"_s)->click();
    QCOMPARE(s.asker->asked.size(), 3);
    QCOMPARE(s.asker->messages().size(), 3);
    QVERIFY(s.asker->messages().first().contains(u"Ego Settings"_s));
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

void TestFileCommands::failedSaveKeepsState()
{
    Shell s;
    savedEgo(s);
    const QByteArray before = contents(path(u"anna.ego"_s));
    const QString nowhere = path(u"missing/dir/x.ego"_s);
    s.asker->fileNames = {nowhere};
    s.trigger(u"Saveas1"_s);
    QCOMPARE(s.asker->messages().size(), 1);
    QCOMPARE(s.session.CurrentFileName, path(u"anna.ego"_s));
    QCOMPARE(s.model.CardCount(), 2);

    // A file that cannot be written is left as it was, and closing stays refused.
    s.window.show();
    s.changeSomething();
    s.session.CurrentFileName = nowhere;
    s.asker->answers = {Answer::Yes};
    QVERIFY(!s.window.close());
    QCOMPARE(s.asker->messages().size(), 2);
    QCOMPARE(contents(path(u"anna.ego"_s)), before);
}

void TestFileCommands::newAsksAndForgetsTheFile()
{
    Shell s;
    savedEgo(s);
    // Right after the save there is nothing to ask.
    s.trigger(u"New1"_s);
    QVERIFY(s.asker->asked.isEmpty());
    s.window.egoDialog()->hide();
    savedEgo(s);
    s.changeSomething();
    s.asker->answers = {Answer::Abort};
    s.trigger(u"New1"_s);
    QCOMPARE(s.asker->asked, QStringList{SaveQuestion});
    QCOMPARE(s.model.CardCount(), 2);
    QCOMPARE(s.field(u"egoname"_s), u"Anna"_s);
    QCOMPARE(s.session.CurrentFileName, path(u"anna.ego"_s));

    s.asker->answers = {Answer::No};
    s.trigger(u"New1"_s);
    QCOMPARE(s.model.CardCount(), 0);
    QCOMPARE(s.session.CurrentFileName, QString());
    QCOMPARE(s.field(u"egoname"_s), QString());
    QCOMPARE(s.cardList(), QStringList{u"<none>"_s});
    QVERIFY(s.window.egoDialog()->isVisible());
    QCOMPARE(s.child<QLineEdit>(u"name"_s, s.window.egoDialog())->text(), QString());

    // The new ego's first Save asks for a name instead of overwriting anna.ego.
    const QByteArray anna = contents(path(u"anna.ego"_s));
    s.child<QLineEdit>(u"name"_s, s.window.egoDialog())->setText(u"Bea"_s);
    s.child<QLineEdit>(u"egoid"_s, s.window.egoDialog())->setText(u"B1"_s);
    s.child<QPushButton>(u"Button1"_s, s.window.egoDialog())->click();
    s.asker->fileNames = {path(u"bea.ego"_s)};
    s.trigger(u"Save1"_s);
    QCOMPARE(s.asker->asked.last(), u"save: Ego files (*.ego)"_s);
    QCOMPARE(contents(path(u"anna.ego"_s)), anna);
    QVERIFY(QFile::exists(path(u"bea.ego"_s)));
}

void TestFileCommands::readReplacesTheEgo()
{
    Shell s;
    savedEgo(s);
    s.asker->answers = {Answer::No};
    s.trigger(u"New1"_s);
    s.window.egoDialog()->hide();

    // No cards in memory: Read asks no question.
    Shell t;
    t.asker->fileNames = {path(u"anna.ego"_s)};
    t.trigger(u"Open1"_s);
    QCOMPARE(t.asker->asked, QStringList{u"open: Ego files (*.ego)"_s});
    QCOMPARE(t.model.CardCount(), 2);
    QCOMPARE(t.model.CurrentCard, 1);
    QCOMPARE(t.session.CurrentFileName, path(u"anna.ego"_s));
    QCOMPARE(t.field(u"egoname"_s), u"Anna"_s);
    QCOMPARE(t.field(u"egoid"_s), u"A1"_s);
    QCOMPARE(t.field(u"Edit1"_s), u"Iris"_s);
    QCOMPARE(t.cardList(), (QStringList{u"<none>"_s, u"t1"_s, u"t2"_s}));
    QCOMPARE(t.child<QLineEdit>(u"name"_s, t.window.egoDialog())->text(), u"Anna"_s);

    // With unsaved changes it asks first; Abort leaves everything, No reads.
    t.addCard(u"extra"_s);
    t.asker->answers = {Answer::Abort, Answer::No};
    t.asker->fileNames = {path(u"anna.ego"_s)};
    t.trigger(u"Open1"_s);
    QCOMPARE(t.model.CardCount(), 3);
    t.child<QToolButton>(u"SpeedButton8"_s)->click();
    QCOMPARE(t.model.CardCount(), 2);
    QCOMPARE(t.asker->asked.mid(1), (QStringList{SaveQuestion, SaveQuestion, u"open: Ego files (*.ego)"_s}));
}

void TestFileCommands::readFailureKeepsTheEgo()
{
    Shell s;
    savedEgo(s);
    QFile junk(path(u"junk.ego"_s));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("this is not an ego file\n");
    junk.close();
    s.asker->fileNames = {junk.fileName()};
    s.trigger(u"Open1"_s);
    QCOMPARE(s.asker->messages().size(), 1);
    QVERIFY(s.asker->messages().first().contains(u"junk.ego"_s));
    QCOMPARE(s.model.CardCount(), 2);
    QCOMPARE(s.session.CurrentFileName, path(u"anna.ego"_s));
    QCOMPARE(s.cardList(), (QStringList{u"<none>"_s, u"t1"_s, u"t2"_s}));
    QCOMPARE(s.field(u"egoname"_s), u"Anna"_s);
}

void TestFileCommands::fileArgumentAtStart()
{
    {
        Shell s;
        savedEgo(s);
    }
    Shell s;
    s.window.show();
    s.window.startUp(path(u"anna.ego"_s));
    QTRY_COMPARE(s.model.CardCount(), 2);
    QTest::qWait(300);
    QVERIFY(s.window.startChooser()->isHidden());
    QVERIFY(s.asker->asked.isEmpty());

    Shell t;
    t.window.show();
    t.window.startUp(path(u"nothing-here.ego"_s));
    QTRY_VERIFY(t.window.startChooser()->isVisible());
    QCOMPARE(t.asker->messages().size(), 1);
    QVERIFY(t.asker->messages().first().contains(u"nothing-here.ego"_s));
}

void TestFileCommands::startChooser()
{
    Shell s;
    s.window.show();
    s.window.startUp();
    StartChooser *chooser = s.window.startChooser();
    QVERIFY(chooser->isHidden());
    QTRY_VERIFY(chooser->isVisible());
    QCOMPARE(chooser->size(), QSize(216, 178));

    // The action happens on release.
    auto *create = s.child<PanelButton>(u"NewEgoPanel"_s, chooser);
    QTest::mousePress(create, Qt::LeftButton);
    QCOMPARE(create->frameShadow(), QFrame::Sunken);
    QVERIFY(chooser->isVisible());
    QTest::mouseRelease(create, Qt::LeftButton);
    QCOMPARE(create->frameShadow(), QFrame::Raised);
    QVERIFY(chooser->isHidden());
    QVERIFY(s.window.egoDialog()->isVisible());
    QVERIFY(s.model.EgoPresent);

    // Clicking elsewhere hides the chooser.
    Shell u;
    u.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&u.window));
    u.window.startChooser()->show();
    u.window.startChooser()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(u.window.startChooser()));
    u.window.activateWindow();
    QTRY_VERIFY(u.window.startChooser()->isHidden());

    // Reading from the chooser, cancelled: no ego is set up.
    Shell t;
    t.window.startChooser()->show();
    t.asker->fileNames = {QString()};
    QTest::mouseClick(t.child<PanelButton>(u"ReadEgoPanel"_s, t.window.startChooser()), Qt::LeftButton);
    QVERIFY(t.window.startChooser()->isHidden());
    QCOMPARE(t.asker->asked, QStringList{u"open: Ego files (*.ego)"_s});
    QVERIFY(!t.model.EgoPresent);
}

QTEST_MAIN(TestFileCommands)
#include "tst_fileactions.moc"

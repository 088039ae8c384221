#include "shellfixture.h"

#include "gui/dialogs/startchooser.h"

#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

using namespace korvalo;
using namespace Qt::StringLiterals;

// What an interviewer meets first: which Card items can be chosen, what the status bar
// says, the name the save dialog offers, the word that a picture was written.
class TestFirstSteps : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cardItemsStatusAndFileNames()
    {
        QTemporaryDir dir;
        Shell s;
        auto status = [&] { return s.child<QLabel>(u"StatusPanel"_s)->text(); };
        auto cardItems = [&](bool enabled) {
            for (const QString &name : {u"Settings1"_s, u"NodeTable1"_s, u"DuplicateCard1"_s, u"DeleteCard1"_s})
                QCOMPARE(s.action(name)->isEnabled(), enabled);
        };
        cardItems(false);
        s.createEgo(u"Anna"_s);
        QCOMPARE(status(), u"Add a network card: Ego > New Network Card."_s);
        cardItems(false);
        s.addCard(u"Wave 1"_s);
        QCOMPARE(status(), u"Choose an editing mode on the tool bar."_s);
        cardItems(true);

        s.asker->fileNames = {dir.filePath(u"anna.ego"_s), dir.filePath(u"card.jpg"_s)};
        s.trigger(u"Save1"_s);
        s.trigger(u"jpg2"_s);
        QVERIFY(QFile::exists(dir.filePath(u"card.jpg"_s)));
        QCOMPARE(s.window.statusBar()->currentMessage(), u"Written \"card.jpg\""_s);

        // The real save dialog offers the ego file's name.
        s.window.setAsker(std::make_unique<DialogAsker>(&s.window));
        QStringList offered;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *dialog = qobject_cast<QFileDialog *>(w); dialog && dialog->isVisible()) {
                    offered << QFileInfo(dialog->selectedFiles().value(0)).fileName();
                    dialog->reject();
                }
        });
        poll.start(20);
        s.trigger(u"Saveas1"_s);
        s.trigger(u"jpg2"_s);
        QCOMPARE(offered, (QStringList{u"anna.ego"_s, u"anna.jpg"_s}));

        s.window.document().reset(NetworkModel());
        cardItems(false);
    }

    void theStartChoosersPanelsAreButtonsToScreenReaders()
    {
        StartChooser chooser;
        QSignalSpy chosen(&chooser, &StartChooser::newEgoChosen);
        QAccessibleInterface *button =
            QAccessible::queryAccessibleInterface(chooser.findChild<PanelButton *>(u"NewEgoPanel"_s));
        QCOMPARE(button->role(), QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), u"Create New Ego"_s);
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(chosen.count(), 1);
    }
};

QTEST_MAIN(TestFirstSteps)
#include "tst_firststeps.moc"

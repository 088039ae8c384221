#include "shellfixture.h"

#include "builders.h"
#include "core/map/geometry.h"
#include "gui/actions/sectoractions.h"
#include "gui/dialogs/linedialog.h"
#include "gui/dialogs/sectordialog.h"
#include "gui/map/mapcontroller.h"
#include "gui/map/mapwidget.h"
#include "gui/shell/asker.h"

#include <QApplication>
#include <QInputDialog>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>

using namespace korvalo;

using namespace Qt::StringLiterals;

// Clicks on the map in a shown window, sent as the window system sends them: a double
// click is a press, a release and then the double-click event for the second press.
namespace {

struct Clicks : Shell
{
    MapWidget *map = window.mapWidget();

    Clicks()
    {
        window.resize(900, 760);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("the main window did not appear");
    }
    QPoint at(float angle, float distance) const
    {
        const QSize size = map->image().size();
        return MapPoint(angle, distance, size.width(), size.height());
    }
    void send(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(p), QPointF(map->mapToGlobal(p)), button, held, {});
        QApplication::sendEvent(map, &event);
    }
    void doubleClick(QPoint p, Qt::MouseButton button)
    {
        send(QEvent::MouseMove, p, Qt::NoButton, {});
        send(QEvent::MouseButtonPress, p, button, button);
        send(QEvent::MouseButtonRelease, p, button, {});
        send(QEvent::MouseButtonDblClick, p, button, button);
    }
};

} // namespace

class TestMapClicks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void renamingASectorByDoubleClickLeavesNoDrag()
    {
        Clicks s;
        s.window.setAsker(std::make_unique<DialogAsker>(&s.window));
        NetworkModel model = EgoWithCards(1);
        AddSectors(model, 1, {{"A", 0}, {"B", 120}, {"C", 240}});
        s.load(model);
        s.child<QToolButton>(u"SpeedButton4"_s)->click(); // sectors mode
        // The map fills its panel, so handles on its edge can be reached and pictures
        // have the panel's size.
        QCOMPARE(s.map->size(), s.child(u"Panel2"_s)->size());
        const QPoint handle = s.at(120, 1);

        // The real input box, answered and closed while it is open.
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (!box)
                return;
            box->setTextValue(u"Friends"_s);
            box->accept();
            answered = true;
        });
        s.doubleClick(handle, Qt::LeftButton);
        QVERIFY(answered);
        // The second release went to the input box; the pointer moves on without a button.
        s.send(QEvent::MouseMove, s.at(200, 0.8f), Qt::NoButton, {});
        s.send(QEvent::MouseMove, s.at(210, 0.5f), Qt::NoButton, {});

        const NetworkCard &card = s.model.card(1);
        QCOMPARE(card.Sectors[2].SectorName, u"Friends"_s);
        QCOMPARE(card.Sectors[2].SectorAngle, 120.0f);
        QCOMPARE(s.window.document().undoStack()->count(), 1);
        QCOMPARE(s.editor.DraggedSector, 0);
    }

    void noNewLineWhileTheLineDialogIsOpen()
    {
        Clicks s;
        NetworkModel model = EgoWithCards(1);
        AddNode(model, 1, alter(0, 0.5f, 1, u"A"_s));
        AddNode(model, 1, alter(180, 0.5f, 3, u"B"_s));
        s.load(model);
        s.child<QToolButton>(u"SpeedButton3"_s)->click(); // lines mode
        LineDialog *dialog = s.window.mapEditing()->lineDialog();
        for (QPoint p : {s.at(0, 0.5f), s.at(180, 0.5f)}) {
            QTest::mouseMove(s.map, p);
            QTest::mouseClick(s.map, Qt::RightButton, {}, p);
        }
        QVERIFY(dialog->isVisible());
        QCOMPARE(s.editor.LineStartNode, -1);
        QTest::mouseMove(s.map, s.at(0, 0.5f));
        QTest::mouseClick(s.map, Qt::RightButton, {}, s.at(0, 0.5f));
        QCOMPARE(s.editor.LineStartNode, -1);
    }

    void theSectorDialogOpensOnItsNameSelected()
    {
        Clicks s;
        NetworkModel model = EgoWithCards(1);
        s.load(model);
        s.child<QToolButton>(u"SpeedButton4"_s)->click(); // sectors mode
        SectorDialog *dialog = s.window.sectorActions()->sectorDialog();
        auto *name = s.child<QLineEdit>(u"sektorname"_s, dialog);
        for (float angle : {30.0f, 150.0f}) {
            const QPoint p = s.at(angle, 0.5f);
            QTest::mouseMove(s.map, p);
            QTest::mouseClick(s.map, Qt::RightButton, {}, p);
            QVERIFY(dialog->isVisible());
            // The second time it shows the first name: typing must replace it.
            QCOMPARE(dialog->focusWidget(), name);
            QCOMPARE(name->selectedText(), name->text());
            name->setText(u"Family"_s);
            QTest::mouseClick(s.child<QPushButton>(u"Button1"_s, dialog), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
        }
    }

    void onlyTheLeftButtonDoubleClicksAndSelectingChangesNothing()
    {
        Clicks s;
        NetworkModel model = EgoWithCards(1);
        AddNode(model, 1, alter(0, 0.5f, 1, u"A"_s));
        s.load(model);
        s.child<QToolButton>(u"SpeedButton1"_s)->click(); // modify nodes
        const QPoint a = s.at(0, 0.5f);

        for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            s.doubleClick(a, button);
            s.send(QEvent::MouseButtonRelease, a, button, {});
            QVERIFY(!s.model.card(1).Nodes[1].Selected);
        }

        s.doubleClick(a, Qt::LeftButton);
        s.send(QEvent::MouseButtonRelease, a, Qt::LeftButton, {});
        QVERIFY(s.model.card(1).Nodes[1].Selected);
        // Selection is no change of the ego: no step, no "*", nothing to save.
        QCOMPARE(s.window.document().undoStack()->count(), 0);
        QVERIFY(!s.window.document().isModified());
        QVERIFY(!s.window.isWindowModified());
    }
};

QTEST_MAIN(TestMapClicks)
#include "tst_mapclicks.moc"

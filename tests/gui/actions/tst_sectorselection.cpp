#include "gui/map/mapwidget.h"
#include "gui/map/mapcontroller.h"
#include "gui/dialogs/nodedialog.h"
#include "gui/dialogs/sectordialog.h"
#include "gui/dialogs/sectororderdialog.h"
#include "core/edit/sectors.h"
#include "core/edit/selection.h"
#include "gui/actions/sectoractions.h"
#include "core/map/geometry.h"
#include "shellfixture.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>

using namespace korvalo;

using namespace Qt::StringLiterals;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An ego with one card: sectors A (0), B (120), C (240), four alters and lines.
void buildCard(Shell &s)
{
    s.createEgo(u"Eva"_s);
    s.addCard(u"Wave 1"_s);
    Document &document = s.window.document();
    ChangeCard(document, 1, u"Build"_s, [](NetworkModel &m) {
        AddSector(m, 1, u"A"_s, 1, 0);
        AddSector(m, 1, u"B"_s, 3, 120);
        AddSector(m, 1, u"C"_s, 4, 240);
        const std::pair<const char16_t *, float> alters[] = {
            {u"Anna", 10}, {u"Ben", 130}, {u"ANNA", 250}, {u"Dora", 300}};
        int id = 1;
        for (const auto &[label, angle] : alters) {
            Node n;
            n.ID = QString::number(id++);
            n.Label = QString::fromUtf16(label);
            n.Angle = angle;
            n.Distance = 0.4f;
            n.Sex = u"undefined"_s;
            n.NodeSize = u"normal"_s;
            AddNode(m, 1, n);
        }
        AddLine(m, 1, 2, 1, 1);
        AddLine(m, 2, 4, 2, 3);
        AddLine(m, 0, 4, 1, 0);
        AddLine(m, 3, 4, 1, 2);
        return Status::success();
    });
}

QPoint rowCentre(QListWidget *list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

QStringList entries(QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

void sendAutoRepeat(QWidget *widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(widget, &press);
}

} // namespace

class TestSectorSelection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void orderChangeAndDeletionUndoToTheSavedFile();
    void messagesAndRefusals();
    void sectorModeWithTheMouse();
    void popupCopiesAndTheKeyboardHover();
};

void TestSectorSelection::orderChangeAndDeletionUndoToTheSavedFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"eva.ego"_s);
    {
        Shell s;
        buildCard(s);
        s.asker->fileNames = {file};
        s.trigger(u"Save1"_s);
    }
    const QByteArray saved = contents(file);
    QVERIFY(!saved.isEmpty());

    Shell s;
    s.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    s.asker->fileNames = {file};
    s.trigger(u"Open1"_s);
    QCOMPARE(s.model.card(1).NodeCount(), 4);

    // Transform > Sectors > Sector Order: A down, C up, the ends stay put.
    s.trigger(u"ChangeSectorOrder1"_s);
    auto *order = s.window.findChild<SectorOrderDialog *>(u"TFormSectorOrder"_s);
    QVERIFY(order && order->isVisible());
    auto *list = s.child<QListWidget>(u"ListBox1"_s, order);
    QCOMPARE(entries(list), (QStringList{u"1 A"_s, u"2 B"_s, u"3 C"_s}));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 0));
    QCOMPARE(entries(list), (QStringList{u"2 B"_s, u"1 A"_s, u"3 C"_s}));
    QCOMPARE(list->currentRow(), 1);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, rowCentre(list, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 2));
    QCOMPARE(entries(list), (QStringList{u"2 B"_s, u"1 A"_s, u"3 C"_s}));
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, rowCentre(list, 2));
    QCOMPARE(entries(list), (QStringList{u"2 B"_s, u"3 C"_s, u"1 A"_s}));
    QCOMPARE(list->currentRow(), 1);
    QTest::mouseClick(s.child<QPushButton>(u"Button1"_s, order), Qt::LeftButton);
    QVERIFY(order->isVisible());
    const NetworkCard &card = s.model.card(1);
    QCOMPARE(card.Sectors[2].SectorAngle, 0.0f);   // B
    QCOMPARE(card.Sectors[3].SectorAngle, 120.0f); // C
    QCOMPARE(card.Sectors[1].SectorAngle, 240.0f); // A
    QCOMPARE(card.Nodes[1].Angle, 250.0f);         // 10 into A
    QCOMPARE(card.Nodes[2].Angle, 10.0f);
    QCOMPARE(card.Nodes[4].Angle, 180.0f);
    QTest::mouseClick(s.child<QPushButton>(u"Button2"_s, order), Qt::LeftButton);
    QVERIFY(!order->isVisible());

    // On the map: Ctrl+A, one arrow key held down, one pressed with Shift.
    s.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    QWidget *map = s.child(u"Image1"_s);
    map->setFocus();
    QTest::keyClick(map, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(int(SelectedNodes(card).size()), 4);
    const int before = s.window.document().undoStack()->count();
    QTest::keyPress(map, Qt::Key_Left);
    sendAutoRepeat(map, Qt::Key_Left);
    sendAutoRepeat(map, Qt::Key_Left);
    QTest::keyRelease(map, Qt::Key_Left);
    QCOMPARE(card.Nodes[2].Angle, 7.0f);
    QCOMPARE(s.window.document().undoStack()->count(), before + 1);
    QTest::keyClick(map, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(card.Nodes[2].Distance, 0.5f);
    QCOMPARE(s.window.document().undoStack()->count(), before + 2);

    // Select > by Label, then the Delete key.
    s.asker->inputs = {u"anna"_s};
    s.trigger(u"Label20"_s);
    QCOMPARE(s.asker->asked.last(), u"input: Find|Node Label:|"_s);
    QTest::keyClick(map, Qt::Key_Delete);
    QStringList labels;
    for (int i = 1; i <= card.NodeCount(); ++i)
        labels << card.Nodes[size_t(i)].Label;
    QCOMPARE(labels, (QStringList{u"Dora"_s, u"Ben"_s}));
    QCOMPARE(card.LineCount(), 2); // Ben-Dora and Ego-Dora
    QCOMPARE(s.action(u"Undo1"_s)->text(), u"Undo Delete selected nodes"_s);

    // Everything undone from the keyboard: the file's bytes again.
    const int steps = s.window.document().undoStack()->count();
    QCOMPARE(steps, 4); // the two selections made no steps
    for (int i = 0; i < steps; ++i)
        QTest::keyClick(&s.window, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!s.window.isWindowModified());
    s.trigger(u"Save1"_s);
    QCOMPARE(contents(file), saved);
    // And redone.
    for (int i = 0; i < steps; ++i)
        QTest::keyClick(&s.window, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(s.model.card(1).NodeCount(), 2);
    QCOMPARE(s.model.card(1).Sectors[1].SectorAngle, 240.0f);
    QVERIFY(s.asker->unexpected.isEmpty());
}

void TestSectorSelection::messagesAndRefusals()
{
    Shell s;
    s.window.show();
    buildCard(s);
    const NetworkCard &card = s.model.card(1);

    // Copy to Next Card from the last card; by ID through the input box.
    s.trigger(u"SelectAll1"_s);
    s.trigger(u"CopytoNextCard2"_s);
    QCOMPARE(s.asker->messages(), QStringList{u"message: Attention: There is no Next Card!"_s});
    s.asker->inputs = {u"2"_s, QString()};
    s.trigger(u"ID1"_s);
    QCOMPARE(s.asker->asked.last(), u"input: Find|Node ID:|"_s);
    QCOMPARE(int(SelectedNodes(card).size()), 1);
    s.trigger(u"ID1"_s); // cancelled: the selection stays
    QCOMPARE(int(SelectedNodes(card).size()), 1);

    // An order list made before a sector went away is refused.
    s.trigger(u"ChangeSectorOrder1"_s);
    s.window.setEditMode(EditMode::Sectors);
    s.editor.PickedSector = 1;
    s.child<QAction>(u"Delete1"_s, s.window.mapEditing()->popup())->trigger();
    QCOMPARE(card.SectorCount(), 2);
    const NetworkCard before = card;
    s.window.sectorActions()->sectorOrderDialog()->findChild<QPushButton *>(u"Button1"_s)->click();
    QCOMPARE(card, before);
    QVERIFY(s.asker->messages().last().contains(u"Sector Order"_s));

    // Esc gives up a started line and a rubber band.
    s.editor.LineStartNode = 2;
    s.editor.RubberBandActive = true;
    QTest::keyClick(s.child(u"Image1"_s), Qt::Key_Escape);
    QCOMPARE(s.editor.LineStartNode, -1);
    QVERIFY(!s.editor.RubberBandActive);
}

namespace {

QAction *popupItem(Shell &s, const QString &name)
{
    return s.child<QAction>(name, s.window.mapEditing()->popup());
}

QPoint handleOf(Shell &s, int sector)
{
    const QSize size = s.window.mapWidget()->image().size();
    return MapPoint(s.model.card(1).Sectors[size_t(sector)].SectorAngle, 1.0f, size.width(),
                    size.height());
}

} // namespace

void TestSectorSelection::sectorModeWithTheMouse()
{
    Shell s;
    s.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    buildCard(s);
    s.window.setEditMode(EditMode::Sectors);
    MapWidget *map = s.window.mapWidget();
    const QSize size = map->image().size();
    const NetworkCard &card = s.model.card(1);

    // A right click away from the handles asks for a new sector there.
    const QPoint free = MapPoint(60, 0.5f, size.width(), size.height());
    QTest::mouseMove(map, free);
    QTest::mouseClick(map, Qt::RightButton, {}, free);
    SectorDialog *dialog = s.window.sectorActions()->sectorDialog();
    QVERIFY(dialog->isVisible());
    s.child<QLineEdit>(u"sektorname"_s, dialog)->setText(u"Sports"_s);
    QTest::mouseClick(s.child(u"Panel5"_s, dialog), Qt::LeftButton);
    QTest::mouseClick(s.child<QPushButton>(u"Button1"_s, dialog), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(card.SectorCount(), 4);
    QCOMPARE(card.Sectors[4].SectorName, u"Sports"_s);
    QCOMPARE(card.Sectors[4].SectorColor, 5);
    QCOMPARE(card.Sectors[4].SectorAngle, AngleAt(free.x(), free.y(), size.width(), size.height()));

    // A right click on B's handle opens the popup: "Modify" shows the dialog with B's name.
    QPoint handle = handleOf(s, 2);
    QTest::mouseMove(map, handle);
    QTest::mouseClick(map, Qt::RightButton, {}, handle);
    QCOMPARE(s.editor.PickedSector, 2);
    QVERIFY(s.window.mapEditing()->popup()->isVisible());
    QVERIFY(popupItem(s, u"CopytothisCard1"_s)->isVisible());
    popupItem(s, u"Change1"_s)->trigger();
    QCOMPARE(s.field(u"sektorname"_s), u"B"_s);
    s.child<QLineEdit>(u"sektorname"_s, dialog)->setText(u"Work"_s);
    QTest::mouseClick(s.child<QPushButton>(u"Button1"_s, dialog), Qt::LeftButton);
    QCOMPARE(card.Sectors[2], (Sector{120, u"Work"_s, 5})); // the colour kept its marking

    // The popup's copy of a boundary lands where the popup was opened.
    popupItem(s, u"CopytothisCard1"_s)->trigger();
    QCOMPARE(card.SectorCount(), 5);
    QCOMPARE(card.Sectors[5].SectorName, u"Work"_s);
    QCOMPARE(card.Sectors[5].SectorAngle, AngleAt(handle.x(), handle.y(), size.width(), size.height()));
    popupItem(s, u"CopytoNextCard1"_s)->trigger();
    QCOMPARE(s.asker->messages(), QStringList{u"message: Attention: There is no Next Card!"_s});
    s.window.mapEditing()->popup()->hide();

    // Dragging C's handle moves its boundary in one step.
    const int steps = s.window.document().undoStack()->count();
    handle = handleOf(s, 3);
    const QPoint to = MapPoint(200, 0.8f, size.width(), size.height());
    QTest::mousePress(map, Qt::LeftButton, {}, handle);
    QTest::mouseMove(map, (handle + to) / 2);
    QTest::mouseMove(map, to);
    QTest::mouseRelease(map, Qt::LeftButton, {}, to);
    QCOMPARE(card.Sectors[3].SectorAngle, AngleAt(to.x(), to.y(), size.width(), size.height()));
    QCOMPARE(s.window.document().undoStack()->count(), steps + 1);

    // A double click on a handle renames its sector.
    handle = handleOf(s, 1);
    QTest::mouseMove(map, handle);
    s.asker->inputs = {u"Kin"_s};
    // As a window system delivers it: press, release, double click, release.
    QTest::mouseClick(map, Qt::LeftButton, {}, handle);
    QTest::mouseDClick(map, Qt::LeftButton, {}, handle);
    QTest::mouseRelease(map, Qt::LeftButton, {}, handle);
    QCOMPARE(s.editor.DraggedSector, 0);
    QCOMPARE(s.asker->asked.last(), u"input: New Sector|Name of Sector:|A"_s);
    QCOMPARE(card.Sectors[1].SectorName, u"Kin"_s);

    // The popup's "Delete" on the handle.
    handle = handleOf(s, 5);
    QTest::mouseMove(map, handle);
    QTest::mouseClick(map, Qt::RightButton, {}, handle);
    popupItem(s, u"Delete1"_s)->trigger();
    QCOMPARE(card.SectorCount(), 4);
    QCOMPARE(s.action(u"Undo1"_s)->text(), u"Undo Delete sector \"Work\""_s);
    QVERIFY(s.asker->unexpected.isEmpty());
}

void TestSectorSelection::popupCopiesAndTheKeyboardHover()
{
    Shell s;
    s.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    buildCard(s);
    s.addCard(u"Wave 2"_s);
    s.window.switchToCard(1);
    s.window.setEditMode(EditMode::ModifyNodes);
    MapWidget *map = s.window.mapWidget();
    map->setFocus();
    const QSize size = map->image().size();

    // Tab walks the alters in table order; Shift+Tab back; the read-out follows.
    QTest::keyClick(map, Qt::Key_Tab);
    QCOMPARE(s.editor.HoverNode, 1);
    QTest::keyClick(map, Qt::Key_Tab);
    QTest::keyClick(map, Qt::Key_Tab);
    QCOMPARE(s.editor.HoverNode, 3);
    QCOMPARE(s.field(u"NodeInfoLabel"_s), u"ANNA"_s);
    QTest::keyClick(map, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(s.editor.HoverNode, 2);
    QCOMPARE(s.field(u"NodeInfoLabel"_s), u"Ben"_s);
    QVERIFY(map->hasFocus());
    QTest::keyClick(map, Qt::Key_Return);
    auto *nodeDialog = s.window.mapEditing()->nodeDialog();
    QVERIFY(nodeDialog->isVisible());
    QCOMPARE(s.child<QLineEdit>(u"ID"_s, nodeDialog)->text(), u"2"_s);
    nodeDialog->hide();

    // The popup over an alter: a shifted copy here, an unchanged one on the next card.
    const Node &ben = s.model.card(1).Nodes[2];
    const QPoint at = MapPoint(ben.Angle, ben.Distance, size.width(), size.height());
    QTest::mouseMove(map, at);
    QTest::mouseClick(map, Qt::RightButton, {}, at);
    QVERIFY(s.window.mapEditing()->popup()->isVisible());
    popupItem(s, u"CopytothisCard1"_s)->trigger();
    popupItem(s, u"CopytoNextCard1"_s)->trigger();
    s.window.mapEditing()->popup()->hide();
    const NetworkCard &card = s.model.card(1);
    QCOMPARE(card.NodeCount(), 5);
    QCOMPARE(card.Nodes[5].Label, u"Ben"_s);
    QCOMPARE(card.Nodes[5].Angle, 135.0f);
    QCOMPARE(card.Nodes[5].Distance, 0.45f);
    QCOMPARE(s.model.card(2).NodeCount(), 1);
    QCOMPARE(s.model.card(2).Nodes[1].Angle, 130.0f);
    QCOMPARE(s.model.CurrentCard, 1);
    QVERIFY(s.asker->unexpected.isEmpty());
}

QTEST_MAIN(TestSectorSelection)
#include "tst_sectorselection.moc"

#include "shellfixture.h"

#include "gui/shell/colorpanels.h"
#include "gui/actions/fileactions.h"
#include "gui/windows/infowindows.h"
#include "gui/map/mapwidget.h"
#include "gui/dialogs/linedialog.h"
#include "gui/map/mapcontroller.h"
#include "gui/dialogs/nodedialog.h"
#include "core/map/geometry.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

using namespace korvalo;

using namespace Qt::StringLiterals;

// Editing on the map as a user does it: real mouse events on the map widget "Image1",
// the dialogs' own fields and buttons, the popup's items.
namespace {

struct Editing : Shell
{
    MapWidget *map = window.mapWidget();
    NodeDialog *nodes = window.mapEditing()->nodeDialog();
    LineDialog *lines = window.mapEditing()->lineDialog();
    QMenu *popup = window.mapEditing()->popup();

    Editing()
    {
        window.resize(900, 760);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("the main window did not appear");
    }
    void mode(const QString &button) { child<QToolButton>(button)->click(); }
    QSize size() const { return map->image().size(); }
    QPoint centre() const { return MapCentre(size().width(), size().height()); }
    const NetworkCard &card() const { return model.card(model.CurrentCard); }
    QPoint pointOf(int node) const
    {
        const Node &n = card().Nodes[size_t(node)];
        return MapPoint(n.Angle, n.Distance, size().width(), size().height());
    }
    void rightClick(QPoint p) { QTest::mouseClick(map, Qt::RightButton, {}, p); }
    void hover(QPoint p) { QTest::mouseMove(map, p); }

    // A right click in "Add Nodes." mode, the ID typed, the dialog saved.
    void addNode(QPoint p, const QString &id)
    {
        rightClick(p);
        QVERIFY(nodes->isVisible());
        child<QLineEdit>(u"ID"_s, nodes)->setText(id);
        child<QLineEdit>(u"bezeich"_s, nodes)->setText(id);
        child<QPushButton>(u"Button1"_s, nodes)->click();
        QVERIFY(nodes->isHidden());
    }
    QAction *popupItem(const QString &name) const { return child<QAction>(name, popup); }
    // Clicks a popup item where it is shown, as the user would.
    void choose(const QString &name)
    {
        QVERIFY(popup->isVisible());
        QAction *item = popupItem(name);
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(item).center());
        QVERIFY(popup->isHidden());
    }
};

QByteArray bytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class TestMapEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawUndoAllAndSaveTheSameFile()
    {
        QTemporaryDir dir;
        Editing s;
        s.createEgo(u"Anna"_s);
        s.addCard(u"Wave 1"_s);
        s.asker->fileNames = {dir.filePath(u"before.ego"_s)};
        QVERIFY(s.window.fileCommands().saveEgo(true));
        const int start = s.window.document().undoStack()->index();

        s.mode(u"SpeedButton5"_s); // Add Nodes.
        QCOMPARE(s.editor.EditMode, EditMode::AddNodes);
        const QPoint c = s.centre();
        s.addNode(c + QPoint(150, 0), u"A"_s);
        s.addNode(c + QPoint(0, 150), u"B"_s);
        s.addNode(c + QPoint(-150, 0), u"C"_s);
        QCOMPARE(s.card().NodeCount(), 3);
        QCOMPARE(s.card().Nodes[2].ID, u"B"_s);
        // Straight below the centre counts as a pixel to its right.
        QVERIFY((s.pointOf(2) - (c + QPoint(0, 150))).manhattanLength() <= 1);

        s.mode(u"SpeedButton3"_s); // Add or Modify Lines.
        for (auto [a, b] : {std::pair{1, 2}, std::pair{2, 3}}) {
            s.rightClick(s.pointOf(a));
            QCOMPARE(s.editor.LineStartNode, a);
            s.hover(s.pointOf(b));
            s.rightClick(s.pointOf(b));
            QVERIFY(s.lines->isVisible());
            QCOMPARE(s.child<QLineEdit>(u"Edit1"_s, s.lines)->text(), s.card().Nodes[size_t(a)].Label);
            s.child<QPushButton>(u"Button1"_s, s.lines)->click();
        }
        QCOMPARE(s.card().LineCount(), 2);
        QCOMPARE(s.card().Lines[1], (Line{1, 2, 1, 0}));

        s.mode(u"SpeedButton1"_s); // Modify Nodes.
        const QPoint from = s.pointOf(1);
        const int before = s.window.document().undoStack()->count();
        QTest::mousePress(s.map, Qt::LeftButton, {}, from);
        for (int dy = 5; dy <= 80; dy += 5)
            QTest::mouseMove(s.map, from + QPoint(0, dy));
        QTest::mouseRelease(s.map, Qt::LeftButton, {}, from + QPoint(0, 80));
        QVERIFY((s.pointOf(1) - (from + QPoint(0, 80))).manhattanLength() <= 1);
        QCOMPARE(s.window.document().undoStack()->count(), before + 1);

        // Hovering node C switches the popup on; a right click opens it; "Delete" asks
        // nothing.
        s.asker->asked.clear();
        s.hover(s.pointOf(3) + QPoint(1, 1));
        QVERIFY(s.window.mapEditing()->popupOpensByItself());
        s.rightClick(s.pointOf(3) + QPoint(1, 1));
        QVERIFY(s.popupItem(u"CopytothisCard1"_s)->isVisible());
        s.choose(u"Delete1"_s);
        QCOMPARE(s.card().NodeCount(), 2);
        QCOMPARE(s.card().LineCount(), 1);
        QVERIFY(s.asker->asked.isEmpty());

        QUndoStack *history = s.window.document().undoStack();
        QCOMPARE(history->index() - start, 7); // 3 nodes, 2 lines, 1 drag, 1 deletion
        while (history->index() > start)
            history->undo();
        QCOMPARE(s.card().NodeCount(), 0);
        s.asker->fileNames = {dir.filePath(u"after.ego"_s)};
        QVERIFY(s.window.fileCommands().saveEgo(true));
        QCOMPARE(bytes(dir.filePath(u"after.ego"_s)), bytes(dir.filePath(u"before.ego"_s)));
        QVERIFY(!bytes(dir.filePath(u"before.ego"_s)).isEmpty());
    }

    void nodeDialogFields()
    {
        Editing s;
        s.createEgo(u"Anna"_s);
        s.addCard(u"Wave 1"_s);
        s.mode(u"SpeedButton5"_s);
        s.rightClick(s.centre() + QPoint(0, -100));
        NodeDialog *d = s.nodes;
        QCOMPARE(d->windowTitle(), u"Node Settings"_s);
        QVERIFY(d->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!d->isModal());
        auto *id = s.child<QLineEdit>(u"ID"_s, d);
        auto *label = s.child<QLineEdit>(u"bezeich"_s, d);
        QCOMPARE(s.child<QComboBox>(u"ComboBox2"_s, d)->currentText(), u"undefined"_s);
        QCOMPARE(s.child<QComboBox>(u"ComboBox1"_s, d)->currentText(), u"normal"_s);
        QVERIFY(s.child<QRadioButton>(u"RadioButton1"_s, d)->isChecked());
        QVERIFY(s.child<ColorPanel>(u"Panel1"_s, d)->isChosen());
        QVERIFY(s.child<SymbolPicture>(u"Image0"_s, d)->isMarked());

        // Leaving the ID fills an empty Label; a Label typed first stays.
        QApplication::setActiveWindow(d);
        id->setFocus();
        QTest::keyClicks(id, u"P7"_s);
        s.child<QLineEdit>(u"rolle"_s, d)->setFocus();
        QCOMPARE(label->text(), u"P7"_s);
        label->setText(u"Neighbour"_s);
        id->setFocus();
        s.child<QLineEdit>(u"rolle"_s, d)->setFocus();
        QCOMPARE(label->text(), u"Neighbour"_s);

        // The group size shows only for groups and takes digits only.
        auto *group = s.child<QCheckBox>(u"CheckBox1"_s, d);
        auto *size = s.child<QLineEdit>(u"size"_s, d);
        QVERIFY(size->isHidden());
        group->click();
        QVERIFY(size->isVisible());
        size->clear();
        QTest::keyClicks(size, u"1x2,"_s);
        QCOMPARE(size->text(), u"12"_s);
        QTest::keyClick(size, Qt::Key_Backspace);
        QTest::keyClick(size, Qt::Key_Return); // swallowed: no Save
        QCOMPARE(size->text(), u"1"_s);
        QVERIFY(d->isVisible());
        s.child<QPushButton>(u"Button1"_s, d)->click();
        QCOMPARE(s.asker->messages(), QStringList{u"message: \"Group Size must be at least 2!"_s});
        QVERIFY(d->isVisible());
        size->clear();
        s.child<QPushButton>(u"Button1"_s, d)->click();
        QCOMPARE(size->text(), u"0"_s);

        // Pictures: a click marks "triangle", drawn boxed by DrawSymbol.
        auto *triangle = s.child<SymbolPicture>(u"Image2"_s, d);
        QTest::mouseClick(triangle, Qt::LeftButton, {}, QPoint(14, 14));
        QVERIFY(triangle->isMarked());
        QVERIFY(!s.child<SymbolPicture>(u"Image0"_s, d)->isMarked());
        const QImage picture = triangle->grab().toImage();
        QCOMPARE(picture.pixel(0, 14) & RGB_MASK, 0u);           // the box
        QCOMPARE(picture.pixel(14, 14) & RGB_MASK, 0x808080u);   // the grey symbol
        QCOMPARE(s.child<SymbolPicture>(u"Image3"_s, d)->grab().toImage().pixel(0, 14) & RGB_MASK, 0xFFFFFFu);

        size->setText(u"3"_s);
        QTest::mouseClick(s.child<ColorPanel>(u"Panel4"_s, d), Qt::LeftButton);
        s.child<QPushButton>(u"Button1"_s, d)->click();
        QVERIFY(d->isHidden());
        const Node &n = s.card().Nodes[1];
        QCOMPARE(n.Label, u"Neighbour"_s);
        QCOMPARE(n.Symbol, u"triangle"_s);
        QCOMPARE(n.Size, 3);
        QCOMPARE(n.Color, 4);

        // A node without symbol, modified: the no-symbol picture is marked again.
        s.mode(u"SpeedButton5"_s);
        s.addNode(s.centre() + QPoint(100, 0), u"Q"_s);
        s.mode(u"SpeedButton1"_s);
        s.hover(s.pointOf(2) + QPoint(1, 0));
        s.rightClick(s.pointOf(2) + QPoint(1, 0));
        s.choose(u"Change1"_s);
        QVERIFY(d->isVisible());
        QCOMPARE(d->todo(), u"modify"_s);
        QVERIFY(s.child<SymbolPicture>(u"Image0"_s, d)->isMarked());
        QVERIFY(!triangle->isMarked());
        QVERIFY(!group->isChecked());
    }

    void hoverReadOutsAndTheNodeInfoWindow()
    {
        Editing s;
        s.createEgo(u"Anna"_s);
        s.addCard(u"Wave 1"_s);
        Node group;
        group.ID = u"G"_s;
        group.Label = u"Choir"_s;
        group.Role = u"singing"_s;
        group.Size = 3;
        group.Distance = 0.5f;
        group.Memo1 = u"Tuesdays"_s;
        Node single = group;
        single.ID = u"S"_s;
        single.Label = u"Sam"_s;
        single.Size = 1;
        single.Angle = 180;
        ChangeCard(s.window.document(), 1, u"Add"_s, [&](NetworkModel &m) {
            AddNode(m, 1, group);
            AddNode(m, 1, single);
            return AddLine(m, 1, 2, 4, 3);
        });
        s.mode(u"SpeedButton1"_s);
        auto *nodeBox = s.child<QGroupBox>(u"GroupBox2"_s);
        auto *lineBox = s.child<QGroupBox>(u"GroupBox4"_s);
        NodeInfoWindow *info = s.window.infoWindows()->nodeInfo();

        s.hover(s.pointOf(1) + QPoint(6, 0));
        QVERIFY(nodeBox->isVisible());
        QCOMPARE(s.field(u"NodeInfoLabel"_s), u"Choir"_s);
        QCOMPARE(s.field(u"NodeInfoRole"_s), u"singing"_s);
        QCOMPARE(s.child<QLineEdit>(u"Label6"_s, info)->text(), u"Size = 3"_s);
        QVERIFY(!s.child<QLabel>(u"Label9"_s, info)->isHidden());
        QCOMPARE(s.child<QPlainTextEdit>(u"Memo1"_s, info)->toPlainText(), u"Tuesdays"_s);

        // Straight onto a single person: the group caption goes.
        s.hover(s.pointOf(2) + QPoint(6, 0));
        QCOMPARE(s.field(u"NodeInfoLabel"_s), u"Sam"_s);
        QCOMPARE(s.child<QLineEdit>(u"Label6"_s, info)->text(), QString());
        QVERIFY(s.child<QLabel>(u"Label9"_s, info)->isHidden());

        // A line: its box instead of the node's.
        s.mode(u"SpeedButton3"_s);
        s.hover(s.centre() + QPoint(-60, 0));
        QVERIFY(lineBox->isVisible());
        QVERIFY(nodeBox->isHidden());
        QCOMPARE(s.field(u"LineInfoA"_s), u"Choir"_s);
        QCOMPARE(s.field(u"LineInfoValue"_s), u"4"_s);

        // The empty map hides both and switches the popup off.
        s.hover(QPoint(5, 5));
        QVERIFY(lineBox->isHidden());
        QVERIFY(nodeBox->isHidden());
        QCOMPARE(s.field(u"NodeInfoID"_s), QString());
        QVERIFY(!s.window.mapEditing()->popupOpensByItself());
        s.rightClick(QPoint(5, 5));
        QVERIFY(s.popup->isHidden());
    }

    void linesModePopupAndLineDialog()
    {
        Editing s;
        s.createEgo(u"Anna"_s);
        s.addCard(u"Wave 1"_s);
        ChangeCard(s.window.document(), 1, u"Add"_s, [&](NetworkModel &m) {
            Node a;
            a.Label = u"A"_s;
            a.Distance = 0.5f;
            AddNode(m, 1, a);
            a.Label = u"B"_s;
            a.Angle = 180;
            AddNode(m, 1, a);
            AddLine(m, 1, 2, 1, 1);
            return AddLine(m, 1, 0, 2, 5);
        });
        s.mode(u"SpeedButton3"_s);
        const QPoint onLine = s.centre() + QPoint(-40, 0);
        s.hover(onLine);
        QCOMPARE(s.editor.HoverLine, 1);
        s.rightClick(onLine);
        QVERIFY(s.popup->isVisible());
        QVERIFY(!s.popupItem(u"N13"_s)->isVisible());
        QVERIFY(!s.popupItem(u"CopytoNextCard1"_s)->isVisible());
        s.choose(u"Change1"_s);
        LineDialog *d = s.lines;
        QVERIFY(d->isVisible());
        QCOMPARE(d->windowTitle(), u"Line Settings"_s);
        QVERIFY(s.child<ColorPanel>(u"Panel7"_s, d)->isChosen()); // not loaded from the line
        QCOMPARE(s.child<QLineEdit>(u"Edit2"_s, d)->text(), u"B"_s);
        QVERIFY(!s.child<QLineEdit>(u"Edit1"_s, d)->isEnabled());
        s.child<QSpinBox>(u"val"_s, d)->setValue(9);
        QTest::mouseClick(s.child<ColorPanel>(u"Panel3"_s, d), Qt::LeftButton);
        s.child<QPushButton>(u"Button1"_s, d)->click();
        QCOMPARE(s.card().Lines[1], (Line{1, 2, 9, 3}));

        // Delete through the popup; undo brings it back.
        s.hover(s.centre() + QPoint(40, 0));
        s.hover(onLine);
        s.rightClick(onLine);
        s.choose(u"Delete1"_s);
        QCOMPARE(s.card().LineCount(), 1);
        QCOMPARE(s.card().Lines[1].A, 1);
        QCOMPARE(s.card().Lines[1].B, 0);
        s.trigger(u"Undo1"_s);
        QCOMPARE(s.card().LineCount(), 2);

        // A line started on one card does not end on another.
        s.rightClick(s.pointOf(1));
        QCOMPARE(s.editor.LineStartNode, 1);
        s.asker->answers = {Asker::Answer::Yes};
        s.trigger(u"DuplicateCard1"_s);
        QCOMPARE(s.model.CurrentCard, 2);
        QCOMPARE(s.editor.LineStartNode, -1);
        s.rightClick(s.pointOf(2));
        QVERIFY(s.lines->isHidden());
        QCOMPARE(s.editor.LineStartNode, 2);
    }

    void staleDialogsAndCapacitiesSpeakThroughTheAsker()
    {
        Editing s;
        s.createEgo(u"Anna"_s);
        s.addCard(u"Wave 1"_s);
        // A modify dialog whose node went away says so instead of saving.
        s.mode(u"SpeedButton5"_s);
        s.addNode(s.centre() + QPoint(100, 0), u"A"_s);
        s.mode(u"SpeedButton1"_s);
        s.hover(s.pointOf(1) + QPoint(1, 0));
        s.rightClick(s.pointOf(1) + QPoint(1, 0));
        s.choose(u"Change1"_s);
        s.trigger(u"Undo1"_s);
        s.child<QPushButton>(u"Button1"_s, s.nodes)->click();
        QCOMPARE(s.asker->messages().size(), 1);
        QVERIFY(s.asker->messages()[0].contains(u"deleted, renumbered or changed"_s));
        QCOMPARE(s.card().NodeCount(), 0);
        QVERIFY(s.nodes->isVisible());

        // Connect Identical IDs beyond the line capacity adds nothing and says so.
        ChangeCard(s.window.document(), 1, u"Fill"_s, [](NetworkModel &m) {
            for (int i = 0; i < 46; ++i) {
                Node n;
                n.ID = u"same"_s;
                AddNode(m, 1, n);
            }
            return Status::success();
        });
        s.trigger(u"Connect1"_s);
        QCOMPARE(s.card().LineCount(), 0);
        QVERIFY(s.asker->messages().last().contains(u"1035 new lines"_s));
        s.trigger(u"DeleteRedLines1"_s); // nothing red: no step
        QCOMPARE(s.window.document().undoStack()->undoText(), u"Fill"_s);

        // A full card refuses the next node with the capacity message.
        ChangeCard(s.window.document(), 1, u"Fill"_s, [](NetworkModel &m) {
            while (m.card(1).NodeCount() < MaxNodes)
                AddNode(m, 1, Node{});
            return Status::success();
        });
        s.mode(u"SpeedButton5"_s);
        s.nodes->close(); // the stale dialog first: while it is open the map adds nothing
        s.rightClick(QPoint(20, 20));
        s.child<QLineEdit>(u"ID"_s, s.nodes)->setText(u"X"_s);
        s.child<QLineEdit>(u"bezeich"_s, s.nodes)->setText(u"X"_s);
        s.child<QPushButton>(u"Button1"_s, s.nodes)->click();
        QCOMPARE(s.asker->messages().last(), u"message: A network card holds at most 1000 nodes."_s);
        QVERIFY(s.nodes->isVisible());
    }
};

QTEST_MAIN(TestMapEditing)
#include "tst_mapcontroller.moc"

#include "gui/map/mapwidget.h"
#include "gui/windows/infowindows.h"
#include "shellfixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

using namespace korvalo;

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startState();
    void menuItems_data();
    void menuItems();
    void hiddenAndLaterItems();
    void toolBarButtons();
    void editModeButtons();
    void sectorLabelsTakeSizesAlong();
    void symbolFilters();
    void sizeInputBoxes();
    void decimalSeparator();
    void colourMapIsExclusive();
    void mapFollowsWindowSize();
    void everySwitchChangesTheMap_data();
    void everySwitchChangesTheMap();
    void menusFollowTheSessionsSwitches();
    void documentOutlivesTheWindow();
};

void TestMainWindow::startState()
{
    Shell s;
    QCOMPARE(s.window.windowTitle(), u"Untitled[*] - Korvalo"_s);
    QVERIFY(!s.window.isWindowModified());
    QCOMPARE(s.child<QLabel>(u"StatusPanel"_s)->text(), u"Create new or read existing Ego."_s);
    QCOMPARE(s.child<QGroupBox>(u"GroupBox1"_s)->title(), u"Current Network Card (0)"_s);
    QCOMPARE(s.cardList(), QStringList{u"<none>"_s});
    QVERIFY(s.child(u"GroupBox2"_s)->isHidden());
    QVERIFY(s.child(u"GroupBox4"_s)->isHidden());
    QCOMPARE(s.child(u"Panel1"_s)->width(), 185);
    // The forms exist from the start, hidden.
    for (const QString &name : {u"TFormEgo"_s, u"TFormCard"_s, u"TFormAbout"_s, u"TForm7"_s})
        QVERIFY(s.child(name)->isHidden());
}

void TestMainWindow::menuItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<int>("check"); // -1 not checkable, 0 unchecked, 1 checked

    auto row = [](const char *name, const QString &caption, const QString &keys = {}, int check = -1) {
        QTest::newRow(name) << QString::fromLatin1(name) << caption << keys << check;
    };
    row("New1", u"New"_s);
    row("Open1", u"Read"_s, u"Ctrl+O"_s);
    row("Save1", u"Save"_s, u"Ctrl+S"_s);
    row("Saveas1", u"Save as..."_s);
    row("FixExportSize1", u"Fix Export Size"_s, {}, 0);
    row("Exit1", u"Exit"_s);
    row("NewTimestamp1", u"New Network Card"_s);
    row("Ne1", u"Ego Settings"_s);
    row("Settings1", u"Card Settings"_s);
    row("DuplicateCard1", u"Duplicate Card"_s);
    row("DeleteCard1", u"Delete Card"_s);
    row("OutmostNode1", u"Outmost Node"_s, u"Ctrl+0"_s);
    row("ZoomOut1", u"Zoom Out"_s, u"Ctrl+9"_s);
    row("ZoomIn1", u"Zoom In"_s, u"Ctrl+8"_s);
    row("N1CW1", u"1° CW"_s, u"Ctrl+R"_s);
    row("N1CCW1", u"1° CCW"_s, u"Ctrl+Shift+R"_s);
    row("FixDistance1", u"Fix Distance"_s, {}, 0);
    row("FixAngle1", u"Fix Angle"_s, {}, 0);
    row("Sex1", u"Sex"_s, {}, 0);
    row("None1", u"None"_s, {}, 1);
    row("Show2", u"Show"_s, u"Ctrl+Alt+N"_s, 1);
    row("ShowLabels1", u"Show Labels"_s, u"Ctrl+Alt+L"_s, 1);
    row("ShowID1", u"Show IDs"_s, {}, 0);
    row("ShowNodeNr1", u"Show Node Nr"_s, {}, 0);
    row("ShowGroupSize1", u"Show Group Size"_s, {}, 0);
    row("ShowRoles1", u"Show Roles"_s, {}, 0);
    row("ShowEgoLabel1", u"Show Ego Label"_s, {}, 1);
    row("ShowLinesBetween", u"Show Lines Between Alteri"_s, {}, 1);
    row("ShowLinesToEgo", u"Show Lines To Ego"_s, {}, 1);
    row("ShowSectorLabels1", u"Show Sector Labels"_s, u"Ctrl+Alt+S"_s, 1);
    row("ShowSectorSize1", u"Show Sector Size"_s, {}, 0);
    row("Show1", u"Show Sector Lines"_s, {}, 1);
    row("ColorSectors1", u"Color Sectors"_s, {}, 0);
    row("ShowWithoutSymbol1", u"Show Without Symbol"_s, {}, 1);
    row("Show4", u"Show Flash"_s, {}, 1);
    row("ShowTriangle1", u"Show Triangle"_s, {}, 1);
    row("ShowBox1", u"Show Box"_s, {}, 1);
    row("ShowDiamond1", u"Show Diamond"_s, {}, 1);
    row("IgnoreSymbols1", u"Ignore Symbols"_s, {}, 0);
    row("ShowEgoCard1", u"Show Ego + Card"_s, {}, 0);
    row("CommaSeperator1", u"Decimal Seperator"_s);
    row("Ego2", u"All Cars"_s);
    row("ShowInfoWindow1", u"Show Info Window"_s, u"Ctrl+I"_s);
    row("ShowNodeInfoWindow1", u"Show Node Info Window"_s, u"Ctrl+Alt+I"_s);
    row("History1", u"History"_s, u"Ctrl+H"_s);
    row("KorvaloInfo1", u"About"_s);
}

void TestMainWindow::menuItems()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(int, check);
    Shell s;
    const QList<QAction *> found = s.window.findChildren<QAction *>(name);
    QCOMPARE(found.size(), 1);
    QAction *a = found.first();
    QCOMPARE(a->text().remove(u'&'), caption);
    QCOMPARE(a->shortcut(), QKeySequence(shortcut));
    QCOMPARE(a->isCheckable(), check >= 0);
    if (check >= 0)
        QCOMPARE(a->isChecked(), check == 1);
}

void TestMainWindow::hiddenAndLaterItems()
{
    Shell s;
    QVERIFY(!s.child<QMenu>(u"Macro1"_s)->menuAction()->isVisible());
    QVERIFY(!s.child<QMenu>(u"ImportGraphic1"_s)->menuAction()->isVisible());
    QVERIFY(!s.action(u"History1"_s)->isVisible());
    QVERIFY(s.child<QMenu>(u"Roles1"_s)->actions().isEmpty());
    // Commands that come later are present but cannot be chosen yet.
    // (Items of tools that are not offered in this version.)
    for (const QString &name : {u"UnsureNodeMerger1"_s, u"NodeIDPlausibility1"_s, u"AggregateNodes1"_s})
        QVERIFY2(!s.action(name)->isEnabled(), qPrintable(name));
    for (const QString &name : {u"New1"_s, u"Open1"_s, u"Save1"_s, u"Saveas1"_s, u"Exit1"_s,
                                u"NewTimestamp1"_s, u"Ne1"_s, u"Settings1"_s, u"DuplicateCard1"_s,
                                u"DeleteCard1"_s, u"Sex1"_s, u"Size1"_s, u"Size2"_s,
                                u"CommaSeperator1"_s, u"ShowAll1"_s, u"KorvaloInfo1"_s,
                                u"NodeTable1"_s, u"ShowInfoWindow1"_s, u"ShowNodeInfoWindow1"_s,
                                u"ShowallMemos1"_s, u"ByKeyword1"_s, u"ShowNodeMerger1"_s,
                                u"jpg2"_s, u"JPGAllCards1"_s, u"AllCardsin1JPG1"_s,
                                u"FixExportSize1"_s, u"jpg1"_s, u"DistancestoEgo1"_s, u"Ego2"_s,
                                u"Excel1"_s, u"Excel2"_s})
        QVERIFY2(s.action(name)->isEnabled(), qPrintable(name));
    // Submenus with nothing to choose yet are greyed; the top-level menus stay open.
    QVERIFY(!s.child<QMenu>(u"Check1"_s)->menuAction()->isEnabled());
    QVERIFY(s.child<QMenu>(u"Export1"_s)->menuAction()->isEnabled());
    QVERIFY(s.child<QMenu>(u"Nodes1"_s)->menuAction()->isEnabled());
    QVERIFY(s.child<QMenu>(u"Map1"_s)->menuAction()->isEnabled());
    QVERIFY(s.child<QMenu>(u"Label1"_s)->menuAction()->isEnabled());
    // The menus appear in their order on the menu bar.
    QStringList titles;
    for (QAction *a : s.window.menuBar()->actions())
        titles << a->text().remove(u'&');
    QCOMPARE(titles, (QStringList{u"File"_s, u"Edit"_s, u"Ego"_s, u"Card"_s, u"Nodes"_s, u"Transform"_s,
                                  u"Analysis"_s, u"Options"_s, u"Macro"_s, u"Info"_s}));
}

void TestMainWindow::toolBarButtons()
{
    Shell s;
    const QList<std::pair<QString, QString>> buttons = {
        {u"SpeedButton8"_s, QString()},
        {u"SpeedButton7"_s, QString()},
        {u"SpeedButton2"_s, u"Add Network Card"_s},
        {u"SpeedButton4"_s, u"Add or modify sectors"_s},
        {u"SpeedButton5"_s, u"Add Nodes"_s},
        {u"SpeedButton1"_s, u"Modify Nodes"_s},
        {u"SpeedButton3"_s, u"Add or Modify Lines"_s}};
    QList<QImage> pictures;
    for (const auto &[name, hint] : buttons) {
        auto *button = s.child<QToolButton>(name);
        QCOMPARE(button->toolTip(), hint);
        const QImage picture = button->icon().pixmap(32, 32).toImage();
        QCOMPARE(picture.size(), QSize(32, 32));
        int painted = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                painted += qAlpha(picture.pixel(x, y)) > 0;
        QVERIFY2(painted > 100, qPrintable(name));
        for (const QImage &other : std::as_const(pictures))
            QVERIFY2(other != picture, qPrintable(name + u" looks like another button"_s));
        pictures << picture;
    }
}

void TestMainWindow::editModeButtons()
{
    Shell s;
    const QStringList names = {u"SpeedButton4"_s, u"SpeedButton5"_s, u"SpeedButton1"_s, u"SpeedButton3"_s};
    const EditMode modes[] = {EditMode::Sectors, EditMode::AddNodes, EditMode::ModifyNodes, EditMode::Lines};
    const QStringList texts = {u"Add or modify sectors."_s, u"Add Nodes."_s, u"Modify Nodes."_s,
                               u"Add or Modify Lines."_s};
    QCOMPARE(s.child<QLabel>(u"StatusPanel"_s)->text(), u"Create new or read existing Ego."_s);
    for (int chosen = 0; chosen < 4; ++chosen) {
        s.child<QToolButton>(names[chosen])->click();
        QCOMPARE(s.editor.EditMode, modes[chosen]);
        QCOMPARE(s.child<QLabel>(u"StatusPanel"_s)->text(), texts[chosen]);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(s.child<QToolButton>(names[i])->autoRaise(), i == chosen);
    }
    // The mode survives a new ego.
    s.createEgo(u"Anna"_s);
    QCOMPARE(s.editor.EditMode, modes[3]);
}

void TestMainWindow::sectorLabelsTakeSizesAlong()
{
    Shell s;
    s.trigger(u"ShowSectorSize1"_s);
    QVERIFY(s.action(u"ShowSectorSize1"_s)->isChecked());
    s.trigger(u"ShowSectorLabels1"_s);
    QVERIFY(!s.action(u"ShowSectorLabels1"_s)->isChecked());
    QVERIFY(!s.action(u"ShowSectorSize1"_s)->isChecked());
    s.trigger(u"ShowSectorLabels1"_s);
    QVERIFY(!s.action(u"ShowSectorSize1"_s)->isChecked());
}

void TestMainWindow::symbolFilters()
{
    Shell s;
    const QStringList filters = {u"ShowWithoutSymbol1"_s, u"Show4"_s, u"ShowTriangle1"_s,
                                 u"ShowBox1"_s, u"ShowDiamond1"_s};
    s.trigger(u"ShowNone1"_s);
    for (const QString &f : filters)
        QVERIFY(!s.action(f)->isChecked());
    QVERIFY(!s.action(u"IgnoreSymbols1"_s)->isChecked());
    s.trigger(u"Show4"_s);
    QVERIFY(s.action(u"Show4"_s)->isChecked());
    s.trigger(u"ShowAll1"_s);
    for (const QString &f : filters)
        QVERIFY(s.action(f)->isChecked());
}

void TestMainWindow::sizeInputBoxes()
{
    Shell s;
    s.asker->inputs = {u"14"_s, u"big"_s, QString(), u"-3"_s, u"0"_s, u"2147483647"_s, u"100"_s, u"201"_s};
    s.trigger(u"Size1"_s);
    QCOMPARE(s.session.NodeBaseSize, 14);
    s.trigger(u"Size1"_s); // not a whole number
    QCOMPARE(s.session.NodeBaseSize, 14);
    s.trigger(u"Size2"_s); // cancelled
    QCOMPARE(s.session.LabelFontSize, 10);
    // Sizes that would break the map are refused with the range.
    s.trigger(u"Size2"_s);
    s.trigger(u"Size2"_s);
    s.trigger(u"Size1"_s);
    QCOMPARE(s.session.LabelFontSize, 10);
    QCOMPARE(s.session.NodeBaseSize, 14);
    s.trigger(u"Size2"_s);
    QCOMPARE(s.session.LabelFontSize, 100);
    s.trigger(u"Size1"_s);
    QCOMPARE(s.session.NodeBaseSize, 14);
    QCOMPARE(s.asker->messages(),
             (QStringList{u"message: \"big\" is not a size: give a whole number from 1 to 200 pixels."_s,
                          u"message: \"-3\" is not a size: give a whole number from 1 to 100 pixels."_s,
                          u"message: \"0\" is not a size: give a whole number from 1 to 100 pixels."_s,
                          u"message: \"2147483647\" is not a size: give a whole number from 1 to 200 pixels."_s,
                          u"message: \"201\" is not a size: give a whole number from 1 to 200 pixels."_s}));
    QCOMPARE(s.asker->asked.first(), u"input: Options|Vertex Size:|10"_s);
}

void TestMainWindow::decimalSeparator()
{
    Shell s;
    s.asker->inputs = {u",;"_s, u""_s, QString()};
    s.trigger(u"CommaSeperator1"_s);
    QCOMPARE(s.session.DecimalSeparator, u',');
    s.trigger(u"CommaSeperator1"_s); // empty answer keeps it
    s.trigger(u"CommaSeperator1"_s); // Cancel keeps it
    QCOMPARE(s.session.DecimalSeparator, u',');
    QCOMPARE(s.asker->asked.at(1), u"input: Read/Write|Decimal Separator:|,"_s);
}

void TestMainWindow::colourMapIsExclusive()
{
    Shell s;
    s.trigger(u"Sex1"_s);
    QVERIFY(s.action(u"Sex1"_s)->isChecked());
    QVERIFY(!s.action(u"None1"_s)->isChecked());
    s.trigger(u"None1"_s);
    QVERIFY(!s.action(u"Sex1"_s)->isChecked());
    QVERIFY(s.action(u"None1"_s)->isChecked());
}

void TestMainWindow::mapFollowsWindowSize()
{
    Shell s;
    s.window.resize(900, 700);
    s.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    MapWidget *map = s.window.mapWidget();
    QCOMPARE(map->image().size(), map->size());
    s.window.resize(700, 500);
    QTRY_COMPARE(map->image().size(), map->size());
    QCOMPARE(map->image().pixel(5, 5), qRgb(255, 255, 255));
}

void TestMainWindow::everySwitchChangesTheMap_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Show2", "ShowLabels1", "ShowID1", "ShowNodeNr1", "ShowGroupSize1",
                             "ShowRoles1", "ShowEgoLabel1", "ShowLinesBetween", "ShowLinesToEgo",
                             "ShowSectorLabels1", "ShowSectorSize1", "Show1", "ColorSectors1",
                             "ShowWithoutSymbol1", "Show4", "ShowTriangle1", "ShowBox1",
                             "ShowDiamond1", "IgnoreSymbols1", "ShowEgoCard1", "Sex1"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestMainWindow::everySwitchChangesTheMap()
{
    QFETCH(QString, name);
    Shell s;
    s.window.resize(800, 600);
    s.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s);
    NetworkModel model = s.model;
    AddSector(model, 1, u"Family"_s, 3, 0);
    AddSector(model, 1, u"Work"_s, 4, 120);
    int angle = 10;
    for (const QString &symbol : {QString(), u"flash"_s, u"triangle"_s, u"box"_s, u"diamond"_s}) {
        Node n;
        n.ID = u"P%1"_s.arg(angle);
        n.Label = u"Alter"_s;
        n.Role = u"friend"_s;
        n.Size = 3;
        n.Sex = u"female"_s;
        n.Human = u"TRUE"_s;
        n.Color = 4;
        n.NodeSize = u"normal"_s;
        n.Symbol = symbol;
        n.Angle = float(angle);
        n.Distance = 0.6f;
        AddNode(model, 1, n);
        angle += 70;
    }
    AddLine(model, 0, 1, 3, 3);
    AddLine(model, 2, 3, 3, 3);
    s.load(std::move(model));
    const QImage before = s.window.mapWidget()->image();

    QAction *action = s.action(name);
    action->trigger();
    QVERIFY(s.window.mapWidget()->image() != before);
    // "Sex" is one of a radio pair: "None" takes it back.
    s.action(name == u"Sex1"_s ? u"None1"_s : name)->trigger();
    QCOMPARE(s.window.mapWidget()->image(), before);
}

void TestMainWindow::menusFollowTheSessionsSwitches()
{
    Shell s;
    s.window.resize(800, 600);
    s.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s);
    s.edit(1, [](NetworkModel &m) { AddSector(m, 1, u"Family"_s, 3, 0); });
    const QImage before = s.window.mapWidget()->image();

    // Switched elsewhere than in the menu: the check mark and the map follow.
    Document &document = s.window.document();
    document.setViewSwitch(&ViewSwitchState::Show1, false);
    QVERIFY(!s.action(u"Show1"_s)->isChecked());
    const QImage withoutLines = s.window.mapWidget()->image();
    QVERIFY(withoutLines != before);
    document.setViewSwitch(&ViewSwitchState::Sex1, true);
    QVERIFY(s.action(u"Sex1"_s)->isChecked());
    QVERIFY(!s.action(u"None1"_s)->isChecked());

    // The menu sets the session's switches; none of it is a step.
    s.trigger(u"Show1"_s);
    s.trigger(u"None1"_s);
    QVERIFY(s.session.Switches.Show1);
    QVERIFY(!s.session.Switches.Sex1);
    QCOMPARE(s.window.mapWidget()->image(), before);
    QCOMPARE(document.undoStack()->count(), 3); // ego, card and sector
}

void TestMainWindow::documentOutlivesTheWindow()
{
    auto kept = std::make_shared<Document>();
    {
        auto s = std::make_unique<Shell>(kept);
        s->createEgo(u"Anna"_s);
        s->addCard(u"t1"_s);
        s->trigger(u"ShowLabels1"_s);
        s->trigger(u"ShowInfoWindow1"_s);
    }
    // Without a window the document goes on: steps, undo, the view, info lines that no
    // window shows any more.
    QVERIFY(ChangeCard(*kept, 1, u"Memo"_s, [](NetworkModel &m) {
        m.card(1).CardMemo = u"later"_s;
        return Status::success();
    }).ok());
    kept->undoStack()->undo();
    QCOMPARE(kept->model().card(1).CardMemo, QString());
    kept->undoStack()->redo();
    kept->setViewSwitch(&ViewSwitchState::Show1, false);
    AppendInfoLine(kept->session().infoSink, u"heard by nobody"_s);

    // A new window shows the document as it is, and its history goes on.
    Shell t(kept);
    QCOMPARE(t.cardList(), (QStringList{u"<none>"_s, u"t1"_s}));
    QCOMPARE(t.child<QGroupBox>(u"GroupBox1"_s)->title(), u"Current Network Card (1)"_s);
    QCOMPARE(t.field(u"egoname"_s), u"Anna"_s);
    QCOMPARE(t.field(u"cardmemo"_s), u"later"_s);
    QVERIFY(!t.action(u"ShowLabels1"_s)->isChecked());
    QVERIFY(!t.action(u"Show1"_s)->isChecked());
    QVERIFY(t.window.isWindowModified());
    QCOMPARE(t.action(u"Undo1"_s)->text(), u"Undo Memo"_s);
    t.trigger(u"Undo1"_s);
    QCOMPARE(t.field(u"cardmemo"_s), QString());
    AppendInfoLine(t.session.infoSink, u"heard"_s);
    QCOMPARE(t.window.infoWindows()->info()->lines().last(), u"heard"_s);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

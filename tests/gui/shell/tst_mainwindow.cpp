#include "core/map/viewswitches.h"
#include "gui/map/mapwidget.h"
#include "gui/shell/menus.h"
#include "gui/windows/infowindows.h"
#include "shellfixture.h"
#include "builders.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QToolButton>

using namespace korvalo;

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startState();
    void oneVersionEverywhere();
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

void TestMainWindow::oneVersionEverywhere()
{
    // The About box, the history and korvalo-cli --version name the same version.
    QProcess cli;
    cli.start(QStringLiteral(KORVALO_CLI), {u"--version"_s});
    QVERIFY(cli.waitForFinished(30000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    QVERIFY2(out.startsWith(u"korvalo-cli "_s) && out.endsWith(u'\n'), qPrintable(out));
    const QString version = out.mid(12).trimmed();
    QVERIFY(!version.isEmpty());
    Shell s;
    QCOMPARE(s.child<QLabel>(u"Label1"_s, s.child(u"TFormAbout"_s))->text(), u"Version: "_s + version);
    const QString history = s.child<QPlainTextEdit>(u"Memo1"_s, s.child(u"TForm10"_s))->toPlainText();
    QCOMPARE(history.section(u'\n', 0, 0), u"Version "_s + version);
}

void TestMainWindow::menuItems()
{
    // Every entry of the menu table is in the built menu, once, in its menu and in table
    // order, with its caption, shortcut and check mark. Items the shell adds of its own
    // (Undo, Redo, recent files) may stand between them.
    Shell s;
    QMenuBar *bar = s.window.menuBar();
    QHash<QString, QStringList> expected; // menu -> its entries' names in order, "-" for a separator
    for (const MenuEntry &e : MenuTable()) {
        const QString name = QString::fromUtf16(e.name);
        const QString parent = QString::fromUtf16(e.parent);
        if (e.kind == MenuEntry::Kind::Separator) {
            expected[parent] << u"-"_s;
            continue;
        }
        expected[parent] << name;
        QAction *a = nullptr;
        if (e.kind == MenuEntry::Kind::Menu) {
            const QList<QMenu *> found = bar->findChildren<QMenu *>(name);
            QVERIFY2(found.size() == 1, qPrintable(name));
            a = found.first()->menuAction();
        } else {
            const QList<QAction *> found = s.window.findChildren<QAction *>(name);
            QVERIFY2(found.size() == 1, qPrintable(name));
            a = found.first();
        }
        const ViewSwitch *view = e.kind == MenuEntry::Kind::Switch ? FindViewSwitchByObjectName(name) : nullptr;
        QVERIFY2(view || e.kind != MenuEntry::Kind::Switch, qPrintable(name));
        QCOMPARE(a->text().remove(u'&'), QString::fromUtf16(view ? view->caption : e.caption));
        QCOMPARE(a->shortcut(), view ? view->keys() : QKeySequence(QString::fromUtf16(e.shortcut)));
        QCOMPARE(a->isVisible(), !e.hidden);
        QCOMPARE(a->isCheckable(), e.kind == MenuEntry::Kind::Check || view);
        // Switches start as the view does; of the other check items only Analysis > Map >
        // None and Options > Smooth Drawing (fresh settings) start checked.
        if (a->isCheckable())
            QCOMPARE(a->isChecked(), view ? view->defaultValue() : name == u"None1" || name == u"SmoothDrawing1");
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QList<QAction *> items = it.key().isEmpty() ? bar->actions() : bar->findChild<QMenu *>(it.key())->actions();
        QStringList built;
        for (QAction *a : items)
            built << (a->isSeparator() ? u"-"_s : a->menu() ? a->menu()->objectName() : a->objectName());
        qsizetype at = 0;
        for (const QString &entry : it.value()) {
            at = built.indexOf(entry, at);
            QVERIFY2(at >= 0, qPrintable(it.key() + u" lacks "_s + entry + u" in its place"_s));
            ++at;
        }
    }
}

void TestMainWindow::hiddenAndLaterItems()
{
    Shell s;
    s.load(EgoWithCards(1)); // the Card items are greyed without a card
    QVERIFY(s.child<QMenu>(u"Macro1"_s)->menuAction()->isVisible());
    QVERIFY(!s.child<QMenu>(u"ImportGraphic1"_s)->menuAction()->isVisible());
    QVERIFY(!s.action(u"History1"_s)->isVisible());
    QVERIFY(s.child<QMenu>(u"Roles1"_s)->actions().isEmpty());
    for (const QString &name : {u"New1"_s, u"Open1"_s, u"Save1"_s, u"Saveas1"_s, u"Exit1"_s,
                                u"NewTimestamp1"_s, u"Ne1"_s, u"Settings1"_s, u"DuplicateCard1"_s,
                                u"DeleteCard1"_s, u"Sex1"_s, u"Size1"_s, u"Size2"_s,
                                u"CommaSeperator1"_s, u"ShowAll1"_s, u"KorvaloInfo1"_s,
                                u"NodeTable1"_s, u"ShowInfoWindow1"_s, u"ShowNodeInfoWindow1"_s,
                                u"ShowallMemos1"_s, u"ByKeyword1"_s, u"ShowNodeMerger1"_s,
                                u"jpg2"_s, u"JPGAllCards1"_s, u"AllCardsin1JPG1"_s,
                                u"FixExportSize1"_s, u"jpg1"_s, u"DistancestoEgo1"_s, u"Ego2"_s,
                                u"Excel1"_s, u"Excel2"_s, u"UnsureNodeMerger1"_s,
                                u"NodeIDPlausibility1"_s, u"AggregateNodes1"_s, u"IDLabelPlausibility1"_s,
                                u"IDContinuityAllCardsinclUnifyPossible1"_s,
                                u"SVGCurrentCard1"_s, u"PDFCurrentCard1"_s, u"PDFAllCards1"_s, u"SmoothDrawing1"_s})
        QVERIFY2(s.action(name)->isEnabled(), qPrintable(name));
    // Submenus with something to choose are open, the directory runs included.
    QVERIFY(s.child<QMenu>(u"Directory2"_s)->menuAction()->isEnabled());
    QVERIFY(s.child<QMenu>(u"Check1"_s)->menuAction()->isEnabled());
    QVERIFY(s.child<QMenu>(u"Export1"_s)->menuAction()->isEnabled());
    QVERIFY(s.child<QMenu>(u"Nodes1"_s)->menuAction()->isEnabled());
    QVERIFY(s.child<QMenu>(u"Map1"_s)->menuAction()->isEnabled());
    QVERIFY(s.child<QMenu>(u"Label1"_s)->menuAction()->isEnabled());
    // The menus appear in their order on the menu bar.
    QStringList titles;
    for (QAction *a : s.window.menuBar()->actions())
        titles << a->text().remove(u'&');
    QCOMPARE(titles, (QStringList{u"File"_s, u"Edit"_s, u"Ego"_s, u"Card"_s, u"Nodes"_s, u"Transform"_s,
                                  u"Analysis"_s, u"Options"_s, u"Macro"_s, u"Info"_s, u"Help"_s}));
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

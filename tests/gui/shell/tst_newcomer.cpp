#include "gui/shell/asker.h"
#include "gui/actions/fileactions.h"
#include "gui/windows/infowindows.h"
#include "gui/map/mapwidget.h"
#include "gui/dialogs/startchooser.h"
#include "shellfixture.h"

#include <QAccessible>
#include <QHeaderView>
#include <QTableWidget>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

using namespace korvalo;

using namespace Qt::StringLiterals;
using Answer = Asker::Answer;

// Faults a new user runs into in the first hour, each caught through the real widgets.
class TestNewcomer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void messageSitsOnTheAskingWindow();
    void cardDialogSavesIntoItsOwnCard();
    void chooserAsksBeforeReplacingChanges();
    void dialogsStartInTheirFirstField();
    void groupCaptionFollowsTheNode();
    void everyControlHasAName();
    void altOpensTheMenus();
    void nodeTableShowsColoursAndSortsWithAnyButton();
    void sidePanelShowsTheStartOfLongTexts();
};

void TestNewcomer::messageSitsOnTheAskingWindow()
{
    // The real door: with Ego Settings open (it stays on top), Save with an empty name
    // shows its message above the dialog, as the active window.
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.fileCommands().newEgo();
    EgoDialog *dialog = window.egoDialog();
    dialog->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(dialog));
    QWidget *boxParent = nullptr;
    bool boxActive = false;
    QString boxText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer::singleShot(100, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxParent = box->parentWidget();
        boxActive = QApplication::activeWindow() == box;
        boxText = box->text();
        icon = box->icon();
        box->accept();
    });
    dialog->findChild<QPushButton *>(u"Button1"_s)->click();
    QCOMPARE(boxText, u"\"Name\" is obligatory!"_s);
    QCOMPARE(boxParent, static_cast<QWidget *>(dialog));
    QVERIFY(boxActive);
    QCOMPARE(icon, QMessageBox::Warning);
}

void TestNewcomer::cardDialogSavesIntoItsOwnCard()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.addCard(u"Wave 1"_s);
    s.addCard(u"Wave 2"_s);
    s.switchToCard(1);
    s.trigger(u"Settings1"_s);
    CardDialog *dialog = s.window.cardDialog();
    QCOMPARE(dialog->windowTitle(), u"Network Card Settings: Wave 1"_s);
    s.child<QLineEdit>(u"memo"_s, dialog)->setText(u"first interview"_s);
    // Another card becomes current while the dialog is open: Save still means card 1.
    s.switchToCard(2);
    s.child<QPushButton>(u"Button1"_s, dialog)->click();
    QCOMPARE(s.model.card(1).CardMemo, u"first interview"_s);
    QCOMPARE(s.model.card(2).CardMemo, QString());
    QCOMPARE(s.model.card(2).ID, u"Wave 2"_s);

    // Its card deleted meanwhile: Save says so and changes nothing.
    s.switchToCard(1);
    s.trigger(u"Settings1"_s);
    s.child<QLineEdit>(u"id"_s, dialog)->setText(u"Renamed"_s);
    s.asker->answers = {Answer::Yes};
    s.trigger(u"DeleteCard1"_s);
    const NetworkModel before = s.model;
    s.child<QPushButton>(u"Button1"_s, dialog)->click();
    QVERIFY(s.model == before);
    QVERIFY(s.asker->messages().last().contains(u"\"Wave 1\" no longer exists"_s));
}

void TestNewcomer::chooserAsksBeforeReplacingChanges()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s);
    s.window.startChooser()->show();
    s.asker->answers = {Answer::Abort};
    QTest::mouseClick(s.child<PanelButton>(u"NewEgoPanel"_s, s.window.startChooser()), Qt::LeftButton);
    QCOMPARE(s.asker->asked, QStringList{u"yesNoAbort: Do you want to save the current Ego?"_s});
    QCOMPARE(s.model.ego.Name, u"Anna"_s);
    s.window.startChooser()->show();
    s.asker->answers = {Answer::Abort};
    QTest::mouseClick(s.child<PanelButton>(u"ReadEgoPanel"_s, s.window.startChooser()), Qt::LeftButton);
    QCOMPARE(s.asker->asked.size(), 2);
    QCOMPARE(s.model.CardCount(), 1);
}

void TestNewcomer::dialogsStartInTheirFirstField()
{
    Shell s;
    s.window.show();
    s.createEgo(u"Anna"_s);
    s.addCard(u"Card 3"_s);
    s.trigger(u"Settings1"_s);
    CardDialog *dialog = s.window.cardDialog();
    s.child<QLineEdit>(u"memo"_s, dialog)->setFocus();
    s.child<QPushButton>(u"Button2"_s, dialog)->click();
    s.trigger(u"NewTimestamp1"_s);
    QTRY_COMPARE(QApplication::focusWidget(), s.child<QWidget>(u"id"_s, dialog));
    s.child<QPushButton>(u"Button2"_s, dialog)->click();
    s.trigger(u"Ne1"_s);
    QTRY_COMPARE(QApplication::focusWidget(), s.child<QWidget>(u"name"_s, s.window.egoDialog()));
}

void TestNewcomer::groupCaptionFollowsTheNode()
{
    Shell s;
    NodeInfoWindow *info = s.window.infoWindows()->nodeInfo();
    info->show();
    QWidget *caption = s.child<QWidget>(u"Label9"_s, info);
    Node group;
    group.Size = 3;
    info->showNode(&group);
    QVERIFY(caption->isVisible());
    Node single;
    info->showNode(&single);
    QVERIFY(!caption->isVisible());
    info->showNode(&group);
    info->showNode(nullptr);
    QVERIFY(!caption->isVisible());
}

void TestNewcomer::everyControlHasAName()
{
    Shell s;
    s.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    const QSet<QAccessible::Role> interactive{
        QAccessible::PushButton, QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::SpinBox, QAccessible::Slider, QAccessible::Graphic};
    QStringList nameless;
    std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
        if (!node)
            return;
        if (interactive.contains(node->role()) && !node->state().invisible
            && node->text(QAccessible::Name).trimmed().isEmpty()) {
            QObject *object = node->object();
            nameless << (object ? object->objectName() + u" ("_s + object->metaObject()->className() + u')'
                                : u"?"_s);
        }
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(&s.window));
    QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(u", "_s)));
    QCOMPARE(QAccessible::queryAccessibleInterface(s.window.mapWidget())->text(QAccessible::Name), u"Map"_s);
    QCOMPARE(QAccessible::queryAccessibleInterface(s.child(u"SpeedButton2"_s))->text(QAccessible::Name),
             u"Add Network Card"_s);
}

void TestNewcomer::altOpensTheMenus()
{
    Shell s;
    s.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    QTest::keyClick(&s.window, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(s.child<QMenu>(u"File1"_s)->isVisible());
    QCOMPARE(s.child<QMenu>(u"File1"_s)->title(), u"&File"_s);
    s.child<QMenu>(u"File1"_s)->close();
}

void TestNewcomer::nodeTableShowsColoursAndSortsWithAnyButton()
{
    Shell s;
    s.asker->fileNames = {QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego")};
    s.trigger(u"Open1"_s);
    s.trigger(u"NodeTable1"_s);
    NodeTableWindow *table = s.window.infoWindows()->table();
    QTableWidget *grid = table->grid();
    // The Color column shows the colour beside its number.
    const QIcon swatch = grid->item(0, 3)->icon();
    QVERIFY(!swatch.isNull());
    QCOMPARE(swatch.pixmap(10, 10).toImage().pixel(5, 5), PaletteColor(grid->item(0, 3)->text().toInt()));
    // Columns fit their contents: no label is cut.
    QVERIFY(grid->columnWidth(1) >= grid->fontMetrics().horizontalAdvance(grid->item(0, 1)->text()));
    // A right click on the Label heading sorts by label.
    QHeaderView *header = grid->horizontalHeader();
    const QPoint labelHeading(header->sectionViewportPosition(1) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::RightButton, {}, labelHeading);
    QStringList labels;
    for (int r = 0; r < grid->rowCount(); ++r)
        labels << grid->item(r, 1)->text();
    QStringList sorted = labels;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(labels, sorted);
}

void TestNewcomer::sidePanelShowsTheStartOfLongTexts()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s, u"An interviewer whose name is far longer than the side panel is wide"_s);
    auto *field = s.child<QLineEdit>(u"Edit1"_s);
    QCOMPARE(field->cursorPosition(), 0);
}

QTEST_MAIN(TestNewcomer)
#include "tst_newcomer.moc"

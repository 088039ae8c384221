#include "shellfixture.h"

#include "builders.h"
#include "core/map/geometry.h"
#include "gui/dialogs/linedialog.h"
#include "gui/dialogs/mergerdialog.h"
#include "gui/dialogs/nodedialog.h"
#include "gui/map/mapcontroller.h"
#include "gui/map/mapwidget.h"

#include <QAbstractSpinBox>
#include <QToolButton>

using namespace korvalo;
using namespace Qt::StringLiterals;

// Every dialog opens with the keyboard in its first field, that field's text selected,
// also when it was last left on a button: typing replaces what the dialog kept.
class TestDialogFocus : public QObject
{
    Q_OBJECT
    // Opens `dialog` by `open` after leaving it on a button; then types `typed`.
    static void walk(QWidget *dialog, const std::function<void()> &open, const QString &field, const QString &typed)
    {
        dialog->findChild<QPushButton *>()->setFocus();
        open();
        QVERIFY(dialog->isVisible());
        QWidget *focused = dialog->focusWidget();
        auto *edit = qobject_cast<QLineEdit *>(focused);
        if (auto *combo = qobject_cast<QComboBox *>(focused))
            edit = combo->lineEdit();
        if (auto *spin = qobject_cast<QAbstractSpinBox *>(focused))
            edit = spin->findChild<QLineEdit *>();
        QVERIFY2(edit && (focused->objectName() == field || focused->parent()->objectName() == field),
                 qPrintable(dialog->objectName()));
        QCOMPARE(edit->selectedText(), edit->text());
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), typed);
        dialog->hide();
    }

private Q_SLOTS:
    void everyDialogOpensOnItsFirstFieldSelected()
    {
        Shell s;
        s.window.resize(900, 760);
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        NetworkModel model = EgoWithCards(1);
        AddNode(model, 1, alter(0, 0.5f, 1, u"A"_s));
        AddNode(model, 1, alter(180, 0.5f, 3, u"B"_s));
        s.load(model);
        auto rightClick = [&](float angle) {
            const QSize size = s.window.mapWidget()->image().size();
            const QPoint p = MapPoint(angle, 0.5f, size.width(), size.height());
            QTest::mouseMove(s.window.mapWidget(), p);
            QTest::mouseClick(s.window.mapWidget(), Qt::RightButton, {}, p);
        };

        walk(s.window.egoDialog(), [&] { s.trigger(u"Ne1"_s); }, u"name"_s, u"Berta"_s);
        walk(s.window.cardDialog(), [&] { s.trigger(u"Settings1"_s); }, u"id"_s, u"Wave 2"_s);
        walk(s.window.cardDialog(), [&] { s.trigger(u"NewTimestamp1"_s); }, u"id"_s, u"Wave 3"_s);
        s.child<QToolButton>(u"SpeedButton5"_s)->click(); // add nodes
        NodeDialog *node = s.window.mapEditing()->nodeDialog();
        for (const QString &id : {u"C"_s, u"D"_s})
            walk(node, [&] { rightClick(90); }, u"ID"_s, id);
        // The ends of a line are not typed in: its value (kept from the last line) is first.
        s.child<QToolButton>(u"SpeedButton3"_s)->click(); // lines
        LineDialog *line = s.window.mapEditing()->lineDialog();
        walk(line, [&] {
            rightClick(0);
            rightClick(180);
        }, u"val"_s, u"5"_s);
        QCOMPARE(line->value(), 5);
        walk(s.window.findChild<MergerDialog *>(), [&] { s.trigger(u"UnsureNodeMerger1"_s); }, u"ComboBox1"_s,
             u"Zed"_s);
    }
};

QTEST_MAIN(TestDialogFocus)
#include "tst_dialogfocus.moc"

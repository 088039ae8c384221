#include "gui/map/mapwidget.h"
#include "shellfixture.h"

#include <QApplication>
#include <QComboBox>

using namespace korvalo;

using namespace Qt::StringLiterals;

class TestCardKeys : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void stepThroughTheCards();
};

void TestCardKeys::stepThroughTheCards()
{
    Shell s;
    s.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    // Without cards the keys do nothing.
    QWidget *map = s.child(u"Image1"_s);
    QTest::keyClick(map, Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(s.model.CurrentCard, 0);

    s.createEgo(u"Anna"_s);
    for (const QString &id : {u"t1"_s, u"t2"_s, u"t3"_s, u"t4"_s})
        s.addCard(id);
    s.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.window));
    QCOMPARE(s.model.CurrentCard, 4);
    auto *cardList = s.child<QComboBox>(u"CardCombo"_s);
    const int steps = s.window.document().undoStack()->count();

    const auto press = [&](Qt::Key key) {
        QTest::keyClick(map, key, Qt::ControlModifier);
        return s.model.CurrentCard;
    };
    QCOMPARE(press(Qt::Key_PageDown), 4); // stays at the end
    QCOMPARE(press(Qt::Key_Home), 1);
    QCOMPARE(press(Qt::Key_PageUp), 1);   // stays at the start
    QCOMPARE(press(Qt::Key_PageDown), 2);
    QCOMPARE(press(Qt::Key_PageDown), 3);
    QCOMPARE(press(Qt::Key_PageUp), 2);
    QCOMPARE(press(Qt::Key_End), 4);
    // The card list follows, and the key works wherever the focus is in the window.
    QTest::keyClick(cardList, Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(s.model.CurrentCard, 3);
    QTRY_COMPARE(cardList->currentText(), u"t3"_s);
    // Stepping is not a change of the ego.
    QCOMPARE(s.window.document().undoStack()->count(), steps);
}

QTEST_MAIN(TestCardKeys)
#include "tst_cardkeys.moc"

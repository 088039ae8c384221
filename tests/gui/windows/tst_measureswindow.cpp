#include "builders.h"
#include "gui/windows/measureswindow.h"
#include "shellfixture.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace korvalo;
using namespace Qt::StringLiterals;

// Analysis > Network Measures... on the open ego: the worked example's row, the window
// following edits and the current card, and its copy and CSV export.
class TestMeasuresWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsAndFollowsTheEgo();
    void copyAndExport();
};

namespace {

QStringList rowOf(const QTableWidget *table, int row)
{
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c)
        cells << table->item(row, c)->text();
    return cells;
}

MeasuresWindow *openMeasures(Shell &shell)
{
    shell.load(measuresExampleModel());
    shell.trigger(u"NetworkMeasures1"_s);
    return shell.child<MeasuresWindow>(u"NetworkMeasures"_s);
}

} // namespace

void TestMeasuresWindow::showsAndFollowsTheEgo()
{
    Shell shell;
    MeasuresWindow *window = openMeasures(shell);
    QVERIFY(window->isVisible());
    QCOMPARE(rowOf(window->cardTable(), 0),
             (QStringList{u"E7"_s, u"1"_s, u"6"_s, u"4"_s, u"0.267"_s, u"3"_s, u"1"_s, u"0.200"_s, u"4.667"_s,
                          u"0.778"_s, u"0.384"_s, u"0.333"_s, u"0.000"_s, u"0.444"_s, u"0.889"_s, u"0.918"_s}));
    QCOMPARE(window->sectorTable()->rowCount(), 3);
    QCOMPARE(window->sectorTable()->item(0, 6)->text(), u"1.000"_s); // Family's density

    // An undoable edit (G tied to D) and a new card redraw the table once the turn ends.
    shell.edit(1, [](NetworkModel &m) { m.card(1).Lines.push_back(Line{4, 6, 1, 0}); });
    shell.addCard(u"Wave 2"_s);
    QTRY_COMPARE(window->cardTable()->rowCount(), 2);
    QCOMPARE(window->cardTable()->item(0, 3)->text(), u"5"_s);
    QCOMPARE(window->cardTable()->item(1, 4)->text(), u"NA"_s);
    QCOMPARE(window->cardTable()->currentRow(), 1); // the new card is current
    shell.window.document().undoStack()->undo();
    shell.window.document().undoStack()->undo();
    QTRY_COMPARE(window->cardTable()->rowCount(), 1);
    QCOMPARE(window->cardTable()->item(0, 3)->text(), u"4"_s);

    // The composition follows the chosen attribute.
    shell.child<QComboBox>(u"MeasuresAttribute"_s, window)->setCurrentIndex(1); // sector
    QCOMPARE(window->cardTable()->item(0, 13)->text(), u"0.611"_s);
}

void TestMeasuresWindow::copyAndExport()
{
    Shell shell;
    MeasuresWindow *window = openMeasures(shell);
    window->cardTable()->clearSelection();
    shell.child<QPushButton>(u"MeasuresCopy"_s, window)->click();
    const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n');
    QVERIFY(copied[0].startsWith(u"ego_id\tcard\tsize\t"_s));
    QVERIFY(copied[1].startsWith(u"E7\t1\t6\t4\t0.267\t"_s));

    QTemporaryDir dir;
    const QString path = dir.filePath(u"measures.csv"_s);
    shell.asker->fileNames.push_back(path);
    shell.child<QPushButton>(u"MeasuresExport"_s, window)->click();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines[1], QByteArray("E7,1,6,4,0.267,3,1,0.200,4.667,0.778,0.384,0.333,0.000,0.444,0.889,0.918\r"));
    QVERIFY(shell.asker->unexpected.isEmpty());
}

QTEST_MAIN(TestMeasuresWindow)
#include "tst_measureswindow.moc"

#include "builders.h"
#include "gui/windows/alterswindow.h"
#include "gui/windows/measureswindow.h"
#include "shellfixture.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace korvalo;
using namespace Qt::StringLiterals;

// The CSV files the windows export for spreadsheets: text that a spreadsheet would run
// as a formula gets a leading apostrophe, numbers stay numbers.
class TestSpreadsheetExports : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void measuresKeepFormulasAsText();
    void altersKeepFormulasAsText();
};

namespace {

QList<QByteArray> exportedLines(Shell &shell, QWidget *window, const QString &button)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"table.csv"_s);
    shell.asker->fileNames.push_back(path);
    shell.child<QPushButton>(button, window)->click();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
}

} // namespace

void TestSpreadsheetExports::measuresKeepFormulasAsText()
{
    Shell shell;
    NetworkModel model = measuresExampleModel();
    // Four of six alters share the ego's sex: EI ego-alter (2 - 4) / 6 = -0.333, and three
    // of the four ties join alters of one sex: EI alter-alter (1 - 3) / 4 = -0.500.
    model.ego.EgoID = u"=1+2"_s;
    model.card(1).Nodes[3].Sex = u"female"_s;
    model.card(1).Nodes[4].Sex = u"female"_s;
    model.card(1).Sectors[1].SectorName = u"@SUM(A1)"_s;
    shell.load(model);
    shell.trigger(u"NetworkMeasures1"_s);
    auto *window = shell.child<MeasuresWindow>(u"NetworkMeasures"_s);
    const QList<QByteArray> cards = exportedLines(shell, window, u"MeasuresExport"_s);
    QCOMPARE(cards.value(1), QByteArray("'=1+2,1,6,4,0.267,3,1,0.200,4.667,0.778,0.384,-0.333,-0.500,0.444,0.889,0.918\r"));

    shell.child<QTabWidget>(u"MeasuresTabs"_s, window)->setCurrentIndex(1);
    const QList<QByteArray> sectors = exportedLines(shell, window, u"MeasuresExport"_s);
    QVERIFY(sectors.value(1).startsWith("'=1+2,1,1,'@SUM(A1),3,"));
    QVERIFY(shell.asker->unexpected.isEmpty());
}

void TestSpreadsheetExports::altersKeepFormulasAsText()
{
    Shell shell;
    NetworkModel model = compareExampleModel();
    model.card(1).ID = u"+Wave 1"_s;
    model.card(1).Nodes[1].ID = u"-1+2"_s; // was A
    model.card(1).Nodes[2].ID = u"-5"_s;   // was B
    model.card(2).Nodes[2].ID = u"=HYPERLINK(\"x\",\"y\")"_s;
    shell.load(model);
    shell.trigger(u"AltersAcrossCards1"_s);
    auto *window = shell.child<AltersAcrossCardsWindow>(u"AltersAcrossCards"_s);
    const QList<QByteArray> lines = exportedLines(shell, window, u"AltersExport"_s);
    QCOMPARE(lines.value(0), QByteArray("ID,'+Wave 1,Wave 2,Wave 3\r"));
    QVERIFY(lines.contains(QByteArray("'-1+2,4,,\r")));
    QVERIFY(lines.contains(QByteArray("-5,2,,\r")));
    QVERIFY(lines.contains(QByteArray("\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\",,2,\r")));
}

QTEST_MAIN(TestSpreadsheetExports)
#include "tst_spreadsheetexports.moc"

#include "builders.h"
#include "shellfixture.h"

#include <QFile>
#include <QTemporaryDir>

using namespace korvalo;
using namespace Qt::StringLiterals;

// The CSV files the windows export for spreadsheets: text that would start a formula gets a
// leading apostrophe, numbers stay numbers.
class TestSpreadsheetExports : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void formulasStayText();
};

namespace {

QByteArray exported(Shell &shell, const QString &window, const QString &button)
{
    QTemporaryDir dir;
    shell.asker->fileNames.push_back(dir.filePath(u"table.csv"_s));
    shell.child<QPushButton>(button, shell.child(window))->click();
    QFile file(dir.filePath(u"table.csv"_s));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestSpreadsheetExports::formulasStayText()
{
    Shell shell;
    NetworkModel model = measuresExampleModel();
    model.ego.EgoID = u"=1+2"_s;
    model.card(1).ID = u"@Wave"_s;
    model.card(1).Nodes[1].ID = u"-1+2"_s;
    model.card(1).Nodes[2].ID = u"-5"_s;
    // Four of six alters of the ego's sex, three of four ties inside one sex: both EI negative.
    model.card(1).Nodes[3].Sex = u"female"_s;
    model.card(1).Nodes[4].Sex = u"female"_s;
    shell.load(model);
    shell.trigger(u"NetworkMeasures1"_s);
    QVERIFY(exported(shell, u"NetworkMeasures"_s, u"MeasuresExport"_s)
                .contains("\r\n'=1+2,1,6,4,0.267,3,1,0.200,4.667,0.778,0.384,-0.333,-0.500,0.444,"));

    shell.trigger(u"AltersAcrossCards1"_s);
    const QByteArray alters = exported(shell, u"AltersAcrossCards"_s, u"AltersExport"_s);
    QVERIFY(alters.startsWith("ID,'@Wave\r\n'-1+2,4\r\n-5,4\r\n"));
    QVERIFY(shell.asker->unexpected.isEmpty());
}

QTEST_MAIN(TestSpreadsheetExports)
#include "tst_spreadsheetexports.moc"

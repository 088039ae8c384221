#include "shellfixture.h"

#include "gui/dialogs/linesexceldialog.h"
#include "gui/dialogs/nodesexceldialog.h"
#include "gui/windows/infowindow.h"
#include "gui/windows/infowindows.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>

using namespace korvalo;

using namespace Qt::StringLiterals;

// Card > Import Nodes / Import Edges > Excel as a user goes through them.
class TestExcelDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void nodeImportNeedsAnEgo();
    void nodeDialogStartsAsDescribed();
    void nodesArePreviewedThenImported();
    void unreadableRowsBlockTheImport();
    void linesAreImportedByLabel();
    void skippedLinesReachTheInfoWindow();
};

static QString sheet(const char *name)
{
    return QStringLiteral(KORVALO_TEST_DATA "/sheets/") + QString::fromLatin1(name);
}

static QStringList items(QComboBox *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

// Shows a dialog; without a workbook yet it asks for one at once.
template <typename Dialog>
static Dialog *open(Shell &s, const QString &action, const QString &file)
{
    s.asker->fileNames.push_back(file);
    s.trigger(action);
    auto *dialog = s.window.findChild<Dialog *>();
    for (int i = 0; i < 100 && !s.asker->fileNames.empty(); ++i)
        QTest::qWait(10);
    return dialog;
}

void TestExcelDialogs::nodeImportNeedsAnEgo()
{
    Shell s;
    s.trigger(u"Excel1"_s);
    QCOMPARE(s.asker->messages(), QStringList{u"message: Please setup ego first."_s});
    QVERIFY(s.window.findChild<NodesExcelDialog *>()->isHidden());
}

void TestExcelDialogs::nodeDialogStartsAsDescribed()
{
    Shell s;
    s.createEgo(u"Eva"_s);
    s.addCard(u"Wave 1"_s);
    auto *d = open<NodesExcelDialog>(s, u"Excel1"_s, sheet("alters-xlsxwriter.xlsx"));
    QVERIFY(d->isVisible());
    QCOMPARE(d->objectName(), u"TFormNodesExcel"_s);
    QCOMPARE(d->windowTitle(), u"Korvalo - Import Nodes from Excel"_s);
    QVERIFY(s.asker->asked.first().contains(u"*.xlsx"_s) && s.asker->asked.first().contains(u"*.ods"_s)
            && s.asker->asked.first().contains(u"*.xls "_s) && s.asker->asked.first().contains(u"*.csv"_s));
    QCOMPARE(s.child<QLineEdit>(u"SourceFileName"_s, d)->text(), sheet("alters-xlsxwriter.xlsx"));
    QCOMPARE(items(s.child<QComboBox>(u"Worksheets"_s, d)), (QStringList{u"Alters"_s, u"Second"_s}));
    const QStringList columns = {u"ID"_s, u"Name"_s, u"Distance"_s, u"Born"_s, u"Double"_s, u"Note"_s, u"(Column 7)"_s};
    QCOMPARE(items(s.child<QComboBox>(u"ComboBox1"_s, d)), QStringList{u"<auto>"_s} + columns);
    QCOMPARE(items(s.child<QComboBox>(u"ComboBox4"_s, d)), QStringList{u"<auto>"_s} + columns);
    QCOMPARE(items(s.child<QComboBox>(u"ComboBox14"_s, d)), QStringList{u"<ignore>"_s} + columns);
    QCOMPARE(s.child<QSpinBox>(u"SpinEdit1"_s, d)->value(), 1);
    QVERIFY(s.child<QRadioButton>(u"RadioButton1"_s, d)->isChecked());
    auto *circles = s.child<QSpinBox>(u"SpinEdit2"_s, d);
    QCOMPARE(circles->value(), 3);
    QVERIFY(circles->isHidden());
    s.child<QRadioButton>(u"RadioButton2"_s, d)->click();
    QVERIFY(circles->isVisible());
    QCOMPARE(s.child<QLineEdit>(u"Edit1"_s, d)->text(), u"no"_s);
    QCOMPARE(s.child<QComboBox>(u"ComboBox8"_s, d)->toolTip(), u"(none,flash,triangle,box,diamond)"_s);
    // Exit hides; showing again keeps the workbook and asks for no file.
    s.child<QPushButton>(u"Button3"_s, d)->click();
    QVERIFY(d->isHidden());
    s.trigger(u"Excel1"_s);
    QTest::qWait(20);
    QVERIFY(s.asker->unexpected.isEmpty());
    QCOMPARE(s.child<QComboBox>(u"ComboBox1"_s, d)->count(), 8);
}

void TestExcelDialogs::nodesArePreviewedThenImported()
{
    Shell s;
    s.createEgo(u"Eva"_s);
    s.addCard(u"Wave 1"_s);
    auto *d = open<NodesExcelDialog>(s, u"Excel1"_s, sheet("alters-odfpy.ods"));
    s.child<QComboBox>(u"ComboBox1"_s, d)->setCurrentIndex(1);
    s.child<QComboBox>(u"ComboBox2"_s, d)->setCurrentIndex(2);
    s.child<QComboBox>(u"ComboBox4"_s, d)->setCurrentIndex(3);
    s.child<QComboBox>(u"ComboBox13"_s, d)->setCurrentIndex(5); // "Double" as line value: 1.0, 2.5, 0.666
    auto *preview = s.child<QTableWidget>(u"Preview"_s, d);
    QCOMPARE(preview->rowCount(), 3);
    QCOMPARE(preview->item(0, 1)->text(), u"007"_s);
    QCOMPARE(preview->item(1, 2)->text(), u"Ben Miller"_s);
    QVERIFY(!s.child<QPushButton>(u"Button2"_s, d)->isEnabled()); // 2.5 is no whole number
    s.child<QComboBox>(u"ComboBox13"_s, d)->setCurrentIndex(0);
    auto *import = s.child<QPushButton>(u"Button2"_s, d);
    QVERIFY(import->isEnabled());
    import->click();
    QVERIFY(d->isHidden());
    const NetworkCard &card = s.model.card(1);
    QCOMPARE(card.NodeCount(), 3);
    QCOMPARE(card.Nodes[1].ID, u"007"_s);
    QCOMPARE(card.Nodes[3].Label, u"Clara"_s);
    QCOMPARE(card.Nodes[3].Angle, 360.0f);
    QCOMPARE(card.Nodes[2].Distance, 0.92f); // 1.25 projected onto the card
    // One step of the history undoes the whole import.
    QCOMPARE(s.action(u"Undo1"_s)->text(), u"Undo Import Nodes"_s);
    s.trigger(u"Undo1"_s);
    QCOMPARE(s.model.card(1).NodeCount(), 0);
    s.trigger(u"Redo1"_s);
    QCOMPARE(s.model.card(1).NodeCount(), 3);
}

void TestExcelDialogs::unreadableRowsBlockTheImport()
{
    Shell s;
    s.createEgo(u"Eva"_s);
    s.addCard(u"Wave 1"_s);
    auto *d = open<NodesExcelDialog>(s, u"Excel1"_s, sheet("alters-openpyxl.xlsx"));
    s.child<QComboBox>(u"ComboBox4"_s, d)->setCurrentIndex(2); // names as distances
    auto *messages = s.child<QListWidget>(u"Messages"_s, d);
    QCOMPARE(messages->count(), 4);
    QCOMPARE(messages->item(1)->text(), u"Row 2, Name (cell B2): \"Anna\" is not a number."_s);
    QVERIFY(!s.child<QPushButton>(u"Button2"_s, d)->isEnabled());
    // Return through the keyboard does not slip past either.
    QTest::keyClick(d, Qt::Key_Return);
    QCOMPARE(s.model.card(1).NodeCount(), 0);
}

void TestExcelDialogs::linesAreImportedByLabel()
{
    Shell s;
    s.createEgo(u"Eva"_s);
    s.addCard(u"Wave 1"_s);
    auto *nodes = open<NodesExcelDialog>(s, u"Excel1"_s, sheet("alters-xlwt.xls"));
    s.child<QComboBox>(u"ComboBox2"_s, nodes)->setCurrentIndex(2);
    s.child<QPushButton>(u"Button2"_s, nodes)->click();
    QCOMPARE(s.model.card(1).NodeCount(), 3);

    QTemporaryDir dir;
    const QString edges = dir.filePath(u"edges.csv"_s);
    QFile f(edges);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("A;B;Strength\nAnna;Clara;2\nEva;Ben Miller;1\nAnna;Anna;1\n");
    f.close();
    auto *d = open<LinesExcelDialog>(s, u"Excel2"_s, edges);
    QCOMPARE(d->windowTitle(), u"Korvalo - Import Lines from Excel"_s);
    QCOMPARE(items(s.child<QComboBox>(u"ComboBox1"_s, d)), (QStringList{u"A"_s, u"B"_s, u"Strength"_s}));
    QCOMPARE(s.child<QComboBox>(u"ComboBox2"_s, d)->currentIndex(), 1);
    QVERIFY(s.child<QRadioButton>(u"RadioButton2"_s, d)->isChecked());
    s.child<QComboBox>(u"ComboBox3"_s, d)->setCurrentIndex(3);
    s.child<QCheckBox>(u"CheckBox1"_s, d)->setChecked(true);
    QCOMPARE(s.child<QTableWidget>(u"Preview"_s, d)->rowCount(), 1);
    s.child<QPushButton>(u"Button2"_s, d)->click();
    const NetworkCard &card = s.model.card(1);
    QCOMPARE(card.LineCount(), 1);
    QCOMPARE(card.Lines[1].A, 1);
    QCOMPARE(card.Lines[1].B, 3);
    QCOMPARE(card.Lines[1].LineSize, 2);
    QCOMPARE(s.action(u"Undo1"_s)->text(), u"Undo Import Lines"_s);

    // A result computed for the card as it was before (its nodes gone since) adds
    // nothing and leaves no step in the history.
    std::optional<LineImportResult> computed;
    connect(d, &LinesExcelDialog::importRequested, d, [&computed](const LineImportResult &r) { computed = r; });
    s.trigger(u"Undo1"_s);
    s.trigger(u"Excel2"_s);
    s.child<QPushButton>(u"Button2"_s, d)->click();
    QVERIFY(computed);
    s.trigger(u"Undo1"_s);
    s.trigger(u"Undo1"_s);
    QCOMPARE(s.model.card(1).NodeCount(), 0);
    s.asker->asked.clear();
    Q_EMIT d->importRequested(*computed);
    QCOMPARE(s.asker->messages(), QStringList{u"message: Nothing was imported: the card changed since the preview. "
                                              "Please look at the preview again."_s});
    QCOMPARE(s.model.card(1).LineCount(), 0);
    QCOMPARE(s.action(u"Redo1"_s)->text(), u"Redo Import Nodes"_s);
}

void TestExcelDialogs::skippedLinesReachTheInfoWindow()
{
    Shell s;
    s.createEgo(u"Eva"_s);
    s.addCard(u"Wave 1"_s);
    auto *nodes = open<NodesExcelDialog>(s, u"Excel1"_s, sheet("alters-xlwt.xls"));
    s.child<QComboBox>(u"ComboBox2"_s, nodes)->setCurrentIndex(2);
    s.child<QPushButton>(u"Button2"_s, nodes)->click();
    QTemporaryDir dir;
    const QString edges = dir.filePath(u"edges.csv"_s);
    QFile f(edges);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("A;B\nAnna;Clara\nEva;Ben Miller\nAnna;Nobody\nAnna;Anna\n");
    f.close();
    auto *d = open<LinesExcelDialog>(s, u"Excel2"_s, edges);
    s.child<QCheckBox>(u"CheckBox1"_s, d)->setChecked(true);
    s.child<QPushButton>(u"Button2"_s, d)->click();
    QCOMPARE(s.model.card(1).LineCount(), 1);
    const QStringList lines = s.window.infoWindows()->info()->lines();
    QCOMPARE(lines.mid(lines.size() - 4), (QStringList{u"Line to Ego not added: Eva-Ben Miller"_s,
                                                       u"Warning (no line added): Unknown node(s) in excel-line 4"_s,
                                                       u"Warning (no line added): Node A = Node B in excel-line 5"_s,
                                                       u"1 lines added."_s}));

    // With cards present and none chosen, the preview says so, not that there is no card.
    auto *cards = s.child<QComboBox>(u"CardCombo"_s);
    cards->setCurrentIndex(0);
    Q_EMIT cards->activated(0);
    QCOMPARE(s.model.CurrentCard, 0);
    s.trigger(u"Excel1"_s);
    QVERIFY(s.child<QLabel>(u"Summary"_s, nodes)->text().contains(u"No network card is chosen"_s));
    s.asker->asked.clear();
    s.child<QPushButton>(u"Button2"_s, nodes)->click();
    QCOMPARE(s.asker->messages(), QStringList{u"message: No network card is chosen: choose the card to add the nodes "
                                              "to in the card list."_s});
    QCOMPARE(s.model.card(1).NodeCount(), 3);
}

QTEST_MAIN(TestExcelDialogs)
#include "tst_exceldialogs.moc"

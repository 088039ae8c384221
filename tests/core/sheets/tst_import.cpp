#include "builders.h"
#include "core/egofile/egofile.h"
#include "core/sheets/import.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;

// The node and line imports over tables read from real csv text and workbooks.
class TestImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void autoFieldsSpreadAroundTheEgo();
    void cellTextsAreReadLeniently();
    void farNodeProjectsTheCard();
    void linesFromTheEgo();
    void badRowsRefuseTheWholeImport();
    void numberTextsInOneNotation();
    void datesAreNotNumbers();
    void capacityIsCheckedFirst();
    void circleModePlacesOnCircles();
    void rowsAfterAnEmptyRowAreNotRead();
    void formulaWithoutResultIsReported();
    void lineEndsByLabelOrId();
    void linesToTheEgo();
    void lineValuesAndDefaults();
    void cliImportsNodesThenLines();
};

static Sheet csvSheet(const QByteArray &csv)
{
    WorkbookResult r = ReadWorkbookData(csv, QStringLiteral("table.csv"));
    if (!r.workbook)
        qFatal("%s", qPrintable(r.error));
    return std::move(r.workbook->sheets.at(0));
}

static NetworkCard cardWith(const QStringList &labels)
{
    NetworkCard card;
    for (qsizetype i = 0; i < labels.size(); ++i)
        card.Nodes.push_back(bareAlter(QString::number(i + 1), 0, 0.5f, labels[i]));
    return card;
}

static QStringList texts(const std::vector<ImportMessage> &messages)
{
    QStringList out;
    for (const ImportMessage &m : messages)
        out.append(m.text);
    return out;
}

void TestImport::autoFieldsSpreadAroundTheEgo()
{
    const Sheet sheet = csvSheet("Name\nA\nB\nC\n");
    const NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), NodeImportOptions{}, NetworkCard{});
    QVERIFY(r.ok());
    QCOMPARE(r.nodes.size(), size_t(3));
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(r.nodes[size_t(k)].ID, QString::number(k + 1));
        QCOMPARE(r.nodes[size_t(k)].Label, QStringLiteral("Node %1").arg(k + 1));
        QCOMPARE(r.nodes[size_t(k)].Angle, float(120 * (k + 1)));
        QCOMPARE(r.nodes[size_t(k)].Distance, 0.5f);
        QCOMPARE(r.nodes[size_t(k)].Size, 1);
        QCOMPARE(r.nodes[size_t(k)].Sex, QStringLiteral("undefined"));
    }
    QCOMPARE(r.summary(), (QStringList{QStringLiteral("3 nodes added."), QStringLiteral("0 lines added.")}));
    // Seven rows: 360/7 steps rounded to whole degrees, halves to even.
    const Sheet seven = csvSheet("x\n1\n2\n3\n4\n5\n6\n7\n");
    const NodeImportResult r7 = ImportNodes(seven, seven.currentRegion(), NodeImportOptions{}, NetworkCard{});
    QCOMPARE(r7.nodes[1].Angle, 103.0f);
    QCOMPARE(r7.nodes[6].Angle, 360.0f);
}

void TestImport::cellTextsAreReadLeniently()
{
    const Sheet sheet = csvSheet("ID;Label;Sex;Human;Color;Symbol;Size;Group;Memo\n"
                                 "007;\"two\nlines\";Female; No ;9; none ;BIGGER;3;m\n"
                                 "8;B; male ;yes;0; Box ;tiny;1;\n"
                                 "9;C;divers;;-1;star;;;\n");
    NodeImportOptions o;
    o.id = 1, o.label = 2, o.sex = 3, o.human = 4, o.color = 5, o.symbol = 6, o.nodeSize = 7, o.groupSize = 8, o.memo1 = 9;
    const NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
    QVERIFY2(r.ok(), qPrintable(texts(r.messages).join(u'\n')));
    QCOMPARE(r.nodes[0].ID, QStringLiteral("007"));
    QCOMPARE(r.nodes[0].Label, QStringLiteral("two lines"));
    QCOMPARE(r.nodes[0].Sex, QStringLiteral("female"));
    QCOMPARE(r.nodes[0].Human, QStringLiteral("FALSE"));
    QCOMPARE(r.nodes[0].Color, 1); // 9 is no palette colour
    QCOMPARE(r.nodes[0].Symbol, QString());
    QCOMPARE(r.nodes[0].NodeSize, QStringLiteral("bigger"));
    QCOMPARE(r.nodes[0].Size, 3);
    QCOMPARE(r.nodes[0].Memo1, QStringLiteral("m"));
    QCOMPARE(r.nodes[1].Sex, QStringLiteral("male"));
    QCOMPARE(r.nodes[1].Human, QStringLiteral("TRUE"));
    QCOMPARE(r.nodes[1].Color, 0);
    QCOMPARE(r.nodes[1].Symbol, QStringLiteral("box"));
    QCOMPARE(r.nodes[1].NodeSize, QStringLiteral("normal"));
    QCOMPARE(r.nodes[2].Sex, QStringLiteral("undefined"));
    QCOMPARE(r.nodes[2].Color, 1);
    QCOMPARE(r.nodes[2].Size, 1);
    // Each replaced value is told, with row, column and cell.
    const QStringList m = texts(r.messages);
    QVERIFY(m.contains(QStringLiteral("Row 2, Color (cell E2): colour 9 is not one of 0 to 8; colour 1 is used.")));
    QVERIFY(m.contains(QStringLiteral("Row 3, Size (cell G3): \"tiny\" is no node size (normal, smaller, smallest, bigger, biggest); normal is used.")));
    QVERIFY(m.contains(QStringLiteral("Row 4, Sex (cell C4): \"divers\" is not female, male or undefined; the sex stays undefined.")));
    QVERIFY(m.contains(QStringLiteral("Row 4, Symbol (cell F4): \"star\" is no symbol (none, flash, triangle, box, diamond); the node gets none.")));
}

void TestImport::farNodeProjectsTheCard()
{
    const Sheet sheet = csvSheet("L;D\nA;0.65\nB;1.3\n");
    NetworkCard card = cardWith({QStringLiteral("old")});
    NodeImportOptions o;
    o.label = 1, o.distance = 2;
    const NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), o, card);
    QVERIFY(r.ok() && r.projectOutmost);
    QVERIFY(ApplyNodeImport(card, r));
    QCOMPARE(card.NodeCount(), 3);
    QCOMPARE(card.Nodes[3].Distance, 0.92f);
    QCOMPARE(card.Nodes[2].Distance, 0.46f);
    QCOMPARE(card.Nodes[1].Distance, 0.92f / 1.3f * 0.5f);
    // A number formatted without decimals still gives its value; a comma as separator.
    const Sheet comma = csvSheet("L;D\nA;0,5\n");
    o.decimalSeparator = u',';
    QCOMPARE(ImportNodes(comma, comma.currentRegion(), o, NetworkCard{}).nodes.at(0).Distance, 0.5f);
}

void TestImport::linesFromTheEgo()
{
    const Sheet sheet = csvSheet("L,V,C\nA,2,\nB,0,3\nC,1,12\n");
    NetworkCard card = cardWith({QStringLiteral("x"), QStringLiteral("y")});
    NodeImportOptions o;
    o.label = 1, o.lineValue = 2;
    NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), o, card);
    QCOMPARE(r.lines.size(), size_t(2));
    QCOMPARE(r.lines[0].A, 0);
    QCOMPARE(r.lines[0].B, 3); // after the card's two nodes
    QCOMPARE(r.lines[0].LineSize, 2);
    QCOMPARE(r.lines[0].LineColor, 0); // no colour column
    o.lineColor = 3;
    r = ImportNodes(sheet, sheet.currentRegion(), o, card);
    QCOMPARE(r.lines[1].B, 5);
    QCOMPARE(r.lines[1].LineColor, 0); // 12 lies beyond the palette
    QVERIFY(ApplyNodeImport(card, r));
    QCOMPARE(card.LineCount(), 2);
    QCOMPARE(r.summary().at(1), QStringLiteral("2 lines added."));
}

void TestImport::badRowsRefuseTheWholeImport()
{
    const Sheet sheet = csvSheet("L;D;V\nA;0.5;1\nB;far;1\nC;0.2;x\n");
    NetworkCard card = cardWith({QStringLiteral("kept")});
    NodeImportOptions o;
    o.label = 1, o.distance = 2, o.lineValue = 3;
    const NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), o, card);
    QVERIFY(!r.ok());
    QCOMPARE(texts(r.messages), (QStringList{QStringLiteral("Row 3, D (cell B3): \"far\" is not a number."),
                                             QStringLiteral("Row 4, V (cell C4): \"x\" is not a number.")}));
    QCOMPARE(r.messages[0].row, 3);
    QVERIFY(!ApplyNodeImport(card, r));
    QCOMPARE(card.NodeCount(), 1);
    QCOMPARE(card.LineCount(), 0);
}

void TestImport::numberTextsInOneNotation()
{
    const Sheet sheet = csvSheet("L;D;V\nA;0,750;1\nB;1,5;2,000\nC;1.500;3\n");
    NodeImportOptions o;
    o.label = 1, o.distance = 2;
    // '.' chosen: "0,750" and "1,5" have no other reading; "1.500" is one and a half.
    NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
    QVERIFY2(r.ok(), qPrintable(texts(r.messages).join(u'\n')));
    QCOMPARE(r.nodes.at(0).Distance, 0.75f);
    QCOMPARE(r.nodes.at(1).Distance, 1.5f);
    QCOMPARE(r.nodes.at(2).Distance, 1.5f);
    // "2,000" may be two or two thousand.
    o.lineValue = 3;
    r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
    QCOMPARE(texts(r.messages), QStringList{QStringLiteral("Row 3, V (cell C3): \"2,000\" is not a number with \".\" as "
                                                           "decimal separator and no thousands separator.")});
    // ',' chosen: now "1.500" is the ambiguous one, and "2,000" is two.
    o.decimalSeparator = u',';
    r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
    QCOMPARE(texts(r.messages), QStringList{QStringLiteral("Row 4, D (cell B4): \"1.500\" is not a number with \",\" as "
                                                           "decimal separator and no thousands separator.")});
    o.distance = 0;
    r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
    QVERIFY(r.ok());
    QCOMPARE(r.lines.at(1).LineSize, 2);
    // Lines: values written with grouping are refused the same way.
    NetworkCard card = cardWith({QStringLiteral("A"), QStringLiteral("B")});
    const Sheet lines = csvSheet("A;B;V\nA;B;1,000\n");
    const LineImportResult lr = ImportLines(lines, lines.currentRegion(), LineImportOptions{1, 1, 2, false, 3}, card, Ego{});
    QCOMPARE(lr.errorCount(), 1);
}

void TestImport::datesAreNotNumbers()
{
    // Column D ("Born") holds dates in every fixture; C the distances under "0.00".
    for (const char *name : {"alters-openpyxl.xlsx", "alters-xlsxwriter.xlsx", "alters-odfpy.ods", "alters-xlwt.xls"}) {
        const WorkbookResult book = ReadWorkbook(QStringLiteral(KORVALO_TEST_DATA "/sheets/") + QLatin1String(name));
        QVERIFY2(book.workbook, qPrintable(book.error));
        const Sheet &sheet = book.workbook->sheets.at(0);
        NodeImportOptions o;
        o.label = 2, o.distance = 3;
        NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
        QVERIFY2(r.ok(), name);
        QCOMPARE(r.nodes.at(1).Distance, 1.25f);
        o.distance = 4;
        r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
        QCOMPARE(r.errorCount(), 3);
        QCOMPARE(r.messages.at(1).text, QStringLiteral("Row 2, Born (cell D2): \"1985-03-14\" is a date or time, not a number."));
        o.distance = 0, o.lineValue = 4;
        QCOMPARE(ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{}).errorCount(), 3);
    }
}

void TestImport::capacityIsCheckedFirst()
{
    const Sheet sheet = csvSheet("L\nA\nB\nC\n");
    NetworkCard card;
    card.Nodes.resize(size_t(MaxNodes));
    const NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), NodeImportOptions{}, card);
    QVERIFY(!r.ok());
    QVERIFY(r.nodes.empty());
    QCOMPARE(texts(r.messages), QStringList{QStringLiteral("The table has 3 data rows, but the card holds 999 nodes and room for only 1 more.")});
}

void TestImport::circleModePlacesOnCircles()
{
    const Sheet sheet = csvSheet("L;Circle\nA;1\nB;2\nC;9\nD;0\n");
    NodeImportOptions o;
    o.label = 1, o.distance = 2, o.circleMode = true, o.circles = 4;
    const NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
    QCOMPARE(r.nodes[0].Distance, 0.125f);
    QCOMPARE(r.nodes[1].Distance, 0.375f);
    QCOMPARE(r.nodes[2].Distance, 0.875f); // beyond the last circle: on the last
    QCOMPARE(r.nodes[3].Distance, 0.125f);
    QVERIFY(!r.projectOutmost);
    o.circles = 0;
    QVERIFY(!ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{}).ok());
}

void TestImport::rowsAfterAnEmptyRowAreNotRead()
{
    const Sheet sheet = csvSheet("L\nA\nB\n\nC\n");
    NodeImportOptions o;
    o.label = 1;
    const NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
    QCOMPARE(r.nodes.size(), size_t(2));
    QVERIFY(r.ok());
    QCOMPARE(texts(r.messages), QStringList{QStringLiteral("Row 4 is empty: the rows after it are not read.")});
    // Rows to ignore 0 reads the header row as a node.
    o.rowsToIgnore = 0;
    QCOMPARE(ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{}).nodes.at(0).Label, QStringLiteral("L"));
}

void TestImport::formulaWithoutResultIsReported()
{
    const WorkbookResult book = ReadWorkbook(QStringLiteral(KORVALO_TEST_DATA "/sheets/alters-openpyxl.xlsx"));
    QVERIFY(book.workbook);
    const Sheet &sheet = book.workbook->sheets[0];
    NodeImportOptions o;
    o.label = 2, o.distance = 5;
    NodeImportResult r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
    QVERIFY(!r.ok());
    QCOMPARE(r.messages.size(), size_t(4)); // the note on row 5, then rows 2 to 4
    QVERIFY(r.messages[1].text.startsWith(QStringLiteral("Row 2, Double (cell E2): the cell holds a formula")));
    // The distance column's raw numbers, whatever the format shows.
    o.distance = 3;
    r = ImportNodes(sheet, sheet.currentRegion(), o, NetworkCard{});
    QVERIFY(r.ok());
    QCOMPARE(r.nodes[2].Distance, 0.333f);
    QCOMPARE(ColumnHeaders(sheet, sheet.currentRegion()).last(), QStringLiteral("(Column 7)"));
}

void TestImport::lineEndsByLabelOrId()
{
    NetworkCard card = cardWith({QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Ann")});
    Ego ego;
    ego.Name = QStringLiteral("Eva");
    ego.EgoID = QStringLiteral("E1");
    const Sheet sheet = csvSheet("A;B\nAnn;Bob\nBob;Bob\nBob;Zed\n;Bob\n2;1\n");
    LineImportOptions o;
    LineImportResult r = ImportLines(sheet, sheet.currentRegion(), o, card, ego);
    QVERIFY(r.ok());
    QCOMPARE(r.lines.size(), size_t(1));
    QCOMPARE(r.lines[0].A, 3); // the later of the two Anns
    QCOMPARE(r.lines[0].B, 2);
    QCOMPARE(r.lines[0].LineSize, 1);
    QCOMPARE(texts(r.messages),
             (QStringList{QStringLiteral("Row 2, A (cell A2): the label \"Ann\" names 2 nodes; node 3 (the last) is used."),
                          QStringLiteral("Warning (no line added): Node A = Node B in excel-line 3"),
                          QStringLiteral("Warning (no line added): Unknown node(s) in excel-line 4"),
                          QStringLiteral("Warning (no line added): Unknown node(s) in excel-line 5"),
                          QStringLiteral("Warning (no line added): Unknown node(s) in excel-line 6")}));
    o.byId = true;
    r = ImportLines(sheet, sheet.currentRegion(), o, card, ego);
    QCOMPARE(r.lines.size(), size_t(1));
    QCOMPARE(r.lines[0].A, 2);
    QCOMPARE(r.lines[0].B, 1);
    // With the header row read as data, it names no node.
    o.byId = false;
    o.rowsToIgnore = 0;
    r = ImportLines(sheet, sheet.currentRegion(), o, card, ego);
    QCOMPARE(r.messages.at(0).text, QStringLiteral("Warning (no line added): Unknown node(s) in excel-line 1"));
}

void TestImport::linesToTheEgo()
{
    NetworkCard card = cardWith({QStringLiteral("Ann"), QStringLiteral("Bob")});
    Ego ego;
    ego.Name = QStringLiteral("Eva");
    ego.EgoID = QStringLiteral("E1");
    const Sheet sheet = csvSheet("A;B\nEva;Bob\nEva;Nobody\nE1;Ann\n");
    LineImportOptions o;
    LineImportResult r = ImportLines(sheet, sheet.currentRegion(), o, card, ego);
    QCOMPARE(r.lines.size(), size_t(1));
    QCOMPARE(r.lines[0].A, 0);
    QCOMPARE(r.lines[0].B, 2);
    o.ignoreEgo = true;
    r = ImportLines(sheet, sheet.currentRegion(), o, card, ego);
    QVERIFY(r.lines.empty());
    QCOMPARE(texts(r.messages), (QStringList{QStringLiteral("Line to Ego not added: Eva-Bob"),
                                             QStringLiteral("Line to Ego not added: Eva-Nobody"),
                                             QStringLiteral("Warning (no line added): Unknown node(s) in excel-line 4")}));
    o.byId = true;
    r = ImportLines(sheet, sheet.currentRegion(), o, card, ego);
    QCOMPARE(r.messages.back().text, QStringLiteral("Line to Ego not added: E1-Ann"));
}

void TestImport::lineValuesAndDefaults()
{
    NetworkCard card = cardWith({QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")});
    const Sheet sheet = csvSheet("A;B;V;C\nAnn;Bob;3;9\nBob;Cy;0;2\nCy;Ann;-1;\nAnn;Cy;;4\n");
    LineImportOptions o;
    o.value = 3, o.color = 4;
    const LineImportResult r = ImportLines(sheet, sheet.currentRegion(), o, card, Ego{});
    QVERIFY(r.ok());
    QCOMPARE(r.lines.size(), size_t(2));
    QCOMPARE(r.lines[0].LineSize, 3);
    QCOMPARE(r.lines[0].LineColor, 0); // 9 lies beyond the palette
    QCOMPARE(r.lines[1].LineSize, 1);  // empty: the default
    QCOMPARE(r.lines[1].LineColor, 4);
    QCOMPARE(texts(r.messages), (QStringList{QStringLiteral("Row 3, V (cell C3): a line value of 0 adds no line."),
                                             QStringLiteral("Row 4, V (cell C4): a line value of -1 adds no line."),
                                             QStringLiteral("Row 5, V (cell C5): the cell is empty; the line gets value 1.")}));
    QVERIFY(ApplyLineImport(card, r));
    QCOMPARE(card.LineCount(), 2);
    QCOMPARE(r.summary(), QStringList{QStringLiteral("2 lines added.")});
    // A full card takes no line at all.
    card.Lines.resize(size_t(MaxLines));
    const LineImportResult full = ImportLines(sheet, sheet.currentRegion(), o, card, Ego{});
    QVERIFY(!full.ok());
    QVERIFY(!ApplyLineImport(card, full));
}

void TestImport::cliImportsNodesThenLines()
{
    QTemporaryDir dir;
    const QString in = QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego");
    const QString mid = dir.filePath(QStringLiteral("mid.ego")), out = dir.filePath(QStringLiteral("out.ego"));
    const Result<NetworkModel> before = ReadEgoFile(in);
    QVERIFY(before);
    const int nodes = before.value().card(2).NodeCount(), lines = before.value().card(2).LineCount();

    QProcess p;
    p.start(QStringLiteral(KORVALO_CLI),
            {QStringLiteral("import-nodes"), in, mid, QStringLiteral("--sheet"),
             QStringLiteral(KORVALO_TEST_DATA "/sheets/alters-odfpy.ods"), QStringLiteral("--card"), QStringLiteral("2"),
             QStringLiteral("--id"), QStringLiteral("ID"), QStringLiteral("--label"), QStringLiteral("2"),
             QStringLiteral("--distance"), QStringLiteral("distance"), QStringLiteral("--memo1"), QStringLiteral("Note")});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.readAllStandardError(), QByteArray());
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardOutput(), QByteArray("Row 5 is empty: the rows after it are not read.\n3 nodes added.\n0 lines added.\n"));
    const Result<NetworkModel> middle = ReadEgoFile(mid);
    QVERIFY(middle);
    const NetworkCard &card = middle.value().card(2);
    QCOMPARE(card.NodeCount(), nodes + 3);
    QCOMPARE(card.Nodes[size_t(nodes + 1)].ID, QStringLiteral("007"));
    QCOMPARE(card.Nodes[size_t(nodes + 1)].Memo1, QStringLiteral("two lines"));
    QCOMPARE(card.Nodes[size_t(nodes + 2)].Label, QStringLiteral("Ben Miller"));

    const QString edges = dir.filePath(QStringLiteral("edges.csv"));
    QFile f(edges);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("from,to,strength\n007,12,2\n12,3,x\n");
    f.close();
    p.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("import-lines"), mid, out, QStringLiteral("--sheet"), edges,
                                          QStringLiteral("--card"), QStringLiteral("2"), QStringLiteral("--by"),
                                          QStringLiteral("id"), QStringLiteral("--value"), QStringLiteral("strength")});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 1); // "x" is no value: nothing is written
    QCOMPARE(p.readAllStandardOutput(), QByteArray("Row 3, strength (cell C3): \"x\" is not a number.\n"));
    QVERIFY(!QFile::exists(out));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("from,to,strength\n007,12,2\n12,3,1\n");
    f.close();
    p.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("import-lines"), mid, out, QStringLiteral("--sheet"), edges,
                                          QStringLiteral("--card"), QStringLiteral("2"), QStringLiteral("--by"),
                                          QStringLiteral("id"), QStringLiteral("--value"), QStringLiteral("strength")});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardOutput(), QByteArray("2 lines added.\n"));
    const Result<NetworkModel> after = ReadEgoFile(out);
    QVERIFY(after);
    QCOMPARE(after.value().card(2).LineCount(), lines + 2);
    QCOMPARE(after.value().card(2).Lines.back().A, nodes + 2);
    QCOMPARE(after.value().card(2).Lines.back().B, nodes + 3);
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"

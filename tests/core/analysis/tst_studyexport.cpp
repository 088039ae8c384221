#include "builders.h"
#include "core/analysis/studyexport.h"
#include "core/egofile/egofile.h"
#include "core/sheets/workbook.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace korvalo;
using namespace Qt::StringLiterals;

// Tables and GraphML for the analysis programs, read back from the written files with a
// CSV reader and an XML parser: values survive quoting, positions come out as on the map,
// private texts stay out unless asked for, and a failed or cancelled export leaves the
// files there before alone.
class TestStudyExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tablesReadBackWithTheirValues();
    void privateTextsOnlyWhenAsked();
    void studyRowsComeInFileOrder();
    void failedOrCancelledExportKeepsOldTables();
    void graphmlIsWellFormedAndPlacesNodesAsTheMap();
};

namespace {

// Two cards: card 1 with 10 circles, a sector "Work" from 180°, alters "A1" (twice), "B"
// whose label holds a comma and quotes, an alter at 90° with a line to the ego, and a
// line between two alters; card 2 without circles. The ego's name is not Latin.
NetworkModel twoCardEgo()
{
    NetworkModel model;
    SetupEgo(model, u"Ирина Łukasz 李"_s, u"1980"_s, 1, u"misc one"_s, {}, u"P17"_s);
    AddCard(model, u"Wave 1"_s, 10, u"normal"_s, 1, u"Interviewer K"_s, u"2024-05-01"_s, u"memo of card"_s);
    AddSectors(model, 1, {{"Family", 0}, {"Work", 180}});
    AddNode(model, 1, alter(90, 0.5f, 3, u"A1"_s, u"Anna"_s));
    AddNode(model, 1, alter(200, 0.3f, 2, u"A1"_s, u"Anna again"_s));
    Node quoted = alter(0, 1.2f, 1, u"B"_s, u"Smith, \"Bob\""_s);
    quoted.Memo1 = u"met at work"_s;
    AddNode(model, 1, quoted);
    model.CurrentCard = 1;
    AddLine(model, 0, 1, 3, 2);
    AddLine(model, 2, 3, 1, 5);
    AddCard(model, u"Wave 2"_s, 0, u"none"_s, 1, {}, {}, {});
    AddNode(model, 2, alter(45, 0.25f, 1, u"C"_s));
    return model;
}

// The cells of a CSV file as the spreadsheet import reads them, row by row.
QList<QStringList> csvRows(const QString &path)
{
    QList<QStringList> rows;
    const WorkbookResult read = ReadWorkbook(path);
    if (!read.workbook) {
        qWarning() << read.error;
        return rows;
    }
    const Sheet &sheet = read.workbook->sheets.front();
    const CellRange region = sheet.currentRegion();
    for (int r = 1; r <= sheet.lastFilledRow(); ++r) {
        QStringList row;
        for (int c = 1; c <= region.lastColumn; ++c)
            row << sheet.at(r, c).display;
        rows << row;
    }
    return rows;
}

// A row as a map from the header's names.
QHash<QString, QString> named(const QList<QStringList> &rows, int row)
{
    QHash<QString, QString> out;
    for (qsizetype c = 0; c < rows[0].size(); ++c)
        out.insert(rows[0][c], rows[row].value(c));
    return out;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestStudyExport::tablesReadBackWithTheirValues()
{
    QTemporaryDir dir;
    StudyExportOptions options;
    options.includePrivate = true;
    QVERIFY(ExportEgoTables(twoCardEgo(), u"file"_s, dir.path(), options).ok());

    const QList<QStringList> egos = csvRows(dir.filePath(u"egos.csv"_s));
    QCOMPARE(egos.size(), 3);
    QCOMPARE(egos[0], EgosTableColumns());
    const QHash<QString, QString> card1 = named(egos, 1);
    QCOMPARE(card1[u"egoID"_s], u"P17_1"_s);
    QCOMPARE(card1[u"ego_id"_s], u"P17"_s);
    QCOMPARE(card1[u"sex"_s], u"female"_s);
    QCOMPARE(card1[u"name"_s], u"Ирина Łukasz 李"_s);
    QCOMPARE(named(egos, 2)[u"egoID"_s], u"P17_2"_s);

    const QList<QStringList> alters = csvRows(dir.filePath(u"alters.csv"_s));
    QCOMPARE(alters.size(), 5);
    QCOMPARE(alters[0], AltersTableColumns());
    // Straight below the ego on the screen: below it in a y-up plot too.
    const QHash<QString, QString> below = named(alters, 1);
    QCOMPARE(below[u"alterID"_s], u"1"_s);
    QCOMPARE(below[u"node_id"_s], u"A1"_s);
    QCOMPARE(below[u"x"_s], u"0"_s);
    QCOMPARE(below[u"y"_s], u"-0.5"_s);
    QCOMPARE(below[u"ring"_s], u"5"_s);
    QCOMPARE(below[u"line_to_ego"_s], u"3"_s);
    QCOMPARE(below[u"sector"_s], u"Family"_s);
    // The repeated ID keeps its own alterID; 0.3 of ten circles is ring 3, not 4.
    const QHash<QString, QString> again = named(alters, 2);
    QCOMPARE(again[u"node_id"_s], u"A1"_s);
    QCOMPARE(again[u"ring"_s], u"3"_s);
    QCOMPARE(again[u"sector"_s], u"Work"_s);
    // A comma and quotes survive; beyond the map's edge is one ring outside the circles.
    const QHash<QString, QString> outside = named(alters, 3);
    QCOMPARE(outside[u"label"_s], u"Smith, \"Bob\""_s);
    QCOMPARE(outside[u"ring"_s], u"11"_s);
    QCOMPARE(outside[u"x"_s], u"1.2"_s);
    // Without circles there is no ring.
    const QHash<QString, QString> second = named(alters, 4);
    QCOMPARE(second[u"egoID"_s], u"P17_2"_s);
    QCOMPARE(second[u"ring"_s], QString());

    const QList<QStringList> ties = csvRows(dir.filePath(u"aaties.csv"_s));
    QCOMPARE(ties, (QList<QStringList>{AatiesTableColumns(), {u"P17_1"_s, u"2"_s, u"3"_s, u"1"_s, u"5"_s}}));
    // RFC 4180 records: CR LF, UTF-8 without a byte order mark.
    const QByteArray bytes = fileBytes(dir.filePath(u"alters.csv"_s));
    QVERIFY(bytes.contains("\"Smith, \"\"Bob\"\"\""));
    QCOMPARE(bytes.count("\r\n"), 5);
}

void TestStudyExport::privateTextsOnlyWhenAsked()
{
    QTemporaryDir dir;
    QVERIFY(ExportEgoTables(twoCardEgo(), u"file"_s, dir.path(), {}).ok());
    const QList<QStringList> egos = csvRows(dir.filePath(u"egos.csv"_s));
    const QHash<QString, QString> card1 = named(egos, 1);
    for (const QString &column : {u"name"_s, u"misc1"_s, u"interviewer"_s, u"card_memo"_s})
        QVERIFY2(card1.value(column).isEmpty(), qPrintable(column));
    QCOMPARE(card1[u"ego_id"_s], u"P17"_s);
    const QByteArray alters = fileBytes(dir.filePath(u"alters.csv"_s));
    QVERIFY(!alters.contains("Anna") && !alters.contains("Smith") && !alters.contains("met at work"));
    QVERIFY(alters.contains(",A1,"));

    const QString graph = dir.filePath(u"ego.graphml"_s);
    QVERIFY(ExportEgoGraphML(twoCardEgo(), u"file"_s, graph, 0, {}).ok());
    const QByteArray xml = fileBytes(graph);
    QVERIFY(!xml.contains("Anna") && !xml.contains(u"Ирина"_s.toUtf8()));
}

void TestStudyExport::studyRowsComeInFileOrder()
{
    QTemporaryDir study;
    QTemporaryDir out;
    for (const auto &[file, id] : {std::pair{u"10.ego"_s, u"T"_s}, {u"9.ego"_s, u""_s}, {u"11.ego"_s, u"T"_s}}) {
        NetworkModel model = EgoWithCards(2);
        model.ego.EgoID = id;
        AddNode(model, 1, alter(0, 0.5f, 1, u"X"_s));
        QVERIFY(WriteEgoFile(model, study.filePath(file)).ok());
    }
    QFile broken(study.filePath(u"5.ego"_s));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("<Ego><Name>cut off");
    broken.close();

    StudyWalkOptions walk;
    walk.jobs = 3;
    const StudyExportResult result =
        ExportStudyTables(EgoFilesInFolder(study.path()), out.path(), {}, walk);
    QVERIFY(result.written.ok());
    QCOMPARE(result.walk.delivered, 3);
    QCOMPARE(result.walk.failures.size(), size_t(1));
    QVERIFY(result.walk.failures[0].path.endsWith(u"5.ego"_s));
    // An ego without EgoID is keyed by its file; an EgoID two files share is pointed out.
    QStringList keys;
    const QList<QStringList> egos = csvRows(out.filePath(u"egos.csv"_s));
    for (qsizetype r = 1; r < egos.size(); ++r)
        keys << egos[r][0];
    QCOMPARE(keys, (QStringList{u"9_1"_s, u"9_2"_s, u"T_1"_s, u"T_2"_s, u"T_1"_s, u"T_2"_s}));
    QCOMPARE(result.warnings.size(), 1);
    QVERIFY(result.warnings[0].contains(u"11.ego"_s) && result.warnings[0].contains(u"\"T\""_s));
}

void TestStudyExport::failedOrCancelledExportKeepsOldTables()
{
    QTemporaryDir study;
    QVERIFY(WriteEgoFile(twoCardEgo(), study.filePath(u"a.ego"_s)).ok());
    const QStringList files{study.filePath(u"a.ego"_s)};

    QTemporaryDir out;
    QFile old(out.filePath(u"egos.csv"_s));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old tables\r\n");
    old.close();

    // Cancelled: nothing replaced.
    StudyWalkOptions cancel;
    cancel.cancelled = [] { return true; };
    StudyExportResult result = ExportStudyTables(files, out.path(), {}, cancel);
    QVERIFY(result.walk.cancelled);
    QCOMPARE(fileBytes(out.filePath(u"egos.csv"_s)), QByteArray("old tables\r\n"));
    QVERIFY(!QFile::exists(out.filePath(u"alters.csv"_s)));

    // A table that cannot be written is named, and the others stay as they were.
    QVERIFY(QDir(out.path()).mkdir(u"aaties.csv"_s));
    result = ExportStudyTables(files, out.path(), {});
    QVERIFY(!result.written.ok());
    QVERIFY2(result.written.message().contains(u"aaties.csv"_s), qPrintable(result.written.message()));
    QCOMPARE(fileBytes(out.filePath(u"egos.csv"_s)), QByteArray("old tables\r\n"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{u"egos.csv"_s});
}

void TestStudyExport::graphmlIsWellFormedAndPlacesNodesAsTheMap()
{
    QTemporaryDir dir;
    NetworkModel model = twoCardEgo();
    // A control character cannot stand in XML, even escaped.
    model.card(1).Nodes[2].Label = u"tab\there, bell\x07"_s;
    StudyExportOptions options;
    options.includePrivate = true;
    const QString path = dir.filePath(u"ego.graphml"_s);
    QVERIFY(ExportEgoGraphML(model, u"file"_s, path, 0, options).ok());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QSet<QString> declared, used, ids;
    QStringList graphs;
    QHash<QString, QHash<QString, QString>> nodes; // id -> key -> value
    QString node;
    int edges = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        const QXmlStreamAttributes a = xml.attributes();
        if (name == u"key") {
            declared.insert(a.value(u"id"_s).toString());
        } else if (name == u"graph") {
            graphs << a.value(u"id"_s).toString();
        } else if (name == u"node") {
            node = a.value(u"id"_s).toString();
            QVERIFY2(!ids.contains(node), qPrintable(node));
            ids.insert(node);
        } else if (name == u"edge") {
            ++edges;
            QVERIFY(ids.contains(a.value(u"source"_s).toString()) && ids.contains(a.value(u"target"_s).toString()));
            node.clear();
        } else if (name == u"data") {
            const QString key = a.value(u"key"_s).toString();
            used.insert(key);
            const QString value = xml.readElementText();
            if (!node.isEmpty())
                nodes[node][key] = value;
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(used.subtract(declared).isEmpty());
    for (const QString &key : {u"label"_s, u"node_id"_s, u"sector"_s, u"sex"_s, u"distance"_s, u"angle"_s, u"x"_s,
                               u"y"_s, u"is_ego"_s, u"weight"_s, u"color"_s})
        QVERIFY2(declared.contains(key), qPrintable(key));
    QCOMPARE(graphs, (QStringList{u"g1"_s, u"g2"_s}));
    QCOMPARE(edges, 2);
    QCOMPARE(nodes[u"g1n0"_s][u"is_ego"_s], u"true"_s);
    QCOMPARE(nodes[u"g1n1"_s][u"x"_s], u"0"_s);
    QCOMPARE(nodes[u"g1n1"_s][u"y"_s], u"-0.5"_s);
    QCOMPARE(nodes[u"g1n2"_s][u"label"_s], u"tab\there, bell"_s);
    QCOMPARE(nodes[u"g1n3"_s][u"label"_s], u"Smith, \"Bob\""_s);

    // One card alone.
    QVERIFY(ExportEgoGraphML(model, u"file"_s, path, 2, options).ok());
    const QByteArray one = fileBytes(path);
    QCOMPARE(one.count("<graph "), 1);
    QVERIFY(one.contains(">P17_2<"));
}

QTEST_GUILESS_MAIN(TestStudyExport)
#include "tst_studyexport.moc"

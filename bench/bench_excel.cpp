#include "core/sheets/import.h"
#include "core/sheets/workbook.h"

#include "ziptestutil.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace korvalo;

namespace {

// A survey export: a header row and `rows` rows of 20 columns (IDs as text, names,
// distances formatted 0.00, dates, words, numbers), strings shared as spreadsheet
// programs write them. Sheet 1 holds `rows` data rows, sheet 2 a card's worth (1000).
QString surveyWorkbook(QTemporaryDir &dir, int rows)
{
    QByteArray strings;
    int stringCount = 0;
    auto shared = [&](const QString &s) {
        strings += "<si><t>" + s.toUtf8() + "</t></si>";
        return stringCount++;
    };
    QList<int> headers;
    for (int c = 0; c < 20; ++c)
        headers.append(shared(QStringLiteral("Question %1").arg(c + 1)));
    const int words[] = {shared(QStringLiteral("female")), shared(QStringLiteral("male")),
                         shared(QStringLiteral("friend")), shared(QStringLiteral("neighbour"))};
    auto sheet = [&](int count) {
        QByteArray xml = "<sheetData><row r=\"1\">";
        for (int c = 0; c < 20; ++c)
            xml += "<c r=\"" + CellName(1, c + 1).toLatin1() + "\" t=\"s\"><v>" + QByteArray::number(headers[c]) + "</v></c>";
        xml += "</row>";
        for (int r = 2; r <= count + 1; ++r) {
            xml += "<row r=\"" + QByteArray::number(r) + "\">";
            for (int c = 1; c <= 20; ++c) {
                const QByteArray ref = CellName(r, c).toLatin1();
                switch (c % 5) {
                case 1: xml += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + QByteArray::number(1000 + r) + "</t></is></c>"; break;
                case 2: xml += "<c r=\"" + ref + "\" s=\"1\"><v>" + QByteArray::number((r % 97) / 80.0) + "</v></c>"; break;
                case 3: xml += "<c r=\"" + ref + "\" s=\"2\"><v>" + QByteArray::number(40000 + r % 3000) + "</v></c>"; break;
                case 4: xml += "<c r=\"" + ref + "\" t=\"s\"><v>" + QByteArray::number(words[(r + c) % 4]) + "</v></c>"; break;
                default: xml += "<c r=\"" + ref + "\"><v>" + QByteArray::number(r * c % 9) + "</v></c>"; break;
                }
            }
            xml += "</row>";
        }
        return xml + "</sheetData>";
    };
    std::vector<ZipEntry> entries = MinimalXlsx(
        sheet(rows), {}, strings,
        "<numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy-mm-dd\"/></numFmts>"
        "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"2\"/><xf numFmtId=\"164\"/></cellXfs>");
    // A second sheet, listed in the workbook and its relationships.
    for (ZipEntry &e : entries) {
        if (e.name == u"xl/workbook.xml")
            e.data.replace("</sheets>", "<sheet name=\"Card\" sheetId=\"2\" r:id=\"rId9\"/></sheets>");
        else if (e.name == u"xl/_rels/workbook.xml.rels")
            e.data.replace("</Relationships>",
                           "<Relationship Id=\"rId9\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet2.xml\"/></Relationships>");
    }
    entries.push_back({QStringLiteral("xl/worksheets/sheet2.xml"),
                       "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + sheet(1000) + "</worksheet>"});
    const QString path = dir.filePath(QStringLiteral("survey.xlsx"));
    WriteZip(path, entries);
    return path;
}

const QString &workbookPath()
{
    static QTemporaryDir dir;
    static const QString path = surveyWorkbook(dir, 10000);
    return path;
}

void BM_ReadXlsx10000x20(benchmark::State &state)
{
    const QString &path = workbookPath();
    for (auto _ : state) {
        WorkbookResult r = ReadWorkbook(path);
        if (!r.workbook) {
            state.SkipWithError(qPrintable(r.error));
            break;
        }
        benchmark::DoNotOptimize(r.workbook->sheets[0].currentRegion());
    }
}
BENCHMARK(BM_ReadXlsx10000x20)->Unit(benchmark::kMillisecond);

// The dialog's work for one press of "Import": the table of 1000 alters mapped to every
// node field and turned into nodes (the preview), then added to an empty card.
void BM_Import1000Alters(benchmark::State &state)
{
    const WorkbookResult book = ReadWorkbook(workbookPath());
    const Sheet &sheet = book.workbook->sheets.at(1);
    NodeImportOptions o;
    o.id = 1, o.label = 6, o.distance = 2, o.sex = 4, o.role = 9, o.color = 5, o.memo1 = 11, o.memo2 = 14,
    o.human = 19, o.lineValue = 10, o.lineColor = 15;
    for (auto _ : state) {
        const CellRange table = sheet.currentRegion();
        NodeImportResult r = ImportNodes(sheet, table, o, NetworkCard{});
        NetworkCard card;
        if (!ApplyNodeImport(card, r) || card.NodeCount() != 1000) {
            state.SkipWithError("import refused");
            break;
        }
        benchmark::DoNotOptimize(card);
    }
}
BENCHMARK(BM_Import1000Alters)->Unit(benchmark::kMillisecond);

} // namespace

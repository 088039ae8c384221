#include "core/sheets/numberformat.h"
#include "core/sheets/workbook.h"

#include "ziptestutil.h"

#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;

// Workbooks written by independent programs, hand-made parts for what they do not write,
// and hostile archives; korvalo-cli sheet-dump against texts checked by eye once.
class TestWorkbook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void goldenDumps_data();
    void goldenDumps();
    void fixturesAgree_data();
    void fixturesAgree();
    void xlsxParts();
    void csvText();
    void hostileFiles_data();
    void hostileFiles();
    void numberFormats_data();
    void numberFormats();
    void dumpRefusals();

private:
    QString write(const QString &name, const std::vector<ZipEntry> &entries)
    {
        const QString path = m_dir.filePath(name);
        return WriteZip(path, entries) ? path : QString();
    }
    QTemporaryDir m_dir;
};

static QString sheetPath(const QString &name)
{
    return QStringLiteral(KORVALO_TEST_DATA "/sheets/") + name;
}

struct CliRun
{
    int exitCode;
    QByteArray out, err;
};

static CliRun cli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(KORVALO_CLI), args);
    if (!process.waitForFinished(60000))
        return {-1, {}, "timed out"};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

void TestWorkbook::goldenDumps_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("sheet");
    QTest::addColumn<QString>("golden");
    for (const char *name : {"alters-openpyxl.xlsx", "alters-xlsxwriter.xlsx", "alters-odfpy.ods", "alters-xlwt.xls"}) {
        const QString file = QString::fromLatin1(name);
        QTest::newRow(name) << file << 1 << file + QStringLiteral(".dump.txt");
        QTest::newRow(qPrintable(file + QStringLiteral(" sheet 2"))) << file << 2 << file + QStringLiteral(".sheet2.dump.txt");
    }
    QTest::newRow("csv in Windows-1252") << QStringLiteral("alters-cp1252.csv") << 1 << QStringLiteral("alters-cp1252.csv.dump.txt");
}

void TestWorkbook::goldenDumps()
{
    QFETCH(QString, file);
    QFETCH(int, sheet);
    QFETCH(QString, golden);
    const CliRun run = cli({QStringLiteral("sheet-dump"), sheetPath(file), QStringLiteral("--sheet"), QString::number(sheet)});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QFile expected(sheetPath(golden));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(run.out, expected.readAll());
}

void TestWorkbook::fixturesAgree_data()
{
    QTest::addColumn<QString>("file");
    for (const char *name : {"alters-openpyxl.xlsx", "alters-xlsxwriter.xlsx", "alters-odfpy.ods", "alters-xlwt.xls"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Raw values next to the displayed texts: the same table from four writers.
void TestWorkbook::fixturesAgree()
{
    QFETCH(QString, file);
    const WorkbookResult result = ReadWorkbook(sheetPath(file));
    QVERIFY2(result.workbook, qPrintable(result.error));
    QCOMPARE(result.workbook->sheets.size(), size_t(2));
    const Sheet &sheet = result.workbook->sheets[0];
    QCOMPARE(sheet.name, QStringLiteral("Alters"));
    const CellRange region = sheet.currentRegion();
    // Rows 1-4; the merged F3:G3 widens the table to G; row 6 lies past the empty row.
    QCOMPARE(region.lastRow, 4);
    QCOMPARE(region.lastColumn, 7);
    QCOMPARE(sheet.at(6, 1).display, QStringLiteral("99"));

    QCOMPARE(sheet.at(2, 1).kind, CellKind::Text);
    QCOMPARE(sheet.at(2, 1).display, QStringLiteral("007"));
    QCOMPARE(sheet.at(2, 3).kind, CellKind::Number);
    QCOMPARE(sheet.at(2, 3).display, QStringLiteral("0.50"));
    QCOMPARE(sheet.at(4, 3).number, 0.333);
    QCOMPARE(sheet.at(4, 3).display, QStringLiteral("0.33"));
    QCOMPARE(sheet.at(2, 4).number, double(QDate(1899, 12, 30).daysTo(QDate(1985, 3, 14))));
    QCOMPARE(sheet.at(2, 4).display, QStringLiteral("1985-03-14"));
    QVERIFY(sheet.at(2, 5).formula);
    QCOMPARE(sheet.at(2, 6).display, QStringLiteral("two\nlines"));
    QCOMPARE(sheet.at(3, 6).display, QStringLiteral("merged note"));
    bool merged = false;
    for (const CellRange &m : sheet.mergedRanges())
        merged = merged || (m.firstRow == 3 && m.firstColumn == 6 && m.lastRow == 3 && m.lastColumn == 7);
    QVERIFY(merged);
    const Sheet &second = result.workbook->sheets[1];
    QCOMPARE(second.at(2, 1).kind, CellKind::Boolean);
    QCOMPARE(second.at(1, 2).number, 1.0);
}

void TestWorkbook::xlsxParts()
{
    const QByteArray strings =
        "<si><t>plain</t></si>"
        "<si><r><rPr><b/></rPr><t>rich </t></r><r><t xml:space=\"preserve\">text</t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>PHONETIC</t></rPh></si>"
        "<si><t>cr_x000D_lf</t></si>";
    const QByteArray styles = "<numFmts><numFmt numFmtId=\"164\" formatCode=\"d mmm yyyy\"/></numFmts>"
                              "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"10\"/></cellXfs>";
    // Cells without references follow each other; rows without numbers count on.
    const QByteArray sheetXml =
        "<dimension ref=\"A1:XFD1048576\"/><sheetData>"
        "<row><c t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c><c t=\"inlineStr\"><is><t>inline</t></is></c>"
        "<c t=\"s\"><v>2</v></c></row>"
        "<row><c s=\"1\"><v>0</v></c><c s=\"2\"><v>0.1234</v></c><c t=\"str\"><f>A1&amp;\"!\"</f><v>plain!</v></c>"
        "<c t=\"e\"><f>1/0</f><v>#DIV/0!</v></c><c t=\"b\"><v>1</v></c></row>"
        "<row r=\"4\"><c r=\"B4\"><v>7</v></c></row>"
        "</sheetData>";
    const QString path = write(QStringLiteral("parts.xlsx"),
                               MinimalXlsx(sheetXml, "<workbookPr date1904=\"1\"/>", strings, styles));
    const WorkbookResult result = ReadWorkbook(path);
    QVERIFY2(result.workbook, qPrintable(result.error));
    const Sheet &s = result.workbook->sheets.at(0);
    QCOMPARE(s.at(1, 1).display, QStringLiteral("plain"));
    QCOMPARE(s.at(1, 2).display, QStringLiteral("rich text"));
    QCOMPARE(s.at(1, 3).display, QStringLiteral("inline"));
    QCOMPARE(s.at(1, 4).display, QStringLiteral("cr\rlf"));
    QCOMPARE(s.at(2, 1).display, QStringLiteral("1 Jan 1904")); // the 1904 date system
    QCOMPARE(s.at(2, 2).display, QStringLiteral("12.34%"));
    QCOMPARE(s.at(2, 3).display, QStringLiteral("plain!"));
    QVERIFY(s.at(2, 3).formula && s.at(2, 3).hasResult);
    QCOMPARE(s.at(2, 4).kind, CellKind::Error);
    QCOMPARE(s.at(2, 4).display, QStringLiteral("#DIV/0!"));
    QCOMPARE(s.at(2, 5).display, QStringLiteral("TRUE"));
    // Row 3 is empty: the table ends at row 2 however wide the claimed dimension.
    const CellRange region = s.currentRegion();
    QCOMPARE(region.lastRow, 2);
    QCOMPARE(region.lastColumn, 5);
    QCOMPARE(s.at(4, 2).number, 7.0);
}

void TestWorkbook::csvText()
{
    const QString path = m_dir.filePath(QStringLiteral("tabs.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBFName\tValue\r\n\"a, b\"\t007\r\nZo\xC3\xAB\t-1.5e2\n");
    file.close();
    const WorkbookResult result = ReadWorkbook(path);
    QVERIFY2(result.workbook, qPrintable(result.error));
    const Sheet &s = result.workbook->sheets.at(0);
    QCOMPARE(s.name, QStringLiteral("tabs"));
    QCOMPARE(s.at(1, 1).display, QStringLiteral("Name"));
    QCOMPARE(s.at(2, 1).display, QStringLiteral("a, b"));
    QCOMPARE(s.at(2, 2).kind, CellKind::Text);
    QCOMPARE(s.at(2, 2).display, QStringLiteral("007"));
    QCOMPARE(s.at(3, 1).display, QString::fromUtf8("Zo\xC3\xAB"));
    QCOMPARE(s.at(3, 2).kind, CellKind::Number);
    QCOMPARE(s.at(3, 2).number, -150.0);
    QCOMPARE(s.at(3, 2).display, QStringLiteral("-1.5e2"));
}

void TestWorkbook::hostileFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    auto xlsx = [this](const char *name, const QByteArray &sheet) {
        return write(QString::fromLatin1(name), MinimalXlsx(sheet));
    };
    {
        // 210 MB of ignorable elements in 1 MB pieces, some hundred kilobytes packed.
        std::vector<ZipEntry> entries = MinimalXlsx("<sheetData/>");
        const QByteArray piece = QByteArray("<x/>").repeated(1 << 18);
        entries.back() = ZipEntry{QStringLiteral("xl/worksheets/sheet1.xml"), {},
                                  [piece](int i) { return i == 0 ? QByteArray("<worksheet>") + piece : piece; }, 210};
        QTest::newRow("zip bomb") << write(QStringLiteral("bomb.xlsx"), entries) << QStringLiteral("unpacks to more than 200 MB");
    }
    QTest::newRow("endless nesting") << xlsx("deep.xlsx", QByteArray("<a>").repeated(100000))
                                     << QStringLiteral("deeper than 256 levels");
    QTest::newRow("a million columns") << xlsx("wide.xlsx", "<sheetData><row r=\"1\"><c r=\"AAAAA1\"><v>1</v></c></row></sheetData>")
                                       << QStringLiteral("outside 1048576 rows and 16384 columns");
    QTest::newRow("row beyond the sheet") << xlsx("tall.xlsx", "<sheetData><row r=\"99999999\"/></sheetData>")
                                          << QStringLiteral("row numbered \"99999999\"");
    QTest::newRow("missing shared string") << xlsx("sst.xlsx", "<sheetData><row><c t=\"s\"><v>5</v></c></row></sheetData>")
                                           << QStringLiteral("shared string 5, which does not exist");
    QTest::newRow("broken XML") << xlsx("broken.xlsx", "<sheetData><row></sheetData>") << QStringLiteral("not well-formed XML");
    {
        const QByteArray content =
            "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\"><office:body><office:spreadsheet>"
            "<table:table table:name=\"T\"><table:table-row table:number-rows-repeated=\"1000000\">"
            "<table:table-cell table:number-columns-repeated=\"1000000000\" office:value-type=\"float\" office:value=\"1\"/>"
            "</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>";
        QTest::newRow("ods repeating a cell a billion times")
            << write(QStringLiteral("repeat.ods"), {{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
                                                    {QStringLiteral("content.xml"), content}})
            << QStringLiteral("beyond column 16384");
    }
    {
        QFile good(sheetPath(QStringLiteral("alters-xlsxwriter.xlsx")));
        QVERIFY(good.open(QIODevice::ReadOnly));
        QFile cut(m_dir.filePath(QStringLiteral("cut.xlsx")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(good.readAll().left(1500));
        QTest::newRow("truncated archive") << cut.fileName() << QStringLiteral("zip container is damaged");
    }
    {
        QFile png(m_dir.filePath(QStringLiteral("picture.png")));
        QVERIFY(png.open(QIODevice::WriteOnly));
        png.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
        QTest::newRow("not a spreadsheet") << png.fileName() << QStringLiteral("not a spreadsheet");
    }
    // Crafted files (make_hostile.py) that hung the reader or took gigabytes.
    QTest::newRow("xls sector chain in a loop") << sheetPath(QStringLiteral("hostile-fat-loop.xls"))
                                                << QStringLiteral("sector chains loop or overlap");
    QTest::newRow("xls sheets claiming 65536 x 256 cells") << sheetPath(QStringLiteral("hostile-dimensions.xls"))
                                                           << QStringLiteral("the sheets claim room for 33554432 cells");
    QTest::newRow("ods cells of a million spaces") << sheetPath(QStringLiteral("hostile-spaces.ods"))
                                                   << QStringLiteral("cell A1 of sheet \"T\" holds more than 32767 characters");
    {
        // Cells under the limit, repeated until the text of the workbook is too long.
        const QByteArray content =
            "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
            "<table:table table:name=\"T\"><table:table-row table:number-rows-repeated=\"3000\">"
            "<table:table-cell table:number-columns-repeated=\"1000\" office:value-type=\"string\"><text:p>"
            + QByteArray("<text:s text:c=\"1000\"/>").repeated(30)
            + "</text:p></table:table-cell></table:table-row></table:table></office:spreadsheet></office:body></office:document-content>";
        QTest::newRow("ods with repeated long texts")
            << write(QStringLiteral("texts.ods"), {{QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet"},
                                                   {QStringLiteral("content.xml"), content}})
            << QStringLiteral("more than 64000000 characters of text");
    }
    QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("nothing.xlsx")) << QStringLiteral("No such file");
}

void TestWorkbook::hostileFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, expected);
    QVERIFY(!file.isEmpty());
    const WorkbookResult result = ReadWorkbook(file);
    QVERIFY(!result.workbook);
    QVERIFY2(result.error.startsWith(QStringLiteral("Cannot read ") + file + QStringLiteral(": ")), qPrintable(result.error));
    QVERIFY2(result.error.contains(expected), qPrintable(result.error));
}

void TestWorkbook::numberFormats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<QString>("shown");
    auto row = [](const char *name, double v, const char *code, const char *shown, bool d1904 = false) {
        QTest::newRow(name) << v << QString::fromUtf8(code) << d1904 << QString::fromUtf8(shown);
    };
    row("halves round away from zero", 0.125, "0.00", "0.13");
    row("also below zero", -0.125, "0.00", "-0.13");
    row("a binary near-half", 1.005, "0.00", "1.01");
    row("no decimals", 0.5, "0", "1");
    row("thousands", 1234567.891, "#,##0.00", "1,234,567.89");
    row("percent", 0.256, "0%", "26%");
    row("scientific", 12345.678, "0.00E+00", "1.23E+04");
    row("small scientific", 0.000123, "0.0E+00", "1.2E-04");
    row("optional digits", 0.5, "#.##", ".5");
    row("literal text and escapes", 5, "\"$\"#,##0.00\\ \"kg\"", "$5.00 kg");
    row("negative section", -5, "#,##0;(#,##0)", "(5)");
    row("zero section", 0, "0;-0;\"zero\"", "zero");
    row("colour and locale tags", 3.5, "[Red][$€-407]0.0", "€3.5");
    row("date and time", 45000.75, "yyyy-mm-dd hh:mm", "2023-03-15 18:00");
    row("month and day names", 44927, "dddd, mmmm d, yy", "Sunday, January 1, 23");
    row("twelve-hour clock", 0.5, "h:mm AM/PM", "12:00 PM");
    row("minutes next to seconds", 0.0104166666666667, "mm:ss", "15:00");
    row("elapsed hours", 1.5, "[h]:mm", "36:00");
    row("tenths of a second", 0.000011574, "h:mm:ss.0", "0:00:01.0");
    row("the phantom leap day", 60, "yyyy-mm-dd", "1900-02-29");
    row("1904 date system", 0, "d mmm yyyy", "1 Jan 1904", true);
    row("General integer", 1234, "General", "1234");
    row("General fraction", 1.0 / 3, "General", "0.333333333");
    row("General large", 123456789012.0, "General", "1.23457E+11");
    row("General small", 0.00000000012, "General", "1.2E-10");
    row("text section only", 2.5, "@", "2.5");
}

void TestWorkbook::numberFormats()
{
    QFETCH(double, value);
    QFETCH(QString, code);
    QFETCH(bool, date1904);
    QFETCH(QString, shown);
    QCOMPARE(FormatNumber(value, code, date1904), shown);
}

void TestWorkbook::dumpRefusals()
{
    CliRun run = cli({QStringLiteral("sheet-dump"), sheetPath(QStringLiteral("alters-odfpy.ods")), QStringLiteral("--sheet"), QStringLiteral("3")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith("korvalo-cli sheet-dump: --sheet:"), run.err.constData());
    run = cli({QStringLiteral("sheet-dump"), sheetPath(QStringLiteral("alters-odfpy.ods")), QStringLiteral("--sheet"), QStringLiteral("x")});
    QCOMPARE(run.exitCode, 2);
    run = cli({QStringLiteral("sheet-dump"), m_dir.filePath(QStringLiteral("none.ods"))});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith("korvalo-cli sheet-dump: Cannot read "), run.err.constData());
    // A merged area over the whole sheet makes a table too large to print.
    const QString merged = write(QStringLiteral("merged.xlsx"),
                                 MinimalXlsx("<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>x</t></is></c></row>"
                                             "</sheetData><mergeCells><mergeCell ref=\"A1:XFD1048576\"/></mergeCells>"));
    run = cli({QStringLiteral("sheet-dump"), merged});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("reaches to XFD1048576 (1048576 rows, 16384 columns); too large to print"), run.err.constData());
    QCOMPARE(FormatText(QStringLiteral("x"), QStringLiteral("0;0;0;\"<\"@\">\"")), QStringLiteral("<x>"));
}

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"

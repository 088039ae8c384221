#include "cli/commandline.h"
#include "cli/commands.h"

#include "core/sheets/workbook.h"

#include <QCommandLineParser>

#include <cstdio>

namespace korvalo {

namespace {

// Tabs, line breaks and backslashes inside a cell are written as \t, \n, \r and \\ so that
// every row of the sheet stays one line of tab-separated fields.
QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        default: out += c; break;
        }
    }
    return out;
}

} // namespace

// sheet-dump FILE [--sheet N]: the displayed texts of the block around A1.
int runSheetDump(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the displayed texts of the table around cell A1 of a worksheet, one row a line,\n"
        "cells separated by tabs (a tab, line break or backslash inside a cell as \\t, \\n, \\\\).\n"
        "A formula whose result the file does not store shows as <formula =...> or <formula>."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("xlsx, ods, csv or xls workbook"));
    const QCommandLineOption sheetOption(QStringLiteral("sheet"), QStringLiteral("worksheet number, from 1 (default 1)"),
                                         QStringLiteral("N"), QStringLiteral("1"));
    parser.addOption(sheetOption);
    parser.addHelpOption();
    if (!parser.parse(QStringList{QStringLiteral("korvalo-cli sheet-dump")} + args)) {
        std::fprintf(stderr, "korvalo-cli sheet-dump: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(SubCommandHelp(parser, QStringLiteral("sheet-dump"))), stdout);
        return 0;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        std::fputs("korvalo-cli sheet-dump: FILE: give exactly one workbook\n", stderr);
        return 2;
    }
    bool ok = false;
    const int sheetNumber = parser.value(sheetOption).toInt(&ok);
    if (!ok || sheetNumber < 1) {
        std::fprintf(stderr, "korvalo-cli sheet-dump: --sheet: \"%s\" is not a sheet number (1, 2, ...)\n",
                     qPrintable(parser.value(sheetOption)));
        return 2;
    }
    const WorkbookResult result = ReadWorkbook(files.first());
    if (!result.workbook) {
        std::fprintf(stderr, "korvalo-cli sheet-dump: %s\n", result.error.toLocal8Bit().constData());
        return 1;
    }
    const Workbook &book = *result.workbook;
    if (size_t(sheetNumber) > book.sheets.size()) {
        std::fprintf(stderr, "korvalo-cli sheet-dump: --sheet: the workbook holds %d sheet(s), not %d\n",
                     int(book.sheets.size()), sheetNumber);
        return 1;
    }
    const Sheet &sheet = book.sheets[size_t(sheetNumber - 1)];
    const CellRange region = sheet.currentRegion();
    // A merged area can stretch the table over the whole sheet; that is no table to print.
    if (qint64(region.rows()) * region.columns() > 10'000'000) {
        std::fprintf(stderr, "korvalo-cli sheet-dump: the table around A1 of sheet %d reaches to %s (%d rows, %d columns); too large to print\n",
                     sheetNumber, qPrintable(CellName(region.lastRow, region.lastColumn)), region.rows(), region.columns());
        return 1;
    }
    // Written a row at a time: the sheet is in memory already, its text need not be twice.
    for (int r = region.firstRow; r <= region.lastRow; ++r) {
        QString line;
        for (int c = region.firstColumn; c <= region.lastColumn; ++c) {
            if (c > region.firstColumn)
                line += u'\t';
            const Cell &cell = sheet.at(r, c);
            if (cell.formula && !cell.hasResult)
                line += cell.text.isEmpty() ? QStringLiteral("<formula>")
                                            : QStringLiteral("<formula =") + escaped(cell.text) + u'>';
            else
                line += escaped(cell.display);
        }
        line += u'\n';
        const QByteArray bytes = line.toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("korvalo-cli sheet-dump: the table could not be written out\n", stderr);
        return 1;
    }
    return 0;
}

} // namespace korvalo

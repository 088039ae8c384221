// libFuzzer target for the workbook reader: any bytes must give sheets or an error that
// names the file, and the table around A1 must lie inside the sheet's limits. Inputs that
// start with "#fmt" exercise the number formatter instead: 8 bytes of a double, then the
// format code.
#include "core/sheets/numberformat.h"
#include "core/sheets/workbook.h"

#include <QTemporaryFile>

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace korvalo;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (bytes.startsWith("#fmt") && size >= 12) {
        double value;
        std::memcpy(&value, data + 4, sizeof value);
        const QString code = QString::fromUtf8(bytes.mid(12));
        FormatNumber(value, code, false);
        FormatNumber(value, code, true);
        FormatText(QStringLiteral("text"), code);
        return 0;
    }
    // xls is read from a file (FreeXL opens paths only).
    QString name = QStringLiteral("fuzz.xlsx");
    WorkbookResult result;
    if (bytes.startsWith("\xD0\xCF\x11\xE0")) {
        QTemporaryFile file;
        if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
            return 0;
        name = file.fileName();
        result = ReadWorkbook(name);
    } else {
        result = ReadWorkbookData(bytes, name);
    }
    if (!result.workbook) {
        if (!result.error.startsWith(QStringLiteral("Cannot read ") + name + QStringLiteral(": ")))
            std::abort();
        return 0;
    }
    for (const Sheet &sheet : result.workbook->sheets) {
        const CellRange region = sheet.currentRegion();
        if (region.lastRow > MaxSheetRows || region.lastColumn > MaxSheetColumns)
            std::abort();
        for (int r = 1; r <= std::min(region.lastRow, 50); ++r) {
            for (int c = 1; c <= std::min(region.lastColumn, 50); ++c)
                (void)sheet.at(r, c).display.size();
        }
    }
    return 0;
}

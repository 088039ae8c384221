// xls: the binary workbook of the 97-2003 programs. FreeXL reads the cell values (shared
// strings and all); it skips formula cells and number formats, so the workbook stream is
// also walked here for those: formula records with their stored results, the formats of
// the cells (FORMAT and XF records) and merged areas.

#include "core/sheets/numberformat.h"
#include "core/sheets/readers.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QTimeZone>

#include <freexl.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace korvalo {
namespace {

quint8 byteAt(const QByteArray &d, qsizetype at)
{
    return at >= 0 && at < d.size() ? quint8(d[at]) : 0;
}

quint16 u16(const QByteArray &d, qsizetype at)
{
    if (at < 0 || at + 2 > d.size())
        return 0;
    return quint16(quint8(d[at]) | (quint8(d[at + 1]) << 8));
}

quint32 u32(const QByteArray &d, qsizetype at)
{
    if (at < 0 || at + 4 > d.size())
        return 0;
    return quint32(u16(d, at)) | (quint32(u16(d, at + 2)) << 16);
}

double f64(const QByteArray &d, qsizetype at)
{
    if (at < 0 || at + 8 > d.size())
        return 0;
    double v;
    std::memcpy(&v, d.constData() + at, 8);
    return v;
}

// The "Workbook" stream of the OLE2 compound file, or empty when there is none. Every
// chain of sectors is followed once; a chain that comes back to a sector it has passed
// (a loop, or two streams sharing sectors) makes the file damaged: `*error` is set, and
// FreeXL, which trusts those chains, never sees the file. The work is bounded by the
// number of sectors in the file.
QByteArray workbookStream(const QByteArray &file, QString *error)
{
    if (file.size() < 512)
        return {};
    const int shift = u16(file, 0x1E);
    if (shift != 9 && shift != 12)
        return {};
    const qsizetype sectorSize = qsizetype(1) << shift;
    const qsizetype sectors = (file.size() - 512 + sectorSize - 1) / sectorSize;
    auto sectorAt = [&](quint32 s) -> qsizetype {
        const qsizetype offset = (qsizetype(s) + 1) * sectorSize;
        return qsizetype(s) < sectors && offset < file.size() ? offset : -1;
    };
    const QString loop = QStringLiteral("the xls workbook is damaged: its sector chains loop or overlap");
    // FAT sector numbers: 109 in the header, then the DIFAT chain. No sector twice.
    std::vector<bool> seen(size_t(sectors), false);
    std::vector<quint32> fatSectors;
    auto addFatSector = [&](quint32 s) {
        if (s >= 0xFFFFFFFA)
            return true;
        if (sectorAt(s) < 0)
            return true; // beyond the file: its entries stay unknown
        if (seen[s])
            return false;
        seen[s] = true;
        fatSectors.push_back(s);
        return true;
    };
    for (int i = 0; i < 109; ++i) {
        if (!addFatSector(u32(file, 0x4C + i * 4))) {
            *error = loop;
            return {};
        }
    }
    quint32 difat = u32(file, 0x44);
    while (difat < 0xFFFFFFFA) {
        const qsizetype at = sectorAt(difat);
        if (at < 0)
            break;
        if (seen[difat]) {
            *error = loop;
            return {};
        }
        seen[difat] = true;
        for (qsizetype i = 0; i < sectorSize / 4 - 1; ++i) {
            if (!addFatSector(u32(file, at + i * 4))) {
                *error = loop;
                return {};
            }
        }
        difat = u32(file, at + sectorSize - 4);
    }
    // Entries for sectors beyond the file are of no use.
    std::vector<quint32> fat;
    for (quint32 s : fatSectors) {
        const qsizetype at = sectorAt(s);
        for (qsizetype i = 0; i < sectorSize / 4 && qsizetype(fat.size()) < sectors; ++i)
            fat.push_back(u32(file, at + i * 4));
    }
    // Sectors already given to a stream; a second claim is a loop or an overlap.
    std::vector<bool> used(size_t(sectors), false);
    bool broken = false;
    auto chain = [&](quint32 start, const std::vector<quint32> &table, std::vector<bool> &taken, qint64 limit,
                     auto &&read) {
        QByteArray out;
        for (quint32 s = start; s < 0xFFFFFFFA && s < table.size() && out.size() < limit; s = table[s]) {
            if (taken[s]) {
                broken = true;
                break;
            }
            taken[s] = true;
            if (!read(s, out))
                break;
        }
        return out;
    };
    auto readSector = [&](quint32 s, QByteArray &out) {
        const qsizetype at = sectorAt(s);
        if (at < 0)
            return false;
        out.append(file.mid(at, sectorSize));
        return true;
    };
    const qint64 unlimited = std::numeric_limits<qint64>::max();
    const QByteArray directory = chain(u32(file, 0x30), fat, used, unlimited, readSector);
    if (broken) {
        *error = loop;
        return {};
    }
    // The mini stream belongs to the root entry, the first one.
    QByteArray miniStream;
    if (directory.size() >= 128 && quint8(directory[0x42]) == 5)
        miniStream = chain(u32(directory, 0x74), fat, used, unlimited, readSector);
    for (qsizetype e = 0; e + 128 <= directory.size() && !broken; e += 128) {
        const int nameBytes = u16(directory, e + 0x40);
        const int type = quint8(directory[e + 0x42]);
        const quint32 start = u32(directory, e + 0x74);
        const quint32 size = u32(directory, e + 0x78);
        if (type != 2 || nameBytes < 2 || nameBytes > 64)
            continue;
        const QString name = QString::fromUtf16(reinterpret_cast<const char16_t *>(directory.constData() + e),
                                                nameBytes / 2 - 1);
        if (name != u"Workbook" && name != u"Book")
            continue;
        QByteArray stream;
        if (size >= u32(file, 0x38)) {
            stream = chain(start, fat, used, size, readSector);
        } else {
            std::vector<quint32> miniFat;
            const QByteArray miniFatBytes = chain(u32(file, 0x3C), fat, used, unlimited, readSector);
            for (qsizetype i = 0; i + 4 <= miniFatBytes.size(); i += 4)
                miniFat.push_back(u32(miniFatBytes, i));
            std::vector<bool> miniUsed(miniFat.size(), false);
            stream = chain(start, miniFat, miniUsed, size, [&](quint32 s, QByteArray &out) {
                const qsizetype at = qsizetype(s) * 64;
                if (at + 64 > miniStream.size())
                    return false;
                out.append(miniStream.mid(at, 64));
                return true;
            });
        }
        if (broken)
            break;
        return stream.left(size);
    }
    if (broken)
        *error = loop;
    return {};
}

QString errorCode(int code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2A: return QStringLiteral("#N/A");
    default: return QStringLiteral("#VALUE!");
    }
}

struct Extra
{
    QHash<quint64, int> xf; // (row, column) -> XF index
    // Cells FreeXL leaves empty or misreads: formulas with their stored results, booleans
    // and error constants.
    QHash<quint64, Cell> formulas;
    std::vector<CellRange> merged;
};

struct Scan
{
    QHash<QString, Extra> sheets; // by sheet name
    std::vector<QString> xfFormats;
    bool date1904 = false;
    // The sizes the sheets' DIMENSIONS records claim, over all sheets: FreeXL reserves
    // room for every cell of them before a single value is read.
    quint64 claimedCells = 0;
    quint32 claimedRows = 0, claimedColumns = 0;
};

quint64 pos(int row, int column)
{
    return (quint64(row) << 32) | quint64(column);
}

// XLUnicodeString (16-bit count) or ShortXLUnicodeString (8-bit count) at `at`.
QString biffString(const QByteArray &d, qsizetype at, bool shortCount)
{
    const int count = shortCount ? byteAt(d, at) : u16(d, at);
    at += shortCount ? 1 : 2;
    const bool wide = byteAt(d, at) & 1;
    ++at;
    if (wide) {
        const qsizetype n = std::min<qsizetype>(count, (d.size() - at) / 2);
        return n > 0 ? QString::fromUtf16(reinterpret_cast<const char16_t *>(d.constData() + at), n) : QString();
    }
    return QString::fromLatin1(d.mid(at, count));
}

Scan scanWorkbook(const QByteArray &stream)
{
    Scan scan;
    QHash<int, QString> formats;
    std::vector<int> xfFormat;
    QHash<quint32, QString> sheetAt; // stream offset of a sheet's BOF -> name
    Extra *sheet = nullptr;
    bool globals = true;
    qsizetype pendingString = -1; // a formula whose string result follows
    quint64 pendingPos = 0;
    for (qsizetype at = 0; at + 4 <= stream.size();) {
        const int type = u16(stream, at);
        const int length = u16(stream, at + 2);
        const QByteArray d = stream.mid(at + 4, length);
        if (type == 0x0200 && !globals) {
            // DIMENSIONS: first row, row after the last, first column, column after the
            // last; rows in 32 bits from BIFF8 on (a 14-byte record), 16 before.
            const bool wide = length >= 14;
            const quint32 rows = wide ? u32(d, 4) : u16(d, 2);
            const quint32 columns = wide ? u16(d, 10) : u16(d, 6);
            scan.claimedRows = std::max(scan.claimedRows, rows);
            scan.claimedColumns = std::max(scan.claimedColumns, columns);
            scan.claimedCells += quint64(rows) * columns;
        }
        if (type == 0x0809) {
            const int kind = u16(d, 2);
            globals = kind == 0x0005;
            sheet = nullptr;
            if (kind == 0x0010 && sheetAt.contains(quint32(at)))
                sheet = &scan.sheets[sheetAt.value(quint32(at))];
        } else if (globals) {
            if (type == 0x0085)
                sheetAt.insert(u32(d, 0), biffString(d, 6, true));
            else if (type == 0x041E)
                formats.insert(u16(d, 0), biffString(d, 2, false));
            else if (type == 0x00E0 && xfFormat.size() < 65536)
                xfFormat.push_back(u16(d, 2));
            else if (type == 0x0022)
                scan.date1904 = u16(d, 0) == 1;
        } else if (sheet) {
            switch (type) {
            case 0x0203: case 0x027E: case 0x00FD: case 0x0204:
                sheet->xf.insert(pos(u16(d, 0), u16(d, 2)), u16(d, 4));
                break;
            case 0x0205: { // BOOLERR, which FreeXL gives as a number
                sheet->xf.insert(pos(u16(d, 0), u16(d, 2)), u16(d, 4));
                Cell cell;
                if (byteAt(d, 7) == 0) {
                    cell.kind = CellKind::Boolean;
                    cell.number = byteAt(d, 6) ? 1 : 0;
                } else {
                    cell.kind = CellKind::Error;
                    cell.text = errorCode(byteAt(d, 6));
                }
                if (sheet->formulas.size() < qsizetype(MaxWorkbookCells))
                    sheet->formulas.insert(pos(u16(d, 0), u16(d, 2)), cell);
                break;
            }
            case 0x00BD: { // MULRK: row, first column, (xf, rk) pairs, last column
                const int row = u16(d, 0), first = u16(d, 2);
                for (qsizetype i = 0; 4 + i * 6 + 6 <= d.size() - 2; ++i)
                    sheet->xf.insert(pos(row, first + int(i)), u16(d, 4 + i * 6));
                break;
            }
            case 0x00E5: { // MERGEDCELLS
                const int count = u16(d, 0);
                for (int i = 0; i < count && 2 + i * 8 + 8 <= d.size(); ++i) {
                    const qsizetype o = 2 + i * 8;
                    if (sheet->merged.size() < 65536)
                        sheet->merged.push_back(CellRange{u16(d, o) + 1, u16(d, o + 4) + 1, u16(d, o + 2) + 1, u16(d, o + 6) + 1});
                }
                break;
            }
            case 0x0006: { // FORMULA
                const int row = u16(d, 0), column = u16(d, 2);
                sheet->xf.insert(pos(row, column), u16(d, 4));
                Cell cell;
                cell.formula = true;
                if (u16(d, 12) != 0xFFFF) {
                    cell.kind = CellKind::Number;
                    cell.number = f64(d, 6);
                } else {
                    switch (byteAt(d, 6)) {
                    case 0: // the text follows in a STRING record
                        cell.kind = CellKind::Text;
                        pendingString = 1;
                        pendingPos = pos(row, column);
                        break;
                    case 1:
                        cell.kind = CellKind::Boolean;
                        cell.number = byteAt(d, 8) ? 1 : 0;
                        break;
                    case 2:
                        cell.kind = CellKind::Error;
                        cell.text = errorCode(byteAt(d, 8));
                        break;
                    default: // an empty text, which is also what writers that never
                             // calculate store
                        cell.hasResult = false;
                        break;
                    }
                }
                if (sheet->formulas.size() < qsizetype(MaxWorkbookCells))
                    sheet->formulas.insert(pos(row, column), cell);
                break;
            }
            case 0x0207: // STRING: result of the formula before
                if (pendingString > 0 && sheet->formulas.contains(pendingPos))
                    sheet->formulas[pendingPos].text = biffString(d, 0, false);
                pendingString = -1;
                break;
            default:
                break;
            }
        }
        at += 4 + length;
    }
    for (int id : xfFormat)
        scan.xfFormats.push_back(formats.contains(id) ? formats.value(id) : BuiltinNumberFormat(id));
    return scan;
}

double serialOf(const QString &text, bool date1904)
{
    QDateTime dt = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(text, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    if (!dt.isValid()) {
        const QTime t = QTime::fromString(text, QStringLiteral("HH:mm:ss"));
        return t.isValid() ? t.msecsSinceStartOfDay() / 86400000.0 : 0;
    }
    const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    double days = double(base.daysTo(dt.date()));
    if (!date1904 && days < 61)
        days -= 1;
    return days + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace

QString ReadXls(const QString &path, const QByteArray &data, Workbook &book)
{
    QString damaged;
    const Scan scan = scanWorkbook(workbookStream(data, &damaged));
    if (!damaged.isEmpty())
        return damaged;
    if (scan.claimedRows > quint32(MaxSheetRows) || scan.claimedColumns > quint32(MaxSheetColumns))
        return QStringLiteral("a sheet claims %1 rows and %2 columns").arg(scan.claimedRows).arg(scan.claimedColumns);
    if (scan.claimedCells > MaxWorkbookCells)
        return QStringLiteral("the sheets claim room for %1 cells, more than %2").arg(scan.claimedCells).arg(MaxWorkbookCells);
    const void *handle = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &handle);
    if (opened != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        return QStringLiteral("the xls workbook is damaged, protected or of an unknown version (error %1)").arg(opened);
    }
    struct Closer
    {
        const void *h;
        ~Closer() { freexl_close(h); }
    } closer{handle};
    unsigned int sheetCount = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK)
        return QStringLiteral("the list of sheets cannot be read");
    if (sheetCount > unsigned(MaxSheets))
        return QStringLiteral("the workbook holds more than %1 sheets").arg(MaxSheets);
    size_t cells = 0;
    for (unsigned short s = 0; s < sheetCount; ++s) {
        const char *rawName = nullptr;
        if (freexl_get_worksheet_name(handle, s, &rawName) != FREEXL_OK || freexl_select_active_worksheet(handle, s) != FREEXL_OK)
            return QStringLiteral("sheet %1 cannot be read").arg(s + 1);
        Sheet sheet;
        sheet.name = QString::fromUtf8(rawName);
        const Extra extra = scan.sheets.value(sheet.name);
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
            return QStringLiteral("sheet \"%1\" cannot be read").arg(sheet.name);
        if (rows > unsigned(MaxSheetRows) || columns > MaxSheetColumns)
            return QStringLiteral("sheet \"%1\" claims %2 rows and %3 columns").arg(sheet.name).arg(rows).arg(columns);
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue value;
                if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK)
                    continue;
                const quint64 key = pos(int(r), c);
                const QString code = scan.xfFormats.empty() ? QStringLiteral("General")
                                     : size_t(extra.xf.value(key)) < scan.xfFormats.size() ? scan.xfFormats[size_t(extra.xf.value(key))]
                                                                                           : QStringLiteral("General");
                Cell cell;
                if (extra.formulas.contains(key))
                    value.type = FREEXL_CELL_NULL;
                switch (value.type) {
                case FREEXL_CELL_INT:
                    cell.kind = CellKind::Number;
                    cell.number = value.value.int_value;
                    break;
                case FREEXL_CELL_DOUBLE:
                    cell.kind = CellKind::Number;
                    cell.number = value.value.double_value;
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    cell.kind = CellKind::Text;
                    cell.text = QString::fromUtf8(value.value.text_value);
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    cell.kind = CellKind::Number;
                    cell.number = serialOf(QString::fromUtf8(value.value.text_value), scan.date1904);
                    cell.dateTime = true;
                    break;
                default:
                    if (!extra.formulas.contains(key))
                        continue;
                    cell = extra.formulas.value(key);
                    break;
                }
                if (cell.kind == CellKind::Number && IsDateFormat(code))
                    cell.dateTime = true;
                switch (cell.kind) {
                case CellKind::Number: cell.display = FormatNumber(cell.number, code, scan.date1904); break;
                case CellKind::Text: cell.display = FormatText(cell.text, code); break;
                case CellKind::Boolean: cell.display = cell.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); break;
                case CellKind::Error: cell.display = cell.text; break;
                case CellKind::Empty: break;
                }
                if (++cells > MaxWorkbookCells)
                    return QStringLiteral("the workbook holds more than %1 cells").arg(MaxWorkbookCells);
                sheet.addCell(int(r) + 1, int(c) + 1, std::move(cell));
            }
        }
        for (const CellRange &m : extra.merged)
            sheet.addMerged(m);
        book.sheets.push_back(std::move(sheet));
    }
    return {};
}

} // namespace korvalo

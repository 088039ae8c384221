// xlsx: the Office Open XML workbook, a zip of XML parts found through relationship parts.

#include "core/sheets/numberformat.h"
#include "core/sheets/readers.h"
#include "core/sheets/ziparchive.h"

#include <QDateTime>
#include <QHash>
#include <QTimeZone>

#include <cmath>

namespace korvalo {
namespace {

struct Relationship
{
    QString type;   // the last segment of the type URI: "worksheet", "sharedStrings", ...
    QString target; // part name inside the zip, resolved
};

QString directoryOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

// A target relative to the source part's folder, or absolute from the zip's root.
QString resolvePart(const QString &sourceDir, const QString &target)
{
    const QString joined = target.startsWith(u'/') ? target.mid(1) : sourceDir + target;
    QStringList parts;
    for (const QString &segment : joined.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u".")
            continue;
        if (segment == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(segment);
    }
    return parts.join(u'/');
}

QString relsPartOf(const QString &part)
{
    return directoryOf(part) + QStringLiteral("_rels/") + part.mid(directoryOf(part).size()) + QStringLiteral(".rels");
}

bool readRelationships(ZipArchive &zip, const QString &part, QHash<QString, Relationship> *rels, QString *error)
{
    const QString relsPart = relsPartOf(part);
    if (!zip.contains(relsPart))
        return true;
    ZipXml xml(zip, relsPart);
    const QString sourceDir = directoryOf(part);
    for (;;) {
        const auto token = xml.next();
        if (token == QXmlStreamReader::Invalid) {
            *error = xml.error();
            return false;
        }
        if (token == QXmlStreamReader::EndDocument)
            return true;
        if (token != QXmlStreamReader::StartElement || xml.name() != u"Relationship")
            continue;
        const auto attrs = xml.reader().attributes();
        if (XmlAttr(attrs, u"TargetMode") == u"External")
            continue;
        const QString type = XmlAttr(attrs, u"Type").toString();
        rels->insert(XmlAttr(attrs, u"Id").toString(),
                     Relationship{type.mid(type.lastIndexOf(u'/') + 1),
                                  resolvePart(sourceDir, XmlAttr(attrs, u"Target").toString())});
    }
}

// OOXML escapes characters XML cannot hold as _xHHHH_.
QString decodeEscapes(const QString &text)
{
    if (!text.contains(u"_x"))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The text of an <si> or <is> element: its <t> and the <t> of its runs, phonetic runs left out.
QString readStringItem(ZipXml &xml)
{
    QString text;
    const int start = xml.depth();
    for (;;) {
        const auto token = xml.next();
        if (token == QXmlStreamReader::Invalid || token == QXmlStreamReader::EndDocument)
            return text;
        if (token == QXmlStreamReader::EndElement && xml.depth() < start)
            return decodeEscapes(text);
        if (token != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == u"rPh" || name == u"phoneticPr")
            xml.skipElement();
        else if (name == u"t")
            text += xml.readText();
    }
}

bool readSharedStrings(ZipArchive &zip, const QString &part, std::vector<QString> *strings, QString *error)
{
    ZipXml xml(zip, part);
    for (;;) {
        const auto token = xml.next();
        if (token == QXmlStreamReader::Invalid) {
            *error = xml.error();
            return false;
        }
        if (token == QXmlStreamReader::EndDocument)
            return true;
        if (token == QXmlStreamReader::StartElement && xml.name() == u"si") {
            if (strings->size() >= MaxWorkbookCells) {
                *error = QStringLiteral("the workbook holds more than %1 strings").arg(MaxWorkbookCells);
                return false;
            }
            strings->push_back(readStringItem(xml));
            if (xml.failed()) {
                *error = xml.error();
                return false;
            }
        }
    }
}

struct Styles
{
    std::vector<QString> cellFormats; // number format code of each cellXfs entry
};

bool readStyles(ZipArchive &zip, const QString &part, Styles *styles, QString *error)
{
    QHash<int, QString> custom;
    std::vector<int> xfFormats;
    ZipXml xml(zip, part);
    bool inCellXfs = false;
    for (;;) {
        const auto token = xml.next();
        if (token == QXmlStreamReader::Invalid) {
            *error = xml.error();
            return false;
        }
        if (token == QXmlStreamReader::EndDocument)
            break;
        if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs")
            inCellXfs = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        const auto attrs = xml.reader().attributes();
        if (name == u"numFmt") {
            custom.insert(XmlAttr(attrs, u"numFmtId").toInt(), XmlAttr(attrs, u"formatCode").toString());
        } else if (name == u"cellXfs") {
            inCellXfs = true;
        } else if (name == u"xf" && inCellXfs) {
            if (xfFormats.size() < 65536)
                xfFormats.push_back(XmlAttr(attrs, u"numFmtId").toInt());
        }
    }
    for (int id : xfFormats)
        styles->cellFormats.push_back(custom.contains(id) ? custom.value(id) : BuiltinNumberFormat(id));
    return true;
}

// "2024-03-01T12:30:00" (cells of type d) as a day serial of the workbook's date system.
double serialOfIsoDate(const QString &text, bool date1904, bool *ok)
{
    QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(text, Qt::ISODate);
        if (d.isValid())
            dt = QDateTime(d, QTime(0, 0), Qt::UTC);
    }
    if (!dt.isValid()) {
        const QTime t = QTime::fromString(text, Qt::ISODateWithMs);
        *ok = t.isValid();
        return t.isValid() ? t.msecsSinceStartOfDay() / 86400000.0 : 0;
    }
    *ok = true;
    const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    double days = double(base.daysTo(dt.date()));
    if (!date1904 && days < 61)
        days -= 1; // before the phantom 1900-02-29
    return days + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

struct SheetContext
{
    const std::vector<QString> &strings;
    const Styles &styles;
    bool date1904;
    size_t *cellsSoFar; // in the whole workbook
};

QString readSheet(ZipArchive &zip, const QString &part, const SheetContext &ctx, Sheet &sheet)
{
    ZipXml xml(zip, part);
    int row = 0, column = 0;
    size_t merged = 0;
    for (;;) {
        auto token = xml.next();
        if (token == QXmlStreamReader::Invalid)
            return xml.error();
        if (token == QXmlStreamReader::EndDocument)
            return {};
        if (token != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == u"row") {
            const QXmlStreamAttributes rowAttrs = xml.reader().attributes();
            const auto r = XmlAttr(rowAttrs, u"r");
            if (r.isEmpty()) {
                ++row;
            } else {
                bool ok = false;
                row = r.toInt(&ok);
                if (!ok || row < 1 || row > MaxSheetRows)
                    return QStringLiteral("sheet \"%1\" has a row numbered \"%2\"").arg(sheet.name, r.toString());
            }
            column = 0;
        } else if (name == u"mergeCell") {
            CellRange range;
            const QXmlStreamAttributes mergeAttrs = xml.reader().attributes();
            const auto ref = XmlAttr(mergeAttrs, u"ref");
            if (ParseRangeName(ref, &range) && ++merged <= 65536)
                sheet.addMerged(range);
        } else if (name == u"c") {
            const auto attrs = xml.reader().attributes();
            const auto ref = XmlAttr(attrs, u"r");
            if (ref.isEmpty()) {
                ++column;
                if (row == 0)
                    row = 1;
            } else {
                int r = 0;
                if (!ParseCellName(ref, &r, &column))
                    return QStringLiteral("sheet \"%1\" has a cell at \"%2\", outside %3 rows and %4 columns")
                        .arg(sheet.name, ref.toString())
                        .arg(MaxSheetRows)
                        .arg(MaxSheetColumns);
                row = r;
            }
            if (column > MaxSheetColumns || row > MaxSheetRows || row < 1)
                return QStringLiteral("sheet \"%1\" has a cell beyond column %2").arg(sheet.name).arg(MaxSheetColumns);
            const QString type = XmlAttr(attrs, u"t").toString();
            const int style = XmlAttr(attrs, u"s").toInt();
            QString value, inlineText, formula;
            bool hasValue = false, hasInline = false;
            Cell cell;
            const int start = xml.depth();
            for (;;) {
                token = xml.next();
                if (token == QXmlStreamReader::Invalid)
                    return xml.error();
                if (token == QXmlStreamReader::EndElement && xml.depth() < start)
                    break;
                if (token != QXmlStreamReader::StartElement)
                    continue;
                const auto child = xml.name();
                if (child == u"v") {
                    value = xml.readText();
                    hasValue = !value.isEmpty(); // <v/> under a formula: not calculated
                } else if (child == u"f") {
                    cell.formula = true;
                    formula = xml.readText();
                } else if (child == u"is") {
                    inlineText = readStringItem(xml);
                    hasInline = true;
                } else {
                    xml.skipElement();
                }
                if (xml.failed())
                    return xml.error();
            }
            const QString code = style >= 0 && size_t(style) < ctx.styles.cellFormats.size()
                                     ? ctx.styles.cellFormats[size_t(style)]
                                     : QStringLiteral("General");
            cell.hasResult = hasValue || hasInline;
            if (type == u"inlineStr") {
                cell.kind = CellKind::Text;
                cell.text = hasInline ? inlineText : decodeEscapes(value);
            } else if (!hasValue) {
                if (!cell.formula)
                    continue; // a formatted blank
                cell.text = formula;
            } else if (type == u"s") {
                bool ok = false;
                const qlonglong index = value.trimmed().toLongLong(&ok);
                if (!ok || index < 0 || size_t(index) >= ctx.strings.size())
                    return QStringLiteral("cell %1 of sheet \"%2\" refers to shared string %3, which does not exist")
                        .arg(CellName(row, column), sheet.name, value);
                cell.kind = CellKind::Text;
                cell.text = ctx.strings[size_t(index)];
            } else if (type == u"str") {
                cell.kind = CellKind::Text;
                cell.text = decodeEscapes(value);
            } else if (type == u"b") {
                cell.kind = CellKind::Boolean;
                cell.number = value.trimmed() == u"1" || value.trimmed() == u"true" ? 1 : 0;
            } else if (type == u"e") {
                cell.kind = CellKind::Error;
                cell.text = value;
            } else if (type == u"d") {
                bool ok = false;
                cell.number = serialOfIsoDate(value.trimmed(), ctx.date1904, &ok);
                cell.kind = ok ? CellKind::Number : CellKind::Text;
                if (!ok)
                    cell.text = value;
            } else {
                bool ok = false;
                cell.number = value.trimmed().toDouble(&ok);
                if (!ok || !std::isfinite(cell.number))
                    return QStringLiteral("cell %1 of sheet \"%2\" holds \"%3\", which is not a number")
                        .arg(CellName(row, column), sheet.name, value.left(40));
                cell.kind = CellKind::Number;
            }
            if (cell.kind == CellKind::Number)
                cell.dateTime = type == u"d" || IsDateFormat(code);
            switch (cell.kind) {
            case CellKind::Number: cell.display = FormatNumber(cell.number, code, ctx.date1904); break;
            case CellKind::Text: cell.display = FormatText(cell.text, code); break;
            case CellKind::Boolean: cell.display = cell.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); break;
            case CellKind::Error: cell.display = cell.text; break;
            case CellKind::Empty: break;
            }
            if (++*ctx.cellsSoFar > MaxWorkbookCells)
                return QStringLiteral("the workbook holds more than %1 cells").arg(MaxWorkbookCells);
            sheet.addCell(row, column, std::move(cell));
        }
    }
}

} // namespace

QString ReadXlsx(ZipArchive &zip, Workbook &book)
{
    QString error;
    QHash<QString, Relationship> rootRels;
    if (!readRelationships(zip, QString(), &rootRels, &error))
        return error;
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    for (const Relationship &rel : std::as_const(rootRels)) {
        if (rel.type == u"officeDocument")
            workbookPart = rel.target;
    }
    QHash<QString, Relationship> rels;
    if (!readRelationships(zip, workbookPart, &rels, &error))
        return error;

    struct SheetEntry
    {
        QString name, part;
    };
    std::vector<SheetEntry> entries;
    bool date1904 = false;
    {
        ZipXml xml(zip, workbookPart);
        for (;;) {
            const auto token = xml.next();
            if (token == QXmlStreamReader::Invalid)
                return xml.error();
            if (token == QXmlStreamReader::EndDocument)
                break;
            if (token != QXmlStreamReader::StartElement)
                continue;
            const auto attrs = xml.reader().attributes();
            if (xml.name() == u"workbookPr") {
                const auto v = XmlAttr(attrs, u"date1904");
                date1904 = v == u"1" || v == u"true";
            } else if (xml.name() == u"sheet") {
                QString id;
                id = XmlAttr(attrs, u"id").toString();
                const auto rel = rels.constFind(id);
                if (rel == rels.constEnd() || rel->type != u"worksheet")
                    continue; // chart sheets and dialog sheets hold no cells
                if (entries.size() >= size_t(MaxSheets))
                    return QStringLiteral("the workbook holds more than %1 sheets").arg(MaxSheets);
                entries.push_back({XmlAttr(attrs, u"name").toString(), rel->target});
            }
        }
    }

    std::vector<QString> strings;
    Styles styles;
    for (const Relationship &rel : std::as_const(rels)) {
        if (rel.type == u"sharedStrings" && zip.contains(rel.target)) {
            if (!readSharedStrings(zip, rel.target, &strings, &error))
                return error;
        } else if (rel.type == u"styles" && zip.contains(rel.target)) {
            if (!readStyles(zip, rel.target, &styles, &error))
                return error;
        }
    }
    size_t cells = 0;
    const SheetContext ctx{strings, styles, date1904, &cells};
    for (const SheetEntry &entry : entries) {
        Sheet sheet;
        sheet.name = entry.name;
        error = readSheet(zip, entry.part, ctx, sheet);
        if (!error.isEmpty())
            return error;
        book.sheets.push_back(std::move(sheet));
    }
    return {};
}

} // namespace korvalo

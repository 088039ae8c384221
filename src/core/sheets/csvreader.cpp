// csv and tab-separated text: the separator (',', ';' or tab) is found from the first
// records, fields are quoted as RFC 4180 describes, and the bytes are UTF-8 or, when they
// are not valid UTF-8, Windows-1252. Every field is shown exactly as written ("007" stays
// "007"); fields that are plain numbers also carry their value.

#include "core/sheets/readers.h"

#include "core/egofile/textcodec.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace korvalo {
namespace {

// Splits the bytes into records of fields; stops after maxRecords when that is not
// negative. Quotes, separators and line ends are ASCII, which neither UTF-8 nor
// Windows-1252 uses inside a character, so the bytes are split before they are decoded:
// a field at a time, never the whole file at once.
template<typename Emit>
bool splitRecords(std::string_view text, char separator, qsizetype maxRecords, Emit emit)
{
    qsizetype records = 0;
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false, wasQuoted = false;
    const size_t n = text.size();
    auto endRecord = [&]() {
        fields.push_back(field);
        field.clear();
        wasQuoted = false;
        const bool go = emit(fields);
        fields.clear();
        ++records;
        return go && (maxRecords < 0 || records < maxRecords);
    };
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < n && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == '"' && field.empty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == separator) {
            fields.push_back(field);
            field.clear();
            wasQuoted = false;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
                ++i;
            if (!endRecord())
                return true;
        } else {
            field += c;
        }
    }
    if (!field.empty() || !fields.empty() || wasQuoted)
        endRecord();
    return true;
}

// The number of fields splitRecords() would give that are not empty, without building
// them: the sheet is sized once instead of growing (and copying itself) as it fills.
size_t countFilledFields(std::string_view text, char separator)
{
    size_t count = 0;
    bool quoted = false, wasQuoted = false, filled = false;
    const auto endField = [&] {
        count += filled ? 1 : 0;
        filled = wasQuoted = false;
    };
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < n && text[i + 1] == '"') {
                    filled = true;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                filled = true;
            }
        } else if (c == '"' && !filled && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == separator) {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
                ++i;
            endField();
        } else {
            filled = true;
        }
    }
    endField();
    return count;
}

char detectSeparator(std::string_view text)
{
    const std::array<char, 3> candidates = {'\t', ';', ','};
    char best = ',';
    int bestScore = 0, bestWidth = 0;
    for (char sep : candidates) {
        std::vector<qsizetype> widths;
        splitRecords(text, sep, 20, [&](const std::vector<std::string> &fields) {
            widths.push_back(qsizetype(fields.size()));
            return true;
        });
        if (widths.empty() || widths.front() < 2)
            continue;
        int score = 0;
        for (qsizetype w : widths)
            score += w == widths.front() ? 1 : 0;
        if (score > bestScore || (score == bestScore && widths.front() > bestWidth)) {
            best = sep;
            bestScore = score;
            bestWidth = int(widths.front());
        }
    }
    return best;
}

// A plain decimal number without a leading zero before other digits: "007" stays text.
// So does "1.500", which may as well be fifteen hundred with '.' grouping thousands: the
// import reads such texts in the decimal notation the user chose.
bool plainNumber(const QString &field, double *value)
{
    const QString t = field.trimmed();
    if (t.isEmpty() || t != field)
        return false;
    qsizetype i = (t[0] == u'-' || t[0] == u'+') ? 1 : 0;
    if (i + 1 < t.size() && t[i] == u'0' && t[i + 1].isDigit())
        return false;
    const qsizetype dot = t.indexOf(u'.');
    if (dot > i && dot <= i + 3 && t.size() == dot + 4 && t[i] != u'0') {
        bool grouped = true;
        for (qsizetype j = i; j < t.size(); ++j)
            grouped = grouped && (j == dot || (t[j] >= u'0' && t[j] <= u'9'));
        if (grouped)
            return false;
    }
    for (qsizetype j = i; j < t.size(); ++j) {
        const QChar c = t[j];
        if (!c.isDigit() && c != u'.' && c != u'e' && c != u'E' && c != u'-' && c != u'+')
            return false;
    }
    bool ok = false;
    *value = t.toDouble(&ok);
    return ok && std::isfinite(*value);
}

} // namespace

QString ReadCsv(const QByteArray &data, Workbook &book, const QString &sheetName)
{
    std::string_view bytes(data.constData(), size_t(data.size()));
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    const bool utf8 = IsValidUtf8(bytes);
    const char separator = detectSeparator(bytes);

    Sheet sheet;
    sheet.name = sheetName;
    sheet.reserve(std::min(countFilledFields(bytes, separator), MaxWorkbookCells));
    int row = 0;
    size_t cells = 0;
    QString error;
    splitRecords(bytes, separator, -1, [&](const std::vector<std::string> &fields) {
        if (++row > MaxSheetRows) {
            error = QStringLiteral("the file holds more than %1 rows").arg(MaxSheetRows);
            return false;
        }
        if (fields.size() > size_t(MaxSheetColumns)) {
            error = QStringLiteral("row %1 holds more than %2 fields").arg(row).arg(MaxSheetColumns);
            return false;
        }
        for (size_t c = 0; c < fields.size(); ++c) {
            if (fields[c].empty())
                continue;
            const QString field = DecodeEgoText(fields[c], utf8);
            if (++cells > MaxWorkbookCells) {
                error = QStringLiteral("the file holds more than %1 fields").arg(MaxWorkbookCells);
                return false;
            }
            Cell cell;
            cell.kind = plainNumber(field, &cell.number) ? CellKind::Number : CellKind::Text;
            if (cell.kind == CellKind::Text)
                cell.text = field;
            cell.display = field;
            sheet.addCell(row, int(c) + 1, std::move(cell));
        }
        return true;
    });
    if (!error.isEmpty())
        return error;
    book.sheets.push_back(std::move(sheet));
    return {};
}

} // namespace korvalo

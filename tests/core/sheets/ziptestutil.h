#pragma once

// Builds zip archives for the workbook tests (hand-made xlsx parts, hostile archives).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

#include <zip.h>

namespace korvalo {


// Writes the entries; an entry with a generator streams `chunks` pieces from it instead
// of holding the whole content (for archives that unpack to hundreds of megabytes).
struct ZipEntry
{
    QString name;
    QByteArray data;
    std::function<QByteArray(int)> generator = {};
    int chunks = 0;
};

inline bool WriteZip(const QString &path, const std::vector<ZipEntry> &entries)
{
    zipFile zip = zipOpen(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    for (const ZipEntry &e : entries) {
        zip_fileinfo info{};
        if (zipOpenNewFileInZip(zip, e.name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                Z_DEFLATED, e.generator ? 1 : 9) != ZIP_OK)
            return false;
        if (e.generator) {
            for (int i = 0; i < e.chunks; ++i) {
                const QByteArray chunk = e.generator(i);
                zipWriteInFileInZip(zip, chunk.constData(), unsigned(chunk.size()));
            }
        } else {
            zipWriteInFileInZip(zip, e.data.constData(), unsigned(e.data.size()));
        }
        zipCloseFileInZip(zip);
    }
    return zipClose(zip, nullptr) == ZIP_OK;
}

// A minimal xlsx around one sheet's XML; relative part names as Excel writes them.
inline std::vector<ZipEntry> MinimalXlsx(const QByteArray &sheetXml, const QByteArray &workbookPr = {},
                                         const QByteArray &sharedStrings = {}, const QByteArray &styles = {})
{
    std::vector<ZipEntry> e;
    e.push_back({QStringLiteral("[Content_Types].xml"), QByteArrayLiteral("<Types/>")});
    e.push_back({QStringLiteral("_rels/.rels"),
                 QByteArrayLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                   "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
                                   "</Relationships>")});
    e.push_back({QStringLiteral("xl/workbook.xml"),
                 "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                 "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                     + workbookPr + "<sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"});
    QByteArray rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/../worksheets/sheet1.xml\"/>";
    if (!sharedStrings.isEmpty())
        rels += "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>";
    if (!styles.isEmpty())
        rels += "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>";
    rels += "</Relationships>";
    e.push_back({QStringLiteral("xl/_rels/workbook.xml.rels"), rels});
    e.push_back({QStringLiteral("xl/worksheets/sheet1.xml"),
                 "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + sheetXml + "</worksheet>"});
    if (!sharedStrings.isEmpty())
        e.push_back({QStringLiteral("xl/sharedStrings.xml"),
                     "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + sharedStrings + "</sst>"});
    if (!styles.isEmpty())
        e.push_back({QStringLiteral("xl/styles.xml"),
                     "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + styles + "</styleSheet>"});
    return e;
}

} // namespace korvalo

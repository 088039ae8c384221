#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <memory>

// A zip archive held in memory (the container of xlsx and ods files), with each entry
// inflated in bounded chunks, and an XML reader fed from one entry as it inflates, so
// that neither a huge entry nor deep nesting costs more than the limits in workbook.h.

namespace korvalo {

// An attribute by its local name, whatever its prefix (calcext's copies of ods values
// only when nothing else has the name); empty when missing.
QStringView XmlAttr(const QXmlStreamAttributes &attrs, QStringView local);
bool HasXmlAttr(const QXmlStreamAttributes &attrs, QStringView local);

class ZipArchive
{
public:
    explicit ZipArchive(const QByteArray &data);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    // Exact name first, then regardless of letter case.
    bool contains(const QString &name) const;
    // The whole entry; false with an error text when it is missing, damaged or too big.
    bool readEntry(const QString &name, QByteArray *out, QString *error);

    // Entry streaming, one entry at a time.
    bool openEntry(const QString &name, QString *error);
    // Up to maxBytes more inflated bytes; empty at the end. Sets error on failure.
    QByteArray readChunk(qint64 maxBytes, QString *error);
    void closeEntry();

    struct Source; // the bytes and the read position, for minizip's callbacks

private:
    std::unique_ptr<Source> m_source;
    void *m_zip = nullptr;
    bool m_entryOpen = false;
    qint64 m_inflated = 0;
    qint64 m_totalInflated = 0;
    QString m_entryName;
};

// Tokens of one XML entry. next() returns QXmlStreamReader::Invalid on any failure
// (malformed XML, nesting deeper than MaxXmlDepth, inflating beyond the limit); error()
// then says what went wrong.
class ZipXml
{
public:
    ZipXml(ZipArchive &zip, const QString &entry);
    ~ZipXml();

    QXmlStreamReader::TokenType next();
    QXmlStreamReader &reader() { return m_xml; }
    // The current element's name without its prefix (namespaces are not resolved: the
    // parts use fixed vocabularies, and resolving costs a third of the time).
    QStringView name() const
    {
        const QStringView n = m_xml.name();
        const qsizetype colon = n.indexOf(u':');
        return colon < 0 ? n : n.mid(colon + 1);
    }
    // Text content of the current element up to its end, with nested elements' text.
    QString readText();
    // Moves past the end of the current element.
    void skipElement();
    const QString &error() const { return m_error; }
    bool failed() const { return !m_error.isEmpty(); }
    int depth() const { return m_depth; }

private:
    ZipArchive &m_zip;
    QXmlStreamReader m_xml;
    QString m_entry;
    QString m_error;
    int m_depth = 0;
    bool m_atEnd = false;
    bool m_sawRoot = false;
};

} // namespace korvalo

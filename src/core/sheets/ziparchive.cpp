#include "core/sheets/ziparchive.h"

#include "core/sheets/workbook.h"

#include <unzip.h>

#include <algorithm>
#include <cstring>

namespace korvalo {

struct ZipArchive::Source
{
    QByteArray data;
    qint64 pos = 0;
};

namespace {

voidpf memOpen(voidpf opaque, const void *, int)
{
    return opaque;
}

uLong memRead(voidpf, voidpf stream, void *buf, uLong size)
{
    auto *s = static_cast<ZipArchive::Source *>(stream);
    const qint64 left = std::max<qint64>(0, s->data.size() - s->pos);
    const qint64 n = std::min<qint64>(left, qint64(size));
    if (n > 0)
        std::memcpy(buf, s->data.constData() + s->pos, size_t(n));
    s->pos += n;
    return uLong(n);
}

uLong memWrite(voidpf, voidpf, const void *, uLong)
{
    return 0;
}

ZPOS64_T memTell(voidpf, voidpf stream)
{
    return ZPOS64_T(static_cast<ZipArchive::Source *>(stream)->pos);
}

long memSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto *s = static_cast<ZipArchive::Source *>(stream);
    qint64 base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_CUR: base = s->pos; break;
    case ZLIB_FILEFUNC_SEEK_END: base = s->data.size(); break;
    default: base = 0; break;
    }
    const qint64 target = base + qint64(offset);
    if (target < 0 || target > s->data.size())
        return -1;
    s->pos = target;
    return 0;
}

int memClose(voidpf, voidpf)
{
    return 0;
}

int memError(voidpf, voidpf)
{
    return 0;
}

} // namespace

QStringView XmlAttr(const QXmlStreamAttributes &attrs, QStringView local)
{
    QStringView fallback;
    for (const auto &a : attrs) {
        const QStringView name = a.qualifiedName();
        const qsizetype colon = name.indexOf(u':');
        if ((colon < 0 ? name : name.mid(colon + 1)) != local)
            continue;
        if (!name.startsWith(u"calcext:"))
            return a.value();
        fallback = a.value();
    }
    return fallback;
}

bool HasXmlAttr(const QXmlStreamAttributes &attrs, QStringView local)
{
    return !XmlAttr(attrs, local).isNull();
}

ZipArchive::ZipArchive(const QByteArray &data) : m_source(std::make_unique<Source>())
{
    m_source->data = data;
    zlib_filefunc64_def functions{};
    functions.zopen64_file = memOpen;
    functions.zread_file = memRead;
    functions.zwrite_file = memWrite;
    functions.ztell64_file = memTell;
    functions.zseek64_file = memSeek;
    functions.zclose_file = memClose;
    functions.zerror_file = memError;
    functions.opaque = m_source.get();
    m_zip = unzOpen2_64("memory", &functions);
}

ZipArchive::~ZipArchive()
{
    if (m_zip) {
        closeEntry();
        unzClose(m_zip);
    }
}

bool ZipArchive::contains(const QString &name) const
{
    if (!m_zip)
        return false;
    const QByteArray n = name.toUtf8();
    return unzLocateFile(m_zip, n.constData(), 1) == UNZ_OK || unzLocateFile(m_zip, n.constData(), 2) == UNZ_OK;
}

bool ZipArchive::openEntry(const QString &name, QString *error)
{
    closeEntry();
    const QByteArray n = name.toUtf8();
    if (!m_zip
        || (unzLocateFile(m_zip, n.constData(), 1) != UNZ_OK && unzLocateFile(m_zip, n.constData(), 2) != UNZ_OK)) {
        *error = QStringLiteral("part %1 is missing").arg(name);
        return false;
    }
    if (unzOpenCurrentFile(m_zip) != UNZ_OK) {
        *error = QStringLiteral("part %1 cannot be unpacked").arg(name);
        return false;
    }
    m_entryOpen = true;
    m_inflated = 0;
    m_entryName = name;
    return true;
}

QByteArray ZipArchive::readChunk(qint64 maxBytes, QString *error)
{
    if (!m_entryOpen)
        return {};
    QByteArray chunk(qsizetype(maxBytes), Qt::Uninitialized);
    const int n = unzReadCurrentFile(m_zip, chunk.data(), unsigned(maxBytes));
    if (n < 0) {
        *error = QStringLiteral("part %1 is damaged").arg(m_entryName);
        return {};
    }
    m_inflated += n;
    m_totalInflated += n;
    if (m_totalInflated > MaxInflatedTotalBytes) {
        *error = QStringLiteral("the archive unpacks to more than %1 MB").arg(MaxInflatedTotalBytes >> 20);
        return {};
    }
    if (m_inflated > MaxInflatedPartBytes) {
        *error = QStringLiteral("part %1 unpacks to more than %2 MB").arg(m_entryName).arg(MaxInflatedPartBytes >> 20);
        return {};
    }
    chunk.truncate(n);
    return chunk;
}

void ZipArchive::closeEntry()
{
    if (m_entryOpen) {
        unzCloseCurrentFile(m_zip);
        m_entryOpen = false;
    }
}

bool ZipArchive::readEntry(const QString &name, QByteArray *out, QString *error)
{
    out->clear();
    if (!openEntry(name, error))
        return false;
    for (;;) {
        const QByteArray chunk = readChunk(1 << 16, error);
        if (!error->isEmpty()) {
            closeEntry();
            return false;
        }
        if (chunk.isEmpty())
            break;
        out->append(chunk);
    }
    closeEntry();
    return true;
}

ZipXml::ZipXml(ZipArchive &zip, const QString &entry) : m_zip(zip), m_entry(entry)
{
    m_xml.setNamespaceProcessing(false);
    m_zip.openEntry(entry, &m_error);
}

ZipXml::~ZipXml()
{
    m_zip.closeEntry();
}

QXmlStreamReader::TokenType ZipXml::next()
{
    if (failed() || m_atEnd)
        return QXmlStreamReader::Invalid;
    for (;;) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
                const QByteArray chunk = m_zip.readChunk(1 << 16, &m_error);
                if (failed())
                    return QXmlStreamReader::Invalid;
                if (!chunk.isEmpty()) {
                    m_xml.addData(chunk);
                    continue;
                }
                if (m_sawRoot && m_depth == 0) {
                    m_atEnd = true;
                    return QXmlStreamReader::EndDocument;
                }
            }
            m_error = QStringLiteral("part %1 is not well-formed XML (line %2: %3)")
                          .arg(m_entry)
                          .arg(m_xml.lineNumber())
                          .arg(m_xml.errorString());
            return QXmlStreamReader::Invalid;
        }
        if (token == QXmlStreamReader::StartElement) {
            m_sawRoot = true;
            if (++m_depth > MaxXmlDepth) {
                m_error = QStringLiteral("part %1 nests elements deeper than %2 levels").arg(m_entry).arg(MaxXmlDepth);
                return QXmlStreamReader::Invalid;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --m_depth;
        } else if (token == QXmlStreamReader::EndDocument) {
            m_atEnd = true;
        }
        return token;
    }
}

QString ZipXml::readText()
{
    QString text;
    const int start = m_depth;
    for (;;) {
        const auto token = next();
        if (token == QXmlStreamReader::Invalid || token == QXmlStreamReader::EndDocument)
            return text;
        if (token == QXmlStreamReader::Characters)
            text += m_xml.text();
        else if (token == QXmlStreamReader::EndElement && m_depth < start)
            return text;
    }
}

void ZipXml::skipElement()
{
    const int start = m_depth;
    for (;;) {
        const auto token = next();
        if (token == QXmlStreamReader::Invalid || token == QXmlStreamReader::EndDocument)
            return;
        if (token == QXmlStreamReader::EndElement && m_depth < start)
            return;
    }
}

} // namespace korvalo

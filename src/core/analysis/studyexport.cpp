#include "core/analysis/studyexport.h"

#include "core/egofile/platformfile.h"
#include "core/map/geometry.h"
#include "core/model/textutil.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSet>
#include <QXmlStreamWriter>
#include <QtMath>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// Reals as a reader expects them: "." and no exponent for what a map holds, never "-0".
QString StoredReal(float value)
{
    if (value == 0)
        return u"0"_s;
    // Seven significant digits: what a single holds, so 0.3 stays "0.3".
    return QString::number(double(value), 'g', 7);
}

QString Coordinate(double value)
{
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    if (text == u"-0")
        text = u"0"_s;
    return text;
}

// The map position in a y-up plane: angles turn clockwise on the screen, whose y runs down.
QPointF PlanePosition(const Node &node)
{
    const double theta = qDegreesToRadians(double(node.Angle));
    const double d = double(node.Distance);
    return {d * std::cos(theta), -d * std::sin(theta)};
}

// The ego's Sex in the words the alters' Sex uses, so that the two compare in a table;
// empty for a typed text that is no list item.
QString EgoSexWord(int sex)
{
    switch (sex) {
    case 0:
        return u"undefined"_s;
    case 1:
        return u"female"_s;
    case 2:
        return u"male"_s;
    default:
        return {};
    }
}

QString CardKey(const QString &egoKey, int card)
{
    return egoKey + u'_' + QString::number(card);
}

QString SectorName(const NetworkCard &card, int node)
{
    const int sector = SectorOfNode(card, node);
    return sector > 0 ? card.Sectors[size_t(sector)].SectorName : QString();
}

bool IsAlter(const NetworkCard &card, int node)
{
    return node >= 1 && node <= card.NodeCount();
}

// The size of the node's line to the ego (the largest, should there be several), 0 when none.
int LineToEgo(const NetworkCard &card, int node)
{
    int value = 0;
    for (int l = 1; l <= card.LineCount(); ++l) {
        const Line &line = card.Lines[size_t(l)];
        if ((line.A == 0 && line.B == node) || (line.B == 0 && line.A == node))
            value = std::max(value, line.LineSize);
    }
    return value;
}

// XML 1.0 cannot carry most control characters, not even escaped, nor a lone surrogate:
// they are dropped rather than written into a file no reader accepts.
QString XmlText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        const char16_t u = c.unicode();
        if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF || (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D))
            continue;
        out += c;
    }
    return out;
}

// A file being written in pieces, through the safe replacement: nothing replaces the
// target before finish(), and a file never finished leaves the target as it was.
class StreamedFile
{
public:
    explicit StreamedFile(const QString &path) : m_path(path), m_file(path) { m_buffer.reserve(2 * FlushBytes); }

    Status open()
    {
        return failed(m_file.open());
    }
    void append(const QByteArray &bytes)
    {
        if (!m_status.ok())
            return;
        m_buffer += bytes;
        if (m_buffer.size() >= FlushBytes)
            flush();
    }
    // The first failure so far.
    const Status &status() const { return m_status; }
    Status finish()
    {
        flush();
        if (m_status.ok())
            m_status = failed(m_file.commit());
        return m_status;
    }

private:
    // Every flush reaches the disk; a megabyte at a time keeps that rare and the memory
    // the same for any number of egos.
    static constexpr qsizetype FlushBytes = 1 << 20;

    void flush()
    {
        if (m_status.ok() && !m_buffer.isEmpty())
            m_status = failed(m_file.writeAndSync(std::string_view(m_buffer.constData(), size_t(m_buffer.size()))));
        m_buffer.resize(0); // keeps the capacity

    }
    Status failed(const QString &problem) const
    {
        if (problem.isEmpty())
            return Status::success();
        return Status::failure(u"Cannot save \"%1\": %2"_s.arg(QDir::toNativeSeparators(m_path), problem));
    }

    QString m_path;
    SaveFile m_file;
    QByteArray m_buffer;
    Status m_status = Status::success();
};

// What QXmlStreamWriter writes goes on to a StreamedFile.
class StreamedDevice : public QIODevice
{
public:
    explicit StreamedDevice(StreamedFile &file) : m_file(file) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_file.append(QByteArray(data, size));
        return size;
    }

private:
    StreamedFile &m_file;
};

// The folder's three tables, open for writing, headers written.
struct TableFiles
{
    StreamedFile egos, alters, aaties;

    explicit TableFiles(const QString &folder)
        : egos(QDir(folder).filePath(QString::fromLatin1(EgosTableName))),
          alters(QDir(folder).filePath(QString::fromLatin1(AltersTableName))),
          aaties(QDir(folder).filePath(QString::fromLatin1(AatiesTableName)))
    {
    }
    Status open()
    {
        for (StreamedFile *file : {&egos, &alters, &aaties}) {
            const Status opened = file->open();
            if (!opened)
                return opened;
        }
        egos.append(CsvRecord(EgosTableColumns()));
        alters.append(CsvRecord(AltersTableColumns()));
        aaties.append(CsvRecord(AatiesTableColumns()));
        return Status::success();
    }
    void append(const EgoTableRows &rows)
    {
        egos.append(rows.egos);
        alters.append(rows.alters);
        aaties.append(rows.aaties);
    }
    Status status() const
    {
        for (const StreamedFile *file : {&egos, &alters, &aaties}) {
            if (!file->status())
                return file->status();
        }
        return Status::success();
    }
    Status finish()
    {
        for (StreamedFile *file : {&egos, &alters, &aaties}) {
            const Status done = file->finish();
            if (!done)
                return done;
        }
        return Status::success();
    }
};

// Notes an EgoID that a file before used already: their rows would share egoIDs.
class KeyRegister
{
public:
    void add(const QString &key, const QString &path, QStringList &warnings)
    {
        const QString name = QFileInfo(path).fileName();
        if (m_seen.contains(key)) {
            warnings << u"\"%1\": the ego ID \"%2\" is used by an earlier file too; their rows share the egoID."_s
                            .arg(name, key);
        }
        m_seen.insert(key);
    }

private:
    QSet<QString> m_seen;
};

// Runs an export's walk, stopping it as soon as writing fails.
template <typename T>
StudyWalkResult WalkForExport(const QStringList &files, const StudyWalkOptions &options,
                              const std::function<Status()> &writeStatus,
                              const std::function<T(const QString &, const NetworkModel &)> &work,
                              const std::function<void(const QString &, T &)> &deliver)
{
    StudyWalkOptions walk = options;
    walk.cancelled = [&options, &writeStatus] {
        return !writeStatus().ok() || (options.cancelled && options.cancelled());
    };
    StudyWalkResult result = WalkStudy<T>(files, walk, work, deliver);
    // A walk stopped by a failed write was not cancelled by the person.
    if (result.cancelled && !writeStatus().ok())
        result.cancelled = options.cancelled && options.cancelled();
    return result;
}

// ---- GraphML ------------------------------------------------------------------------

struct GraphKey
{
    const char16_t *id;
    const char16_t *domain;
    const char16_t *type;
};

const GraphKey GraphKeys[] = {
    {u"egoID", u"graph", u"string"},   {u"ego_id", u"graph", u"string"}, {u"card", u"graph", u"int"},
    {u"card_label", u"graph", u"string"}, {u"label", u"node", u"string"},  {u"node_id", u"node", u"string"},
    {u"sector", u"node", u"string"},   {u"sex", u"node", u"string"},     {u"distance", u"node", u"double"},
    {u"angle", u"node", u"double"},    {u"x", u"node", u"double"},       {u"y", u"node", u"double"},
    {u"is_ego", u"node", u"boolean"},  {u"weight", u"edge", u"int"},     {u"color", u"edge", u"int"},
};

class GraphMLWriter
{
public:
    explicit GraphMLWriter(StreamedFile &file) : m_device(file), m_xml(&m_device)
    {
        m_xml.setAutoFormatting(true);
        m_xml.writeStartDocument();
        m_xml.writeStartElement(u"graphml"_s);
        m_xml.writeDefaultNamespace(u"http://graphml.graphdrawing.org/xmlns"_s);
        m_xml.writeNamespace(u"http://www.w3.org/2001/XMLSchema-instance"_s, u"xsi"_s);
        m_xml.writeAttribute(u"http://www.w3.org/2001/XMLSchema-instance"_s, u"schemaLocation"_s,
                             u"http://graphml.graphdrawing.org/xmlns "
                             "http://graphml.graphdrawing.org/xmlns/1.0/graphml.xsd"_s);
        for (const GraphKey &key : GraphKeys) {
            m_xml.writeEmptyElement(u"key"_s);
            m_xml.writeAttribute(u"id"_s, QString::fromUtf16(key.id));
            m_xml.writeAttribute(u"for"_s, QString::fromUtf16(key.domain));
            m_xml.writeAttribute(u"attr.name"_s, QString::fromUtf16(key.id));
            m_xml.writeAttribute(u"attr.type"_s, QString::fromUtf16(key.type));
        }
    }

    void writeEgo(const NetworkModel &model, const QString &egoKey, int onlyCard, const StudyExportOptions &options)
    {
        for (int c = 1; c <= model.CardCount(); ++c) {
            if (onlyCard <= 0 || c == onlyCard)
                writeCard(model, egoKey, c, options);
        }
    }

    void finish()
    {
        m_xml.writeEndElement();
        m_xml.writeEndDocument();
    }

private:
    void data(const QString &key, const QString &value)
    {
        m_xml.writeStartElement(u"data"_s);
        m_xml.writeAttribute(u"key"_s, key);
        m_xml.writeCharacters(XmlText(value));
        m_xml.writeEndElement();
    }

    void writeCard(const NetworkModel &model, const QString &egoKey, int c, const StudyExportOptions &options)
    {
        const NetworkCard &card = model.card(c);
        const QString graph = u"g"_s + QString::number(++m_graphs);
        auto nodeId = [&graph](int node) -> QString { return graph + u'n' + QString::number(node); };
        m_xml.writeStartElement(u"graph"_s);
        m_xml.writeAttribute(u"id"_s, graph);
        m_xml.writeAttribute(u"edgedefault"_s, u"undirected"_s);
        data(u"egoID"_s, CardKey(egoKey, c));
        data(u"ego_id"_s, egoKey);
        data(u"card"_s, QString::number(c));
        data(u"card_label"_s, card.ID);

        m_xml.writeStartElement(u"node"_s);
        m_xml.writeAttribute(u"id"_s, nodeId(0));
        data(u"label"_s, options.includePrivate ? model.ego.Name : QString());
        data(u"node_id"_s, egoKey);
        data(u"sector"_s, {});
        data(u"sex"_s, EgoSexWord(model.ego.Sex));
        for (const char16_t *key : {u"distance", u"angle", u"x", u"y"})
            data(QString::fromUtf16(key), u"0"_s);
        data(u"is_ego"_s, u"true"_s);
        m_xml.writeEndElement();

        for (int n = 1; n <= card.NodeCount(); ++n) {
            const Node &node = card.Nodes[size_t(n)];
            const QPointF at = PlanePosition(node);
            m_xml.writeStartElement(u"node"_s);
            m_xml.writeAttribute(u"id"_s, nodeId(n));
            data(u"label"_s, options.includePrivate ? node.Label : QString());
            data(u"node_id"_s, node.ID);
            data(u"sector"_s, SectorName(card, n));
            data(u"sex"_s, node.Sex);
            data(u"distance"_s, StoredReal(node.Distance));
            data(u"angle"_s, StoredReal(node.Angle));
            data(u"x"_s, Coordinate(at.x()));
            data(u"y"_s, Coordinate(at.y()));
            data(u"is_ego"_s, u"false"_s);
            m_xml.writeEndElement();
        }
        for (int l = 1; l <= card.LineCount(); ++l) {
            const Line &line = card.Lines[size_t(l)];
            if (line.A < 0 || line.B < 0 || line.A > card.NodeCount() || line.B > card.NodeCount())
                continue;
            m_xml.writeStartElement(u"edge"_s);
            m_xml.writeAttribute(u"source"_s, nodeId(line.A));
            m_xml.writeAttribute(u"target"_s, nodeId(line.B));
            data(u"weight"_s, QString::number(line.LineSize));
            data(u"color"_s, QString::number(line.LineColor));
            m_xml.writeEndElement();
        }
        m_xml.writeEndElement();
    }

    StreamedDevice m_device;
    QXmlStreamWriter m_xml;
    int m_graphs = 0;
};

} // namespace

QStringList EgosTableColumns()
{
    return {u"egoID"_s,   u"ego_id"_s, u"card"_s,  u"card_label"_s,  u"date"_s,      u"year"_s,     u"sex"_s,
            u"circles"_s, u"name"_s,   u"misc1"_s, u"misc2"_s,       u"interviewer"_s, u"card_memo"_s};
}

QStringList AltersTableColumns()
{
    return {u"egoID"_s, u"alterID"_s, u"node_id"_s, u"label"_s,    u"sex"_s, u"human"_s,
            u"size"_s,  u"color"_s,   u"sector"_s,  u"role"_s,     u"distance"_s, u"angle"_s,
            u"ring"_s,  u"x"_s,       u"y"_s,       u"line_to_ego"_s, u"memo1"_s, u"memo2"_s};
}

QStringList AatiesTableColumns()
{
    return {u"egoID"_s, u"Source"_s, u"Target"_s, u"weight"_s, u"color"_s};
}

QByteArray CsvRecord(const QStringList &cells)
{
    QByteArray out;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += ',';
        const QString &cell = cells[i];
        if (cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n') || cell.contains(u'\r')) {
            QString quoted = cell;
            quoted.replace(u"\""_s, u"\"\""_s);
            out += '"' + quoted.toUtf8() + '"';
        } else {
            out += cell.toUtf8();
        }
    }
    out += "\r\n";
    return out;
}

QString EgoKey(const NetworkModel &model, const QString &fallbackID)
{
    return IsBlank(model.ego.EgoID) ? fallbackID : model.ego.EgoID;
}

EgoTableRows EgoTables(const NetworkModel &model, const QString &fallbackID, const StudyExportOptions &options)
{
    EgoTableRows rows;
    const Ego &ego = model.ego;
    const QString egoKey = EgoKey(model, fallbackID);
    rows.key = egoKey;
    auto privateText = [&options](const QString &text) { return options.includePrivate ? text : QString(); };
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        const QString key = CardKey(egoKey, c);
        rows.egos += CsvRecord({key, egoKey, QString::number(c), card.ID, card.Date, ego.Year, EgoSexWord(ego.Sex),
                                QString::number(card.Circles), privateText(ego.Name), privateText(ego.Misc1),
                                privateText(ego.Misc2), privateText(card.Interviewer), privateText(card.CardMemo)});
        for (int n = 1; n <= card.NodeCount(); ++n) {
            const Node &node = card.Nodes[size_t(n)];
            const QPointF at = PlanePosition(node);
            const int ring = RingOfDistance(node.Distance, card.Circles);
            rows.alters += CsvRecord({key, QString::number(n), node.ID, privateText(node.Label), node.Sex, node.Human,
                                      QString::number(node.Size), QString::number(node.Color), SectorName(card, n),
                                      node.Role, StoredReal(node.Distance), StoredReal(node.Angle),
                                      ring > 0 ? QString::number(ring) : QString(), Coordinate(at.x()),
                                      Coordinate(at.y()), QString::number(LineToEgo(card, n)),
                                      privateText(node.Memo1), privateText(node.Memo2)});
        }
        for (int l = 1; l <= card.LineCount(); ++l) {
            const Line &line = card.Lines[size_t(l)];
            if (!IsAlter(card, line.A) || !IsAlter(card, line.B))
                continue;
            rows.aaties += CsvRecord({key, QString::number(line.A), QString::number(line.B),
                                      QString::number(line.LineSize), QString::number(line.LineColor)});
        }
    }
    return rows;
}

StudyExportResult ExportStudyTables(const QStringList &files, const QString &folder,
                                    const StudyExportOptions &options, const StudyWalkOptions &walk)
{
    StudyExportResult result;
    TableFiles tables(folder);
    result.written = tables.open();
    if (!result.written)
        return result;
    KeyRegister keys;
    result.walk = WalkForExport<EgoTableRows>(
        files, walk, [&tables] { return tables.status(); },
        [&options](const QString &path, const NetworkModel &model) {
            return EgoTables(model, QFileInfo(path).completeBaseName(), options);
        },
        [&](const QString &path, EgoTableRows &rows) {
            keys.add(rows.key, path, result.warnings);
            tables.append(rows);
        });
    result.written = tables.status();
    if (result.written && !result.walk.cancelled)
        result.written = tables.finish();
    return result;
}

Status ExportEgoTables(const NetworkModel &model, const QString &fallbackID, const QString &folder,
                       const StudyExportOptions &options)
{
    TableFiles tables(folder);
    const Status opened = tables.open();
    if (!opened)
        return opened;
    tables.append(EgoTables(model, fallbackID, options));
    return tables.finish();
}

StudyExportResult ExportStudyGraphML(const QStringList &files, const QString &path, int card,
                                     const StudyExportOptions &options, const StudyWalkOptions &walk)
{
    StudyExportResult result;
    StreamedFile file(path);
    result.written = file.open();
    if (!result.written)
        return result;
    GraphMLWriter writer(file);
    KeyRegister keys;
    // The XML is written on the delivering thread, in order; the workers only read.
    result.walk = WalkForExport<std::shared_ptr<const NetworkModel>>(
        files, walk, [&file] { return file.status(); },
        [](const QString &, const NetworkModel &model) { return std::make_shared<const NetworkModel>(model); },
        [&](const QString &egoPath, std::shared_ptr<const NetworkModel> &model) {
            const QString key = EgoKey(*model, QFileInfo(egoPath).completeBaseName());
            keys.add(key, egoPath, result.warnings);
            if (card > model->CardCount()) {
                result.skipped.push_back({egoPath, u"\"%1\" has no network card %2 (it holds %3)."_s.arg(
                                                       QFileInfo(egoPath).fileName())
                                                       .arg(card)
                                                       .arg(model->CardCount())});
            }
            writer.writeEgo(*model, key, card, options);
        });
    writer.finish();
    result.written = file.status();
    if (result.written && !result.walk.cancelled)
        result.written = file.finish();
    return result;
}

Status ExportEgoGraphML(const NetworkModel &model, const QString &fallbackID, const QString &path, int card,
                        const StudyExportOptions &options)
{
    StreamedFile file(path);
    const Status opened = file.open();
    if (!opened)
        return opened;
    GraphMLWriter writer(file);
    writer.writeEgo(model, EgoKey(model, fallbackID), card, options);
    writer.finish();
    return file.finish();
}

} // namespace korvalo

#include "core/egofile/egofile.h"

#include "core/egofile/egofields.h"
#include "core/egofile/egoreader.h"
#include "core/egofile/egoscanner.h"
#include "core/egofile/linejoin.h"
#include "core/egofile/platformfile.h"
#include "core/egofile/textcodec.h"
#include "core/model/textutil.h"

#include <QFileInfo>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace korvalo {

namespace {

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

class Reader
{
public:
    Reader(const QString &displayName, QChar separator, InfoSink warnings)
        : m_name(displayName), m_separator(char(separator.unicode() < 0x80 ? separator.unicode() : '.')),
          m_warnings(std::move(warnings))
    {
        if (m_warnings)
            m_layoutWarnings = [this](const QString &line) { m_heldWarnings.append(line); };
    }
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    // After a failed read whose fault was a number written with "." or "," where the
    // reader's separator is another: that separator; otherwise 0.
    char otherSeparator() const { return m_otherSeparator; }

    // Reads the joined lines of a file (LineJoiner).
    // `layoutTried`: readLayout() has already failed on this text with this separator.
    Status read(std::string_view all, NetworkModel &out, bool layoutTried = false)
    {
        // Files as this program writes them are read in one pass; any other file, and
        // any file with a fault, is read again by the searches below, which give the
        // same model for the first kind and the messages for the second.
        if (!layoutTried && readLayout(all, out))
            return Status::success();
        out = NetworkModel();
        m_utf8 = IsValidUtf8(all);
        m_error = Status::success();
        m_otherSeparator = 0;

        const size_t egoOpen = FindText(all, "<Ego>");
        if (egoOpen == std::string_view::npos)
            return Status::failure(QStringLiteral("\"%1\" is not a Korvalo ego file.").arg(m_name));
        const auto egoElement = FindElement(all, "Ego");
        if (!egoElement)
            return failure(QStringLiteral("the file ends before \"</Ego>\"; it seems to be incomplete."));
        const std::string_view egoText = egoElement->value;

        // The ego's and the cards' fields are the first of their name anywhere in the
        // record's text.
        m_at = {0, "ego", 0};
        Ego ego;
        if (!readFields<EgoFields>(searched<EgoFields>(egoText), ego, 0))
            return m_error;
        SetupEgo(out, ego.Name, ego.Year, ego.Sex, ego.Misc1, ego.Misc2, ego.EgoID);

        std::string_view cards = egoText;
        for (int cardNo = 1;; ++cardNo) {
            const auto cardElement = FindElement(cards, "Card");
            if (!cardElement)
                break;
            cards = cardElement->rest;
            m_at = {cardNo, nullptr, 0};
            if (!readCard(cardElement->value, cardNo, out))
                return m_error;
        }
        out.CurrentCard = out.CardCount() > 0 ? 1 : 0;
        return Status::success();
    }

    // Reads a file's text, or its joined lines, in the writer's own layout (RecordLayout)
    // as read() would; false, with `out` to be thrown away and no warning handed on, at
    // the first departure from that layout or fault in the file.
    bool readLayout(std::string_view all, NetworkModel &out)
    {
        m_utf8 = IsValidUtf8(all);
        m_heldWarnings.clear();
        if (!readInLayout(all, out))
            return false;
        for (const QString &line : std::as_const(m_heldWarnings))
            AppendInfoLine(m_warnings, line);
        return true;
    }

private:
    bool readInLayout(std::string_view all, NetworkModel &out)
    {
        static const RecordLayout egoLayout("<Ego>", EgoFields, "");
        static const RecordLayout cardLayout("<Card>", CardFields, "");
        static const RecordLayout sectorLayout("<Sector>", SectorFields, "</Sector>");
        static const RecordLayout nodeLayout("<Node>", NodeFields, "</Node>");
        static const RecordLayout lineLayout("<Line>", LineFields, "</Line>");
        const char *p = all.data();
        const char *const end = p + all.size();

        std::array<std::string_view, ReadFieldCount(EgoFields)> egoValues;
        if (egoLayout.take(p, end, egoValues) != RecordLayout::Taken)
            return false;
        Ego ego;
        if (!readFields<EgoFields>(egoValues, ego, 0))
            return false;
        SetupEgo(out, ego.Name, ego.Year, ego.Sex, ego.Misc1, ego.Misc2, ego.EgoID);

        std::array<std::string_view, ReadFieldCount(CardFields)> cardValues;
        std::array<std::string_view, ReadFieldCount(SectorFields)> sectorValues;
        std::array<std::string_view, ReadFieldCount(NodeFields)> nodeValues;
        std::array<std::string_view, ReadFieldCount(LineFields)> lineValues;
        for (int cardNo = 1;; ++cardNo) {
            RecordLayout::Match match = cardLayout.take(p, end, cardValues);
            if (match == RecordLayout::Absent)
                break;
            NetworkCard card;
            if (match != RecordLayout::Taken || !readFields<CardFields>(cardValues, card, cardNo))
                return false;
            if (!AddCard(out, card.ID, card.Circles, card.EgoNode, card.EgoColor, card.Interviewer, card.Date,
                         card.CardMemo))
                return false;

            while ((match = sectorLayout.take(p, end, sectorValues)) == RecordLayout::Taken) {
                Sector sector;
                const int sectorNo = out.card(cardNo).SectorCount() + 1;
                if (!readFields<SectorFields>(sectorValues, sector, sectorNo)
                    || !AddSector(out, cardNo, sector.SectorName, sector.SectorColor, sector.SectorAngle))
                    return false;
            }
            if (match == RecordLayout::Different)
                return false;

            m_nodes.clear();
            while ((match = nodeLayout.take(p, end, nodeValues)) == RecordLayout::Taken) {
                Node &node = m_nodes.emplace_back();
                if (!readFields<NodeFields>(nodeValues, node, int(m_nodes.size())) || m_nodes.size() > size_t(MaxNodes))
                    return false;
            }
            if (match == RecordLayout::Different)
                return false;
            out.card(cardNo).Nodes.reserve(m_nodes.size() + 1);
            for (Node &node : m_nodes) {
                if (!AddNode(out, cardNo, std::move(node), m_layoutWarnings, QLatin1Char(m_separator)))
                    return false;
            }
            m_nodes.clear();

            int lineNo = 0;
            while ((match = lineLayout.take(p, end, lineValues)) == RecordLayout::Taken) {
                Line line;
                if (!readFields<LineFields>(lineValues, line, ++lineNo)
                    || !AddLine(out, line.A, line.B, line.LineSize, line.LineColor))
                    return false;
            }
            if (match == RecordLayout::Different || !RecordLayout::takeTag(p, end, "</Card>"))
                return false;
        }
        if (!RecordLayout::takeTag(p, end, "</Ego>"))
            return false;
        out.CurrentCard = out.CardCount() > 0 ? 1 : 0;
        return true;
    }

    // The values of a record's read fields, each the first of its name anywhere in text.
    template <const auto &Fields>
    static std::array<std::string_view, ReadFieldCount(Fields)> searched(std::string_view text)
    {
        std::array<std::string_view, ReadFieldCount(Fields)> values{};
        size_t n = 0;
        for (const auto &f : Fields) {
            if (f.kind != FieldKind::Position)
                values[n++] = ExtractTagValue(text, f.tag);
        }
        return values;
    }

    // Position of field i's value among the read fields.
    template <const auto &Fields>
    static constexpr size_t slotOf(size_t i)
    {
        size_t n = 0;
        for (size_t k = 0; k < i; ++k)
            n += Fields[k].kind != FieldKind::Position;
        return n;
    }

    template <const auto &Fields, size_t I, typename R, size_t M>
    bool readNumber(const std::array<std::string_view, M> &values, R &record)
    {
        constexpr auto &f = Fields[I];
        constexpr size_t slot = slotOf<Fields>(I);
        if constexpr (f.kind == FieldKind::Integer) {
            return integer(values[slot], f.tag, record.*(f.integer));
        } else if constexpr (f.kind == FieldKind::OptionalInteger) {
            if (values[slot].empty()) {
                record.*(f.integer) = f.fallback;
                return true;
            }
            return integer(values[slot], f.tag, record.*(f.integer));
        } else if constexpr (f.kind == FieldKind::Real) {
            return real(values[slot], f.tag, record.*(f.real));
        } else {
            return true;
        }
    }

    template <const auto &Fields, size_t I, typename R, size_t M>
    void readText(const std::array<std::string_view, M> &values, R &record, int number)
    {
        constexpr auto &f = Fields[I];
        constexpr size_t slot = slotOf<Fields>(I);
        if constexpr (f.kind == FieldKind::Text) {
            if constexpr (f.repeats)
                record.*(f.text) = repeatedText(slot, values[slot], f.asRead);
            else if constexpr (f.normalised)
                record.*(f.text) = f.asRead(text(values[slot]), number);
            else
                record.*(f.text) = text(values[slot]);
        }
    }

    // Fills a record from the values of its read fields, in table order. Numbers first,
    // so that a refused record costs no decoding. The table is known when compiling, so
    // each record's reading comes out as if written field by field.
    template <const auto &Fields, typename R, size_t M>
    bool readFields(const std::array<std::string_view, M> &values, R &record, int number)
    {
        static_assert(M == ReadFieldCount(Fields));
        return [&]<size_t... I>(std::index_sequence<I...>) {
            if (!(readNumber<Fields, I>(values, record) && ...))
                return false;
            (readText<Fields, I>(values, record, number), ...);
            return true;
        }(std::make_index_sequence<Fields.size()>{});
    }

    bool readCard(std::string_view cardText, int cardNo, NetworkModel &out)
    {
        NetworkCard card;
        if (!readFields<CardFields>(searched<CardFields>(cardText), card, cardNo))
            return false;
        const Status added = AddCard(out, card.ID, card.Circles, card.EgoNode, card.EgoColor, card.Interviewer,
                                     card.Date, card.CardMemo);
        if (!added)
            return fail(QStringLiteral("the file holds more than %1 network cards.").arg(MaxCards), false);

        // Sectors
        static constexpr FieldScanner sectorScanner(ReadTags<SectorFields>());
        std::string_view rest = cardText;
        std::string_view afterLast = cardText;
        int sectorNo = 0;
        while (auto sectorElement = FindElement(rest, "Sector")) {
            rest = sectorElement->rest;
            afterLast = rest;
            ++sectorNo;
            m_at = {cardNo, "sector", sectorNo};
            Sector sector;
            if (!readFields<SectorFields>(sectorScanner.scan(sectorElement->value).value, sector, sectorNo))
                return false;
            if (!AddSector(out, cardNo, sector.SectorName, sector.SectorColor, sector.SectorAngle))
                return fail(QStringLiteral("the card holds more than %1 sectors.").arg(MaxSectors), false);
        }

        // Nodes, searched from the card's start. They are gathered first and then moved
        // into the card in one allocation of the right size: a card's node table grown
        // node by node touches fresh memory at every step.
        static constexpr FieldScanner nodeScanner(ReadTags<NodeFields>());
        rest = cardText;
        int nodeNo = 0;
        m_nodes.clear();
        while (auto nodeElement = FindElement(rest, "Node")) {
            rest = nodeElement->rest;
            afterLast = rest;
            ++nodeNo;
            m_at = {cardNo, "node", nodeNo};
            Node &node = m_nodes.emplace_back();
            if (!readFields<NodeFields>(nodeScanner.scan(nodeElement->value).value, node, nodeNo))
                return false;
            if (nodeNo > MaxNodes)
                return fail(QStringLiteral("the card holds more than %1 nodes.").arg(MaxNodes), false);
        }
        out.card(cardNo).Nodes.reserve(m_nodes.size() + 1);
        for (Node &node : m_nodes) {
            if (!AddNode(out, cardNo, std::move(node), m_warnings, QLatin1Char(m_separator)))
                return fail(QStringLiteral("the card holds more than %1 nodes.").arg(MaxNodes), false);
        }
        m_nodes.clear();

        // Lines, after the last node record (or sector record)
        static constexpr FieldScanner lineScanner(ReadTags<LineFields>());
        rest = afterLast;
        int lineNo = 0;
        while (auto lineElement = FindElement(rest, "Line")) {
            rest = lineElement->rest;
            ++lineNo;
            m_at = {cardNo, "line", lineNo};
            Line line;
            if (!readFields<LineFields>(lineScanner.scan(lineElement->value).value, line, lineNo))
                return false;
            if (!AddLine(out, line.A, line.B, line.LineSize, line.LineColor))
                return fail(QStringLiteral("the card holds more than %1 lines.").arg(MaxLines), false);
        }
        m_at = {cardNo, nullptr, 0};
        return true;
    }

    QString text(std::string_view bytes) const { return DecodeEgoText(bytes, m_utf8); }

    // Many fields repeat the previous record's value ("TRUE", "normal", a role); those
    // share the text already made instead of decoding it again.
    QString repeatedText(size_t slot, std::string_view bytes, QString (*asRead)(const QString &, int))
    {
        Cached &c = m_cache[slot];
        if (!c.valid || c.bytes != bytes) {
            c.bytes = bytes;
            c.text = asRead ? asRead(text(bytes), 0) : text(bytes);
            c.valid = true;
        }
        return c.text;
    }

    bool integer(std::string_view value, std::string_view field, int &out)
    {
        if (auto v = ParseInteger(value)) {
            out = *v;
            return true;
        }
        return conversionError(value, field, QStringLiteral("a whole number"));
    }

    bool real(std::string_view value, std::string_view field, float &out)
    {
        if (auto v = ParseReal(value, m_separator)) {
            out = *v;
            return true;
        }
        return conversionError(value, field, QStringLiteral("a number"));
    }

    bool conversionError(std::string_view value, std::string_view field, const QString &expected)
    {
        const QString name = QString::fromLatin1(field.data(), qsizetype(field.size()));
        if (TrimmedBytes(value).empty())
            return fail(QStringLiteral("\"%1\" is empty, %2 is expected.").arg(name, expected), false);
        QString shown = text(value);
        if (shown.size() > 60)
            shown = shown.left(57) + QStringLiteral("...");
        QString message = QStringLiteral("\"%1\" holds \"%2\", which is not %3").arg(name, shown, expected);
        for (const char other : {'.', ','}) {
            if (expected == u"a number" && other != m_separator && value.find(other) != std::string_view::npos
                && ParseReal(value, other)) {
                m_otherSeparator = other;
                message += QStringLiteral(" with the decimal separator \"%1\" (see Options > Read/Write)")
                               .arg(QLatin1Char(m_separator));
                break;
            }
        }
        return fail(message + u'.', false);
    }

    bool fail(const QString &what, bool)
    {
        m_error = failure(what);
        return false;
    }

    Status failure(const QString &what) const
    {
        QString where;
        if (m_at.card > 0)
            where = QStringLiteral("card %1").arg(m_at.card);
        if (m_at.record) {
            if (!where.isEmpty())
                where += QStringLiteral(", ");
            where += QString::fromLatin1(m_at.record);
            if (m_at.number > 0)
                where += QStringLiteral(" %1").arg(m_at.number);
        }
        if (!where.isEmpty())
            where += QStringLiteral(": ");
        return Status::failure(QStringLiteral("Cannot read \"%1\": %2%3").arg(m_name, where, what));
    }

    struct Cached
    {
        std::string_view bytes;
        QString text;
        bool valid = false;
    };
    std::array<Cached, 20> m_cache;
    std::vector<Node> m_nodes; // the nodes of the card being read
    // Warnings of the one-pass reading, handed on once it has read the whole file.
    InfoSink m_layoutWarnings;
    QStringList m_heldWarnings;

    QString m_name;
    char m_separator;
    InfoSink m_warnings;
    bool m_utf8 = true;
    char m_otherSeparator = 0;
    // Where the reader is, for messages: card number, record kind and number.
    struct Location
    {
        int card = 0;
        const char *record = nullptr;
        int number = 0;
    } m_at;
    Status m_error = Status::success();
};

} // namespace

Result<NetworkModel> ReadJoinedLines(std::string_view joined, const QString &displayName, const ReadOptions &options,
                                     bool layoutTried)
{
    QStringList infoLines;
    // Warnings of a refused file would only confuse: they are handed on after success.
    auto collectInto = [&options](QStringList &lines) {
        InfoSink collect;
        if (options.warnings)
            collect = [&lines](const QString &line) { lines.append(line); };
        return collect;
    };
    NetworkModel fresh;
    Reader reader(displayName, options.DecimalSeparator, collectInto(infoLines));
    const Status status = reader.read(joined, fresh, layoutTried);
    QString note;
    if (!status) {
        // A file written with the other decimal separator is read with that one; the
        // setting stays as it is. A file that fails both ways gets the first message.
        const char other = reader.otherSeparator();
        if (!other)
            return Result<NetworkModel>::failure(status.message());
        NetworkModel second;
        QStringList secondLines;
        Reader again(displayName, QChar::fromLatin1(other), collectInto(secondLines));
        if (!again.read(joined, second))
            return Result<NetworkModel>::failure(status.message());
        fresh = std::move(second);
        infoLines = std::move(secondLines);
        note = QStringLiteral("\"%1\" writes its numbers with the decimal separator \"%2\" and was read that way.")
                   .arg(displayName, QChar::fromLatin1(other));
    }
    fresh.EgoPresent = true;
    if (!note.isEmpty())
        AppendInfoLine(options.notes, note);
    for (const QString &line : std::as_const(infoLines))
        AppendInfoLine(options.warnings, line);
    return Result<NetworkModel>::success(std::move(fresh));
}

Result<NetworkModel> ReadEgoText(std::string_view text, const QString &displayName, const ReadOptions &options)
{
    {
        std::string_view body = text;
        if (body.substr(0, 3) == "\xEF\xBB\xBF")
            body.remove_prefix(3);
        QStringList infoLines;
        InfoSink collect;
        if (options.warnings)
            collect = [&infoLines](const QString &line) { infoLines.append(line); };
        NetworkModel fresh;
        Reader reader(displayName, options.DecimalSeparator, collect);
        if (reader.readLayout(body, fresh)) {
            fresh.EgoPresent = true;
            for (const QString &line : std::as_const(infoLines))
                AppendInfoLine(options.warnings, line);
            return Result<NetworkModel>::success(std::move(fresh));
        }
    }
    LineJoiner joiner(text.size());
    joiner.feed(text);
    const TextBuffer joined = joiner.finish();
    // Not in the writer's layout as it stands (a value broken over lines at most comes
    // into it by joining): the searches read it.
    return ReadJoinedLines(joined, displayName, options, true);
}

Result<NetworkModel> ReadEgoBytes(const QByteArray &bytes, const QString &displayName, const ReadOptions &options)
{
    return ReadEgoText(std::string_view(bytes.constData(), size_t(bytes.size())), displayName, options);
}

Result<NetworkModel> ReadEgoFile(const QString &path, const ReadOptions &options)
{
    // Read in pieces, not mapped: a file cut short by another program while it is read
    // gives a message rather than a crash. The lines are joined as they come, which
    // holds less than the file's bytes (no indents, no line ends).
    std::optional<LineJoiner> joiner;
    const QString problem = ReadFileInPieces(path, [&](qint64 size) { joiner.emplace(size_t(size)); },
                                             [&](std::string_view piece) { joiner->feed(piece); });
    if (!problem.isEmpty()) {
        static const QString cannotOpen = QStringLiteral("cannot open: ");
        if (problem.startsWith(cannotOpen))
            return Result<NetworkModel>::failure(
                QStringLiteral("Cannot open \"%1\": %2").arg(fileNameOf(path), problem.mid(cannotOpen.size())));
        return Result<NetworkModel>::failure(QStringLiteral("Cannot read \"%1\": %2").arg(fileNameOf(path), problem));
    }
    const TextBuffer joined = joiner->finish();
    return ReadJoinedLines(joined, fileNameOf(path), options);
}

} // namespace korvalo

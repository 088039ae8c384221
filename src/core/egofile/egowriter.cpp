#include "core/egofile/egofile.h"

#include "core/egofile/egofields.h"
#include "core/egofile/egoreader.h"
#include "core/egofile/linejoin.h"
#include "core/egofile/safefile.h"
#include "core/egofile/textcodec.h"
#include "core/model/textutil.h"

#include <QFileInfo>

#include <charconv>
#include <cstring>
#include <optional>
#include <utility>

namespace korvalo {

namespace {

class Writer
{
public:
    explicit Writer(bool utf8) : m_utf8(utf8) {}
    bool utf8() const { return m_utf8; }

    TextBuffer out;

    void open(int indent, std::string_view tag)
    {
        out.append(size_t(indent), ' ');
        out += '<';
        out += tag;
        out += ">\r\n";
    }
    void close(int indent, std::string_view tag)
    {
        out.append(size_t(indent), ' ');
        out += "</";
        out += tag;
        out += ">\r\n";
    }
    void begin(int indent, std::string_view tag)
    {
        out.append(size_t(indent), ' ');
        out += '<';
        out += tag;
        out += '>';
    }
    void end(std::string_view tag)
    {
        out += "</";
        out += tag;
        out += ">\r\n";
    }
    void field(int indent, std::string_view tag, const QString &value)
    {
        begin(indent, tag);
        AppendEgoText(out, value, m_utf8);
        end(tag);
    }
    void field(int indent, std::string_view tag, int value)
    {
        begin(indent, tag);
        char buf[16];
        const auto res = std::to_chars(buf, buf + sizeof buf, value);
        out.append(buf, size_t(res.ptr - buf));
        end(tag);
    }
    void real(int indent, std::string_view tag, float value, int decimals)
    {
        begin(indent, tag);
        AppendDecimal(out, double(value), decimals, 7);
        end(tag);
    }


    template <typename R, size_t N>
    void fields(int indent, const std::array<EgoField<R>, N> &table, const R &record, int number)
    {
        for (const EgoField<R> &f : table) {
            switch (f.kind) {
            case FieldKind::Text:
                field(indent, f.tag, record.*f.text);
                break;
            case FieldKind::Integer:
            case FieldKind::OptionalInteger:
                field(indent, f.tag, record.*f.integer);
                break;
            case FieldKind::Real:
                real(indent, f.tag, record.*f.real, f.decimals);
                break;
            case FieldKind::Position:
                field(indent, f.tag, number);
                break;
            }
        }
    }

    template <typename R, size_t N>
    void record(int indent, std::string_view tag, const std::array<EgoField<R>, N> &table, const R &values, int number)
    {
        open(indent, tag);
        fields(indent + 2, table, values, number);
        close(indent, tag);
    }

private:
    bool m_utf8;
};

// The widest character set of the model's texts.
template <typename R, size_t N>
bool widen(Charset &widest, const std::array<EgoField<R>, N> &table, const R &record)
{
    for (const EgoField<R> &f : table) {
        if (f.kind != FieldKind::Text)
            continue;
        const QString &s = record.*f.text;
        if (!s.isEmpty()) {
            const Charset c = CharsetOf(s);
            if (c > widest)
                widest = c;
            if (widest == Charset::Unicode)
                return false;
        }
    }
    return true;
}

Charset modelCharset(const NetworkModel &model)
{
    Charset widest = Charset::Ascii;
    if (!widen(widest, EgoFields, model.ego))
        return widest;
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        if (!widen(widest, CardFields, card))
            return widest;
        for (int s = 1; s <= card.SectorCount(); ++s) {
            if (!widen(widest, SectorFields, card.Sectors[size_t(s)]))
                return widest;
        }
        for (int n = 1; n <= card.NodeCount(); ++n) {
            if (!widen(widest, NodeFields, card.Nodes[size_t(n)]))
                return widest;
        }
    }
    return widest;
}

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

// ---------------------------------------------------------------------------------------
// The read-back check: what the reader would make of each value, against the model.

// A record for messages, formatted only when something differs.
struct Where
{
    int card = 0;         // 0 = the ego
    const char *record = nullptr;
    int number = 0;

    QString text() const
    {
        if (card == 0)
            return QStringLiteral("ego");
        QString t = QStringLiteral("card %1").arg(card);
        if (record)
            t += QStringLiteral(", %1 %2").arg(QString::fromLatin1(record)).arg(number);
        return t;
    }
};

class Comparer
{
public:
    QString difference; // empty while the two agree

    bool same() const { return difference.isEmpty(); }

    void text(const Where &where, std::string_view field, const QString &expected, const QString &actual)
    {
        if (!same() || expected == actual)
            return;
        auto shown = [](QString s) {
            s.replace(u'\r', u' ').replace(u'\n', u' ');
            return s.size() > 60 ? s.left(57) + QStringLiteral("...") : s;
        };
        difference = QStringLiteral("%1: \"%2\" holds \"%3\", which would be read back as \"%4\"")
                         .arg(where.text(), QString::fromLatin1(field.data(), qsizetype(field.size())), shown(expected), shown(actual));
        if (expected.contains(u'\r') || expected.contains(u'\n'))
            difference += QStringLiteral(" (a line break cannot be kept)");
        else if (expected.contains(u'<'))
            difference += QStringLiteral(" (the text looks like a tag of the file)");
        difference += u'.';
    }
    void number(const Where &where, std::string_view field, int expected, int actual)
    {
        if (expected != actual)
            text(where, field, QString::number(expected), QString::number(actual));
    }
    // Reals agree when they are written the same way.
    void real(const Where &where, std::string_view field, float expected, float actual, int decimals)
    {
        if (expected == actual)
            return;
        const QString a = FormatDecimal(expected, decimals, 7, u'.');
        const QString b = FormatDecimal(actual, decimals, 7, u'.');
        if (a != b)
            text(where, field, a, b);
    }
};

template <const auto &Fields, size_t I, typename R>
void compareField(Comparer &cmp, const Where &where, const R &expected, const R &actual, int number)
{
    constexpr auto &f = Fields[I];
    if (!cmp.same())
        return;
    if constexpr (f.kind == FieldKind::Text) {
        if constexpr (f.normalised)
            cmp.text(where, f.tag, f.asRead(expected.*(f.text), number), actual.*(f.text));
        else
            cmp.text(where, f.tag, expected.*(f.text), actual.*(f.text));
    } else if constexpr (f.kind == FieldKind::Integer || f.kind == FieldKind::OptionalInteger) {
        cmp.number(where, f.tag, expected.*(f.integer), actual.*(f.integer));
    } else if constexpr (f.kind == FieldKind::Real) {
        cmp.real(where, f.tag, expected.*(f.real), actual.*(f.real), f.decimals);
    }
}

// Compares a record with what the reader made of it, field by field in table order; the
// first difference is kept.
template <const auto &Fields, typename R>
void compareFields(Comparer &cmp, const Where &where, const R &expected, const R &actual, int number)
{
    [&]<size_t... I>(std::index_sequence<I...>) {
        (compareField<Fields, I>(cmp, where, expected, actual, number), ...);
    }(std::make_index_sequence<Fields.size()>{});
}

QString compareModels(const NetworkModel &model, const NetworkModel &back)
{
    Comparer cmp;
    compareFields<EgoFields>(cmp, Where{}, model.ego, back.ego, 0);
    if (!cmp.same())
        return cmp.difference;
    if (back.CardCount() != model.CardCount())
        return QStringLiteral("the file would hold %1 network cards instead of %2 (a text looks like a tag of the file).")
            .arg(back.CardCount())
            .arg(model.CardCount());

    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &a = model.card(c);
        const NetworkCard &b = back.card(c);
        const Where where{c, nullptr, 0};
        compareFields<CardFields>(cmp, where, a, b, c);
        if (!cmp.same())
            return cmp.difference;
        if (a.SectorCount() != b.SectorCount() || a.NodeCount() != b.NodeCount() || a.LineCount() != b.LineCount())
            return QStringLiteral("%1 would be read back with %2 sectors, %3 nodes and %4 lines instead of %5, %6 and %7 "
                                  "(a text looks like a tag of the file).")
                .arg(where.text())
                .arg(b.SectorCount())
                .arg(b.NodeCount())
                .arg(b.LineCount())
                .arg(a.SectorCount())
                .arg(a.NodeCount())
                .arg(a.LineCount());
        for (int s = 1; s <= a.SectorCount() && cmp.same(); ++s)
            compareFields<SectorFields>(cmp, Where{c, "sector", s}, a.Sectors[size_t(s)], b.Sectors[size_t(s)], s);
        for (int n = 1; n <= a.NodeCount() && cmp.same(); ++n)
            compareFields<NodeFields>(cmp, Where{c, "node", n}, a.Nodes[size_t(n)], b.Nodes[size_t(n)], n);
        for (int l = 1; l <= a.LineCount() && cmp.same(); ++l)
            compareFields<LineFields>(cmp, Where{c, "line", l}, a.Lines[size_t(l)], b.Lines[size_t(l)], l);
        if (!cmp.same())
            return cmp.difference;
    }
    return {};
}

TextBuffer egoFileText(const NetworkModel &model, bool utf8)
{
    Writer w(utf8);
    // Reserve the whole file at once: tags and numbers take at most the fixed amounts of
    // the field tables, texts at most three bytes a character.
    const size_t perChar = w.utf8() ? 3 : 1;
    size_t estimate = 1024 + FixedRecordBytes(EgoFields, 2) + perChar * TextChars(EgoFields, model.ego);
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        estimate += FixedRecordBytes(CardFields, 4) + perChar * TextChars(CardFields, card);
        estimate += size_t(card.SectorCount()) * FixedRecordBytes(SectorFields, 6);
        for (int s = 1; s <= card.SectorCount(); ++s)
            estimate += perChar * TextChars(SectorFields, card.Sectors[size_t(s)]);
        estimate += size_t(card.NodeCount()) * FixedRecordBytes(NodeFields, 6);
        for (int n = 1; n <= card.NodeCount(); ++n)
            estimate += perChar * TextChars(NodeFields, card.Nodes[size_t(n)]);
        estimate += size_t(card.LineCount()) * FixedRecordBytes(LineFields, 6);
    }
    w.out.reserve(estimate);

    w.open(0, "Ego");
    w.fields(2, EgoFields, model.ego, 0);
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        w.open(2, "Card");
        w.fields(4, CardFields, card, c);
        for (int s = 1; s <= card.SectorCount(); ++s)
            w.record(4, "Sector", SectorFields, card.Sectors[size_t(s)], s);
        for (int n = 1; n <= card.NodeCount(); ++n)
            w.record(4, "Node", NodeFields, card.Nodes[size_t(n)], n);
        for (int l = 1; l <= card.LineCount(); ++l)
            w.record(4, "Line", LineFields, card.Lines[size_t(l)], l);
        w.close(2, "Card");
    }
    w.close(0, "Ego");
    return std::move(w.out);
}

} // namespace

TextBuffer EgoFileText(const NetworkModel &model)
{
    // Windows-1252 bytes that happen to be valid UTF-8 ("MÃ¼ller" is "Müller" in UTF-8)
    // would be read back as UTF-8; such a file is written in UTF-8 like one whose texts
    // do not fit Windows-1252.
    const Charset widest = modelCharset(model);
    if (widest == Charset::Windows1252) {
        TextBuffer text = egoFileText(model, false);
        if (!IsValidUtf8(text))
            return text;
    }
    return egoFileText(model, widest == Charset::Unicode || widest == Charset::Windows1252);
}

QByteArray EgoFileBytes(const NetworkModel &model)
{
    const TextBuffer text = EgoFileText(model);
    return QByteArray(text.data(), qsizetype(text.size()));
}

Status WriteEgoFile(const NetworkModel &model, const QString &path)
{
    const QString name = fileNameOf(path);
    const TextBuffer bytes = EgoFileText(model);

    // Read the written file back and compare it with the model: a value holding the text
    // of a tag, or a line break, would come back different. While the file comes back as
    // it was written, the text in memory is what is read; only a file that comes back
    // different is kept, joined, to be read.
    size_t same = 0; // bytes that came back as written
    std::optional<LineJoiner> joiner;
    auto keepFromNowOn = [&] {
        if (!joiner) {
            joiner.emplace(bytes.size());
            joiner->feed(std::string_view(bytes.data(), same));
        }
    };
    WrittenFileCheck check;
    check.consume = [&](std::string_view piece) {
        if (!joiner) {
            if (piece.size() <= bytes.size() - same && std::memcmp(bytes.data() + same, piece.data(), piece.size()) == 0) {
                same += piece.size();
                return;
            }
            keepFromNowOn();
        }
        joiner->feed(piece);
    };
    check.verdict = [&]() -> QString {
        const Result<NetworkModel> reread = [&] {
            if (!joiner && same == bytes.size())
                return ReadEgoText(bytes, name);
            keepFromNowOn();
            const TextBuffer joined = joiner->finish();
            return ReadJoinedLines(joined, name);
        }();
        if (!reread) {
            QString why = reread.message();
            const QString prefix = QStringLiteral("Cannot read \"%1\": ").arg(name);
            if (why.startsWith(prefix))
                why = why.mid(prefix.size());
            return QStringLiteral("the written file would not read back: %1 A text of that record looks like a "
                                  "tag of the file.")
                .arg(why);
        }
        return compareModels(model, reread.value());
    };
    return ReplaceFileSafely(path, bytes, check);
}

} // namespace korvalo

#pragma once

#include "core/model/networkmodel.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace korvalo {

// The fields of each record of an ego file, in the order they are written. One table per
// record drives the reader, the writer, the read-back check of a save and the writer's
// size estimate, so that a field is named once.

enum class FieldKind : unsigned char {
    Text,
    Integer,         // a whole number; an empty field is refused
    OptionalInteger, // a whole number; an empty field reads as `fallback`
    Real,            // written with `decimals` decimals and 7 significant digits
    Position,        // the record's number, written and never read
};

template <typename Record>
struct EgoField
{
    std::string_view tag;
    FieldKind kind;
    QString Record::*text = nullptr;
    int Record::*integer = nullptr;
    float Record::*real = nullptr;
    int decimals = 0;
    int fallback = 0;
    // What the reader makes of a text (a blank card ID becomes "Card <number>"); the
    // read-back check expects the same. Null: the text as it is.
    QString (*asRead)(const QString &text, int number) = nullptr;
    // Values that repeat from record to record ("TRUE", "normal", a role): the reader
    // shares one text instead of decoding each.
    bool repeats = false;
    // asRead is set. Kept apart because a function's address is not a constant that every
    // compiler setting can test (GCC's -fsanitize=undefined cannot).
    bool normalised = false;
};

namespace egofields {

template <typename R>
constexpr EgoField<R> text(std::string_view tag, QString R::*member, bool repeats = false)
{
    return {tag, FieldKind::Text, member, nullptr, nullptr, 0, 0, nullptr, repeats, false};
}
template <typename R>
constexpr EgoField<R> text(std::string_view tag, QString R::*member, bool repeats,
                           QString (*asRead)(const QString &, int))
{
    return {tag, FieldKind::Text, member, nullptr, nullptr, 0, 0, asRead, repeats, true};
}
template <typename R>
constexpr EgoField<R> integer(std::string_view tag, int R::*member)
{
    return {tag, FieldKind::Integer, nullptr, member};
}
template <typename R>
constexpr EgoField<R> optionalInteger(std::string_view tag, int R::*member, int fallback)
{
    return {tag, FieldKind::OptionalInteger, nullptr, member, nullptr, 0, fallback};
}
template <typename R>
constexpr EgoField<R> real(std::string_view tag, float R::*member, int decimals)
{
    return {tag, FieldKind::Real, nullptr, nullptr, member, decimals};
}
template <typename R>
constexpr EgoField<R> position(std::string_view tag)
{
    return {tag, FieldKind::Position};
}

// The reader's normalisations.
QString cardIDAsRead(const QString &id, int card);     // blank: "Card <card>"
QString egoNodeAsRead(const QString &egoNode, int);    // empty: "none"
QString sexAsRead(const QString &sex, int);            // blank: "undefined"
QString humanAsRead(const QString &human, int);        // anything but "FALSE": "TRUE"
QString nodeSizeAsRead(const QString &nodeSize, int);  // empty: "normal"

} // namespace egofields

inline constexpr std::array<EgoField<Ego>, 6> EgoFields{{
    egofields::text("Name", &Ego::Name),
    egofields::text("EgoID", &Ego::EgoID),
    egofields::text("Year", &Ego::Year),
    egofields::integer("Sex", &Ego::Sex),
    egofields::text("Misc1", &Ego::Misc1),
    egofields::text("Misc2", &Ego::Misc2),
}};

inline constexpr std::array<EgoField<NetworkCard>, 7> CardFields{{
    egofields::text("ID", &NetworkCard::ID, false, &egofields::cardIDAsRead),
    egofields::integer("Circles", &NetworkCard::Circles),
    egofields::text("EgoNode", &NetworkCard::EgoNode, false, &egofields::egoNodeAsRead),
    egofields::optionalInteger("EgoColor", &NetworkCard::EgoColor, 1),
    egofields::text("Interviewer", &NetworkCard::Interviewer),
    egofields::text("Date", &NetworkCard::Date),
    egofields::text("CardMemo", &NetworkCard::CardMemo),
}};

inline constexpr std::array<EgoField<Sector>, 3> SectorFields{{
    egofields::real("SectorAngle", &Sector::SectorAngle, 5),
    egofields::text("SectorName", &Sector::SectorName),
    egofields::integer("SectorColor", &Sector::SectorColor),
}};

inline constexpr std::array<EgoField<Node>, 15> NodeFields{{
    egofields::position<Node>("Nr"),
    egofields::text("ID", &Node::ID),
    egofields::text("Label", &Node::Label),
    egofields::text("Role", &Node::Role, true),
    egofields::text("Sex", &Node::Sex, true, &egofields::sexAsRead),
    egofields::real("Angle", &Node::Angle, 3),
    egofields::real("Distance", &Node::Distance, 3),
    egofields::integer("Color", &Node::Color),
    egofields::text("Human", &Node::Human, true, &egofields::humanAsRead),
    egofields::integer("Size", &Node::Size),
    egofields::text("Symbol", &Node::Symbol, true),
    egofields::text("NodeSize", &Node::NodeSize, true, &egofields::nodeSizeAsRead),
    egofields::text("Memo1", &Node::Memo1, true),
    egofields::text("Memo2", &Node::Memo2, true),
    egofields::text("Merger", &Node::Merger, true),
}};

inline constexpr std::array<EgoField<Line>, 4> LineFields{{
    egofields::integer("A", &Line::A),
    egofields::integer("B", &Line::B),
    egofields::integer("LineSize", &Line::LineSize),
    egofields::integer("LineColor", &Line::LineColor),
}};

// The tags a reader looks for: every field but the written-only ones.
template <typename R, std::size_t N>
constexpr std::size_t ReadFieldCount(const std::array<EgoField<R>, N> &fields)
{
    std::size_t n = 0;
    for (const EgoField<R> &f : fields)
        n += f.kind != FieldKind::Position;
    return n;
}

// An upper bound of the bytes a record takes in the file, its texts excluded: tags,
// indents, line ends and the longest number of each field.
template <typename R, std::size_t N>
constexpr std::size_t FixedRecordBytes(const std::array<EgoField<R>, N> &fields, int indent)
{
    std::size_t n = 2 * (std::size_t(indent) + 16 + 2); // the record's own opening and closing lines
    for (const EgoField<R> &f : fields) {
        n += std::size_t(indent) + 2 + 2 * f.tag.size() + 5 + 2;
        if (f.kind == FieldKind::Real)
            n += 48; // 39 digits of the largest single, sign, point, decimals
        else if (f.kind != FieldKind::Text)
            n += 11;
    }
    return n;
}

// The characters of a record's texts.
template <typename R, std::size_t N>
std::size_t TextChars(const std::array<EgoField<R>, N> &fields, const R &record)
{
    std::size_t n = 0;
    for (const EgoField<R> &f : fields) {
        if (f.kind == FieldKind::Text)
            n += std::size_t((record.*f.text).size());
    }
    return n;
}

} // namespace korvalo

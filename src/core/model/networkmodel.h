#pragma once

#include "core/model/status.h"

#include <QRgb>
#include <QString>

#include <array>
#include <functional>
#include <vector>

namespace korvalo {

// The in-memory model of one ego and its network cards. Plain records in tables; the
// operations below are free functions on a NetworkModel&. Card, sector and line numbers
// count from 1, alter nodes from 1, and node 0 of every card is the ego's own slot.

inline constexpr int MaxCards = 100;
inline constexpr int MaxSectors = 50;
inline constexpr int MaxNodes = 1000;
inline constexpr int MaxLines = 1000;

struct Ego
{
    QString Name;
    QString EgoID;
    QString Year;
    int Sex = 0; // 0 "Unknown", 1 "Female", 2 "Male", -1 a typed text that is no list item
    QString Misc1;
    QString Misc2;

    bool operator==(const Ego &) const = default;
};

struct Sector
{
    float SectorAngle = 0; // degrees, where this sector's boundary line lies
    QString SectorName;
    int SectorColor = 1; // palette index

    bool operator==(const Sector &) const = default;
};

struct Node
{
    QString ID;
    QString Label;
    int Color = 1; // palette index
    int Size = 1;  // 1 = one person, 2 or more = a group
    float Angle = 0;    // degrees
    float Distance = 0; // fraction of the outermost circle's radius
    QString Role;
    QString Sex;   // "undefined", "female", "male"
    QString Human; // "TRUE", "FALSE"
    QString Symbol; // "flash", "triangle", "box", "diamond" or empty
    QString NodeSize;
    QString Memo1;
    QString Memo2;
    QString Merger;
    bool Selected = false; // never stored in a file

    bool operator==(const Node &) const = default;
};

struct Line
{
    int A = 0; // node numbers, 0 = the ego
    int B = 0;
    int LineSize = 1;
    int LineColor = 0; // palette index 0..8

    bool operator==(const Line &) const = default;
};

struct NetworkCard
{
    QString ID;
    int Circles = 7;
    QString EgoNode = QStringLiteral("none");
    int EgoColor = 1;
    QString Interviewer;
    QString Date;
    QString CardMemo;

    // Slot 0 of Nodes is the ego's node; slot 0 of Sectors and Lines is unused, so that
    // the table index is the item's number.
    std::vector<Node> Nodes{1};
    std::vector<Sector> Sectors{1};
    std::vector<Line> Lines{1};

    bool operator==(const NetworkCard &) const = default;

    int NodeCount() const { return int(Nodes.size()) - 1; }
    int SectorCount() const { return int(Sectors.size()) - 1; }
    int LineCount() const { return int(Lines.size()) - 1; }
};

// Receives the lines meant for the info window.
using InfoSink = std::function<void(const QString &)>;

// The document: one ego and its cards, as a file holds them, plus which card is shown.
// Session settings (file name, sizes, decimal separator, info sink) live in Session
// (model/session.h); the editing mode and the mouse state in EditorState (edit/).
struct NetworkModel
{
    Ego ego;
    // Slot 0 is unused; card c lives in Cards[c] for c = 1..CardCount().
    std::vector<NetworkCard> Cards{1};
    int CurrentCard = 0; // 0 = none
    bool EgoPresent = false;

    bool operator==(const NetworkModel &) const = default;

    int CardCount() const { return int(Cards.size()) - 1; }
    NetworkCard &card(int c) { return Cards[size_t(c)]; }
    const NetworkCard &card(int c) const { return Cards[size_t(c)]; }
    bool hasCard(int c) const { return c >= 1 && c <= CardCount(); }
};

// Palette indexes 0..8 to colours; colour values are 0x00BBGGRR (red in the low byte),
// use PaletteColor() for a QRgb.
inline constexpr std::array<quint32, 9> Palette = {
    0x808080, 0x0000FF, 0x00CCEE, 0xFF0000, 0x00FF00, 0xFF00FF, 0xFFFF00, 0xC0C0C0, 0x808000};
inline constexpr int PaletteSize = 8;
inline constexpr quint32 SectorHandleColor = 0x505050;

QRgb BgrToRgb(quint32 bgr);
// Palette entry as a QRgb; an index outside 0..8 gives gray (index 0).
QRgb PaletteColor(int index);
// Filled areas: each channel moved half-way to 255.
QRgb LightenedColor(QRgb color);
// Lines: each channel plus one, capped at 255, so that a line is never mistaken for a node.
QRgb LineStrokeColor(QRgb color);

// Pixel radius of a NodeSize word for the given base size ("normal").
int NodeRadius(const QString &word, int nodeBaseSize);

// Hands one line to the sink; a null sink drops it.
void AppendInfoLine(const InfoSink &sink, const QString &text);

// Starts a new ego: no cards, none current, the ego record replaced.
void SetupEgo(NetworkModel &model, const QString &name, const QString &year, int sex,
              const QString &misc1, const QString &misc2, const QString &egoID);

// A new card as AddCard makes it for position `number`: an ID that is blank becomes
// "Card <number>", the ego's slot takes the ego size and colour.
NetworkCard NewCard(int number, const QString &id, int circles, const QString &egoNode,
                    int egoColor, const QString &interviewer, const QString &date,
                    const QString &cardMemo);

// The ID card `number` is known by: a blank ID (TrimBlanks) becomes "Card <number>".
// Every way a card ID enters the model applies it (AddCard, ModifyCard, the reader), and
// the save's read-back check expects it, so the two cannot disagree.
QString CardIDOrDefault(const QString &id, int number);

// Appends a card and makes it current. An ID that is blank becomes "Card <number>".
// Refused (model unchanged) when the ego already holds MaxCards cards.
Status AddCard(NetworkModel &model, const QString &id, int circles, const QString &egoNode,
               int egoColor, const QString &interviewer, const QString &date,
               const QString &cardMemo);

Status AddSector(NetworkModel &model, int card, const QString &name, int color, float angle);

// Appends an alter to the card. With a sink given, a Distance above 1.25 writes a
// warning to it (numbers with `decimalSeparator`). Refused when the card already holds
// MaxNodes alters.
Status AddNode(NetworkModel &model, int card, const Node &fields, const InfoSink &warn = {},
               QChar decimalSeparator = u'.');
// The same, taking over the node's texts instead of copying them.
Status AddNode(NetworkModel &model, int card, Node &&fields, const InfoSink &warn = {},
               QChar decimalSeparator = u'.');

void ModifyNode(NetworkModel &model, int card, int node, const QString &id,
                const QString &label, const QString &merger, const QString &memo2,
                const QString &memo1, const QString &nodeSize, const QString &symbol,
                const QString &human, int size, int color, float distance,
                const QString &sex, const QString &role);

// Adds a line to the current card. An end beyond the card's node count (or negative)
// makes the call do nothing and succeed, which the reader relies on to drop such lines;
// a full table refuses the line.
Status AddLine(NetworkModel &model, int a, int b, int lineSize, int lineColor);

// "FALSE" stays "FALSE"; everything else counts as human.
QString NormalisedHuman(const QString &human);

} // namespace korvalo

#pragma once

#include "model/networkmodel.h"

#include <QStringList>

#include <functional>
#include <vector>

// The rows of the node table: one per alter of a card, eight cells each (ID, Label,
// Role, Color, Size, Human, Sector, "*"). A view of the model; it never changes it.

inline const QStringList NodeTableHeadings{QStringLiteral("ID"),    QStringLiteral("Label"),
                                           QStringLiteral("Role"),  QStringLiteral("Color"),
                                           QStringLiteral("Size"),  QStringLiteral("Human"),
                                           QStringLiteral("Sector"), QStringLiteral("*")};

using NodeTableRow = QStringList;

// The angle (degrees) at which a node lies on the map as drawn now: its Angle and
// Distance turned into pixels and back, so that the table agrees with the picture.
using MapAngleOfNode = std::function<double(const Node &)>;

// Rows of the card's alters in node order; no rows for card 0 or a card without nodes.
std::vector<NodeTableRow> NodeTableRows(const NetworkModel &model, int card, const MapAngleOfNode &mapAngle);

// Number of the sector that holds the angle: the sector whose boundary angle lies
// closest below it, wrapping at 360 (an angle below every boundary belongs to the sector
// with the largest boundary angle); the lower number wins a tie. 0 without sectors.
int SectorOfAngle(const NetworkCard &card, double angle);

// Sorts rows ascending by one column, comparing texts by character codes (so "10" comes
// before "9" and "Z" before "a"); an empty cell sorts as "zzzzz". Equal keys keep their order.
void SortNodeTable(std::vector<NodeTableRow> &rows, int column);

// The table as tab-separated lines, headings first.
QStringList NodeTableText(const std::vector<NodeTableRow> &rows);

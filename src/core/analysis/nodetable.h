#pragma once

#include "core/model/networkmodel.h"

#include <QStringList>

#include <vector>

namespace korvalo {

// The rows of the node table: one per alter of a card, eight cells each (ID, Label,
// Role, Color, Size, Human, Sector, "*"). A view of the model; it never changes it.

inline const QStringList NodeTableHeadings{QStringLiteral("ID"),    QStringLiteral("Label"),
                                           QStringLiteral("Role"),  QStringLiteral("Color"),
                                           QStringLiteral("Size"),  QStringLiteral("Human"),
                                           QStringLiteral("Sector"), QStringLiteral("*")};

using NodeTableRow = QStringList;

// Rows of the card's alters in node order; no rows for card 0 or a card without nodes.
// The sector is the one in which the node is drawn on a map of mapWidth x mapHeight
// pixels, so that the table agrees with the picture.
std::vector<NodeTableRow> NodeTableRows(const NetworkModel &model, int card, int mapWidth, int mapHeight);

// Sorts rows ascending by one column, comparing texts by character codes (so "10" comes
// before "9" and "Z" before "a"); an empty cell sorts as "zzzzz". Equal keys keep their order.
void SortNodeTable(std::vector<NodeTableRow> &rows, int column);

// The table as tab-separated lines, headings first.
QStringList NodeTableText(const std::vector<NodeTableRow> &rows);

} // namespace korvalo

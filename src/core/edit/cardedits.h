#pragma once

#include "core/model/networkmodel.h"

namespace korvalo {

// Table operations on one card that remove lines and nodes or add many lines at once.
// Numbers are table positions: removing an item moves the card's last item of that table
// into the gap, and line ends are rewritten to follow the node that moved. None of these
// redraws or records a history step; callers wrap them in ChangeCard.

// Removes line `line` (1..LineCount): the last line takes its place. Out of range: no-op.
void DeleteLine(NetworkCard &card, int line);

// Removes alter `node` (1..NodeCount) with every line that touches it; the last alter
// moves into its slot and the ends of its lines follow. The ego (0) and numbers out of
// range are left alone.
void DeleteNode(NetworkCard &card, int node);

// Joins every pair of alters i < j whose IDs are exactly equal (letter case and blanks
// count, empty IDs too) with a red line of value 1, in the order (1,2), (1,3), ...,
// (2,3), ... Existing lines are not looked at. When the lines would not fit the card's
// line table nothing is added and the failure says how many lines were needed. The
// count of added lines goes to `added` when given.
Status ConnectIdenticalIDs(NetworkCard &card, int *added = nullptr);

// Removes every red line (LineColor 1); returns how many went.
int DeleteRedLines(NetworkCard &card);

} // namespace korvalo

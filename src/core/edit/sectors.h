#pragma once

#include "core/model/networkmodel.h"

#include <QStringList>

namespace korvalo {

class Document;
struct Merge;

// Sector tools of one card. Angles in degrees. The functions on a NetworkCard change
// only that card; the ones on a Document record their change as one undoable step on
// the given card and return its status (nothing is recorded when the card stays the same
// or the change is refused).

// Sector slot `sector` takes a copy of the card's last sector; the nodes stay where they
// are. A number outside 1..SectorCount changes nothing.
void DeleteSector(NetworkCard &card, int sector);

// The sector order list as the order dialog shows it: per sector, in table order, its
// number, one blank and its name.
QStringList SectorOrderEntries(const NetworkCard &card);

// Lays the sectors out anew from 0 degrees, contiguously, in the order of `entries`
// (texts as SectorOrderEntries gives them, reordered). Each sector keeps its width, and
// every alter keeps its distance and its angular offset inside its sector. The table
// order and the sector numbers stay. The entries' numbers count, not their names (a
// sector renamed meanwhile is still that sector). Refused, with the card unchanged, when
// the numbers are not exactly the card's sectors (a list made for another card, or before
// sectors were added or removed).
Status ApplySectorOrder(NetworkCard &card, const QStringList &entries);

// Lays the sectors out anew from 0 degrees in table order, each as wide as its share of
// the alters (a sector without alters becomes 0 degrees wide); every alter keeps its
// relative position inside its sector and its distance. Boundaries on the same angle count
// as one boundary. Every alter stays in its sector: a sector without alters is laid where
// it owns no wedge. Returns the info lines, one per alter: label, sector name, relative
// position (2 decimals) and new width (0 decimals), numbers with `decimalSeparator`.
// Does nothing and returns no lines with fewer than two sectors or without alters, and
// when no layout keeps every alter in its sector (then `status`, if given, says why).
QStringList SizeSectorsByNodeCount(NetworkCard &card, QChar decimalSeparator = u'.',
                                   Status *status = nullptr);

// Undoable steps on card `card` of the document.
Status AddSectorStep(Document &document, int card, const QString &name, int color, float angle);
// Name and colour; the angle stays.
Status ModifySectorStep(Document &document, int card, int sector, const QString &name, int color);
Status RenameSectorStep(Document &document, int card, int sector, const QString &name);
Status DeleteSectorStep(Document &document, int card, int sector);
// Moves a boundary; steps of the same merge run merge (a drag).
Status MoveSectorStep(Document &document, int card, int sector, float angle, const Merge &merge);
Status ApplySectorOrderStep(Document &document, int card, const QStringList &entries);
// Writes the info lines to the session's info sink.
Status SizeSectorsByNodeCountStep(Document &document, int card);

} // namespace korvalo

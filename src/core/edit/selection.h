#pragma once

#include "core/model/networkmodel.h"

#include <functional>
#include <vector>

namespace korvalo {

class Document;
struct Merge;

// Selection of alters (slots 1..NodeCount; the ego's slot 0 is never selected, deleted
// or copied here) and the commands on the selected alters. The functions on a NetworkCard
// change only that card; the ones on a Document record one undoable step and return its
// status.

void DeselectAll(NetworkCard &card);
void SelectAll(NetworkCard &card);
// These replace the selection. By ID the text must match exactly (case and blanks);
// by label letter case does not matter (the system locale's lower case).
void SelectByID(NetworkCard &card, const QString &id);
void SelectByLabel(NetworkCard &card, const QString &label);
// Every alter whose ID another alter of the card has as well.
void SelectMultiIDs(NetworkCard &card);
// The selected alters in slot order.
std::vector<int> SelectedNodes(const NetworkCard &card);

// Removes every selected alter with DeleteNode (its lines go with it, the others are
// renumbered); the alters that are not selected all stay.
void DeleteSelectedNodes(NetworkCard &card);

// Appends copies of the alters `nodes` of card `from` to card `to` (which may be the same
// card), all fields kept and the copies unselected. `shifted` moves each copy 5 degrees
// clockwise (the angle is not wrapped) and 0.05 outwards. With a sink given, a copy
// farther out than 1.25 writes the distance warning to it. Refused as a whole, with
// nothing copied, when the copies would not all fit on the target card; the message says
// how many would.
Status CopyNodes(NetworkModel &model, int from, const std::vector<int> &nodes, int to,
                 bool shifted, const InfoSink &warn = {}, QChar decimalSeparator = u'.');

// Moves the selected alters by `angle` degrees clockwise (kept in 0..360) and `distance`
// outwards (never below 0, the centre).
void MoveSelectedNodes(NetworkCard &card, float angle, float distance);

// The text shown when a copy to the next card is asked for on the last card.
QString NoNextCardMessage();

// A change of the selection on card `card`. The selection is view state, never written to
// a file: no step of the history and no modified mark, only the card announced when a
// mark changed. `select` works on a copy of the card; only the alters' selection marks
// are taken from it. Refused when there is no such card.
Status SelectStep(Document &document, int card, const std::function<void(NetworkCard &)> &select);

// Undoable steps on card `card` of the document.
Status DeleteSelectedStep(Document &document, int card);
// The selected alters of `card` onto the same card, shifted, with the distance warning.
Status CopySelectedToThisCardStep(Document &document, int card);
// The selected alters of `card` onto card + 1 unchanged, with the distance warning; refused
// with NoNextCardMessage() on the last card.
Status CopySelectedToNextCardStep(Document &document, int card);
// One alter onto the same card (shifted, with the warning) or onto the next card
// (unchanged, without the warning).
Status CopyNodeToThisCardStep(Document &document, int card, int node);
Status CopyNodeToNextCardStep(Document &document, int card, int node);
// A new sector with the name and colour of `sector` at `angle`, as the last sector of the
// same card or of the next card.
Status CopySectorToCardStep(Document &document, int card, int sector, int target, float angle);
// Steps of the same merge run merge (one key held down).
Status MoveSelectedStep(Document &document, int card, float angle, float distance, const Merge &merge);

} // namespace korvalo

#pragma once

#include "core/model/networkmodel.h"

namespace korvalo {

// Card operations beyond AddCard. Card numbers count from 1; 0 means "no card".

// Overwrites the seven fields of a card. A blank ID becomes "Card <n>" (CardIDOrDefault),
// the name the card would be read back with. The ego's node slot 0 keeps what AddCard wrote.
// Does nothing for a card number that does not exist.
void ModifyCard(NetworkModel &model, int card, const QString &id, int circles,
                const QString &egoNode, int egoColor, const QString &interviewer,
                const QString &date, const QString &cardMemo);

// Copies card `from` (record, sectors, alter nodes, lines) over card `to`. The ego's
// node slot 0 of `to` is kept. Does nothing unless both cards exist.
void CopyCard(NetworkModel &model, int from, int to);

// Removes a card; the later cards move down by one. The whole card goes, its ego slot 0
// included, so that every card keeps its own. The same number, or the one before it when
// the last card was removed (0 when no card is left), becomes current and is returned.
// When `removed` is given the card is moved there (undo puts it back with InsertCard).
// Card 0 or a number beyond the last card changes nothing and returns model.CurrentCard.
int DeleteCard(NetworkModel &model, int card, NetworkCard *removed = nullptr);

// Puts `card` at number `at` (1..CardCount()+1); the later cards move up by one, and the
// inserted card becomes current. Refused, with the model unchanged, for a number out of
// that range or when the ego is full.
Status InsertCard(NetworkModel &model, int at, NetworkCard card);

// The card a duplicate of `source` gets: the ID "<ID> Copy", the ego's slot as a new
// card has it, sectors, alters and lines copied, no node selected.
NetworkCard DuplicatedCard(const NetworkCard &source);

// Appends a copy of card `source` with the ID "<ID> Copy" and makes it current. Node
// selection flags are not copied. Refused, with the model unchanged, when the source
// does not exist or the ego is full.
Status DuplicateCard(NetworkModel &model, int source);

} // namespace korvalo

#pragma once

#include "core/model/networkmodel.h"

#include <QUndoCommand>

#include <functional>

namespace korvalo {

class Document;

// The kinds of steps that merge: steps of one kind pushed one after the other on the same
// card make one history step, as long as they belong to the same run.
enum class MergeId {
    None = -1,       // a step of its own
    NodeDrag,        // alters dragged on the map
    SectorDrag,      // a sector boundary dragged by its handle
    KeyMove,         // the selected alters moved with the arrow keys
    TransformRepeat, // Rotate 1° and Zoom In/Out with their keys held down
};

// A step's kind and run. A run is one drag, one press of a key with its repeats, one
// burst of a repeated command: whoever pushes the steps numbers its runs, so that two
// drags in a row stay two steps.
struct Merge
{
    MergeId id = MergeId::None;
    int run = 0;
};

// Every change of the document is one of these. Each holds the state on the other side
// of the change and swaps it with the document's, so undo and redo are as cheap as the
// swap.
class DocumentCommand : public QUndoCommand
{
public:
    DocumentCommand(Document &document, const QString &text);
    // True when pushing it would change nothing; such a command is dropped.
    virtual bool changesNothing() const { return false; }

protected:
    // The document's model for writing; only commands get it.
    NetworkModel &model();

    Document &m_document;
};

// Replaces one card's contents (record, sectors, nodes, lines). Commands of the same
// merge kind and run on the same card merge into one step (a drag).
class ReplaceCardCommand : public DocumentCommand
{
public:
    ReplaceCardCommand(Document &document, int card, NetworkCard after, const QString &text,
                       Merge merge = {});

    void undo() override { swap(); }
    void redo() override;
    int id() const override { return int(m_merge.id); }
    bool mergeWith(const QUndoCommand *other) override;
    bool changesNothing() const override;

    // The change is already in the model (ChangeCard applied it): the first redo only
    // announces it.
    void setAlreadyApplied() { m_applied = true; }

private:
    void swap();

    int m_card;
    NetworkCard m_other; // the card's contents on the other side of the change
    Merge m_merge;
    bool m_applied = false;
};

// Inserts a card at position `at` (1..CardCount()+1) and makes it current (InsertCard).
// Another position, or a full ego, changes nothing.
class InsertCardCommand : public DocumentCommand
{
public:
    InsertCardCommand(Document &document, int at, NetworkCard card, const QString &text);
    void redo() override;
    void undo() override;
    bool changesNothing() const override;

private:
    int m_at;
    int m_currentBefore = 0;
    NetworkCard m_card;
};

// Removes card `at` as DeleteCard does; undo puts it back and makes current again the
// card that was. A card that does not exist changes nothing.
class RemoveCardCommand : public DocumentCommand
{
public:
    RemoveCardCommand(Document &document, int at, const QString &text);
    void redo() override;
    void undo() override;
    bool changesNothing() const override;

private:
    int m_at;
    int m_currentBefore = 0;
    NetworkCard m_card;
};

// Replaces the ego record.
class ReplaceEgoCommand : public DocumentCommand
{
public:
    ReplaceEgoCommand(Document &document, Ego after, const QString &text);
    void redo() override { swap(); }
    void undo() override { swap(); }
    bool changesNothing() const override;

private:
    void swap();
    Ego m_other;
};

// Applies `change` to card `card` of the document's model and records it as one step
// named `text`. The change may call any model operation, but only on that card. Returns
// the change's status; nothing is recorded when it fails (the card is put back) or when
// the card came out the same. A card that does not exist is refused. Steps with the same
// `merge` merge (see Merge).
Status ChangeCard(Document &document, int card, const QString &text,
                  const std::function<Status(NetworkModel &)> &change, Merge merge = {});

} // namespace korvalo

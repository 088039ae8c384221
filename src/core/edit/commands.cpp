#include "core/edit/commands.h"

#include "core/edit/document.h"
#include "core/model/cards.h"

#include <algorithm>
#include <utility>

namespace korvalo {

DocumentCommand::DocumentCommand(Document &document, const QString &text) : m_document(document)
{
    setText(text);
}

NetworkModel &DocumentCommand::model()
{
    return m_document.modelForCommands();
}

ReplaceCardCommand::ReplaceCardCommand(Document &document, int card, NetworkCard after,
                                       const QString &text, Merge merge)
    : DocumentCommand(document, text), m_card(card), m_other(std::move(after)), m_merge(merge)
{
}

void ReplaceCardCommand::redo()
{
    if (m_applied) {
        // Making the step shows no other card (a copy onto the next card leaves the user
        // where they are); undo and redo later show the card they change.
        m_applied = false;
        if (m_document.model().card(m_card).ID != m_other.ID)
            m_document.announceCardList();
        m_document.announceCard(m_card);
        return;
    }
    swap();
}

void ReplaceCardCommand::swap()
{
    NetworkCard &card = model().card(m_card);
    const bool renamed = card.ID != m_other.ID;
    std::swap(card, m_other);
    m_document.setCurrentCard(m_card);
    if (renamed)
        m_document.announceCardList();
    m_document.announceCard(m_card);
}

bool ReplaceCardCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const ReplaceCardCommand *>(other);
    // This command keeps the state before the first step; the model holds the newest.
    // The history asks only when the kinds are the same; another run is another step.
    if (next->m_card != m_card || m_merge.id == MergeId::None || next->m_merge.run != m_merge.run)
        return false;
    // A drag that ends where it began leaves no step behind.
    if (m_document.model().card(m_card) == m_other)
        setObsolete(true);
    return true;
}

bool ReplaceCardCommand::changesNothing() const
{
    return m_document.model().card(m_card) == m_other;
}

InsertCardCommand::InsertCardCommand(Document &document, int at, NetworkCard card,
                                     const QString &text)
    : DocumentCommand(document, text), m_at(at), m_card(std::move(card))
{
}

void InsertCardCommand::redo()
{
    NetworkModel &m = model();
    m_currentBefore = m.CurrentCard;
    InsertCard(m, m_at, std::move(m_card));
    m_document.announceCardList();
}

void InsertCardCommand::undo()
{
    NetworkModel &m = model();
    DeleteCard(m, m_at, &m_card);
    m.CurrentCard = std::min(m_currentBefore, m.CardCount());
    m_document.announceCardList();
}

bool InsertCardCommand::changesNothing() const
{
    const NetworkModel &m = m_document.model();
    return m_at < 1 || m_at > m.CardCount() + 1 || m.CardCount() >= MaxCards;
}

RemoveCardCommand::RemoveCardCommand(Document &document, int at, const QString &text)
    : DocumentCommand(document, text), m_at(at)
{
}

void RemoveCardCommand::redo()
{
    NetworkModel &m = model();
    m_currentBefore = m.CurrentCard;
    DeleteCard(m, m_at, &m_card);
    m_document.announceCardList();
}

void RemoveCardCommand::undo()
{
    NetworkModel &m = model();
    InsertCard(m, m_at, std::move(m_card));
    m.CurrentCard = m_currentBefore;
    m_document.announceCardList();
}

bool RemoveCardCommand::changesNothing() const
{
    return !m_document.model().hasCard(m_at);
}

ReplaceEgoCommand::ReplaceEgoCommand(Document &document, Ego after, const QString &text)
    : DocumentCommand(document, text), m_other(std::move(after))
{
}

void ReplaceEgoCommand::swap()
{
    std::swap(model().ego, m_other);
    m_document.announceEgo();
}

bool ReplaceEgoCommand::changesNothing() const
{
    return m_document.model().ego == m_other;
}

Status ChangeCard(Document &document, int card, const QString &text,
                  const std::function<Status(NetworkModel &)> &change, Merge merge)
{
    NetworkModel &model = document.modelForCommands();
    if (!model.hasCard(card))
        return Status::failure(QStringLiteral("There is no network card %1.").arg(card));
    NetworkCard before = model.card(card);
    const Status status = change(model);
    if (!status) {
        model.card(card) = std::move(before);
        return status;
    }
    if (model.card(card) == before)
        return status;
    auto *command = new ReplaceCardCommand(document, card, std::move(before), text, merge);
    command->setAlreadyApplied();
    document.push(command);
    return status;
}

} // namespace korvalo

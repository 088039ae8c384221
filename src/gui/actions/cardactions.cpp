#include "gui/actions/cardactions.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"
#include "gui/dialogs/carddialog.h"
#include "core/model/cards.h"
#include "gui/dialogs/egodialog.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"

namespace korvalo {

using namespace Qt::StringLiterals;

CardActions::CardActions(Document &document, std::function<Asker &()> asker,
                           CardDialog *cardDialog, EgoDialog *egoDialog, QObject *parent)
    : QObject(parent), m_document(document), m_asker(std::move(asker)), m_cardDialog(cardDialog),
      m_egoDialog(egoDialog)
{
    connect(m_cardDialog, &CardDialog::saveRequested, this, &CardActions::saveCardDialog);
    connect(m_egoDialog, &EgoDialog::saved, this, &CardActions::saveEgoDialog);
}

void CardActions::switchToCard(int card)
{
    m_document.setCurrentCard(card);
}

void CardActions::newNetworkCard()
{
    const NetworkModel &model = m_document.model();
    if (model.ego.Name.isEmpty()) {
        m_asker().message(u"The Ego has no name yet. Enter its name in Ego > Ego Settings before "
                          "adding a network card."_s);
        return;
    }
    if (model.CardCount() >= MaxCards) {
        m_asker().message(u"An ego holds at most %1 network cards."_s.arg(MaxCards));
        return;
    }
    m_cardDialog->prepareAdd();
    ShowInFront(m_cardDialog, Focus::Take);
}

void CardActions::cardSettings()
{
    const NetworkModel &model = m_document.model();
    if (!model.hasCard(model.CurrentCard))
        return;
    m_cardDialog->prepareModify(model.card(model.CurrentCard), model.CurrentCard);
    ShowInFront(m_cardDialog, Focus::Take);
}

void CardActions::saveCardDialog()
{
    const CardDialog::Values v = m_cardDialog->values();
    const NetworkModel &model = m_document.model();
    if (m_cardDialog->isAdding()) {
        if (model.CardCount() >= MaxCards) {
            m_asker().message(u"An ego holds at most %1 network cards."_s.arg(MaxCards));
            return;
        }
        const int at = model.CardCount() + 1;
        NetworkCard card = NewCard(at, v.ID, v.Circles, v.EgoNode, v.EgoColor, v.Interviewer,
                                   v.Date, v.CardMemo);
        const QString text = u"New card \"%1\""_s.arg(card.ID);
        m_document.push(new InsertCardCommand(m_document, at, std::move(card), text));
    } else {
        // The dialog is modeless: the cards may have changed since it opened. It saves
        // only into the card it was opened for, recognised by its record.
        const int c = m_cardDialog->editedCard();
        if (!model.hasCard(c) || CardDialog::recordOf(model.card(c)) != m_cardDialog->editedRecord()) {
            m_asker().message(u"The network card \"%1\" no longer exists or was changed meanwhile; "
                              "its settings were not saved."_s.arg(m_cardDialog->editedRecord().ID));
            return;
        }
        ChangeCard(m_document, c, u"Card settings of \"%1\""_s.arg(model.card(c).ID),
                   [&](NetworkModel &m) {
                       ModifyCard(m, c, v.ID, v.Circles, v.EgoNode, v.EgoColor, v.Interviewer,
                                  v.Date, v.CardMemo);
                       return Status::success();
                   });
    }
    m_cardDialog->hide();
}

void CardActions::duplicateCard()
{
    const NetworkModel &model = m_document.model();
    if (!model.hasCard(model.CurrentCard))
        return;
    if (m_asker().yesNo(u"Do you really want to duplicate this network card?"_s) != Asker::Answer::Yes)
        return;
    if (model.CardCount() >= MaxCards) {
        m_asker().message(u"An ego holds at most %1 network cards."_s.arg(MaxCards));
        return;
    }
    const NetworkCard &source = model.card(model.CurrentCard);
    m_document.push(new InsertCardCommand(m_document, model.CardCount() + 1, DuplicatedCard(source),
                                          u"Duplicate card \"%1\""_s.arg(source.ID)));
}

void CardActions::deleteCard()
{
    // With "<none>" chosen there is no card to delete, so there is nothing to ask.
    const NetworkModel &model = m_document.model();
    if (!model.hasCard(model.CurrentCard))
        return;
    if (m_asker().yesNo(u"Do you really want to delete this network card?"_s) != Asker::Answer::Yes)
        return;
    const int c = model.CurrentCard;
    m_document.push(new RemoveCardCommand(m_document, c, u"Delete card \"%1\""_s.arg(model.card(c).ID)));
}

void CardActions::egoSettings()
{
    if (!m_egoDialog->isVisible())
        m_egoDialog->load(m_document.model().ego);
    ShowInFront(m_egoDialog, Focus::Take);
}

void CardActions::saveEgoDialog()
{
    m_document.push(new ReplaceEgoCommand(m_document, m_egoDialog->values(), u"Ego settings"_s));
}

} // namespace korvalo

#include "gui/actions/selectionactions.h"

#include "gui/shell/asker.h"
#include "gui/shell/menus.h"
#include "core/edit/document.h"
#include "core/edit/selection.h"

namespace korvalo {

using namespace Qt::StringLiterals;

SelectionActions::SelectionActions(const ShellContext &shell, QObject *parent)
    : QObject(parent), m_shell(shell)
{
    Menus &menus = m_shell.menus;
    menus.bind(u"ID1"_s, this, [this] { selectByID(); });
    menus.bind(u"Label20"_s, this, [this] { selectByLabel(); });
    menus.bind(u"HighlightMultiIDs1"_s, this, [this] { select(SelectMultiIDs); });
    menus.bind(u"DeselectAll1"_s, this, [this] { select(DeselectAll); });
    menus.bind(u"SelectAll1"_s, this, [this] { select(SelectAll); });
    menus.bind(u"Delete2"_s, this, [this] { deleteSelected(); });
    menus.bind(u"Copyto1"_s, this, [this] { copySelectedToThisCard(); });
    menus.bind(u"CopytoNextCard2"_s, this, [this] { copySelectedToNextCard(); });
}

int SelectionActions::currentCard() const
{
    return m_shell.document.model().CurrentCard;
}

bool SelectionActions::hasCard() const
{
    return m_shell.document.model().hasCard(currentCard());
}

void SelectionActions::report(const Status &status)
{
    if (!status)
        m_shell.asker().message(status.message());
}

void SelectionActions::selectByID()
{
    if (!hasCard())
        return;
    const std::optional<QString> id = m_shell.asker().input(u"Find"_s, u"Node ID:"_s, QString());
    if (id) {
        report(SelectStep(m_shell.document, currentCard(),
                          [&](NetworkCard &card) { SelectByID(card, *id); }));
    }
}

void SelectionActions::selectByLabel()
{
    if (!hasCard())
        return;
    const std::optional<QString> label = m_shell.asker().input(u"Find"_s, u"Node Label:"_s, QString());
    if (label) {
        report(SelectStep(m_shell.document, currentCard(),
                          [&](NetworkCard &card) { SelectByLabel(card, *label); }));
    }
}

void SelectionActions::select(void (*how)(NetworkCard &))
{
    if (hasCard())
        report(SelectStep(m_shell.document, currentCard(), how));
}

void SelectionActions::deleteSelected()
{
    if (hasCard())
        report(DeleteSelectedStep(m_shell.document, currentCard()));
}

void SelectionActions::copySelectedToThisCard()
{
    if (hasCard())
        report(CopySelectedToThisCardStep(m_shell.document, currentCard()));
}

void SelectionActions::copySelectedToNextCard()
{
    if (hasCard())
        report(CopySelectedToNextCardStep(m_shell.document, currentCard()));
}

} // namespace korvalo

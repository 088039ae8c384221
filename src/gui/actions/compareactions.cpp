#include "gui/actions/compareactions.h"

#include "core/edit/document.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"
#include "gui/shell/menus.h"
#include "gui/windows/alterswindow.h"
#include "gui/windows/comparewindow.h"

#include <QTimer>

namespace korvalo {

using namespace Qt::StringLiterals;

CompareActions::CompareActions(const ShellContext &shell) : QObject(shell.window), m_shell(shell)
{
    m_shell.menus.bind(u"CompareWith1"_s, this, [this] { compareWithNext(); });
    m_shell.menus.bind(u"AltersAcrossCards1"_s, this, [this] { showAltersAcrossCards(); });
    // Several changes in one turn of the event loop give one refresh.
    auto *pending = new QTimer(this);
    pending->setSingleShot(true);
    pending->setInterval(0);
    connect(pending, &QTimer::timeout, this, [this] {
        if (m_compare && m_compare->isVisible())
            m_compare->refresh();
        if (m_alters && m_alters->isVisible())
            m_alters->refresh();
    });
    auto schedule = [pending] { pending->start(); };
    Document &document = m_shell.document;
    connect(&document, &Document::cardListChanged, pending, schedule);
    connect(&document, &Document::egoChanged, pending, schedule);
    connect(&document, &Document::cardChanged, pending, schedule);
    connect(&document, &Document::viewChanged, pending, schedule);
}

void CompareActions::compareWithNext()
{
    const NetworkModel &model = m_shell.document.model();
    if (model.CardCount() < 2) {
        m_shell.asker().message(u"Comparing needs at least two network cards."_s);
        return;
    }
    const int card = model.hasCard(model.CurrentCard) ? model.CurrentCard : 1;
    if (!m_compare)
        m_compare = new CompareWindow(m_shell);
    m_compare->compare(card, card < model.CardCount() ? card + 1 : card - 1);
}

void CompareActions::showAltersAcrossCards()
{
    if (!m_alters)
        m_alters = new AltersAcrossCardsWindow(m_shell);
    m_alters->refresh();
    ShowInFront(m_alters);
}

} // namespace korvalo

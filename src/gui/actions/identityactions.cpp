#include "gui/actions/identityactions.h"

#include "core/edit/document.h"
#include "core/edit/identityedits.h"
#include "gui/dialogs/mergerdialog.h"
#include "gui/shell/asker.h"
#include "gui/shell/menus.h"

namespace korvalo {

using namespace Qt::StringLiterals;

IdentityActions::IdentityActions(const ShellContext &shell, QObject *parent)
    : QObject(parent), m_shell(shell),
      m_dialog(new MergerDialog(shell.document, shell.asker, shell.window))
{
    Menus &menus = m_shell.menus;
    menus.bind(u"UnsureNodeMerger1"_s, this, [this] { m_dialog->open(); });
    menus.bind(u"UnifyPossibleIDsxxinMemo11"_s, this, [this] { merge(); });
    menus.bind(u"NodeIDPlausibility1"_s, this, [this] { plausibility(); });
    menus.bind(u"AggregateNodes1"_s, this, [this] { aggregate(); });
}

void IdentityActions::merge()
{
    MergeUnsureNodeMergings(m_shell.document, ReportMode::lang,
                            m_shell.document.session().infoSink);
}

void IdentityActions::plausibility()
{
    for (const QString &line : IDLabelPlausibility(m_shell.document.model()))
        AppendInfoLine(m_shell.document.session().infoSink, line);
}

void IdentityActions::aggregate()
{
    const Session &session = m_shell.document.session();
    if (!m_shell.document.model().hasCard(m_shell.document.model().CurrentCard))
        return;
    if (const Status done = AggregateNodes(m_shell.document, session.infoSink, session.DecimalSeparator);
        !done)
        m_shell.asker().message(done.message());
}

} // namespace korvalo

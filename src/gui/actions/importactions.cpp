#include "gui/actions/importactions.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"
#include "gui/shell/menus.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "gui/dialogs/linesexceldialog.h"
#include "gui/dialogs/nodesexceldialog.h"

namespace korvalo {

using namespace Qt::StringLiterals;

ImportActions::ImportActions(const ShellContext &shell, QObject *parent) : QObject(parent), m_shell(shell)
{
    Document &document = m_shell.document;
    const ImportTargetProvider target = [&document] {
        const NetworkModel &m = document.model();
        return ImportTarget{m.CurrentCard > 0 && m.CurrentCard <= m.CardCount() ? &m.card(m.CurrentCard) : nullptr,
                            &m.ego, document.session().DecimalSeparator};
    };
    m_nodes = new NodesExcelDialog(m_shell.asker, target, m_shell.window);
    m_lines = new LinesExcelDialog(m_shell.asker, target, m_shell.window);
    connect(m_nodes, &NodesExcelDialog::importRequested, this, &ImportActions::applyNodes);
    connect(m_lines, &LinesExcelDialog::importRequested, this, &ImportActions::applyLines);

    m_shell.menus.bind(u"Excel1"_s, this, [this] {
        if (m_shell.document.model().ego.Name.isEmpty())
            return m_shell.asker().message(u"Please setup ego first."_s);
        ShowInFront(m_nodes);
    });
    m_shell.menus.bind(u"Excel2"_s, this, [this] {
        ShowInFront(m_lines);
    });
}

ImportActions::~ImportActions()
{
    // The dialogs ask the document for the current card: they go before it does.
    delete m_nodes;
    delete m_lines;
}

void ImportActions::applyNodes(const NodeImportResult &result)
{
    Document &document = m_shell.document;
    const int c = document.model().CurrentCard;
    if (c < 1 || c > document.model().CardCount())
        return;
    NetworkCard after = document.model().card(c);
    if (!ApplyNodeImport(after, result)) {
        m_shell.asker().message(u"Nothing was imported: the card changed since the preview. Please look at the preview again."_s);
        return;
    }
    document.push(new ReplaceCardCommand(document, c, std::move(after), u"Import Nodes"_s));
    for (const QString &line : result.summary())
        AppendInfoLine(document.session().infoSink, line);
}

void ImportActions::applyLines(const LineImportResult &result)
{
    Document &document = m_shell.document;
    const int c = document.model().CurrentCard;
    if (c < 1 || c > document.model().CardCount())
        return;
    NetworkCard after = document.model().card(c);
    if (!ApplyLineImport(after, result)) {
        m_shell.asker().message(u"Nothing was imported: the card changed since the preview. Please look at the preview again."_s);
        return;
    }
    document.push(new ReplaceCardCommand(document, c, std::move(after), u"Import Lines"_s));
    for (const QString &line : result.summary())
        AppendInfoLine(document.session().infoSink, line);
}

} // namespace korvalo

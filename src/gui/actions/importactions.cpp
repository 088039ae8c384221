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
                            &m.ego, document.session().DecimalSeparator, m.CardCount()};
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
    apply(u"Import Nodes"_s, [&result](NetworkCard &card) { return ApplyNodeImport(card, result); }, result.summary());
}

void ImportActions::applyLines(const LineImportResult &result)
{
    // What the preview listed about single rows (ego lines left out, unknown nodes) goes
    // to the info window too: the dialog's list is gone once the import is done.
    QStringList report;
    for (const ImportMessage &m : result.messages) {
        if (m.kind != ImportMessage::Error)
            report.append(m.text);
    }
    report += result.summary();
    apply(u"Import Lines"_s, [&result](NetworkCard &card) { return ApplyLineImport(card, result); }, report);
}

void ImportActions::apply(const QString &step, const std::function<bool(NetworkCard &)> &addTo,
                          const QStringList &summary)
{
    Document &document = m_shell.document;
    const int c = document.model().CurrentCard;
    if (!document.model().hasCard(c))
        return;
    // The result was computed for the card as the preview saw it; a card changed since
    // refuses it whole.
    const Status applied = ChangeCard(document, c, step, [&](NetworkModel &model) {
        return addTo(model.card(c)) ? Status::success() : Status::failure(QString());
    });
    if (!applied) {
        m_shell.asker().message(u"Nothing was imported: the card changed since the preview. Please look at the preview again."_s);
        return;
    }
    for (const QString &line : summary)
        AppendInfoLine(document.session().infoSink, line);
}

} // namespace korvalo

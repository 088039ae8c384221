#pragma once

#include "gui/shell/shellcontext.h"

#include <QObject>
#include <QStringList>

#include <functional>

namespace korvalo {

class LinesExcelDialog;
class NodesExcelDialog;

struct LineImportResult;
struct NetworkCard;
struct NodeImportResult;

// Card > Import Nodes > Excel and Card > Import Edges > Excel: owns the two import
// dialogs, binds the menu items, and applies what the dialogs compute to the current card
// as one undoable step each, ending with the summary lines in the info window.
class ImportActions : public QObject
{
    Q_OBJECT
public:
    explicit ImportActions(const ShellContext &shell, QObject *parent = nullptr);
    ~ImportActions() override;

    NodesExcelDialog *nodesDialog() const { return m_nodes; }
    LinesExcelDialog *linesDialog() const { return m_lines; }

private:
    void applyNodes(const NodeImportResult &result);
    void applyLines(const LineImportResult &result);
    // Adds a result to the current card through ChangeCard, as the step `step`, and
    // writes its summary to the info window; `addTo` refuses a result computed for
    // another state of the card.
    void apply(const QString &step, const std::function<bool(NetworkCard &)> &addTo, const QStringList &summary);

    ShellContext m_shell;
    NodesExcelDialog *m_nodes;
    LinesExcelDialog *m_lines;
};

} // namespace korvalo

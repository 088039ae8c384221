#pragma once

#include "gui/shell/shellcontext.h"

#include <QObject>

namespace korvalo {


class LinesExcelDialog;
class NodesExcelDialog;

struct LineImportResult;
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
    void applyNodes(const korvalo::NodeImportResult &result);
    void applyLines(const korvalo::LineImportResult &result);

    ShellContext m_shell;
    NodesExcelDialog *m_nodes;
    LinesExcelDialog *m_lines;
};

} // namespace korvalo

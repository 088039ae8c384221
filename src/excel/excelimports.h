#pragma once

#include "app/shellcontext.h"

#include <QObject>

namespace korvalo {}
using namespace korvalo;

class LinesExcelDialog;
class NodesExcelDialog;

namespace korvalo {
struct LineImportResult;
struct NodeImportResult;
}

// Card > Import Nodes > Excel and Card > Import Edges > Excel: owns the two import
// dialogs, binds the menu items, and applies what the dialogs compute to the current card
// as one undoable step each, ending with the summary lines in the info window.
class ExcelImports : public QObject
{
    Q_OBJECT
public:
    explicit ExcelImports(const ShellContext &shell, QObject *parent = nullptr);
    ~ExcelImports() override;

    NodesExcelDialog *nodesDialog() const { return m_nodes; }
    LinesExcelDialog *linesDialog() const { return m_lines; }

private:
    void applyNodes(const korvalo::NodeImportResult &result);
    void applyLines(const korvalo::LineImportResult &result);

    ShellContext m_shell;
    NodesExcelDialog *m_nodes;
    LinesExcelDialog *m_lines;
};

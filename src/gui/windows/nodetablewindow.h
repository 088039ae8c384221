#pragma once

#include "core/analysis/nodetable.h"
#include "gui/shell/shellcontext.h"

#include <QMainWindow>

#include <vector>

class QLabel;
class QTableWidget;

namespace korvalo {

// "Korvalo Table": the alters of the current card, sortable by a click on a heading.
class NodeTableWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit NodeTableWindow(const ShellContext &shell);

    // Rebuilds the grid for a card (0 = none: headings only).
    void fill(int card);
    void sortByColumn(int column);
    void exportTable();
    const std::vector<NodeTableRow> &rows() const { return m_rows; }
    QTableWidget *grid() const { return m_grid; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showRows();

    ShellContext m_shell;
    std::vector<NodeTableRow> m_rows;
    QLabel *m_egoName, *m_cardName;
    QTableWidget *m_grid;
};

} // namespace korvalo

#pragma once

#include "gui/shell/shellcontext.h"

#include <QMainWindow>

class QTableWidget;

namespace korvalo {

// "Alters Across Cards": one row per alter ID of the open ego, one column per card with
// the alter's ring there, sortable and exportable as CSV.
class AltersAcrossCardsWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit AltersAcrossCardsWindow(const ShellContext &shell);

    void refresh();
    void exportTable();

    QTableWidget *table() const { return m_table; }

private:
    ShellContext m_shell;
    QTableWidget *m_table;
};

} // namespace korvalo

#pragma once

#include "core/analysis/measures.h"
#include "gui/shell/shellcontext.h"

#include <QMainWindow>

class QComboBox;
class QLabel;
class QTabWidget;
class QTableWidget;

namespace korvalo {

// "Network Measures": the measures of every card of the open ego, one row per card, and
// on a second tab one row per sector. The rows can be copied and exported as CSV.
class MeasuresWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MeasuresWindow(const ShellContext &shell);

    // Measures the open ego again; the current card's row is selected.
    void refresh();
    // The selected cells of the shown tab (all of it when none is selected), tab-separated
    // with the headings, onto the clipboard.
    void copyTable();
    // The shown tab as a CSV file, asked for through the one door.
    void exportTable();

    QTableWidget *cardTable() const { return m_cards; }
    QTableWidget *sectorTable() const { return m_sectors; }

private:
    QTableWidget *shownTable() const;

    ShellContext m_shell;
    QComboBox *m_attribute;
    QTabWidget *m_tabs;
    QTableWidget *m_cards;
    QTableWidget *m_sectors;
    QLabel *m_warnings;
};

} // namespace korvalo

#include "gui/windows/alterswindow.h"

#include "core/analysis/cardanalyses.h"
#include "core/analysis/compare.h"
#include "core/analysis/spreadsheetcsv.h"
#include "core/edit/document.h"
#include "core/egofile/safefile.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvalo {

using namespace Qt::StringLiterals;

AltersAcrossCardsWindow::AltersAcrossCardsWindow(const ShellContext &shell)
    : QMainWindow(shell.window, Qt::Window), m_shell(shell)
{
    SetUpToolWindow(this, u"AltersAcrossCards"_s, u"Alters Across Cards"_s);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *bar = new QHBoxLayout;
    auto *exportButton = new QPushButton(u"Export CSV..."_s, central);
    exportButton->setObjectName(u"AltersExport"_s);
    exportButton->setAccessibleName(u"Export the table as CSV"_s);
    connect(exportButton, &QPushButton::clicked, this, &AltersAcrossCardsWindow::exportTable);
    bar->addStretch(1);
    bar->addWidget(exportButton);

    m_table = new QTableWidget(central);
    m_table->setObjectName(u"AltersTable"_s);
    m_table->setAccessibleName(u"Rings of each alter on each card"_s);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addLayout(bar);
    layout->addWidget(m_table, 1);
    setCentralWidget(central);
    resize(700, 420);
}

void AltersAcrossCardsWindow::refresh()
{
    const AltersAcrossCardsTable data = AltersAcrossCards(CardsOf(m_shell.document.model()));
    // Sorting while filling would move rows under the loop.
    const bool sorted = m_table->isSortingEnabled();
    const int column = m_table->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = m_table->horizontalHeader()->sortIndicatorOrder();
    m_table->setSortingEnabled(false);
    m_table->clear();
    m_table->setColumnCount(int(data.headings.size()));
    m_table->setHorizontalHeaderLabels(data.headings);
    m_table->setRowCount(int(data.rows.size()));
    for (int r = 0; r < int(data.rows.size()); ++r) {
        const QStringList &row = data.rows[size_t(r)];
        for (int c = 0; c < int(row.size()); ++c) {
            auto *item = new QTableWidgetItem;
            // A lone ring sorts as a number (2 before 10); "2/4" and blanks as text.
            bool number = false;
            const int ring = c >= 1 ? row[c].toInt(&number) : 0;
            if (number)
                item->setData(Qt::DisplayRole, ring);
            else
                item->setText(row[c]);
            if (c >= 1)
                item->setTextAlignment(Qt::AlignCenter);
            m_table->setItem(r, c, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_table->setSortingEnabled(true);
    if (sorted)
        m_table->sortItems(column, order);
    else
        m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

void AltersAcrossCardsWindow::exportTable()
{
    const QString chosen = m_shell.asker().saveFileName(u"CSV files (*.csv)"_s);
    if (chosen.isEmpty())
        return;
    QByteArray bytes;
    QStringList headings;
    for (int c = 0; c < m_table->columnCount(); ++c)
        headings << m_table->horizontalHeaderItem(c)->text();
    bytes += SpreadsheetCsvLine(headings);
    // In the order shown, as the user sorted it.
    for (int r = 0; r < m_table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m_table->columnCount(); ++c)
            cells << (m_table->item(r, c) ? m_table->item(r, c)->text() : QString());
        bytes += SpreadsheetCsvLine(cells);
    }
    const Status saved = ReplaceFileSafely(chosen, std::string_view(bytes.constData(), size_t(bytes.size())));
    if (!saved)
        m_shell.asker().message(saved.message());
}

} // namespace korvalo

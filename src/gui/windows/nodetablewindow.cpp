#include "gui/windows/nodetablewindow.h"

#include "core/edit/document.h"
#include "core/analysis/inforeports.h"
#include "core/egofile/safefile.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"

#include <QAction>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvalo {

NodeTableWindow::NodeTableWindow(const ShellContext &shell)
    : QMainWindow(shell.window, Qt::Window), m_shell(shell)
{
    SetUpToolWindow(this, QStringLiteral("TFormTable"), QStringLiteral("Korvalo Table"));
    QMenu *table = menuBar()->addMenu(QStringLiteral("Table"));
    QAction *exportAction = table->addAction(QStringLiteral("Export"));
    exportAction->setObjectName(QStringLiteral("ExportTable1"));
    connect(exportAction, &QAction::triggered, this, &NodeTableWindow::exportTable);
    QAction *print = table->addAction(QStringLiteral("-Print"));
    print->setObjectName(QStringLiteral("Print1"));
    print->setEnabled(false);
    menuBar()->addMenu(QStringLiteral("Options"))->setObjectName(QStringLiteral("Options1"));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    m_egoName = new QLabel(central);
    m_egoName->setObjectName(QStringLiteral("Label1"));
    QFont bold = m_egoName->font();
    bold.setBold(true);
    bold.setPointSize(12);
    m_egoName->setFont(bold);
    m_cardName = new QLabel(central);
    m_cardName->setObjectName(QStringLiteral("Label2"));
    QFont ten = m_cardName->font();
    ten.setPointSize(10);
    m_cardName->setFont(ten);
    m_grid = new QTableWidget(central);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setColumnCount(int(NodeTableHeadings.size()));
    m_grid->setHorizontalHeaderLabels(NodeTableHeadings);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(17);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int widths[] = {40, 78, 64, 32, 33, 64, 64, 11};
    for (int c = 0; c < int(std::size(widths)); ++c)
        m_grid->setColumnWidth(c, widths[c]);
    // Columns fit their contents, and the last one takes what the window has over.
    m_grid->horizontalHeader()->setStretchLastSection(true);
    // A click on a heading, with any button, sorts by that column, ascending, every time.
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setSortIndicatorShown(false);
    m_grid->horizontalHeader()->viewport()->installEventFilter(this);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &NodeTableWindow::sortByColumn);
    layout->addWidget(m_egoName);
    layout->addWidget(m_cardName);
    layout->addWidget(m_grid, 1);
    setCentralWidget(central);
    resize(414 + 30, 250 + 60);
}

void NodeTableWindow::fill(int card)
{
    const NetworkModel &model = m_shell.document.model();
    m_egoName->setText(model.ego.Name);
    const bool valid = model.hasCard(card);
    m_cardName->setText(valid ? model.card(card).ID : QStringLiteral("<none>"));
    const QSize mapSize = m_shell.mapSize();
    m_rows = NodeTableRows(model, valid ? card : 0, mapSize.width(), mapSize.height());
    showRows();
}

void NodeTableWindow::sortByColumn(int column)
{
    SortNodeTable(m_rows, column);
    showRows();
    m_grid->clearSelection(); // a click on a heading sorts; it selects nothing
}

bool NodeTableWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The header reports clicks of the left button only; the others sort as well.
    if (watched == m_grid->horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton) {
            const int column = m_grid->horizontalHeader()->logicalIndexAt(mouse->position().toPoint());
            if (column >= 0)
                sortByColumn(column);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void NodeTableWindow::showRows()
{
    static const int colorColumn = int(NodeTableHeadings.indexOf(QStringLiteral("Color")));
    m_grid->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) {
        for (int c = 0; c < int(NodeTableHeadings.size()); ++c) {
            auto *item = new QTableWidgetItem(m_rows[size_t(r)].at(c));
            if (c == colorColumn) {
                // The colour itself beside its number.
                QPixmap swatch(10, 10);
                swatch.fill(QColor(PaletteColor(item->text().toInt())));
                item->setIcon(QIcon(swatch));
            }
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->resizeColumnsToContents();
}

void NodeTableWindow::exportTable()
{
    const QString chosen = m_shell.asker().saveFileName(QStringLiteral("Text files (*.txt)"));
    if (chosen.isEmpty())
        return;
    const Status saved = ReplaceFileSafely(TextFileName(chosen), TextFileBytes(NodeTableText(m_rows)));
    if (!saved)
        m_shell.asker().message(saved.message());
}

} // namespace korvalo

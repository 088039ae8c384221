#include "gui/windows/measureswindow.h"

#include "core/analysis/spreadsheetcsv.h"
#include "core/edit/document.h"
#include "core/egofile/safefile.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

QTableWidget *newTable(QWidget *parent, const QString &name, const QString &accessible,
                       const QStringList &headings)
{
    auto *table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setAccessibleName(accessible);
    table->setColumnCount(int(headings.size()));
    table->setHorizontalHeaderLabels(headings);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return table;
}

void setRows(QTableWidget *table, const std::vector<QStringList> &rows)
{
    table->clearContents();
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < int(rows[size_t(r)].size()); ++c) {
            auto *item = new QTableWidgetItem(rows[size_t(r)][c]);
            if (c >= 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
}

// The headings and the rows of a table (or of its selected cells) as rows of text.
std::vector<QStringList> TableCells(const QTableWidget *table, bool selectedOnly)
{
    std::set<int> rows;
    std::set<int> columns;
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem *item = table->item(r, c);
            if (!selectedOnly || (item && item->isSelected())) {
                rows.insert(r);
                columns.insert(c);
            }
        }
    }
    if (!selectedOnly)
        for (int c = 0; c < table->columnCount(); ++c)
            columns.insert(c);
    std::vector<QStringList> out(1);
    for (int c : columns)
        out[0] << table->horizontalHeaderItem(c)->text();
    for (int r : rows) {
        QStringList line;
        for (int c : columns) {
            const QTableWidgetItem *item = table->item(r, c);
            line << (item ? item->text() : QString());
        }
        out.push_back(line);
    }
    return out;
}

} // namespace

MeasuresWindow::MeasuresWindow(const ShellContext &shell)
    : QMainWindow(shell.window, Qt::Window), m_shell(shell)
{
    SetUpToolWindow(this, u"NetworkMeasures"_s, u"Network Measures"_s);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);

    auto *bar = new QHBoxLayout;
    auto *attributeLabel = new QLabel(u"Composition by:"_s, central);
    m_attribute = new QComboBox(central);
    m_attribute->setObjectName(u"MeasuresAttribute"_s);
    m_attribute->setAccessibleName(u"Composition by"_s);
    attributeLabel->setBuddy(m_attribute);
    for (MeasureAttribute a : {MeasureAttribute::Sex, MeasureAttribute::Sector, MeasureAttribute::Role,
                               MeasureAttribute::Color})
        m_attribute->addItem(MeasureAttributeName(a), int(a));
    connect(m_attribute, &QComboBox::currentIndexChanged, this, &MeasuresWindow::refresh);
    auto *copy = new QPushButton(u"Copy"_s, central);
    copy->setObjectName(u"MeasuresCopy"_s);
    copy->setAccessibleName(u"Copy the measures"_s);
    connect(copy, &QPushButton::clicked, this, &MeasuresWindow::copyTable);
    auto *exportButton = new QPushButton(u"Export CSV..."_s, central);
    exportButton->setObjectName(u"MeasuresExport"_s);
    exportButton->setAccessibleName(u"Export the measures as CSV"_s);
    connect(exportButton, &QPushButton::clicked, this, &MeasuresWindow::exportTable);
    bar->addWidget(attributeLabel);
    bar->addWidget(m_attribute);
    bar->addStretch(1);
    bar->addWidget(copy);
    bar->addWidget(exportButton);

    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(u"MeasuresTabs"_s);
    m_tabs->setAccessibleName(u"Measures per card or per sector"_s);
    m_cards = newTable(m_tabs, u"MeasuresCards"_s, u"Measures per card"_s, CardMeasureColumns());
    m_sectors = newTable(m_tabs, u"MeasuresSectors"_s, u"Measures per sector"_s, SectorMeasureColumns());
    m_tabs->addTab(m_cards, u"Cards"_s);
    m_tabs->addTab(m_sectors, u"Sectors"_s);

    m_warnings = new QLabel(central);
    m_warnings->setObjectName(u"MeasuresWarnings"_s);
    m_warnings->setAccessibleName(u"Warnings about the measures"_s);
    m_warnings->setWordWrap(true);
    m_warnings->hide();

    layout->addLayout(bar);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_warnings);
    setCentralWidget(central);
    resize(900, 320);
}

void MeasuresWindow::refresh()
{
    const NetworkModel &model = m_shell.document.model();
    const auto attribute = MeasureAttribute(m_attribute->currentData().toInt());
    QStringList warnings;
    setRows(m_cards, EgoMeasureRows(model, QString(), attribute, false, 0, &warnings));
    setRows(m_sectors, EgoMeasureRows(model, QString(), attribute, true, 0));
    m_warnings->setText(warnings.join(u'\n'));
    m_warnings->setVisible(!warnings.isEmpty());
    if (model.hasCard(model.CurrentCard))
        m_cards->selectRow(model.CurrentCard - 1);
}

QTableWidget *MeasuresWindow::shownTable() const
{
    return m_tabs->currentIndex() == 1 ? m_sectors : m_cards;
}

void MeasuresWindow::copyTable()
{
    const QTableWidget *table = shownTable();
    const bool selected = !table->selectedItems().isEmpty();
    QString text;
    for (const QStringList &row : TableCells(table, selected))
        text += DelimitedLine(row, u'\t') + u'\n';
    QApplication::clipboard()->setText(text);
}

void MeasuresWindow::exportTable()
{
    const QString chosen = m_shell.asker().saveFileName(u"CSV files (*.csv)"_s);
    if (chosen.isEmpty())
        return;
    QByteArray bytes;
    for (const QStringList &row : TableCells(shownTable(), false))
        bytes += SpreadsheetCsvLine(row);
    const Status saved = ReplaceFileSafely(chosen, std::string_view(bytes.constData(), size_t(bytes.size())));
    if (!saved)
        m_shell.asker().message(saved.message());
}

} // namespace korvalo

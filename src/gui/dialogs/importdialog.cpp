#include "gui/dialogs/importdialog.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <set>

namespace korvalo {

using namespace Qt::StringLiterals;

// Rows of the preview: enough to check a mapping without scrolling through a study.
static constexpr int PreviewRows = 50;

ExcelImportDialog::ExcelImportDialog(const QString &objectName, const QString &title, std::function<Asker &()> asker,
                                     ImportTargetProvider target, QWidget *parent)
    : QDialog(parent), m_asker(std::move(asker)), m_target(std::move(target))
{
    SetUpToolWindow(this, objectName, title);

    auto *source = new QGridLayout;
    auto *file = new QPushButton(u"File"_s, this);
    file->setObjectName(u"Button1"_s);
    m_fileName = new QLineEdit(this);
    m_fileName->setObjectName(u"SourceFileName"_s);
    m_fileName->setReadOnly(true);
    source->addWidget(file, 0, 0);
    source->addWidget(m_fileName, 0, 1);
    m_worksheets = new QComboBox(this);
    m_worksheets->setObjectName(u"Worksheets"_s);
    source->addWidget(new QLabel(u"Worksheet:"_s, this), 1, 0);
    source->addWidget(m_worksheets, 1, 1);
    m_skip = new QSpinBox(this);
    m_skip->setObjectName(u"SpinEdit1"_s);
    m_skip->setRange(0, 100);
    m_skip->setValue(1); // the column lists come from row 1, the headers
    source->addWidget(new QLabel(u"Line(s) from\ntop to ignore:"_s, this), 2, 0);
    source->addWidget(m_skip, 2, 1, Qt::AlignLeft);

    m_preview = new QTableWidget(this);
    m_preview->setObjectName(u"Preview"_s);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->verticalHeader()->setVisible(false);
    m_preview->setMinimumHeight(160);
    m_messages = new QListWidget(this);
    m_messages->setObjectName(u"Messages"_s);
    m_messages->setMaximumHeight(110);
    m_summary = new QLabel(this);
    m_summary->setObjectName(u"Summary"_s);
    m_summary->setWordWrap(true);

    m_import = new QPushButton(u"Import"_s, this);
    m_import->setObjectName(u"Button2"_s);
    m_import->setDefault(true);
    auto *exit = new QPushButton(u"Exit"_s, this);
    exit->setObjectName(u"Button3"_s);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_import);
    buttons->addWidget(exit);

    m_body = new QVBoxLayout(this);
    m_body->addLayout(source);
    // the subclass's mapping goes here (index 1)
    m_body->addWidget(new QLabel(u"Preview:"_s, this));
    m_body->addWidget(m_preview, 1);
    m_body->addWidget(m_messages);
    m_body->addWidget(m_summary);
    m_body->addLayout(buttons);

    connect(file, &QPushButton::clicked, this, &ExcelImportDialog::chooseFile);
    connect(m_worksheets, &QComboBox::activated, this, &ExcelImportDialog::sheetChanged);
    connect(m_skip, &QSpinBox::valueChanged, this, &ExcelImportDialog::refresh);
    connect(m_import, &QPushButton::clicked, this, [this] {
        if (runImport())
            hide();
    });
    connect(exit, &QPushButton::clicked, this, &QDialog::hide);
}

QString ExcelImportDialog::fileFilter()
{
    return u"Spreadsheets (*.xlsx *.xlsm *.ods *.xls *.csv *.txt);;All Files (*)"_s;
}

void ExcelImportDialog::setMappingLayout(QLayout *mapping)
{
    m_body->insertLayout(1, mapping);
}

QComboBox *ExcelImportDialog::columnList(const QString &name)
{
    auto *list = new QComboBox(this);
    list->setObjectName(name);
    list->setMinimumContentsLength(12);
    connect(list, &QComboBox::currentIndexChanged, this, &ExcelImportDialog::refresh);
    return list;
}

void ExcelImportDialog::fillColumnList(QComboBox *list, const QStringList &headers, const QString &first)
{
    const QSignalBlocker block(list);
    list->clear();
    if (!first.isEmpty())
        list->addItem(first);
    list->addItems(headers);
    list->setCurrentIndex(0);
}

void ExcelImportDialog::addMappingRow(QGridLayout *grid, int row, const QString &caption, QWidget *field,
                                      const QString &hint)
{
    grid->addWidget(new QLabel(caption, this), row, 0);
    grid->addWidget(field, row, 1);
    if (!hint.isEmpty()) {
        field->setToolTip(hint);
        grid->addWidget(new QLabel(hint, this), row, 2);
    }
}

void ExcelImportDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The file name only shows the workbook: the sheet is the first thing to choose.
    FocusFirstField(m_worksheets);
    // Without a workbook the dialog asks for one at once (after it is on screen).
    if (m_fileName->text().isEmpty())
        QTimer::singleShot(0, this, &ExcelImportDialog::chooseFile);
    else
        refresh();
}

void ExcelImportDialog::chooseFile()
{
    const QString path = asker().openFileName(fileFilter());
    if (!path.isEmpty())
        openWorkbook(path);
}

bool ExcelImportDialog::openWorkbook(const QString &path)
{
    WorkbookResult result = ReadWorkbook(path);
    if (!result.workbook) {
        asker().message(result.error);
        return false;
    }
    m_workbook = std::move(result.workbook);
    m_fileName->setText(path);
    m_worksheets->clear();
    for (const Sheet &s : m_workbook->sheets)
        m_worksheets->addItem(s.name);
    m_worksheets->setCurrentIndex(0);
    sheetChanged();
    return true;
}

void ExcelImportDialog::sheetChanged()
{
    const Sheet *s = sheet();
    setColumns(s ? ColumnHeaders(*s, s->currentRegion()) : QStringList());
    refresh();
}

const Sheet *ExcelImportDialog::sheet() const
{
    const int index = m_worksheets->currentIndex();
    if (!m_workbook || index < 0 || size_t(index) >= m_workbook->sheets.size())
        return nullptr;
    return &m_workbook->sheets[size_t(index)];
}

CellRange ExcelImportDialog::table() const
{
    const Sheet *s = sheet();
    return s ? s->currentRegion() : CellRange{};
}

int ExcelImportDialog::rowsToIgnore() const
{
    return m_skip->value();
}

void ExcelImportDialog::refresh()
{
    if (!sheet()) {
        m_preview->clear();
        m_preview->setRowCount(0);
        m_messages->clear();
        m_summary->setText(u"Choose a workbook with \"File\"."_s);
        m_import->setEnabled(false);
        return;
    }
    computePreview();
}

void ExcelImportDialog::fillPreview(const QStringList &columns, const std::vector<QStringList> &rows,
                                    const std::vector<int> &sheetRows, const ImportOutcome &result,
                                    const QString &summary)
{
    std::set<int> faulty;
    bool refused = false;
    m_messages->clear();
    for (const ImportMessage &m : result.messages) {
        auto *item = new QListWidgetItem(m.text, m_messages);
        if (m.kind == ImportMessage::Error) {
            refused = true;
            item->setForeground(Qt::red);
            faulty.insert(m.row);
        }
    }
    m_preview->clear();
    m_preview->setColumnCount(int(columns.size()) + 1);
    m_preview->setHorizontalHeaderLabels(QStringList{u"Row"_s} + columns);
    const int shown = std::min<int>(int(rows.size()), PreviewRows);
    m_preview->setRowCount(shown);
    for (int r = 0; r < shown; ++r) {
        const bool bad = faulty.count(sheetRows[size_t(r)]) > 0;
        auto *number = new QTableWidgetItem(QString::number(sheetRows[size_t(r)]));
        m_preview->setItem(r, 0, number);
        for (int c = 0; c < rows[size_t(r)].size(); ++c)
            m_preview->setItem(r, c + 1, new QTableWidgetItem(rows[size_t(r)][c]));
        if (bad) {
            for (int c = 0; c <= int(columns.size()); ++c) {
                if (QTableWidgetItem *item = m_preview->item(r, c))
                    item->setBackground(QColor(255, 210, 210));
            }
        }
    }
    m_preview->resizeColumnsToContents();
    m_summary->setText(summary);
    m_import->setEnabled(!refused);
}

QString ExcelImportDialog::summaryOf(const ImportOutcome &result, const QString &refusal, const QString &willAdd)
{
    if (!refusal.isEmpty())
        return refusal;
    if (const int errors = result.errorCount())
        return QStringLiteral("%1 data row(s); %2 problem(s) to mend before anything can be imported.")
            .arg(result.rowsRead)
            .arg(errors);
    return willAdd;
}

bool ExcelImportDialog::importable(const QString &refusal, const ImportOutcome &result)
{
    if (!refusal.isEmpty()) {
        asker().message(refusal);
        return false;
    }
    if (!result.ok()) {
        asker().message(u"Nothing was imported: some rows cannot be read (see the list under the preview)."_s);
        return false;
    }
    return true;
}

} // namespace korvalo

#pragma once

#include "core/sheets/import.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QGridLayout;
class QLayout;
class QVBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace korvalo {

class Asker;

// What an import works on, asked for afresh whenever the preview is computed: the
// current card (none when the ego has no card), the ego and the decimal separator.
struct ImportTarget
{
    const NetworkCard *card = nullptr;
    const Ego *ego = nullptr;
    QChar decimalSeparator = u'.';
};
using ImportTargetProvider = std::function<ImportTarget()>;

// The part both spreadsheet import dialogs share: the workbook ("File", the path, the
// worksheet list), "Line(s) from top to ignore:", a preview of the rows as they will be
// imported with every row that cannot be read listed, and "Import" / "Exit". Modeless and
// on top; keeps workbook, sheet and mappings while hidden. Files and messages go through
// the Asker.
class ExcelImportDialog : public QDialog
{
    Q_OBJECT
public:
    // `asker` gives the main window's current Asker (tests replace it).
    ExcelImportDialog(std::function<Asker &()> asker, ImportTargetProvider target, QWidget *parent);

    // Reads a workbook as "File" does after its file dialog; false (and a message) when
    // it cannot be read, the previous workbook staying.
    bool openWorkbook(const QString &path);
    // The file chooser's filter: every format the reader knows.
    static QString fileFilter();

protected:
    void showEvent(QShowEvent *event) override;

    // Refills the column lists from these headers (column i is headers[i - 1]).
    virtual void setColumns(const QStringList &headers) = 0;
    // Computes the import for the preview; fills rows and messages.
    virtual void computePreview() = 0;
    // Runs the import on "Import"; true when it went through (the dialog then hides).
    virtual bool runImport() = 0;
    // Says why a computed import cannot go through (a refusal, or rows that cannot be
    // read); true when it can.
    bool importable(const QString &refusal, bool rowsReadable);

    // Builders for the subclasses' mapping rows.
    QComboBox *columnList(const QString &name);
    void addMappingRow(QGridLayout *grid, int row, const QString &caption, QWidget *field, const QString &hint = {});
    void setMappingLayout(QLayout *mapping);
    void fillPreview(const QStringList &columns, const std::vector<QStringList> &rows,
                     const std::vector<int> &sheetRows, const std::vector<korvalo::ImportMessage> &messages,
                     const QString &summary);
    void refresh();

    const korvalo::Sheet *sheet() const;
    korvalo::CellRange table() const;
    int rowsToIgnore() const;
    Asker &asker() const { return m_asker(); }
    ImportTarget target() const { return m_target(); }

private:
    void chooseFile();
    void sheetChanged();

    std::function<Asker &()> m_asker;
    ImportTargetProvider m_target;
    std::optional<korvalo::Workbook> m_workbook;
    QLineEdit *m_fileName;
    QComboBox *m_worksheets;
    QSpinBox *m_skip;
    QTableWidget *m_preview;
    QListWidget *m_messages;
    QLabel *m_summary;
    QPushButton *m_import;
    QVBoxLayout *m_body;
};

} // namespace korvalo

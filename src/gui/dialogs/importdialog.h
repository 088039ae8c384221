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
    int cardCount = 0; // with `card` null: none chosen ("<none>") when there are cards
};
using ImportTargetProvider = std::function<ImportTarget()>;

// The part both spreadsheet import dialogs share: the workbook ("File", the path, the
// worksheet list), "Line(s) from top to ignore:", a preview of the rows as they will be
// imported with every row that cannot be read listed, and "Import" / "Exit". Modeless and
// on top; keeps workbook, sheet and mappings while hidden. Files and messages go through
// the Asker. SheetImportDialog below adds the steps that know the kind of result.
class ExcelImportDialog : public QDialog
{
    Q_OBJECT
public:
    // `asker` gives the main window's current Asker (tests replace it).
    ExcelImportDialog(const QString &objectName, const QString &title, std::function<Asker &()> asker,
                      ImportTargetProvider target, QWidget *parent);

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
    bool importable(const QString &refusal, const ImportOutcome &result);

    // Builders for the subclasses' mapping rows.
    QComboBox *columnList(const QString &name);
    // Fills a column list with the headers, after `first` ("<auto>", "<ignore>") when
    // there is one, and selects the first item; the list says nothing of it.
    static void fillColumnList(QComboBox *list, const QStringList &headers, const QString &first = {});
    void addMappingRow(QGridLayout *grid, int row, const QString &caption, QWidget *field, const QString &hint = {});
    void setMappingLayout(QLayout *mapping);
    // The line under the preview: the refusal, or the rows to mend, or else `willAdd`
    // (what "Import" would add).
    static QString summaryOf(const ImportOutcome &result, const QString &refusal, const QString &willAdd);
    // Shows the rows and messages of a computed import, and the summary under them.
    void fillPreview(const QStringList &columns, const std::vector<QStringList> &rows,
                     const std::vector<int> &sheetRows, const ImportOutcome &result, const QString &summary);
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

// The steps of an import dialog that know its result (NodeImportResult,
// LineImportResult): the result is computed afresh for the preview and for "Import",
// and handed on only when it can go through.
template <typename Result>
class SheetImportDialog : public ExcelImportDialog
{
public:
    using ExcelImportDialog::ExcelImportDialog;

protected:
    // The import as the controls map it; nothing while they are not filled. `refusal`
    // learns why it could not go through (no card to add to).
    virtual std::optional<Result> compute(QString *refusal) const = 0;
    virtual void showPreview(const Result &result, const QString &refusal) = 0;
    // Hands a result that can go through to whoever applies it.
    virtual void requestImport(const Result &result) = 0;

    void computePreview() final
    {
        QString refusal;
        if (const std::optional<Result> result = compute(&refusal))
            showPreview(*result, refusal);
    }

    bool runImport() final
    {
        QString refusal;
        const std::optional<Result> result = compute(&refusal);
        if (!result || !importable(refusal, *result))
            return false;
        requestImport(*result);
        return true;
    }
};

} // namespace korvalo

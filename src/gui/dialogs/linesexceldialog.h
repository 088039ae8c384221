#pragma once

#include "gui/dialogs/importdialog.h"

class QCheckBox;
class QRadioButton;

namespace korvalo {

// "Korvalo - Import Lines from Excel": an edge list whose two ends name nodes of the
// current card by label or ID. "Import" hands the computed lines on (importRequested)
// and hides; nothing is handed on while a row cannot be read or without a card.
class LinesExcelDialog : public SheetImportDialog<LineImportResult>
{
    Q_OBJECT
public:
    LinesExcelDialog(std::function<Asker &()> asker, ImportTargetProvider target, QWidget *parent = nullptr);

    LineImportOptions options() const;

Q_SIGNALS:
    void importRequested(const korvalo::LineImportResult &result);

protected:
    void setColumns(const QStringList &headers) override;
    std::optional<LineImportResult> compute(QString *refusal) const override;
    void showPreview(const LineImportResult &result, const QString &refusal) override;
    void requestImport(const LineImportResult &result) override;

private:

    QComboBox *m_nodeA, *m_nodeB, *m_value, *m_color;
    QRadioButton *m_byLabel, *m_byId;
    QCheckBox *m_ignoreEgo;
};

} // namespace korvalo

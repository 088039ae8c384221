#pragma once

#include "gui/dialogs/importdialog.h"

class QCheckBox;
class QRadioButton;

namespace korvalo {

// "Korvalo - Import Nodes from Excel": maps the columns of a worksheet's table to node
// fields and, on "Import", hands the computed nodes and lines to whoever applies them
// (importRequested), then hides. Nothing is handed on while a row cannot be read.
class NodesExcelDialog : public SheetImportDialog<NodeImportResult>
{
    Q_OBJECT
public:
    NodesExcelDialog(std::function<Asker &()> asker, ImportTargetProvider target, QWidget *parent = nullptr);

    // The mapping as the controls show it.
    NodeImportOptions options() const;

Q_SIGNALS:
    void importRequested(const korvalo::NodeImportResult &result);

protected:
    void setColumns(const QStringList &headers) override;
    std::optional<NodeImportResult> compute(QString *refusal) const override;
    void showPreview(const NodeImportResult &result, const QString &refusal) override;
    void requestImport(const NodeImportResult &result) override;

private:

    QComboBox *m_id, *m_label, *m_role, *m_sex, *m_human, *m_distance, *m_groupSize, *m_color, *m_symbol,
        *m_nodeSize, *m_memo1, *m_memo2, *m_lineValue, *m_lineColor;
    QLineEdit *m_notHuman;
    QRadioButton *m_dist, *m_circles;
    QSpinBox *m_circleCount;
};

} // namespace korvalo

#pragma once

#include "core/edit/nodeform.h"

#include <QDialog>

class QLineEdit;
class QSpinBox;

namespace korvalo {

class ColorPanelRow;

// "Line Settings" (TFormKante): adds the line whose ends were picked on the map or
// changes a line's value and colour. Modeless, stays on top; value and colour stay from
// one use to the next (prepare() sets only the ends). Save emits saveRequested().
class LineDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LineDialog(QWidget *parent = nullptr);

    void prepare(const LineForm &form);
    const LineForm &form() const { return m_form; }
    int value() const;
    // The palette index of the marked panel: the silver panel stands for gray (0).
    int lineColor() const;

Q_SIGNALS:
    void saveRequested();

private:
    LineForm m_form;
    QLineEdit *m_a, *m_b;
    QSpinBox *m_value;
    ColorPanelRow *m_colors;
};

} // namespace korvalo

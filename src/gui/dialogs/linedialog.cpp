#include "gui/dialogs/linedialog.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/colorpanels.h"
#include "gui/dialogs/dialogbuttons.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace korvalo {


using namespace Qt::StringLiterals;

LineDialog::LineDialog(QWidget *parent) : QDialog(parent)
{
    SetUpToolWindow(this, u"TFormKante"_s, u"Line Settings"_s);

    auto *form = new QFormLayout;
    m_a = new QLineEdit(this);
    m_a->setObjectName(u"Edit1"_s);
    m_a->setEnabled(false);
    m_a->setAccessibleName(u"Node A:"_s);
    form->addRow(u"Node A:"_s, m_a);
    m_b = new QLineEdit(this);
    m_b->setObjectName(u"Edit2"_s);
    m_b->setEnabled(false);
    m_b->setAccessibleName(u"Node B:"_s);
    form->addRow(u"Node B:"_s, m_b);

    m_value = new QSpinBox(this);
    m_value->setObjectName(u"val"_s);
    m_value->setRange(1, 1000);
    m_value->setValue(1);
    // Text that is no whole number counts as the smallest value.
    m_value->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    m_value->setAccessibleName(u"Line Value:"_s);
    form->addRow(u"Line Value:"_s, m_value);

    m_colors = new ColorPanelRow(this);
    m_colors->setAccessibleName(u"Color:"_s);
    for (int k = 1; k <= PaletteSize; ++k)
        m_colors->panel(k)->setAccessibleName(u"Color %1"_s.arg(k));
    m_colors->choose(7);
    form->addRow(u"Color:"_s, m_colors);

    QPushButton *save = AddSaveIgnoreButtons(this, form);
    connect(save, &QPushButton::clicked, this, &LineDialog::saveRequested);
}

void LineDialog::prepare(const LineForm &form)
{
    m_form = form;
    m_a->setText(form.labelA);
    m_b->setText(form.labelB);
    // The node fields only show the ends: the value is the first field to type in.
    FocusFirstField(m_value);
}

int LineDialog::value() const
{
    bool ok = false;
    const int typed = m_value->cleanText().toInt(&ok);
    return ok ? std::clamp(typed, 1, 1000) : 1;
}

int LineDialog::lineColor() const
{
    return LineColorOfPanel(m_colors->chosen());
}

} // namespace korvalo

#include "gui/dialogs/changecolordialog.h"

#include "gui/dialogs/dialogbuttons.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/colorpanels.h"
#include "core/model/networkmodel.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

const QString colorNames[PaletteSize] = {u"red"_s,     u"yellow"_s, u"blue"_s,   u"lime"_s,
                                         u"fuchsia"_s, u"aqua"_s,   u"silver"_s, u"teal"_s};

ColorPanelRow *addRow(QWidget *dialog, QVBoxLayout *layout, const QString &caption)
{
    auto *label = new QLabel(caption, dialog);
    auto *row = new ColorPanelRow(dialog);
    label->setBuddy(row);
    for (int i = 1; i <= PaletteSize; ++i)
        row->panel(i)->setAccessibleName(caption + u' ' + colorNames[i - 1]);
    layout->addWidget(label);
    layout->addWidget(row);
    return row;
}

} // namespace

ChangeColorDialog::ChangeColorDialog(QWidget *parent) : QDialog(parent)
{
    SetUpToolWindow(this, u"TFormChangeColor"_s, u"Change Node Color"_s);

    auto *layout = new QVBoxLayout(this);
    m_from = addRow(this, layout, u"Color from:"_s);
    m_to = addRow(this, layout, u"Color to:"_s);
    // The lower row counts down from the left: Panel16 is red, Panel9 teal.
    for (int i = 1; i <= PaletteSize; ++i)
        m_to->panel(i)->setObjectName(u"Panel"_s + QString::number(17 - i));

    QPushButton *change = AddActionIgnoreRow(this, layout, u"Change"_s, u"Button3"_s);
    connect(change, &QPushButton::clicked, this, &ChangeColorDialog::changeRequested);
    resize(214, 160);
}

int ChangeColorDialog::fromColor() const
{
    return m_from->chosen();
}

int ChangeColorDialog::toColor() const
{
    // Read from the left: the first chosen of red..silver, teal when none of them is.
    for (int i = 1; i < PaletteSize; ++i)
        if (m_to->panel(i)->isChosen())
            return i;
    return PaletteSize;
}

} // namespace korvalo

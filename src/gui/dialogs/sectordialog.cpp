#include "gui/dialogs/sectordialog.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/colorpanels.h"
#include "gui/dialogs/dialogbuttons.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace korvalo {


using namespace Qt::StringLiterals;

static const QString Add = u"add"_s;
static const QString Modify = u"modify"_s;

SectorDialog::SectorDialog(QWidget *parent) : QDialog(parent)
{
    SetUpToolWindow(this, u"TFormSektor"_s, u"Sector Settings"_s);

    auto *form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_name->setObjectName(u"sektorname"_s);
    m_name->setAccessibleName(u"Name of Sector:"_s);
    form->addRow(u"Name of Sector:"_s, m_name);
    m_colors = new ColorPanelRow(this);
    m_colors->setAccessibleName(u"Color:"_s);
    m_colors->choose(1);
    form->addRow(u"Color:"_s, m_colors);

    m_todo = new QLabel(Add, this);
    m_todo->setObjectName(u"todo"_s);
    m_todo->hide();

    QPushButton *save = AddSaveIgnoreButtons(this, form);
    connect(save, &QPushButton::clicked, this, &SectorDialog::saveRequested);
}

void SectorDialog::prepareAdd()
{
    m_todo->setText(Add);
    focusName();
}

void SectorDialog::prepareModify(const QString &name)
{
    m_todo->setText(Modify);
    m_name->setText(name);
    focusName();
}

void SectorDialog::focusName()
{
    // The name kept from the last use is offered selected, so that what the user types
    // replaces it instead of going to a button.
    m_name->setFocus(Qt::OtherFocusReason);
    m_name->selectAll();
}

bool SectorDialog::isAdding() const
{
    return m_todo->text() == Add;
}

QString SectorDialog::name() const
{
    return m_name->text();
}

int SectorDialog::color() const
{
    return m_colors->chosen();
}

} // namespace korvalo

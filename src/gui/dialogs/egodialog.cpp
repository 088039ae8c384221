#include "gui/dialogs/egodialog.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"
#include "gui/dialogs/dialogbuttons.h"
#include "core/model/textutil.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace korvalo {

using namespace Qt::StringLiterals;

EgoDialog::EgoDialog(std::function<Asker &()> asker, QWidget *parent)
    : QDialog(parent), m_asker(std::move(asker))
{
    SetUpToolWindow(this, u"TFormEgo"_s, u"Ego Settings"_s);

    auto line = [this](const QString &name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        return edit;
    };
    m_name = line(u"name"_s);
    m_egoID = line(u"egoid"_s);
    m_year = line(u"year"_s);
    m_sex = new QComboBox(this);
    m_sex->setObjectName(u"sex"_s);
    m_sex->setEditable(true);
    m_sex->setInsertPolicy(QComboBox::NoInsert);
    m_sex->addItems({u"Unknown"_s, u"Female"_s, u"Male"_s});
    m_misc1 = line(u"misc1"_s);
    m_misc2 = line(u"misc2"_s);

    auto *form = new QFormLayout;
    form->addRow(u"Name:"_s, m_name);
    form->addRow(u"EgoID:"_s, m_egoID);
    form->addRow(u"Year of Birth"_s, m_year);
    form->addRow(u"Sex:"_s, m_sex);
    form->addRow(u"Miscellaneous 1:"_s, m_misc1);
    form->addRow(u"Miscellaneous 2:"_s, m_misc2);

    QPushButton *save = AddSaveIgnoreButtons(this, form);

    m_name->installEventFilter(this);

    connect(save, &QPushButton::clicked, this, &EgoDialog::save);
}

void EgoDialog::load(const Ego &ego)
{
    m_name->setText(ego.Name);
    m_egoID->setText(ego.EgoID);
    m_year->setText(ego.Year);
    m_misc1->setText(ego.Misc1);
    m_misc2->setText(ego.Misc2);
    if (ego.Sex >= 0 && ego.Sex < m_sex->count()) {
        m_sex->setCurrentIndex(ego.Sex);
        m_sex->setEditText(m_sex->itemText(ego.Sex));
    } else {
        m_sex->setCurrentIndex(-1);
        m_sex->setEditText(QString());
    }
    FocusFirstField(m_name);
}

Ego EgoDialog::values() const
{
    // Pasted text may hold line breaks, which a file cannot keep.
    Ego ego;
    ego.Name = LineBreaksToBlanks(m_name->text());
    ego.EgoID = LineBreaksToBlanks(m_egoID->text());
    ego.Year = LineBreaksToBlanks(m_year->text());
    ego.Sex = m_sex->findText(m_sex->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    ego.Misc1 = LineBreaksToBlanks(m_misc1->text());
    ego.Misc2 = LineBreaksToBlanks(m_misc2->text());
    return ego;
}

QString EgoDialog::sexText() const
{
    return m_sex->currentText();
}

bool EgoDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_name && event->type() == QEvent::FocusOut && IsBlank(m_egoID->text()))
        m_egoID->setText(m_name->text());
    return QDialog::eventFilter(watched, event);
}

bool EgoDialog::save()
{
    if (IsBlank(m_name->text())) {
        m_asker().message(u"\"Name\" is obligatory!"_s);
        m_name->setFocus();
        return false;
    }
    if (IsBlank(m_egoID->text())) {
        m_asker().message(u"\"EgoID\" is obligatory!"_s);
        m_name->setFocus();
        return false;
    }
    hide();
    Q_EMIT saved();
    return true;
}

} // namespace korvalo

#include "gui/dialogs/carddialog.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/colorpanels.h"
#include "gui/dialogs/dialogbuttons.h"
#include "core/model/textutil.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace korvalo {

using namespace Qt::StringLiterals;

static const QString Add = u"add"_s;
static const QString Modify = u"modify"_s;

CardDialog::CardDialog(QWidget *parent) : QDialog(parent)
{
    SetUpToolWindow(this, u"TFormCard"_s, u"Network Card Settings"_s);

    auto *form = new QFormLayout;
    m_id = new QLineEdit(this);
    m_id->setObjectName(u"id"_s);
    form->addRow(u"Card ID:"_s, m_id);

    m_circles = new QSpinBox(this);
    m_circles->setObjectName(u"kreise"_s);
    m_circles->setRange(0, 20);
    m_circles->setValue(7);
    form->addRow(u"Number of Circles:"_s, m_circles);

    auto *showEgo = new QWidget(this);
    auto *radios = new QHBoxLayout(showEgo);
    radios->setContentsMargins(0, 0, 0, 0);
    m_no = new QRadioButton(u"No"_s, showEgo);
    m_no->setObjectName(u"RadioButton1"_s);
    m_yes = new QRadioButton(u"Yes"_s, showEgo);
    m_yes->setObjectName(u"RadioButton2"_s);
    radios->addWidget(m_no);
    radios->addWidget(m_yes);
    radios->addStretch(1);
    form->addRow(u"Show Ego as Node:"_s, showEgo);

    m_size = new QComboBox(this);
    m_size->setObjectName(u"ComboBox1"_s);
    m_size->setEditable(true);
    m_size->addItems({u"biggest"_s, u"bigger"_s, u"normal"_s, u"smaller"_s, u"smallest"_s});
    m_size->setCurrentIndex(2);
    m_sizeLabel = new QLabel(u"Ego Size:"_s, this);
    form->addRow(m_sizeLabel, m_size);

    m_colors = new ColorPanelRow(this);
    m_colors->setObjectName(u"Panel9"_s);
    m_colorLabel = new QLabel(u"Ego Color:"_s, this);
    form->addRow(m_colorLabel, m_colors);

    m_interviewer = new QLineEdit(this);
    m_interviewer->setObjectName(u"interviewer"_s);
    form->addRow(u"Interviewer:"_s, m_interviewer);
    m_date = new QLineEdit(this);
    m_date->setObjectName(u"date"_s);
    form->addRow(u"Date of Interview:"_s, m_date);
    m_memo = new QLineEdit(this);
    m_memo->setObjectName(u"memo"_s);
    form->addRow(u"Memo:"_s, m_memo);

    m_todo = new QLabel(Add, this);
    m_todo->setObjectName(u"todo"_s);
    m_todo->hide();

    QPushButton *save = AddSaveIgnoreButtons(this, form);

    connect(m_yes, &QRadioButton::toggled, this, &CardDialog::showEgoControls);
    connect(save, &QPushButton::clicked, this, &CardDialog::saveRequested);

    m_no->setChecked(true);
    showEgoControls(false);
}

void CardDialog::showEgoControls(bool shown)
{
    m_sizeLabel->setVisible(shown);
    m_size->setVisible(shown);
    m_colorLabel->setVisible(shown);
    m_colors->setVisible(shown);
}

void CardDialog::prepareAdd()
{
    m_todo->setText(Add);
    m_number = 0;
    setWindowTitle(u"Network Card Settings"_s);
    m_id->clear();
    m_interviewer->clear();
    m_date->clear();
    m_memo->clear();
    m_no->setChecked(true);
    FocusFirstField(m_id);
}

CardDialog::Values CardDialog::recordOf(const NetworkCard &card)
{
    return Values{card.ID, card.Circles, card.EgoNode, card.EgoColor, card.Interviewer,
                  card.Date, card.CardMemo};
}

void CardDialog::prepareModify(const NetworkCard &card, int number)
{
    m_todo->setText(Modify);
    m_number = number;
    m_opened = recordOf(card);
    setWindowTitle(u"Network Card Settings: %1"_s.arg(card.ID));
    m_id->setText(card.ID);
    m_circles->setValue(card.Circles);
    m_interviewer->setText(card.Interviewer);
    m_date->setText(card.Date);
    m_memo->setText(card.CardMemo);
    m_no->setChecked(true);
    if (card.EgoNode != u"none") {
        m_yes->setChecked(true);
        m_size->setCurrentText(card.EgoNode);
    }
    m_colors->choose(card.EgoColor);
    FocusFirstField(m_id);
}

bool CardDialog::isAdding() const
{
    return m_todo->text() == Add;
}

CardDialog::Values CardDialog::values() const
{
    Values v;
    // Pasted text may hold line breaks, which a file cannot keep.
    v.ID = LineBreaksToBlanks(m_id->text());
    v.Circles = m_circles->value();
    v.EgoNode = m_no->isChecked() ? u"none"_s : LineBreaksToBlanks(m_size->currentText());
    v.EgoColor = m_colors->chosen();
    v.Interviewer = LineBreaksToBlanks(m_interviewer->text());
    v.Date = LineBreaksToBlanks(m_date->text());
    v.CardMemo = LineBreaksToBlanks(m_memo->text());
    return v;
}

} // namespace korvalo

#include "gui/shell/sidepanel.h"

#include "core/edit/document.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

QLineEdit *readOnlyField(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    return edit;
}

QFormLayout *form(QGroupBox *box)
{
    auto *f = new QFormLayout(box);
    f->setContentsMargins(4, 4, 4, 4);
    f->setHorizontalSpacing(4);
    f->setVerticalSpacing(2);
    return f;
}

} // namespace

SidePanel::SidePanel(const Document &document, QWidget *parent)
    : QWidget(parent), m_document(document)
{
    setObjectName(u"Panel1"_s);
    setFixedWidth(185);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    m_egoBox = new QGroupBox(u"Ego Settings:"_s, this);
    m_egoBox->setObjectName(u"GroupBox3"_s);
    m_egoBox->setToolTip(u"Double-click to edit the ego"_s);
    m_egoBox->installEventFilter(this);
    auto *egoForm = form(m_egoBox);
    m_egoName = readOnlyField(m_egoBox, u"egoname"_s);
    QFont bold = m_egoName->font();
    bold.setBold(true);
    bold.setPointSize(9);
    m_egoName->setFont(bold);
    m_egoName->setAccessibleName(u"Ego name"_s);
    egoForm->addRow(m_egoName);
    m_egoID = readOnlyField(m_egoBox, u"egoid"_s);
    egoForm->addRow(u"EgoID:"_s, m_egoID);
    m_year = readOnlyField(m_egoBox, u"Edit3"_s);
    egoForm->addRow(u"Year of Birth:"_s, m_year);
    m_sex = readOnlyField(m_egoBox, u"Edit4"_s);
    egoForm->addRow(u"Sex:"_s, m_sex);
    m_misc1 = readOnlyField(m_egoBox, u"Edit5"_s);
    egoForm->addRow(u"Misc1:"_s, m_misc1);
    m_misc2 = readOnlyField(m_egoBox, u"Edit6"_s);
    egoForm->addRow(u"Misc2:"_s, m_misc2);
    layout->addWidget(m_egoBox);

    m_cardBox = new QGroupBox(u"Current Network Card (0)"_s, this);
    m_cardBox->setObjectName(u"GroupBox1"_s);
    auto *cardForm = form(m_cardBox);
    m_cardCombo = new QComboBox(m_cardBox);
    m_cardCombo->setObjectName(u"CardCombo"_s);
    m_cardCombo->addItem(u"<none>"_s);
    m_cardCombo->setAccessibleName(u"Current Network Card"_s);
    cardForm->addRow(m_cardCombo);
    m_nodeCount = readOnlyField(m_cardBox, u"NodeAnz"_s);
    cardForm->addRow(u"Number of Nodes:"_s, m_nodeCount);
    m_lineCount = readOnlyField(m_cardBox, u"LineAnz"_s);
    cardForm->addRow(u"Number of Lines:"_s, m_lineCount);
    // Free texts get the whole width of the panel, under their labels.
    m_interviewer = readOnlyField(m_cardBox, u"Edit1"_s);
    m_interviewer->setAccessibleName(u"Interviewer:"_s);
    cardForm->addRow(new QLabel(u"Interviewer:"_s, m_cardBox));
    cardForm->addRow(m_interviewer);
    m_date = readOnlyField(m_cardBox, u"Edit2"_s);
    m_date->setAccessibleName(u"Date:"_s);
    cardForm->addRow(new QLabel(u"Date:"_s, m_cardBox));
    cardForm->addRow(m_date);
    m_cardMemo = readOnlyField(m_cardBox, u"cardmemo"_s);
    m_cardMemo->setAccessibleName(u"Memo:"_s);
    cardForm->addRow(new QLabel(u"Memo:"_s, m_cardBox));
    cardForm->addRow(m_cardMemo);
    layout->addWidget(m_cardBox);
    connect(m_cardCombo, &QComboBox::activated, this, &SidePanel::cardChosen);

    // The node and line infos share one place; at most one of them is shown.
    auto *nodeBox = m_nodeBox = new QGroupBox(u"Node Infos:"_s, this);
    nodeBox->setObjectName(u"GroupBox2"_s);
    auto *nodeForm = form(nodeBox);
    nodeForm->addRow(u"ID:"_s, readOnlyField(nodeBox, u"NodeInfoID"_s));
    nodeForm->addRow(u"Label:"_s, readOnlyField(nodeBox, u"NodeInfoLabel"_s));
    nodeForm->addRow(u"Role:"_s, readOnlyField(nodeBox, u"NodeInfoRole"_s));
    nodeBox->hide();
    layout->addWidget(nodeBox);

    auto *lineBox = m_lineBox = new QGroupBox(u"Line Infos:"_s, this);
    lineBox->setObjectName(u"GroupBox4"_s);
    auto *lineForm = form(lineBox);
    lineForm->addRow(u"Node A:"_s, readOnlyField(lineBox, u"LineInfoA"_s));
    lineForm->addRow(u"Node B:"_s, readOnlyField(lineBox, u"LineInfoB"_s));
    lineForm->addRow(u"Value:"_s, readOnlyField(lineBox, u"LineInfoValue"_s));
    lineBox->hide();
    layout->addWidget(lineBox);
    layout->addStretch(1);
}

void SidePanel::refresh(const QString &sexText)
{
    refreshTexts(sexText);
    // A long text shows its start, not its end.
    for (QLineEdit *field : findChildren<QLineEdit *>())
        field->setCursorPosition(0);
}

void SidePanel::refreshTexts(const QString &sexText)
{
    const NetworkModel &model = m_document.model();
    m_egoName->setText(model.ego.Name);
    m_egoID->setText(model.ego.EgoID);
    if (model.EgoPresent) {
        m_year->setText(model.ego.Year);
        m_sex->setText(sexText);
        m_misc1->setText(model.ego.Misc1);
        m_misc2->setText(model.ego.Misc2);
    }
    m_nodeCount->clear();
    m_lineCount->clear();
    // With no card chosen the card fields keep what they showed last.
    if (model.CardCount() == 0) {
        m_interviewer->clear();
        m_date->clear();
        m_cardMemo->clear();
    }
    if (model.hasCard(model.CurrentCard)) {
        const NetworkCard &card = model.card(model.CurrentCard);
        if (card.NodeCount() > 0) {
            m_nodeCount->setText(QString::number(card.NodeCount()));
            m_lineCount->setText(QString::number(card.LineCount()));
        }
        m_interviewer->setText(card.Interviewer);
        m_date->setText(card.Date);
        m_cardMemo->setText(card.CardMemo);
    }
    m_cardCombo->setCurrentIndex(model.CurrentCard);
}

void SidePanel::refreshCardList()
{
    const NetworkModel &model = m_document.model();
    const QSignalBlocker blocker(m_cardCombo);
    m_cardCombo->clear();
    m_cardCombo->addItem(u"<none>"_s);
    for (int c = 1; c <= model.CardCount(); ++c)
        m_cardCombo->addItem(model.card(c).ID);
    m_cardCombo->setCurrentIndex(model.CurrentCard);
    m_cardBox->setTitle(u"Current Network Card (%1)"_s.arg(model.CardCount()));
}

void SidePanel::showNodeInfo(const Node *node)
{
    m_lineBox->hide();
    m_nodeBox->setVisible(node);
    m_nodeBox->findChild<QLineEdit *>(u"NodeInfoID"_s)->setText(node ? node->ID : QString());
    m_nodeBox->findChild<QLineEdit *>(u"NodeInfoLabel"_s)->setText(node ? node->Label : QString());
    m_nodeBox->findChild<QLineEdit *>(u"NodeInfoRole"_s)->setText(node ? node->Role : QString());
}

void SidePanel::showLineBox()
{
    m_nodeBox->hide();
    m_lineBox->show();
}

void SidePanel::showLineInfo(const QString &endA, const QString &endB, int value)
{
    m_lineBox->findChild<QLineEdit *>(u"LineInfoA"_s)->setText(endA);
    m_lineBox->findChild<QLineEdit *>(u"LineInfoB"_s)->setText(endB);
    m_lineBox->findChild<QLineEdit *>(u"LineInfoValue"_s)->setText(QString::number(value));
}

bool SidePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_egoBox && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT egoDoubleClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace korvalo

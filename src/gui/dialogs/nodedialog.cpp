#include "gui/dialogs/nodedialog.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/colorpanels.h"
#include "gui/dialogs/dialogbuttons.h"
#include "core/map/render.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace korvalo {

using namespace Qt::StringLiterals;

SymbolPicture::SymbolPicture(int choice, QWidget *parent) : QWidget(parent), m_choice(choice)
{
    setObjectName(u"Image"_s + QString::number(choice));
    setFixedSize(28, 28);
    setAccessibleName(choice == 0 ? u"No symbol"_s : SymbolName(choice));
}

void SymbolPicture::setMarked(bool marked)
{
    if (m_marked == marked)
        return;
    m_marked = marked;
    update();
}

void SymbolPicture::paintEvent(QPaintEvent *)
{
    QImage picture(28, 28, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        // The marked picture is drawn boxed: a white square with a black border behind it.
        if (m_marked || m_choice != 0)
            DrawSymbol(painter, 14, 14, 14, SymbolName(m_choice), m_marked);
    }
    QPainter(this).drawImage(0, 0, picture);
}

void SymbolPicture::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked(m_choice);
    QWidget::mouseReleaseEvent(event);
}

NodeDialog::NodeDialog(QWidget *parent) : QDialog(parent)
{
    SetUpToolWindow(this, u"TFormKnoten"_s, u"Node Settings"_s);

    auto *form = new QFormLayout;
    auto field = [&](const QString &name, const QString &caption) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setAccessibleName(caption);
        form->addRow(caption, edit);
        return edit;
    };
    m_id = field(u"ID"_s, u"Node ID:"_s);
    m_label = field(u"bezeich"_s, u"Label:"_s);
    m_role = field(u"rolle"_s, u"Role:"_s);

    m_sex = new QComboBox(this);
    m_sex->setObjectName(u"ComboBox2"_s);
    m_sex->setEditable(true);
    m_sex->addItems({u"undefined"_s, u"female"_s, u"male"_s});
    m_sex->setCurrentIndex(0);
    m_sex->setAccessibleName(u"Sex:"_s);
    form->addRow(u"Sex:"_s, m_sex);

    auto *humanRow = new QWidget(this);
    auto *humanLayout = new QHBoxLayout(humanRow);
    humanLayout->setContentsMargins(0, 0, 0, 0);
    m_human = new QRadioButton(u"Human:"_s, humanRow);
    m_human->setObjectName(u"RadioButton1"_s);
    m_human->setAccessibleName(u"Human:"_s);
    m_nonHuman = new QRadioButton(u"Non-Human:"_s, humanRow);
    m_nonHuman->setObjectName(u"RadioButton2"_s);
    m_nonHuman->setAccessibleName(u"Non-Human:"_s);
    humanLayout->addWidget(m_human);
    humanLayout->addWidget(m_nonHuman);
    humanLayout->addStretch(1);
    m_human->setChecked(true);
    form->addRow(humanRow);

    m_distance = new QLineEdit(this);
    m_distance->setObjectName(u"dist"_s);
    m_distance->setAccessibleName(u"Distance to Ego:"_s);
    form->addRow(u"Distance\nto Ego:"_s, m_distance);

    m_group = new QCheckBox(u"Group:"_s, this);
    m_group->setObjectName(u"CheckBox1"_s);
    m_group->setAccessibleName(u"Group:"_s);
    form->addRow(m_group);
    m_size = new QLineEdit(this);
    m_size->setObjectName(u"size"_s);
    m_size->setAccessibleName(u"Group Size:"_s);
    m_size->installEventFilter(this);
    m_sizeLabel = new QLabel(u"Group Size:"_s, this);
    form->addRow(m_sizeLabel, m_size);

    m_colors = new ColorPanelRow(this);
    m_colors->setAccessibleName(u"Color:"_s);
    for (int k = 1; k <= PaletteSize; ++k)
        m_colors->panel(k)->setAccessibleName(u"Color %1"_s.arg(k));
    form->addRow(u"Color:"_s, m_colors);

    auto *symbols = new QWidget(this);
    auto *symbolLayout = new QHBoxLayout(symbols);
    symbolLayout->setContentsMargins(0, 0, 0, 0);
    symbolLayout->setSpacing(4);
    for (int k = 0; k <= 4; ++k) {
        m_symbols[k] = new SymbolPicture(k, symbols);
        symbolLayout->addWidget(m_symbols[k]);
        connect(m_symbols[k], &SymbolPicture::clicked, this, &NodeDialog::chooseSymbol);
    }
    symbolLayout->addStretch(1);
    form->addRow(u"Symbol:"_s, symbols);

    m_nodeSize = new QComboBox(this);
    m_nodeSize->setObjectName(u"ComboBox1"_s);
    m_nodeSize->setEditable(true);
    m_nodeSize->addItems({u"biggest"_s, u"bigger"_s, u"normal"_s, u"smaller"_s, u"smallest"_s});
    m_nodeSize->setCurrentIndex(2);
    m_nodeSize->setAccessibleName(u"Node Size:"_s);
    form->addRow(u"Node Size:"_s, m_nodeSize);

    m_memo1 = field(u"memo1"_s, u"Memo 1:"_s);
    m_memo2 = field(u"memo2"_s, u"Memo 2:"_s);

    QPushButton *save = AddSaveIgnoreButtons(this, form);
    connect(save, &QPushButton::clicked, this, &NodeDialog::saveRequested);
    connect(m_group, &QCheckBox::toggled, this, &NodeDialog::showGroupSize);
    m_id->installEventFilter(this);

    showGroupSize(false);
    chooseSymbol(0);
}

void NodeDialog::showGroupSize(bool shown)
{
    m_sizeLabel->setVisible(shown);
    m_size->setVisible(shown);
}

void NodeDialog::chooseSymbol(int choice)
{
    m_symbol = choice;
    for (SymbolPicture *picture : m_symbols)
        picture->setMarked(picture->choice() == choice);
}

bool NodeDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_size && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return true;
        const QString text = key->text();
        if (text.isEmpty() || key->key() == Qt::Key_Backspace)
            return false; // keys that type nothing (arrows, Delete) and Backspace pass
        return !(text.size() == 1 && text[0] >= u'0' && text[0] <= u'9');
    }
    if (watched == m_id && event->type() == QEvent::FocusOut && m_label->text().isEmpty())
        m_label->setText(m_id->text());
    return QDialog::eventFilter(watched, event);
}

void NodeDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FocusFirstField(m_id);
}

void NodeDialog::prepare(const NodeForm &f)
{
    m_form = f;
    m_id->setText(f.ID);
    m_label->setText(f.Label);
    m_role->setText(f.Role);
    m_sex->setCurrentText(f.Sex);
    if (f.Human == 1)
        m_human->setChecked(true);
    else if (f.Human == 0)
        m_nonHuman->setChecked(true);
    m_distance->setText(f.Distance);
    m_group->setChecked(f.Group);
    if (f.GroupSize)
        m_size->setText(*f.GroupSize);
    m_colors->choose(f.Color);
    chooseSymbol(f.Symbol);
    m_nodeSize->setCurrentText(f.NodeSize);
    m_memo1->setText(f.Memo1);
    m_memo2->setText(f.Memo2);
    FocusFirstField(m_id);
}

NodeForm NodeDialog::form() const
{
    NodeForm f = m_form;
    f.ID = m_id->text();
    f.Label = m_label->text();
    f.Role = m_role->text();
    f.Sex = m_sex->currentText();
    f.Human = m_nonHuman->isChecked() ? 0 : 1;
    f.Distance = m_distance->text();
    f.Group = m_group->isChecked();
    f.GroupSize = m_size->text();
    f.Color = 0;
    for (int k = 1; k <= PaletteSize; ++k)
        if (m_colors->panel(k)->isChosen())
            f.Color = k;
    f.Symbol = m_symbol;
    f.NodeSize = m_nodeSize->currentText();
    f.Memo1 = m_memo1->text();
    f.Memo2 = m_memo2->text();
    return f;
}

void NodeDialog::setGroupSize(const QString &text)
{
    m_size->setText(text);
}

} // namespace korvalo

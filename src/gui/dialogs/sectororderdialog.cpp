#include "gui/dialogs/sectororderdialog.h"

#include "gui/dialogs/dialogbuttons.h"
#include "gui/dialogs/toolwindow.h"

#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvalo {


using namespace Qt::StringLiterals;

SectorOrderDialog::SectorOrderDialog(QWidget *parent) : QDialog(parent)
{
    SetUpToolWindow(this, u"TFormSectorOrder"_s, u"Change Sector Order"_s);

    auto *caption = new QLabel(u"Mouse Buttons: Left=Down, Right=Up"_s, this);
    caption->setObjectName(u"Label1"_s);
    m_list = new QListWidget(this);
    m_list->setObjectName(u"ListBox1"_s);
    m_list->setAccessibleName(caption->text());
    m_list->setContextMenuPolicy(Qt::PreventContextMenu);
    m_list->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
    QPushButton *apply = AddActionIgnoreRow(this, layout, u"Apply"_s, u"Button1"_s);
    connect(apply, &QPushButton::clicked, this, &SectorOrderDialog::applyRequested);
}

void SectorOrderDialog::fill(const QStringList &entries)
{
    m_list->clear();
    m_list->addItems(entries);
    FocusFirstField(m_list);
}

QStringList SectorOrderDialog::entries() const
{
    QStringList texts;
    for (int row = 0; row < m_list->count(); ++row)
        texts << m_list->item(row)->text();
    return texts;
}

bool SectorOrderDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QModelIndex index = m_list->indexAt(mouse->position().toPoint());
        if (index.isValid()) {
            if (mouse->button() == Qt::LeftButton)
                move(index.row(), 1);
            else if (mouse->button() == Qt::RightButton)
                move(index.row(), -1);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SectorOrderDialog::move(int row, int by)
{
    const int to = row + by;
    if (to < 0 || to >= m_list->count())
        return;
    QListWidgetItem *item = m_list->takeItem(row);
    m_list->insertItem(to, item);
    m_list->setCurrentRow(to);
}

} // namespace korvalo

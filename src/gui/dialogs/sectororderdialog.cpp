#include "gui/dialogs/sectororderdialog.h"

#include "gui/dialogs/toolwindow.h"

#include <QHBoxLayout>
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

    auto *apply = new QPushButton(u"Apply"_s, this);
    apply->setObjectName(u"Button1"_s);
    apply->setAccessibleName(apply->text());
    apply->setDefault(true);
    auto *ignore = new QPushButton(u"Ignore"_s, this);
    ignore->setObjectName(u"Button2"_s);
    ignore->setAccessibleName(ignore->text());
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply);
    buttons->addWidget(ignore);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(apply, &QPushButton::clicked, this, &SectorOrderDialog::applyRequested);
    connect(ignore, &QPushButton::clicked, this, &QDialog::hide);
}

void SectorOrderDialog::fill(const QStringList &entries)
{
    m_list->clear();
    m_list->addItems(entries);
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

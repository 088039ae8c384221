#include "app/mapwidget.h"

#include <QPainter>

MapWidget::MapWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(50, 50);
}

void MapWidget::redraw()
{
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (m_image.size() != wanted)
        m_image = QImage(wanted, QImage::Format_RGB32);
    m_image.fill(Qt::white);
    if (m_render)
        m_render(m_image);
    update();
}

void MapWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_image.size() != size())
        painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, m_image);
}

void MapWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    redraw();
}

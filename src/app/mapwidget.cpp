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
    m_stale = true;
    update();
}

const QImage &MapWidget::image() const
{
    if (m_stale || m_image.size() != size().expandedTo(QSize(1, 1)))
        draw();
    return m_image;
}

void MapWidget::draw() const
{
    m_stale = false;
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (m_image.size() != wanted)
        m_image = QImage(wanted, QImage::Format_RGB32);
    m_image.fill(Qt::white);
    if (m_render)
        m_render(m_image);
}

void MapWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image());
}

void MapWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    redraw();
}

#include "gui/map/mapwidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace korvalo {


MapWidget::MapWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(50, 50);
}

void MapWidget::redraw()
{
    m_stale = true;
    m_shownStale = true;
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

const QImage &MapWidget::shownImage() const
{
    // A window moved to a screen of another scale is drawn anew for it.
    const qreal ratio = devicePixelRatioF();
    if (m_shownStale || (!m_shown.isNull()
                         && (m_shown.devicePixelRatio() != ratio
                             || m_shown.deviceIndependentSize().toSize() != size().expandedTo(QSize(1, 1)))))
        drawShown();
    return m_shown.isNull() ? image() : m_shown;
}

void MapWidget::drawShown() const
{
    m_shownStale = false;
    if (!m_renderShown) {
        m_shown = QImage();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize wanted = size().expandedTo(QSize(1, 1));
    const QSize pixels(qCeil(wanted.width() * ratio), qCeil(wanted.height() * ratio));
    if (m_shown.size() != pixels || m_shown.devicePixelRatio() != ratio) {
        m_shown = QImage(pixels, QImage::Format_RGB32);
        m_shown.setDevicePixelRatio(ratio);
    }
    m_shown.fill(Qt::white);
    if (!m_renderShown(m_shown))
        m_shown = QImage();
}

void MapWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, shownImage());
    if (m_overlay)
        m_overlay(painter);
}

void MapWidget::setMouseHandler(MouseHandler handler)
{
    m_mouse = std::move(handler);
    setMouseTracking(bool(m_mouse));
}

void MapWidget::mousePressEvent(QMouseEvent *event)
{
    if (m_mouse)
        m_mouse(event);
}

void MapWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (m_mouse)
        m_mouse(event);
}

void MapWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_mouse)
        m_mouse(event);
}

void MapWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click: first the double click, then the press itself.
    // Only the left button double-clicks; with the others it is a second press.
    if (m_mouse) {
        if (event->button() == Qt::LeftButton)
            m_mouse(event);
        QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(),
                          event->globalPosition(), event->button(), event->buttons(),
                          event->modifiers(), event->pointingDevice());
        m_mouse(&press);
    }
}

void MapWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    redraw();
}

} // namespace korvalo

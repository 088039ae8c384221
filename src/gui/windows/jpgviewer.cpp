#include "gui/windows/jpgviewer.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace korvalo {


JpgPicture::JpgPicture(std::function<Asker &()> asker, QWidget *parent)
    : QWidget(parent), m_asker(std::move(asker))
{
    setObjectName(QStringLiteral("Image1"));
}

void JpgPicture::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void JpgPicture::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize fitted = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(QPoint(0, 0), fitted), m_picture);
}

void JpgPicture::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    m_asker().message(QStringLiteral("%1 %2").arg(at.x()).arg(at.y()));
}

JpgViewer::JpgViewer(std::function<Asker &()> asker, QWidget *parent)
    : QWidget(parent, Qt::Window), m_asker(std::move(asker)), m_image(new JpgPicture(m_asker, this))
{
    setObjectName(QStringLiteral("TFormJpg"));
    setWindowTitle(QStringLiteral("Import JPG"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_image);
    resize(OuterSize);
}

void JpgViewer::fitOuterSize()
{
    // The window manager tells the frame only once the window is on screen (the move
    // into the frame is the first sign of it); the outer size is kept from then on.
    if (m_fitted || !isVisible())
        return;
    const QSize frame = frameGeometry().size() - size();
    if (frame.isNull())
        return;
    m_fitted = true;
    resize(OuterSize - frame);
}

void JpgViewer::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitOuterSize();
}

void JpgViewer::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    fitOuterSize();
}

void JpgViewer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitOuterSize();
}

void JpgViewer::importJpg()
{
    const QString path = m_asker().openFileName(QStringLiteral("JPEG (*.jpg)"));
    if (!path.isEmpty())
        load(path);
}

bool JpgViewer::load(const QString &path)
{
    QImageReader reader(path);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        m_asker().message(QStringLiteral("Cannot read \"%1\": %2")
                              .arg(QFileInfo(path).fileName(), reader.errorString()));
        return false;
    }
    m_image->setPicture(picture);
    ShowInFront(this);
    return true;
}

} // namespace korvalo

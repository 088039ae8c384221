#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

// Shows the map image of the current card. The image always has the widget's size;
// `render` draws into it (32-bit RGB, white when there is nothing to show). The mouse
// handlers read the picture through image().
class MapWidget : public QWidget
{
    Q_OBJECT
public:
    using Renderer = std::function<void(QImage &)>;

    explicit MapWidget(QWidget *parent = nullptr);

    void setRenderer(Renderer render) { m_render = std::move(render); }
    // Draws the map again into the image and repaints.
    void redraw();
    const QImage &image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    Renderer m_render;
    QImage m_image;
};

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
    // Marks the map for drawing again; it is drawn once, when painted or read, however
    // often this is called in between.
    void redraw();
    // The map as drawn now (drawn first when a redraw is pending).
    const QImage &image() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void draw() const;

    Renderer m_render;
    mutable QImage m_image;
    mutable bool m_stale = true;
};

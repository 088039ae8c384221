#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace korvalo {


// Shows the map image of the current card. The image always has the widget's size;
// `render` draws into it (32-bit RGB, white when there is nothing to show). The mouse
// handlers read the picture through image(). What is shown may be another picture of the
// same map (smooth drawing): drawn by the shown renderer at the screen's device pixel
// ratio, never read by the mouse.
class MapWidget : public QWidget
{
    Q_OBJECT
public:
    using Renderer = std::function<void(QImage &)>;
    // Draws the shown picture into an image of the widget's size times the device pixel
    // ratio (the image carries the ratio); answers false to show image() instead.
    using ShownRenderer = std::function<bool(QImage &)>;
    // Receives every mouse event on the map (press, move, release, double click).
    using MouseHandler = std::function<void(QMouseEvent *)>;
    // Paints on top of the map picture (rubber band, rubber line); never into image().
    using Overlay = std::function<void(QPainter &)>;

    explicit MapWidget(QWidget *parent = nullptr);

    void setRenderer(Renderer render) { m_render = std::move(render); }
    void setShownRenderer(ShownRenderer render) { m_renderShown = std::move(render); }
    // Installing a handler switches mouse tracking on, so that hovering reports moves.
    void setMouseHandler(MouseHandler handler);
    void setOverlay(Overlay overlay) { m_overlay = std::move(overlay); }
    // Marks the map for drawing again; it is drawn once, when painted or read, however
    // often this is called in between.
    void redraw();
    // The map as drawn now (drawn first when a redraw is pending).
    const QImage &image() const;
    // The picture on the screen now, at the device pixel ratio when a shown renderer drew it,
    // else image() (drawn first when a redraw is pending).
    const QImage &shownImage() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void draw() const;
    void drawShown() const;

    Renderer m_render;
    ShownRenderer m_renderShown;
    MouseHandler m_mouse;
    Overlay m_overlay;
    mutable QImage m_image;
    mutable bool m_stale = true;
    mutable QImage m_shown; // null while image() is what is shown
    mutable bool m_shownStale = true;
};

} // namespace korvalo

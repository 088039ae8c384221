#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace korvalo {


class Asker;

// The picture of the "Import JPG" window: the loaded picture scaled to fit with its
// aspect ratio kept. Releasing a mouse button tells the position in this control's own
// pixels ("315 207").
class JpgPicture : public QWidget
{
    Q_OBJECT
public:
    explicit JpgPicture(std::function<Asker &()> asker, QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::function<Asker &()> m_asker;
    QImage m_picture;
};

// "Import JPG" (Card > Import Graphic > "-jpg"): shows one JPEG picture, apart from the
// map and the model. Created once, hidden; keeps its picture until another is loaded.
class JpgViewer : public QWidget
{
    Q_OBJECT
public:
    explicit JpgViewer(std::function<Asker &()> asker, QWidget *parent = nullptr);

    // Asks for a file and shows it. A file that cannot be read is reported with its name
    // and the reason; the window then stays as it was.
    void importJpg();
    // Loads `path` and shows the window; false (after the message) when it cannot be read.
    bool load(const QString &path);
    JpgPicture *pictureControl() const { return m_image; }

    // Size of the window with its frame when it first opens.
    static constexpr QSize OuterSize{703, 679};

protected:
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitOuterSize();

    std::function<Asker &()> m_asker;
    JpgPicture *m_image;
    bool m_fitted = false;
};

} // namespace korvalo

#pragma once

#include <QDialog>
#include <QFrame>

namespace korvalo {


// A panel used as a button: it looks pressed while the mouse button is down on it and
// acts when the button is released over it. Screen readers see a button with its
// caption as name, which they can press.
class PanelButton : public QFrame
{
    Q_OBJECT
public:
    PanelButton(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// The start chooser: "Create New Ego" or "Read Ego from File". It hides itself when it
// loses the focus.
class StartChooser : public QDialog
{
    Q_OBJECT
public:
    explicit StartChooser(QWidget *parent = nullptr);

Q_SIGNALS:
    void newEgoChosen();
    void readEgoChosen();

protected:
    void changeEvent(QEvent *event) override;

private:
    bool m_wasActive = false;
};

} // namespace korvalo

#pragma once

#include <QDialog>

namespace korvalo {


class ColorPanelRow;

// "Change Node Color": two rows of colour panels, "from" on top and "to" below, and
// "Change" / "Ignore". Modeless and on top; "Change" emits changeRequested() and leaves
// the window open for the next replacement, "Ignore" hides it. The chosen panels stay
// chosen for the whole run.
class ChangeColorDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ChangeColorDialog(QWidget *parent = nullptr);

    // Palette indexes 1..8 of the chosen panels.
    int fromColor() const;
    int toColor() const;

Q_SIGNALS:
    void changeRequested();

private:
    ColorPanelRow *m_from;
    ColorPanelRow *m_to;
};

} // namespace korvalo

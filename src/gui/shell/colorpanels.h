#pragma once

#include <QFrame>
#include <QWidget>

#include <vector>

namespace korvalo {


// A row of clickable colour panels, one per palette index 1..8. The chosen panel has a
// single border, the others none; clicking a panel makes it the chosen one.
class ColorPanel : public QFrame
{
    Q_OBJECT
public:
    ColorPanel(int paletteIndex, QColor shown, QWidget *parent = nullptr);
    int paletteIndex() const { return m_index; }
    bool isChosen() const { return frameShape() != QFrame::NoFrame; }
    void setChosen(bool chosen);

Q_SIGNALS:
    void clicked(int paletteIndex);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_index;
};

class ColorPanelRow : public QWidget
{
    Q_OBJECT
public:
    // The panels are named `<prefix>1`..`<prefix>8` unless names are given.
    explicit ColorPanelRow(QWidget *parent = nullptr,
                           const QString &prefix = QStringLiteral("Panel"));

    // The chosen palette index: the highest-numbered chosen panel among 2..8, else 1.
    int chosen() const;
    // Chooses the panel of a palette index; an index outside 1..8 chooses none.
    void choose(int paletteIndex);
    ColorPanel *panel(int paletteIndex) const { return m_panels[size_t(paletteIndex - 1)]; }

Q_SIGNALS:
    void chosenChanged(int paletteIndex);

private:
    std::vector<ColorPanel *> m_panels;
};

// How the dialogs show palette index 1..8 (index 2 as pure yellow, unlike the map).
QColor PanelColor(int paletteIndex);

} // namespace korvalo

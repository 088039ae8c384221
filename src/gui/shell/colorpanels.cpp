#include "gui/shell/colorpanels.h"

#include "core/model/networkmodel.h"

#include <QHBoxLayout>
#include <QMouseEvent>

namespace korvalo {

QColor PanelColor(int paletteIndex)
{
    if (paletteIndex == 2)
        return QColor(255, 255, 0);
    return QColor::fromRgb(PaletteColor(paletteIndex));
}

// The swatches' names for screen readers.
static QString panelColorName(int paletteIndex)
{
    static const char *const names[PaletteSize] = {"red",     "yellow", "blue",   "lime",
                                                   "fuchsia", "aqua",   "silver", "teal"};
    if (paletteIndex < 1 || paletteIndex > PaletteSize)
        return QString();
    return QString::fromLatin1(names[paletteIndex - 1]);
}

ColorPanel::ColorPanel(int paletteIndex, QColor shown, QWidget *parent)
    : QFrame(parent), m_index(paletteIndex)
{
    setFixedSize(25, 25);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, shown);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setLineWidth(2);
    setChosen(false);
}

void ColorPanel::setChosen(bool chosen)
{
    setFrameShape(chosen ? QFrame::Box : QFrame::NoFrame);
}

void ColorPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked(m_index);
    QFrame::mouseReleaseEvent(event);
}

ColorPanelRow::ColorPanelRow(QWidget *parent, const QString &prefix) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 1; i <= PaletteSize; ++i) {
        auto *panel = new ColorPanel(i, PanelColor(i), this);
        panel->setObjectName(prefix + QString::number(i));
        panel->setAccessibleName(panelColorName(i));
        panel->setToolTip(panelColorName(i));
        layout->addWidget(panel);
        connect(panel, &ColorPanel::clicked, this, [this](int index) {
            choose(index);
            Q_EMIT chosenChanged(index);
        });
        m_panels.push_back(panel);
    }
    layout->addStretch(1);
    choose(1);
}

int ColorPanelRow::chosen() const
{
    for (int i = PaletteSize; i >= 2; --i)
        if (panel(i)->isChosen())
            return i;
    return 1;
}

void ColorPanelRow::choose(int paletteIndex)
{
    for (ColorPanel *p : m_panels)
        p->setChosen(p->paletteIndex() == paletteIndex);
}

} // namespace korvalo

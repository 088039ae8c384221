#pragma once

#include "core/analysis/compare.h"
#include "gui/shell/shellcontext.h"

#include <QMainWindow>

class QComboBox;
class QLabel;

namespace korvalo {

class MapWidget;

// "Compare Cards": a card and another one of the open ego drawn as the compare view (the
// later card with the change since the earlier one, see comparerender.h). The view is
// read-only: a click on it goes back to the map, showing the later card there. It
// follows the document through refresh() and exports its picture as JPEG, SVG or PDF.
class CompareWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit CompareWindow(const ShellContext &shell);

    // Compares `card` with `other` (card numbers from 1) and shows the window.
    void compare(int card, int other);
    // Compares again from the document: the cards may have changed or gone. With fewer
    // than two cards, or the card gone, the window closes.
    void refresh();
    enum class PictureKind { Jpeg, Svg, Pdf };
    // The picture as a file of that kind, its name asked for through the one door (which
    // asks before replacing a file). The JPEG is the view as shown; the SVG and the PDF
    // draw it anew as shapes and text, at the view's size.
    void exportPicture(PictureKind kind = PictureKind::Jpeg);

    MapWidget *view() const { return m_view; }
    QComboBox *otherCard() const { return m_other; }
    QLabel *notes() const { return m_notes; }
    const CardComparison &comparison() const { return m_comparison; }

private:
    void fillCardChoice();
    void backToMap();

    ShellContext m_shell;
    int m_card = 0;
    int m_otherCard = 0;
    QComboBox *m_other;
    MapWidget *m_view;
    QLabel *m_notes; // IDs a card holds more than once
    CardComparison m_comparison;
};

} // namespace korvalo

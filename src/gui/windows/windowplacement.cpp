#include "gui/windows/windowplacement.h"

#include "gui/dialogs/toolwindow.h"

#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace korvalo {

void ShowBeside(QWidget *window, const QWidget *main)
{
    static const char *const placed = "korvaloPlaced";
    if (!window->property(placed).toBool() && main) {
        window->setProperty(placed, true);
        const QRect outer = main->frameGeometry();
        const QScreen *screen = main->screen();
        const QRect room = screen ? screen->availableGeometry() : outer;
        const QSize size = window->size().boundedTo(room.size());
        // Right of the main window where there is room, else left of it, else over its
        // lower part at the screen's right edge; never above the main window's top, where
        // its menus are.
        QPoint at(outer.right() + 1, outer.top());
        if (at.x() + size.width() > room.right() + 1)
            at.setX(outer.left() - size.width());
        if (at.x() < room.left())
            at = QPoint(room.right() + 1 - size.width(), outer.top() + outer.height() / 3);
        at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height())));
        window->resize(size);
        window->move(at);
    }
    ShowInFront(window);
}

} // namespace korvalo

#include "gui/windows/windowplacement.h"

#include "gui/dialogs/toolwindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace korvalo {

namespace {

QSettings settings()
{
    const QString application = QCoreApplication::applicationName();
    const QString organization = QCoreApplication::organizationName();
    return QSettings(organization.isEmpty() ? application : organization, application);
}

QString placeKey(const QWidget *window)
{
    return QStringLiteral("Windows/") + window->objectName();
}

// Where the window was when it was last closed (outer top-left, inner size); nothing
// when it was never closed or lies where no screen shows its title bar any more.
std::optional<QRect> rememberedPlace(const QWidget *window)
{
    const QRect place = settings().value(placeKey(window)).toRect();
    if (!place.isValid())
        return std::nullopt;
    const QRect titleBar(place.topLeft(), QSize(std::min(place.width(), 120), 30));
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect shown = screen->availableGeometry().intersected(titleBar);
        if (shown.width() >= std::min(titleBar.width(), 60) && shown.height() >= 10)
            return place;
    }
    return std::nullopt;
}

// Writes the window's place whenever it is closed, also when the program ends with it
// open.
class PlaceKeeper : public QObject
{
public:
    explicit PlaceKeeper(QWidget *window) : QObject(window), m_window(window)
    {
        window->installEventFilter(this);
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
            if (m_window->isVisible())
                store();
        });
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Hide && !m_window->isMinimized())
            store();
        return QObject::eventFilter(watched, event);
    }

private:
    void store() const { settings().setValue(placeKey(m_window), QRect(m_window->pos(), m_window->size())); }

    QWidget *m_window;
};

} // namespace

void ShowBeside(QWidget *window, const QWidget *main)
{
    static const char *const placed = "korvaloPlaced";
    static const char *const kept = "korvaloKept";
    if (!window->property(kept).toBool() && !window->objectName().isEmpty()) {
        window->setProperty(kept, true);
        new PlaceKeeper(window);
        if (const std::optional<QRect> place = rememberedPlace(window)) {
            window->setProperty(placed, true);
            window->resize(place->size());
            window->move(place->topLeft());
        }
    }
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

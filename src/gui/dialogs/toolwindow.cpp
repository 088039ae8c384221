#include "gui/dialogs/toolwindow.h"

#include <QDialog>
#include <QWidget>

namespace korvalo {

void SetUpToolWindow(QWidget *window, const QString &objectName, const QString &title)
{
    window->setObjectName(objectName);
    window->setWindowTitle(title);
    window->setWindowFlag(Qt::WindowStaysOnTopHint);
    if (auto *dialog = qobject_cast<QDialog *>(window))
        dialog->setModal(false);
}

void ShowInFront(QWidget *window, Focus focus)
{
    window->show();
    window->raise();
    if (focus == Focus::Take)
        window->activateWindow();
}

} // namespace korvalo

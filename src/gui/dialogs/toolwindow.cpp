#include "gui/dialogs/toolwindow.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
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

void KeepAboveToolWindows(QWidget *window)
{
    window->setWindowFlag(Qt::WindowStaysOnTopHint);
}

void ShowInFront(QWidget *window, Focus focus)
{
    window->show();
    window->raise();
    if (focus == Focus::Take)
        window->activateWindow();
}

void FocusFirstField(QWidget *field)
{
    field->setFocus(Qt::OtherFocusReason);
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll();
    else if (auto *spin = qobject_cast<QAbstractSpinBox *>(field))
        spin->selectAll();
    else if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

} // namespace korvalo

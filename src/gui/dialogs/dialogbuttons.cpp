#include "gui/dialogs/dialogbuttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvalo {

QPushButton *AddActionIgnoreRow(QDialog *dialog, QBoxLayout *layout, const QString &caption, const QString &name)
{
    auto *action = new QPushButton(caption, dialog);
    action->setObjectName(name);
    action->setAccessibleName(caption);
    action->setDefault(true);
    auto *ignore = new QPushButton(QStringLiteral("Ignore"), dialog);
    ignore->setObjectName(QStringLiteral("Button2"));
    ignore->setAccessibleName(ignore->text());
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(action);
    buttons->addWidget(ignore);
    layout->addLayout(buttons);
    QObject::connect(ignore, &QPushButton::clicked, dialog, &QDialog::hide);
    return action;
}

QPushButton *AddSaveIgnoreButtons(QDialog *dialog, QLayout *fields)
{
    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(fields);
    return AddActionIgnoreRow(dialog, layout, QStringLiteral("Save"), QStringLiteral("Button1"));
}

} // namespace korvalo

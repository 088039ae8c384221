#include "gui/dialogs/dialogbuttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvalo {


QPushButton *AddSaveIgnoreButtons(QDialog *dialog, QLayout *fields)
{
    auto *save = new QPushButton(QStringLiteral("Save"), dialog);
    save->setObjectName(QStringLiteral("Button1"));
    save->setDefault(true);
    auto *ignore = new QPushButton(QStringLiteral("Ignore"), dialog);
    ignore->setObjectName(QStringLiteral("Button2"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(ignore);

    auto *layout = new QVBoxLayout(dialog);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    QObject::connect(ignore, &QPushButton::clicked, dialog, &QDialog::hide);
    return save;
}

} // namespace korvalo

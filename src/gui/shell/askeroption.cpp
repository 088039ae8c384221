#include "gui/shell/asker.h"

#include "gui/dialogs/toolwindow.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

namespace korvalo {

// The save dialog with a check box under its fields. Qt's own dialog is used, as a native
// one takes no widgets of ours.
QString DialogAsker::saveFileNameWithOption(const QString &filter, const QString &option, bool *checked)
{
    QFileDialog dialog(owner(), QString(), m_folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    auto *box = new QCheckBox(option, &dialog);
    box->setObjectName(QStringLiteral("SaveOption"));
    box->setAccessibleName(option);
    box->setChecked(*checked);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    else
        dialog.layout()->addWidget(box);
    KeepAboveToolWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = finishedSavePath(dialog.selectedFiles().constFirst(), filter, true);
    if (!path.isEmpty())
        *checked = box->isChecked();
    return path;
}

} // namespace korvalo

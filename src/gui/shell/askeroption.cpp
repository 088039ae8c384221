#include "gui/shell/asker.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QRegularExpression>

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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    QString path = dialog.selectedFiles().constFirst();
    if (path.isEmpty())
        return path;
    // As saveFileName(): the extension first, then the question about the final name.
    static const QRegularExpression pattern(QStringLiteral("\\*(\\.[^ );]+)"));
    const QRegularExpressionMatch extension = pattern.match(filter);
    if (extension.hasMatch() && !path.endsWith(extension.captured(1)))
        path += extension.captured(1);
    if (QFileInfo::exists(path)) {
        const auto answer = QMessageBox::question(
            owner(), QStringLiteral("Confirm"),
            QStringLiteral("\"%1\" already exists. Do you want to replace it?").arg(QFileInfo(path).fileName()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return QString();
    }
    *checked = box->isChecked();
    m_folder = QFileInfo(path).path();
    return path;
}

} // namespace korvalo

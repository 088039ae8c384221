#include "gui/shell/asker.h"

#include "gui/dialogs/toolwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace korvalo {

namespace {

Asker::Answer AskInBox(QWidget *owner, const QString &text, QMessageBox::StandardButtons buttons,
                       QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, buttons, owner);
    box.setDefaultButton(defaultButton);
    KeepAboveToolWindows(&box);
    const int button = box.exec();
    if (button == QMessageBox::Yes)
        return Asker::Answer::Yes;
    if (button == QMessageBox::No || !(buttons & QMessageBox::Abort))
        return Asker::Answer::No;
    return Asker::Answer::Abort;
}

} // namespace

QWidget *DialogAsker::owner() const
{
    // A box must sit above the window that asks: a dialog that stays on top would
    // otherwise cover it, and every click would seem to go nowhere.
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return m_parent;
}

void DialogAsker::message(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok, owner());
    KeepAboveToolWindows(&box);
    box.exec();
}

Asker::Answer DialogAsker::yesNo(const QString &text)
{
    return AskInBox(owner(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
}

Asker::Answer DialogAsker::yesNoAbort(const QString &text)
{
    return AskInBox(owner(), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Abort, QMessageBox::Yes);
}

int DialogAsker::choose(const QString &text, const QStringList &choices)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton,
                    owner());
    KeepAboveToolWindows(&box);
    QList<QAbstractButton *> buttons;
    for (const QString &choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    if (!buttons.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.first()));
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

std::optional<QString> DialogAsker::input(const QString &caption, const QString &prompt,
                                          const QString &initial)
{
    QInputDialog dialog(owner());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(initial);
    KeepAboveToolWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString DialogAsker::openFileName(const QString &filter)
{
    QFileDialog dialog(owner(), QString(), m_folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    KeepAboveToolWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    if (!path.isEmpty())
        m_folder = QFileInfo(path).path();
    return path;
}

QString DialogAsker::folderName(const QString &caption, const QString &start)
{
    QFileDialog dialog(owner(), caption, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    KeepAboveToolWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString DialogAsker::saveFileName(const QString &filter)
{
    return askSaveName(filter, true);
}

QString DialogAsker::saveBaseName(const QString &filter)
{
    return askSaveName(filter, false);
}

QString DialogAsker::askSaveName(const QString &filter, bool confirmReplace)
{
    // The dialog's own overwrite question would see the name before the extension is
    // appended; the question is asked here, about the name that will be written.
    const QString start = m_suggested.isEmpty() ? m_folder
        : m_folder.isEmpty()                    ? m_suggested
                                                : QDir(m_folder).filePath(m_suggested);
    m_suggested.clear();
    QFileDialog dialog(owner(), QString(), start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    KeepAboveToolWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return finishedSavePath(dialog.selectedFiles().constFirst(), filter, confirmReplace);
}

QString DialogAsker::finishedSavePath(QString path, const QString &filter, bool confirmReplace)
{
    if (path.isEmpty())
        return path;
    static const QRegularExpression pattern(QStringLiteral("\\*(\\.[^ );]+)"));
    const QRegularExpressionMatch extension = pattern.match(filter);
    if (extension.hasMatch() && !path.endsWith(extension.captured(1)))
        path += extension.captured(1);
    if (confirmReplace && QFileInfo::exists(path)
        && yesNo(QStringLiteral("\"%1\" already exists. Do you want to replace it?").arg(QFileInfo(path).fileName()))
               != Answer::Yes)
        return QString();
    m_folder = QFileInfo(path).path();
    return path;
}

} // namespace korvalo

#include "gui/shell/asker.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace korvalo {


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
    QMessageBox::warning(owner(), QApplication::applicationName(), text);
}

Asker::Answer DialogAsker::yesNo(const QString &text)
{
    const auto button = QMessageBox::question(owner(), QStringLiteral("Confirm"), text,
                                              QMessageBox::Yes | QMessageBox::No,
                                              QMessageBox::No);
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Asker::Answer DialogAsker::yesNoAbort(const QString &text)
{
    const auto button = QMessageBox::question(
        owner(), QStringLiteral("Confirm"), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Abort, QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    if (button == QMessageBox::No)
        return Answer::No;
    return Answer::Abort;
}

int DialogAsker::choose(const QString &text, const QStringList &choices)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton,
                    owner());
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
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), caption, prompt, QLineEdit::Normal,
                                               initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString DialogAsker::openFileName(const QString &filter)
{
    const QString path = QFileDialog::getOpenFileName(owner(), QString(), m_folder, filter);
    if (!path.isEmpty())
        m_folder = QFileInfo(path).path();
    return path;
}

QString DialogAsker::folderName(const QString &caption, const QString &start)
{
    return QFileDialog::getExistingDirectory(owner(), caption, start);
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
    QString path = QFileDialog::getSaveFileName(owner(), QString(), start, filter, nullptr,
                                                QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return path;
    static const QRegularExpression pattern(QStringLiteral("\\*(\\.[^ );]+)"));
    const QRegularExpressionMatch extension = pattern.match(filter);
    if (extension.hasMatch() && !path.endsWith(extension.captured(1)))
        path += extension.captured(1);
    if (confirmReplace && QFileInfo::exists(path)) {
        const auto answer = QMessageBox::question(
            owner(), QStringLiteral("Confirm"),
            QStringLiteral("\"%1\" already exists. Do you want to replace it?").arg(QFileInfo(path).fileName()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return QString();
    }
    m_folder = QFileInfo(path).path();
    return path;
}

} // namespace korvalo

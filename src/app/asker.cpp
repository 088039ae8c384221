#include "app/asker.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

void DialogAsker::message(const QString &text)
{
    QMessageBox::information(m_parent, QApplication::applicationName(), text);
}

Asker::Answer DialogAsker::yesNo(const QString &text)
{
    const auto button = QMessageBox::question(m_parent, QStringLiteral("Confirm"), text,
                                              QMessageBox::Yes | QMessageBox::No,
                                              QMessageBox::No);
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Asker::Answer DialogAsker::yesNoAbort(const QString &text)
{
    const auto button = QMessageBox::question(
        m_parent, QStringLiteral("Confirm"), text,
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
                    m_parent);
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
    const QString text = QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal,
                                               initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString DialogAsker::openFileName(const QString &filter)
{
    return QFileDialog::getOpenFileName(m_parent, QString(), QString(), filter);
}

QString DialogAsker::saveFileName(const QString &filter)
{
    return QFileDialog::getSaveFileName(m_parent, QString(), QString(), filter);
}

#include "gui/windows/infowindow.h"

#include "core/analysis/inforeports.h"
#include "core/egofile/safefile.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/windows/windowplacement.h"
#include "gui/shell/asker.h"

#include <QAction>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace korvalo {

namespace {

QStringList documentLines(const QPlainTextEdit *edit)
{
    QStringList lines;
    for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next())
        lines.append(b.text());
    return lines;
}

} // namespace

InfoWindow::InfoWindow(const ShellContext &shell)
    : QMainWindow(shell.window, Qt::Window), m_shell(shell)
{
    SetUpToolWindow(this, QStringLiteral("TFormInfo"), QStringLiteral("Korvalo Info"));
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setCentralWidget(m_memo); // fills the whole client area
    QMenu *file = menuBar()->addMenu(QStringLiteral("File"));
    QAction *save = file->addAction(QStringLiteral("Save as Textfile"));
    save->setObjectName(QStringLiteral("SaveasTextfile1"));
    connect(save, &QAction::triggered, this, &InfoWindow::saveAsTextFile);
    QAction *convert = menuBar()->addAction(QStringLiteral("Convert . to ,"));
    convert->setObjectName(QStringLiteral("Convertto1"));
    connect(convert, &QAction::triggered, this, &InfoWindow::convertPointsToCommas);
    resize(520, 420);
}

void InfoWindow::appendLine(const QString &text)
{
    ShowBeside(this, m_shell.window);
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // Each line becomes a new last line after what is there, the starting empty line too.
    QTextCursor cursor(m_memo->document());
    cursor.movePosition(QTextCursor::End);
    for (const QString &line : lines.split(u'\n')) {
        cursor.insertBlock();
        cursor.insertText(line);
    }
    m_memo->setTextCursor(cursor);
    m_memo->ensureCursorVisible();
}

QStringList InfoWindow::lines() const
{
    return documentLines(m_memo);
}

void InfoWindow::saveAsTextFile()
{
    const QString chosen = m_shell.asker().saveFileName(QStringLiteral("Text files (*.txt)"));
    if (chosen.isEmpty())
        return;
    const Status saved = ReplaceFileSafely(TextFileName(chosen), TextFileBytes(lines()));
    if (!saved)
        m_shell.asker().message(saved.message());
}

void InfoWindow::convertPointsToCommas()
{
    QStringList converted = lines();
    for (QString &line : converted)
        line.replace(u'.', u',');
    m_memo->setPlainText(converted.join(u'\n'));
}

} // namespace korvalo

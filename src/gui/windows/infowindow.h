#pragma once

#include "gui/shell/shellcontext.h"

#include <QMainWindow>
#include <QStringList>

class QPlainTextEdit;

namespace korvalo {

// "Korvalo Info": collects every report and warning as editable lines.
class InfoWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit InfoWindow(const ShellContext &shell);

    // Shows the window without blocking and appends text as new last line(s).
    void appendLine(const QString &text);
    QStringList lines() const;
    QPlainTextEdit *memo() const { return m_memo; }

    void saveAsTextFile();
    void convertPointsToCommas();

private:
    ShellContext m_shell;
    QPlainTextEdit *m_memo;
};

} // namespace korvalo

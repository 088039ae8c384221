#pragma once

#include "gui/shell/shellcontext.h"

#include <QObject>

namespace korvalo {

class MeasuresWindow;

// Analysis > Network Measures...: shows the measures window, which then follows the
// open ego and redraws when the document changes.
class MeasuresActions : public QObject
{
    Q_OBJECT
public:
    // Binds the menu item; owned by the shell's window.
    explicit MeasuresActions(const ShellContext &shell);

    MeasuresWindow *window() const { return m_window; }

private:
    ShellContext m_shell;
    MeasuresWindow *m_window;
};

} // namespace korvalo

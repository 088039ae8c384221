#pragma once

#include "core/analysis/analysisreport.h"
#include "gui/shell/shellcontext.h"

#include <QObject>

namespace korvalo {

// The Analysis menu and Info > Different IDs: each item runs one analysis of the open
// ego in the long form and writes its lines to the session's info sink. The strong-tie
// items ask for the number of strong circles, and the continuity refuses an ego of fewer
// than two cards, through the one door. Nothing here changes the document.
class AnalysisActions : public QObject
{
    Q_OBJECT
public:
    // Binds the menu items; owned by the shell's window.
    explicit AnalysisActions(const ShellContext &shell);

    // Runs one analysis as its menu item does. Current-card analyses do nothing while
    // no card is current.
    void run(korvalo::Analysis analysis);

private:
    ShellContext m_shell;
};

} // namespace korvalo

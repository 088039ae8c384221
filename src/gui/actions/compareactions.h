#pragma once

#include "gui/shell/shellcontext.h"

#include <QObject>

namespace korvalo {

class AltersAcrossCardsWindow;
class CompareWindow;

// Card > "Compare with..." (the current card against the next one, or the one before
// the last) and Analysis > "Alters Across Cards...". The windows are made on first use
// and then follow the document, once per turn of the event loop.
class CompareActions : public QObject
{
    Q_OBJECT
public:
    // Binds the menu items; owned by the shell's window.
    explicit CompareActions(const ShellContext &shell);

    // Null until first shown.
    CompareWindow *compareWindow() const { return m_compare; }
    AltersAcrossCardsWindow *altersWindow() const { return m_alters; }

    void compareWithNext();
    void showAltersAcrossCards();

private:
    ShellContext m_shell;
    CompareWindow *m_compare = nullptr;
    AltersAcrossCardsWindow *m_alters = nullptr;
};

} // namespace korvalo

#pragma once

#include "gui/shell/shellcontext.h"

#include <QObject>

namespace korvalo {

class MergerDialog;

// The node identity tools: Nodes > "Unsure Node Merger" (the merger window), Transform >
// Nodes > "Merge Unsure Node Mergings", Transform > Check > "ID/Label Plausibility" and
// Macro > "Aggregate Nodes". Each change is one undoable step; the printed lines go to the
// session's info sink.
class IdentityActions : public QObject
{
    Q_OBJECT
public:
    IdentityActions(const ShellContext &shell, QObject *parent = nullptr);

    MergerDialog *mergerDialog() const { return m_dialog; }

    void merge();
    void plausibility();
    void aggregate();

private:
    ShellContext m_shell;
    MergerDialog *m_dialog;
};

} // namespace korvalo

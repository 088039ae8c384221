#pragma once

#include "gui/shell/shellcontext.h"
#include "core/model/networkmodel.h"

#include <QObject>

namespace korvalo {

// Nodes > Select and Nodes > Selected: selecting alters by ID, label or shared IDs, and
// deleting or copying the selected ones. Every change goes through the document as one
// undoable step; refusals are shown through the asker.
class SelectionActions : public QObject
{
    Q_OBJECT
public:
    explicit SelectionActions(const ShellContext &shell, QObject *parent = nullptr);

    void selectByID();
    void selectByLabel();
    void select(void (*how)(NetworkCard &));
    void deleteSelected();
    void copySelectedToThisCard();
    void copySelectedToNextCard();

private:
    int currentCard() const;
    bool hasCard() const;
    void report(const Status &status);

    ShellContext m_shell;
};

} // namespace korvalo

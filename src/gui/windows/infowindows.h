#pragma once

#include "gui/shell/shellcontext.h"
#include "gui/windows/historywindow.h"
#include "gui/windows/infowindow.h"
#include "gui/windows/nodeinfowindow.h"
#include "gui/windows/nodetablewindow.h"

#include <QObject>

namespace korvalo {

// Creates the info, node info, history and node table windows (one file each) and wires
// them to the Info menu, Card > Node Table and the session's info lines.
class InfoWindows : public QObject
{
    Q_OBJECT
public:
    explicit InfoWindows(const ShellContext &shell);
    ~InfoWindows() override;

    InfoWindow *info() const { return m_info; }
    NodeInfoWindow *nodeInfo() const { return m_nodeInfo; }
    HistoryWindow *history() const { return m_history; }
    NodeTableWindow *table() const { return m_table; }

private:
    ShellContext m_shell;
    InfoWindow *m_info;
    NodeInfoWindow *m_nodeInfo;
    HistoryWindow *m_history;
    NodeTableWindow *m_table;
};

} // namespace korvalo

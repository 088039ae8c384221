#pragma once

#include "core/analysis/nodetable.h"
#include "gui/shell/shellcontext.h"
#include "core/model/networkmodel.h"

#include <QMainWindow>
#include <QObject>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

namespace korvalo {

struct ShellContext;

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

// "Korvalo Node Infos": the fields of the node under the mouse.
class NodeInfoWindow : public QWidget
{
    Q_OBJECT
public:
    explicit NodeInfoWindow(QWidget *parent = nullptr);

    // Fills the fields from a node; nullptr empties them.
    void showNode(const Node *node);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLineEdit *m_id, *m_label, *m_role, *m_size;
    QLabel *m_group, *m_memo1Label, *m_memo2Label;
    QPlainTextEdit *m_memo1, *m_memo2;
};

// The version history.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryWindow(QWidget *parent = nullptr);
};

// "Korvalo Table": the alters of the current card, sortable by a click on a heading.
class NodeTableWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit NodeTableWindow(const ShellContext &shell);

    // Rebuilds the grid for a card (0 = none: headings only).
    void fill(int card);
    void sortByColumn(int column);
    void exportTable();
    const std::vector<NodeTableRow> &rows() const { return m_rows; }
    QTableWidget *grid() const { return m_grid; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showRows();

    ShellContext m_shell;
    std::vector<NodeTableRow> m_rows;
    QLabel *m_egoName, *m_cardName;
    QTableWidget *m_grid;
};

// Creates the info, node info, history and node table windows and wires them to the
// Info menu, Card > Node Table and the session's info lines.
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

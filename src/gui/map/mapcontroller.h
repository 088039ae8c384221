#pragma once

#include "gui/shell/shellcontext.h"
#include "core/edit/tools/toolmanager.h"

#include <QObject>

class QMenu;
class QMouseEvent;
class QKeyEvent;

namespace korvalo {

class LineDialog;
class MapWidget;
class NodeDialog;
class NodeInfoWindow;
class SidePanel;

// Feeds the map widget's mouse and key events to the tool of the editing mode and applies
// the tool's answers: the node and line dialogs, the popup menu "PopupMenu1", the hover
// read-outs, the messages of refused steps; it paints the rubber band and the rubber line
// over the map. The map's picture is drawn anew from the document's signals, never from
// here. What the sector mode asks for goes out through the signals below.
class MapController : public QObject
{
    Q_OBJECT
public:
    MapController(const ShellContext &shell, EditorState &editor, MapWidget *map, SidePanel *side,
                  NodeInfoWindow *nodeInfo, QObject *parent = nullptr);
    ~MapController() override;

    NodeDialog *nodeDialog() const { return m_nodeDialog; }
    LineDialog *lineDialog() const { return m_lineDialog; }
    QMenu *popup() const { return m_popup; }
    // Whether a right click on the map opens the popup by itself now.
    bool popupOpensByItself() const { return m_popupAuto; }

    // Switches the editing mode (and so the tool).
    void setEditMode(EditMode mode);

Q_SIGNALS:
    // The sector dialog for a new sector at the editor's NewSectorPos, clicked at `pos`.
    void addSectorRequested(QPoint pos);
    // The sector dialog for `sector` (the editor's PickedSector).
    void modifySectorRequested(int sector);
    // A double click on the handle of `sector`.
    void renameSectorRequested(int sector);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void mouse(QMouseEvent *event);
    bool key(QKeyEvent *event);
    void apply(const MapResponse &response);
    void openPopup(QPoint mapPos);
    void popupAboutToShow();
    void saveNode();
    void saveLine();
    QRgb pixelAt(QPoint pos) const;
    const NetworkCard *currentCard() const;

    ShellContext m_shell;
    EditorState &m_editor;
    ToolManager m_tools;
    MapWidget *m_map;
    SidePanel *m_side;
    NodeInfoWindow *m_nodeInfo;
    NodeDialog *m_nodeDialog;
    LineDialog *m_lineDialog;
    QMenu *m_popup;
    bool m_popupAuto = false;
};

} // namespace korvalo

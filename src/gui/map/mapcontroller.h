#pragma once

#include "gui/shell/shellcontext.h"
#include "core/edit/tools/maptools.h"

#include <QObject>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QMouseEvent;

namespace korvalo {

class LineDialog;
class MapWidget;
class NodeDialog;
class NodeInfoWindow;
class SidePanel;

// What sector mode asks of whoever provides the sector tools. Unset entries do nothing;
// "remove" and "rename" have plain defaults until then.
struct SectorHooks
{
    std::function<void(QPoint pos)> add;     // a right click away from the handles
    std::function<void(int sector)> modify;  // the popup's "Modify" on PickedSector
    std::function<void(int sector)> remove;  // the popup's "Delete" on PickedSector
    std::function<void(int sector)> rename;  // a double click on a handle
};

// Editing on the map: forwards the map widget's mouse events to the mouse tools, draws
// the rubber band and the rubber line over the map, shows the node and line dialogs and
// the popup menu "PopupMenu1", keeps the hover read-outs, and offers Transform > Lines
// and the Layout switches.
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
    MapTools &tools() { return m_tools; }
    // Whether a right click on the map opens the popup by itself now.
    bool popupOpensByItself() const { return m_popupAuto; }
    void setSectorHooks(SectorHooks hooks);

    // Makes `node` the hovered alter, as if the pointer rested on it (0: none); the
    // keyboard walks the alters with it.
    void hoverNode(int node);

    // The popup's items.
    void modifyHovered();
    void deleteHovered();

private:
    void mouse(QMouseEvent *event);
    void apply(const MapResponse &response);
    void openPopup(QPoint mapPos);
    void popupAboutToShow();
    void saveNode();
    void saveLine();
    void connectIdenticalIDs();
    void deleteRedLines();
    QRgb pixelAt(QPoint pos) const;
    const NetworkCard *currentCard() const;

    ShellContext m_shell;
    EditorState &m_editor;
    MapTools m_tools;
    MapWidget *m_map;
    SidePanel *m_side;
    NodeInfoWindow *m_nodeInfo;
    NodeDialog *m_nodeDialog;
    LineDialog *m_lineDialog;
    QMenu *m_popup;
    bool m_popupAuto = false;
    SectorHooks m_sectors;
};

} // namespace korvalo

#pragma once

#include "core/edit/editorstate.h"
#include "core/edit/nodeform.h"

#include <QPoint>
#include <QRgb>
#include <QSize>

#include <optional>

namespace korvalo {

class Document;

enum class MapButton { Left, Right, Middle };

// One mouse event on the map as the widget saw it.
struct MapEvent
{
    MapButton button = MapButton::Left;
    QPoint pos;               // map image pixels
    QRgb pixel = 0xFFFFFFFF;  // the map's colour under the pointer (before any overlay)
    QSize mapSize;            // the map image's size
};

// What the shell does after an event. Everything not set means "leave as it is".
struct MapResponse
{
    // Draw the card again (the overlay of rubber band and rubber line is always painted
    // afresh from the editor state).
    bool redraw = false;

    // Prepare the node or line dialog with these values and show it.
    std::optional<NodeForm> nodeDialog;
    std::optional<LineForm> lineDialog;

    // Sector mode, handled by whoever provides the sector dialog.
    std::optional<QPoint> addSectorAt;  // show the sector dialog for a new sector here
    bool sectorPopup = false;           // open the popup for PickedSector at the pointer
    int renameSector = 0;               // a double click on this sector's handle

    // The hover read-outs: Nothing hides both boxes and empties the node infos, Node
    // shows node `readoutNode`, Line shows the line box (filled from `readoutLine`
    // unless that is 0).
    enum class Readout { Unchanged, Nothing, Node, Line };
    Readout readout = Readout::Unchanged;
    int readoutNode = 0;
    int readoutLine = 0;
    // Whether a right click opens the popup menu by itself from now on.
    std::optional<bool> popupOpensByItself;
};

// The mouse on the map, free of widgets: the four editing modes' reactions to press,
// move, release and double click. It keeps the editor state as the modes' rules say,
// changes the document only through commands (a whole drag is one history step), and
// answers what the shell should do next. The document and the editor state must outlive
// it.
class MapTools
{
public:
    MapTools(Document &document, EditorState &editor);

    MapResponse press(const MapEvent &event);
    MapResponse move(const MapEvent &event);
    MapResponse release(const MapEvent &event);
    // A double click has no position of its own: it acts at LastMousePos, whose map
    // colour is `pixelAtLastPos`.
    MapResponse doubleClick(QRgb pixelAtLastPos, QSize mapSize);

    // The popup's "Delete" in the current mode; the item under the mouse is gone from
    // the hover state afterwards. Returns false when there was nothing to delete.
    bool deleteHovered();

    // Another card became current: numbers of nodes, lines and sectors picked on the old
    // one (a started line, a drag, the hovered items) mean nothing on the new one.
    void forgetPickedItems();

private:
    const NetworkCard *currentCard() const;
    void showNodeInfo(MapResponse &r, int node) const;
    int nextMergeId();

    Document &m_document;
    EditorState &m_editor;
    int m_dragMergeId = -1;
    int m_dragSerial = 0;
};

} // namespace korvalo

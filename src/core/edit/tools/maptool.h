#pragma once

#include "core/edit/editorstate.h"
#include "core/edit/hittest.h"
#include "core/edit/nodeform.h"

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>

#include <optional>

namespace korvalo {

class Document;
struct NetworkCard;

enum class MapButton { Left, Right, Middle };

// One mouse event on the map as the widget saw it.
struct MapEvent
{
    MapButton button = MapButton::Left;
    QPoint pos;               // map image pixels
    QRgb pixel = 0xFFFFFFFF;  // the map's colour under the pointer (before any overlay)
    QSize mapSize;            // the map image's size
    // A move with the left button known to be up. A drag whose release went elsewhere (to
    // a dialog opened in between) ends here instead of following the pointer.
    bool leftUp = false;
};

// The rectangle a rubber band from `start` to `end` covers, both corners included
// whichever way it was dragged.
QRect RubberBandRect(QPoint start, QPoint end);

// The keys the focused map takes; every other key stays with the window.
enum class MapKey { Tab, Backtab, Enter, Escape, Delete, Left, Right, Up, Down };

struct MapKeyEvent
{
    MapKey key = MapKey::Tab;
    bool shift = false;      // the arrows go ten steps instead of one
    bool autoRepeat = false; // the key is held down: part of the press before
};

// What the shell does after an event. Everything not set means "leave as it is".
struct MapResponse
{
    // The map looks different now (an item dragged or toggled, the rubber band or the
    // rubber line moved): the shell paints the map widget again, overlay included. The
    // card's picture is drawn anew from the document's signals, never because of this.
    bool repaint = false;

    // Prepare the node or line dialog with these values and show it.
    std::optional<NodeForm> nodeDialog;
    std::optional<LineForm> lineDialog;

    // Sector mode, handled by whoever provides the sector dialog.
    std::optional<QPoint> addSectorAt;  // show the sector dialog for a new sector here
    int modifySector = 0;               // the sector dialog for this sector (the popup's "Modify")
    int renameSector = 0;               // a double click on this sector's handle
    bool sectorPopup = false;           // open the popup for PickedSector at the pointer

    // The hover read-outs: Nothing hides both boxes and empties the node infos, Node
    // shows node `readoutNode`, Line shows the line box (filled from `readoutLine`
    // unless that is 0).
    enum class Readout { Unchanged, Nothing, Node, Line };
    Readout readout = Readout::Unchanged;
    int readoutNode = 0;
    int readoutLine = 0;
    // Whether a right click opens the popup menu by itself from now on.
    std::optional<bool> popupOpensByItself;

    // A step was refused: the shell shows this text.
    QString message;
};

// What the shell paints over the map picture (never into it), in map image pixels.
struct MapOverlay
{
    std::optional<QRect> rubberBand;  // RubberBandRect of the band
    std::optional<QLine> rubberLine;  // from a started line's first end to the pointer
};

// One editing mode's reactions to the mouse and the keyboard on the map, free of
// widgets. A tool keeps the editor state as its mode's rules say, changes the document
// only through commands (a whole drag is one history step) and answers what the shell
// should do next. The document and the editor state must outlive it.
//
// What all modes share is done here: the hover read-outs, and the keyboard (Tab and
// Shift+Tab walk the alters, Enter opens the hovered item, Esc gives up a started line or
// rubber band, Delete removes the selected alters, the arrows move them).
class MapTool
{
public:
    virtual ~MapTool();
    MapTool(const MapTool &) = delete;
    MapTool &operator=(const MapTool &) = delete;

    virtual EditMode mode() const = 0;

    // The mode was chosen or left.
    virtual void activate() {}
    virtual void deactivate() {}

    virtual MapResponse press(const MapEvent &event);
    virtual MapResponse move(const MapEvent &event);
    virtual MapResponse release(const MapEvent &event);
    // A double click has no position of its own: it acts at LastMousePos, whose map
    // colour is `pixelAtLastPos`.
    virtual MapResponse doubleClick(QRgb pixelAtLastPos, QSize mapSize);
    virtual MapResponse key(const MapKeyEvent &event);

    // The popup's items on what the pointer picked last. After "Delete" the hovered
    // items are forgotten: their numbers now name others.
    virtual MapResponse modifyHovered();
    virtual MapResponse deleteHovered();
    virtual MapResponse copyHovered(bool toNextCard, QSize mapSize);
    // Whether the popup offers its two copy items in this mode.
    virtual bool offersCopies() const { return true; }

    virtual MapOverlay overlay(QSize mapSize) const;

protected:
    MapTool(Document &document, EditorState &editor);

    // Null when there is no current card.
    const NetworkCard *currentCard() const;
    int currentCardNumber() const;

    // The class of the pixel under the pointer; a node's outline, group marks and symbol
    // count as the node.
    PixelClass classify(const MapEvent &event) const;
    // The node under the pointer (0 = the ego), when classify() says Node.
    int nodeAt(const MapEvent &event) const;

    // Every move: where the pointer is; the line under it is looked up afresh.
    void track(const MapEvent &event);
    // A line started in the lines mode is given up by the first move in another mode.
    bool giveUpStartedLine(MapResponse &response);
    // The read-outs of the node or line under the pointer.
    MapResponse hover(const MapEvent &event, MapResponse response = {});
    // Whether resting on a node or a line switches the popup on in this mode.
    virtual bool popupOnNodes() const { return false; }
    virtual bool popupOnLines() const { return false; }
    static void showNodeInfo(MapResponse &response, int node);
    // A refused step's message goes to the shell.
    static void report(MapResponse &response, const Status &status);

    Document &m_document;
    EditorState &m_editor;

private:
    MapResponse walk(int by);
    MapResponse moveSelected(const MapKeyEvent &event);
};

} // namespace korvalo

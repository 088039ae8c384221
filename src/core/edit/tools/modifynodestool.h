#pragma once

#include "core/edit/commands.h"
#include "core/edit/tools/maptool.h"

namespace korvalo {

// "Modify Nodes.": a left press on an alter drags it (the Layout switches may keep its
// distance or its angle), one on the empty map draws a rubber band that adds the alters
// inside it to the selection, a double click selects or deselects the hovered alter.
// The popup modifies, deletes or copies the hovered alter.
class ModifyNodesTool : public MapTool
{
public:
    ModifyNodesTool(Document &document, EditorState &editor);

    EditMode mode() const override { return EditMode::ModifyNodes; }
    // A drag or a rubber band under way ends with the mode.
    void deactivate() override;

    MapResponse press(const MapEvent &event) override;
    MapResponse move(const MapEvent &event) override;
    MapResponse release(const MapEvent &event) override;
    MapResponse doubleClick(QRgb pixelAtLastPos, QSize mapSize) override;

    MapResponse modifyHovered() override;
    MapResponse deleteHovered() override;
    MapResponse copyHovered(bool toNextCard, QSize mapSize) override;

protected:
    bool popupOnNodes() const override { return true; }

private:
    void dragTo(QPoint pos, QSize mapSize);
    void selectInRubberBand(QSize mapSize);

    Merge m_drag;   // the history steps of the drag under way
    int m_drags = 0;
};

} // namespace korvalo

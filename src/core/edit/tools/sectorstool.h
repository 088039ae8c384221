#pragma once

#include "core/edit/commands.h"
#include "core/edit/tools/maptool.h"

namespace korvalo {

// "Add or modify sectors.": the map shows each boundary's handle. A left press on a
// handle drags that boundary; a right click on a handle opens the popup for its sector,
// one elsewhere asks for a new sector there; a double click on a handle renames its
// sector. The popup modifies, deletes or copies the picked sector.
class SectorsTool : public MapTool
{
public:
    SectorsTool(Document &document, EditorState &editor);

    EditMode mode() const override { return EditMode::Sectors; }
    // A boundary drag under way ends with the mode.
    void deactivate() override;

    MapResponse press(const MapEvent &event) override;
    MapResponse move(const MapEvent &event) override;
    MapResponse release(const MapEvent &event) override;
    MapResponse doubleClick(QRgb pixelAtLastPos, QSize mapSize) override;

    MapResponse modifyHovered() override;
    MapResponse deleteHovered() override;
    // A copy of the picked sector's boundary at the place the popup was opened.
    MapResponse copyHovered(bool toNextCard, QSize mapSize) override;

private:
    Merge m_drag;   // the history steps of the drag under way
    int m_drags = 0;
};

} // namespace korvalo

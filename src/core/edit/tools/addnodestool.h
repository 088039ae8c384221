#pragma once

#include "core/edit/tools/maptool.h"

namespace korvalo {

// "Add Nodes.": a right click asks for a new alter there, with the node dialog prepared
// for the place (the sector's name and colour, the distance of the click).
class AddNodesTool : public MapTool
{
public:
    AddNodesTool(Document &document, EditorState &editor);

    EditMode mode() const override { return EditMode::AddNodes; }

    MapResponse release(const MapEvent &event) override;
};

} // namespace korvalo

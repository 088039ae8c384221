#pragma once

#include "core/edit/tools/maptool.h"

namespace korvalo {

// "Add or Modify Lines.": a right click on an alter starts a line, which follows the
// pointer until a right click on another alter asks for the line dialog. Resting on a
// line shows its read-out and switches the popup on; the popup modifies or deletes the
// hovered line.
class LinesTool : public MapTool
{
public:
    LinesTool(Document &document, EditorState &editor);

    EditMode mode() const override { return EditMode::Lines; }

    MapResponse press(const MapEvent &event) override;
    MapResponse move(const MapEvent &event) override;

    MapResponse modifyHovered() override;
    MapResponse deleteHovered() override;
    bool offersCopies() const override { return false; }

    MapOverlay overlay(QSize mapSize) const override;

protected:
    bool popupOnLines() const override { return true; }
};

} // namespace korvalo

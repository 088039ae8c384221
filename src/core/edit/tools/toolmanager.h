#pragma once

#include "core/edit/editorstate.h"
#include "core/edit/tools/maptool.h"

#include <array>
#include <memory>

namespace korvalo {

class Document;

// The tools of the editing modes, one each, and which of them the mouse and the keyboard
// on the map reach: the one of the editor state's EditMode. The document and the editor
// state must outlive it.
class ToolManager
{
public:
    ToolManager(Document &document, EditorState &editor);
    ~ToolManager();

    // Makes `mode` the editing mode: the old mode's tool is deactivated, the new one's
    // activated. Choosing the mode that is already on changes nothing.
    void setMode(EditMode mode);
    // The tool of EditMode. Before a mode is chosen (EditMode::None) it is a tool that
    // only has what all modes share: the hover read-outs and the keyboard.
    MapTool &active() const { return tool(m_editor.EditMode); }
    MapTool &tool(EditMode mode) const;

    // Another card became current: numbers of nodes, lines and sectors picked on the old
    // one (a started line, a drag, the hovered items) mean nothing on the new one.
    void forgetPickedItems();

private:
    EditorState &m_editor;
    std::array<std::unique_ptr<MapTool>, EditModeCount> m_tools;
};

} // namespace korvalo

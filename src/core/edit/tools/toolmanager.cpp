#include "core/edit/tools/toolmanager.h"

#include "core/edit/tools/addnodestool.h"
#include "core/edit/tools/linestool.h"
#include "core/edit/tools/modifynodestool.h"
#include "core/edit/tools/sectorstool.h"

namespace korvalo {

namespace {

// No mode chosen yet: the read-outs and the keyboard of every tool, nothing of its own.
class NoModeTool final : public MapTool
{
public:
    NoModeTool(Document &document, EditorState &editor) : MapTool(document, editor) {}
    EditMode mode() const override { return EditMode::None; }
};

} // namespace

ToolManager::ToolManager(Document &document, EditorState &editor) : m_editor(editor)
{
    m_tools[size_t(EditMode::None)] = std::make_unique<NoModeTool>(document, editor);
    m_tools[size_t(EditMode::AddNodes)] = std::make_unique<AddNodesTool>(document, editor);
    m_tools[size_t(EditMode::ModifyNodes)] = std::make_unique<ModifyNodesTool>(document, editor);
    m_tools[size_t(EditMode::Sectors)] = std::make_unique<SectorsTool>(document, editor);
    m_tools[size_t(EditMode::Lines)] = std::make_unique<LinesTool>(document, editor);
    for (size_t i = 0; i < m_tools.size(); ++i)
        Q_ASSERT(m_tools[i] && size_t(m_tools[i]->mode()) == i);
}

ToolManager::~ToolManager() = default;

MapTool &ToolManager::tool(EditMode mode) const
{
    return *m_tools[size_t(mode)];
}

void ToolManager::setMode(EditMode mode)
{
    if (mode == m_editor.EditMode)
        return;
    active().deactivate();
    m_editor.EditMode = mode;
    active().activate();
}

void ToolManager::forgetPickedItems()
{
    m_editor.LineStartNode = -1;
    m_editor.DraggedNode = 0;
    m_editor.DraggedSector = 0;
    m_editor.HoverNode = 0;
    m_editor.HoverLine = 0;
    m_editor.PickedSector = 0;
    m_editor.RubberBandActive = false;
}

} // namespace korvalo

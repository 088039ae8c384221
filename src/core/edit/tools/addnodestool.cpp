#include "core/edit/tools/addnodestool.h"

#include "core/edit/document.h"

namespace korvalo {

AddNodesTool::AddNodesTool(Document &document, EditorState &editor) : MapTool(document, editor)
{
}

MapResponse AddNodesTool::release(const MapEvent &e)
{
    MapResponse r = MapTool::release(e);
    const NetworkCard *card = currentCard();
    if (card && e.button == MapButton::Right) {
        m_editor.NewNodePos = e.pos;
        r.nodeDialog = PrepareNodeAdd(*card, e.pos, e.mapSize, m_document.session().DecimalSeparator);
    }
    return r;
}

} // namespace korvalo

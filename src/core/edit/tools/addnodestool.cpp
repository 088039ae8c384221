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
    // Not on a node: a new node never goes on top of one.
    if (card && e.button == MapButton::Right && classify(e) != PixelClass::Node) {
        m_editor.NewNodePos = e.pos;
        r.nodeDialog = PrepareNodeAdd(*card, e.pos, e.mapSize, m_document.session().DecimalSeparator);
    }
    return r;
}

} // namespace korvalo

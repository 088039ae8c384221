#include "core/edit/tools/linestool.h"

#include "core/edit/cardedits.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "core/edit/hittest.h"
#include "core/map/geometry.h"

namespace korvalo {

LinesTool::LinesTool(Document &document, EditorState &editor) : MapTool(document, editor)
{
}

MapResponse LinesTool::press(const MapEvent &e)
{
    MapResponse r;
    const NetworkCard *card = currentCard();
    if (!card || e.button != MapButton::Right)
        return r;
    const bool onNode = classify(e) == PixelClass::Node;
    if (m_editor.LineStartNode == -1) {
        m_editor.DraggedNode = 0;
        if (onNode) {
            m_editor.LineStartNode = nodeAt(e);
            r.repaint = true;
        }
        return r;
    }
    if (!onNode)
        return r;
    const int b = nodeAt(e);
    const int a = m_editor.LineStartNode;
    if (b == a)
        return r;
    // A start that went away under the started line (undo, a deletion elsewhere)
    // cannot be an end any more.
    if (a < 0 || a > card->NodeCount()) {
        m_editor.LineStartNode = -1;
        r.repaint = true;
        return r;
    }
    r.lineDialog = PrepareLineAdd(*card, currentCardNumber(), a, b);
    m_editor.DraggedNode = 0;
    m_editor.LineStartNode = -1;
    r.repaint = true;
    return r;
}

MapResponse LinesTool::move(const MapEvent &e)
{
    track(e);
    MapResponse r;
    // A started line follows the pointer; the read-outs still apply.
    if (m_editor.LineStartNode != -1)
        r.repaint = true;
    return hover(e, r);
}

MapOverlay LinesTool::overlay(QSize mapSize) const
{
    MapOverlay overlay = MapTool::overlay(mapSize);
    const NetworkCard *card = currentCard();
    const int start = m_editor.LineStartNode;
    if (card && start >= 0 && start <= card->NodeCount()) {
        const Node &n = card->Nodes[size_t(start)];
        overlay.rubberLine = QLine(MapPoint(n.Angle, n.Distance, mapSize.width(), mapSize.height()),
                                   m_editor.LastMousePos);
    }
    return overlay;
}

MapResponse LinesTool::modifyHovered()
{
    MapResponse r;
    const NetworkCard *card = currentCard();
    const int line = m_editor.HoverLine;
    if (!card || line < 1 || line > card->LineCount())
        return r;
    r.lineDialog = PrepareLineModify(*card, currentCardNumber(), line);
    m_editor.HoverLine = 0;
    return r;
}

MapResponse LinesTool::deleteHovered()
{
    const NetworkCard *card = currentCard();
    if (!card)
        return {};
    const int c = currentCardNumber();
    const int line = m_editor.HoverLine;
    bool done = false;
    if (line >= 1 && line <= card->LineCount()) {
        const Line &l = card->Lines[size_t(line)];
        const QString text =
            QStringLiteral("Delete line \"%1\" – \"%2\"").arg(EndLabel(*card, l.A), EndLabel(*card, l.B));
        done = bool(ChangeCard(m_document, c, text, [&](NetworkModel &m) {
            DeleteLine(m.card(c), line);
            return Status::success();
        }));
    }
    MapResponse r = MapTool::deleteHovered();
    if (done)
        showNodeInfo(r, 0);
    return r;
}

} // namespace korvalo

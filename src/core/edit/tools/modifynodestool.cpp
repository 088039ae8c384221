#include "core/edit/tools/modifynodestool.h"

#include "core/edit/cardedits.h"
#include "core/edit/document.h"
#include "core/edit/hittest.h"
#include "core/edit/selection.h"
#include "core/map/geometry.h"

namespace korvalo {

ModifyNodesTool::ModifyNodesTool(Document &document, EditorState &editor) : MapTool(document, editor)
{
}

void ModifyNodesTool::deactivate()
{
    m_editor.DraggedNode = 0;
    m_editor.RubberBandActive = false;
}

MapResponse ModifyNodesTool::press(const MapEvent &e)
{
    MapResponse r;
    const NetworkCard *card = currentCard();
    if (!card || e.button != MapButton::Left)
        return r;
    const PixelClass p = classify(e);
    // Anything that is not an item starts the band: the white, but also sector fills,
    // circles, labels and the disc's edge.
    if (p == PixelClass::Background || p == PixelClass::Other) {
        m_editor.RubberBandStart = m_editor.RubberBandEnd = e.pos;
        m_editor.RubberBandActive = true;
        r.repaint = true;
        return r;
    }
    m_editor.DraggedNode = 0;
    if (p != PixelClass::Node)
        return r;
    m_editor.DraggedNode = nodeAt(e);
    // Each drag is a run of its own: two drags in a row stay two steps.
    m_drag = Merge{MergeId::NodeDrag, ++m_drags};
    return r;
}

MapResponse ModifyNodesTool::move(const MapEvent &e)
{
    track(e);
    MapResponse r;
    if (m_editor.RubberBandActive) {
        m_editor.RubberBandEnd = e.pos;
        r.repaint = true;
        return r;
    }
    if (giveUpStartedLine(r))
        return r;
    if (e.leftUp)
        m_editor.DraggedNode = 0;
    if (m_editor.DraggedNode != 0 && currentCard()) {
        dragTo(e.pos, e.mapSize);
        r.repaint = true;
        return r;
    }
    return hover(e);
}

void ModifyNodesTool::dragTo(QPoint pos, QSize mapSize)
{
    const NetworkCard &card = *currentCard();
    const int node = m_editor.DraggedNode;
    const int c = currentCardNumber();
    if (node < 1 || node > card.NodeCount())
        return;
    const Node &n = card.Nodes[size_t(node)];
    const int w = mapSize.width(), h = mapSize.height();
    const float angle = m_editor.FixAngle ? n.Angle : AngleAt(pos.x(), pos.y(), w, h);
    const float distance = m_editor.FixDistance ? n.Distance : DistanceAt(pos.x(), pos.y(), w, h);
    ChangeCard(m_document, c, QStringLiteral("Move node \"%1\"").arg(n.Label),
               [&](NetworkModel &m) {
                   Node &moved = m.card(c).Nodes[size_t(node)];
                   moved.Angle = angle;
                   moved.Distance = distance;
                   return Status::success();
               },
               m_drag);
}

MapResponse ModifyNodesTool::release(const MapEvent &e)
{
    MapResponse r;
    if (!currentCard())
        return r;
    if (m_editor.RubberBandActive) {
        m_editor.RubberBandActive = false;
        m_editor.RubberBandEnd = e.pos;
        selectInRubberBand(e.mapSize);
        r.repaint = true;
        return r;
    }
    if (e.button == MapButton::Left)
        m_editor.DraggedNode = 0;
    r.repaint = true;
    return r;
}

void ModifyNodesTool::selectInRubberBand(QSize mapSize)
{
    const int c = currentCardNumber();
    const QRect band = RubberBandRect(m_editor.RubberBandStart, m_editor.RubberBandEnd);
    SelectStep(m_document, c, [&](NetworkCard &target) {
        for (int i = 1; i <= target.NodeCount(); ++i) {
            Node &n = target.Nodes[size_t(i)];
            if (band.contains(MapPoint(n.Angle, n.Distance, mapSize.width(), mapSize.height())))
                n.Selected = true;
        }
    });
}

MapResponse ModifyNodesTool::doubleClick(QRgb pixelAtLastPos, QSize mapSize)
{
    MapResponse r = MapTool::doubleClick(pixelAtLastPos, mapSize);
    const NetworkCard *card = currentCard();
    if (!card)
        return r;
    const int c = currentCardNumber();
    const int node = m_editor.HoverNode;
    if (node >= 1 && node <= card->NodeCount()) {
        SelectStep(m_document, c, [&](NetworkCard &target) {
            Node &n = target.Nodes[size_t(node)];
            n.Selected = !n.Selected;
        });
    }
    r.repaint = true;
    return r;
}

MapResponse ModifyNodesTool::modifyHovered()
{
    MapResponse r;
    const NetworkCard *card = currentCard();
    const int node = m_editor.HoverNode;
    if (!card || node < 1 || node > card->NodeCount())
        return r;
    r.nodeDialog = PrepareNodeModify(*card, currentCardNumber(), node, m_document.session().DecimalSeparator);
    return r;
}

MapResponse ModifyNodesTool::deleteHovered()
{
    const NetworkCard *card = currentCard();
    if (!card)
        return {};
    const int c = currentCardNumber();
    const int node = m_editor.HoverNode;
    bool done = false;
    if (node >= 1 && node <= card->NodeCount()) {
        done = bool(ChangeCard(m_document, c,
                               QStringLiteral("Delete node \"%1\"").arg(card->Nodes[size_t(node)].Label),
                               [&](NetworkModel &m) {
                                   DeleteNode(m.card(c), node);
                                   return Status::success();
                               }));
    }
    MapResponse r = MapTool::deleteHovered();
    if (done)
        showNodeInfo(r, 0);
    return r;
}

MapResponse ModifyNodesTool::copyHovered(bool toNextCard, QSize)
{
    MapResponse r;
    const int node = m_editor.HoverNode;
    if (!currentCard() || node == 0)
        return r;
    const int c = currentCardNumber();
    report(r, toNextCard ? CopyNodeToNextCardStep(m_document, c, node)
                         : CopyNodeToThisCardStep(m_document, c, node));
    return r;
}

} // namespace korvalo

#include "core/edit/tools/maptool.h"

#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "core/edit/hittest.h"
#include "core/edit/selection.h"

#include <algorithm>

namespace korvalo {

QRect RubberBandRect(QPoint start, QPoint end)
{
    // Not QRect(start, end).normalized(): dragged up or left, that loses the start's row
    // and column.
    return QRect(QPoint(std::min(start.x(), end.x()), std::min(start.y(), end.y())),
                 QPoint(std::max(start.x(), end.x()), std::max(start.y(), end.y())));
}

MapTool::MapTool(Document &document, EditorState &editor) : m_document(document), m_editor(editor)
{
}

MapTool::~MapTool() = default;

const NetworkCard *MapTool::currentCard() const
{
    const NetworkModel &model = m_document.model();
    return model.hasCard(model.CurrentCard) ? &model.card(model.CurrentCard) : nullptr;
}

int MapTool::currentCardNumber() const
{
    return m_document.model().CurrentCard;
}

PixelClass MapTool::classify(const MapEvent &e) const
{
    const NetworkCard *card = currentCard();
    if (!card)
        return ClassifyPixel(e.pixel);
    return ClassifyMapPixel(*card, e.pixel, e.pos.x(), e.pos.y(), e.mapSize.width(),
                            e.mapSize.height(), m_document.viewOptions());
}

int MapTool::nodeAt(const MapEvent &e) const
{
    const NetworkCard &card = *currentCard();
    const int w = e.mapSize.width(), h = e.mapSize.height();
    // A pixel of a node's own picture names that node, even where another is nearer.
    const int covering = NodeCovering(card, e.pos.x(), e.pos.y(), w, h, m_document.viewOptions());
    return covering != 0 ? covering : NearestNode(card, e.pos.x(), e.pos.y(), w, h);
}

void MapTool::showNodeInfo(MapResponse &r, int node)
{
    if (node == 0) {
        r.readout = MapResponse::Readout::Nothing;
        r.popupOpensByItself = false;
        return;
    }
    r.readout = MapResponse::Readout::Node;
    r.readoutNode = node;
}

void MapTool::report(MapResponse &r, const Status &status)
{
    if (!status)
        r.message = status.message();
}

MapResponse MapTool::press(const MapEvent &)
{
    return {};
}

MapResponse MapTool::move(const MapEvent &e)
{
    track(e);
    MapResponse r;
    if (giveUpStartedLine(r))
        return r;
    return hover(e);
}

MapResponse MapTool::release(const MapEvent &)
{
    MapResponse r;
    if (currentCard())
        r.repaint = true;
    return r;
}

MapResponse MapTool::doubleClick(QRgb, QSize)
{
    if (currentCard()) {
        m_editor.DraggedNode = 0;
        m_editor.DraggedSector = 0;
    }
    return {};
}

void MapTool::track(const MapEvent &e)
{
    m_editor.LastMousePos = e.pos;
    m_editor.HoverLine = 0;
}

bool MapTool::giveUpStartedLine(MapResponse &r)
{
    if (m_editor.LineStartNode == -1)
        return false;
    m_editor.LineStartNode = -1;
    r.repaint = true;
    return true;
}

MapResponse MapTool::hover(const MapEvent &e, MapResponse r)
{
    const NetworkCard *card = currentCard();
    const int w = e.mapSize.width(), h = e.mapSize.height();
    const PixelClass p = classify(e);
    if (p == PixelClass::Line && card) {
        if (popupOnLines())
            r.popupOpensByItself = true;
        r.readout = MapResponse::Readout::Line;
        m_editor.HoverLine = LineAt(*card, e.pos.x(), e.pos.y(), e.pixel, w, h);
        if (m_editor.HoverLine != 0 && m_editor.LineStartNode == -1)
            r.readoutLine = m_editor.HoverLine;
        return r;
    }
    if (p == PixelClass::Node && card) {
        if (popupOnNodes())
            r.popupOpensByItself = true;
        m_editor.HoverNode = nodeAt(e);
        showNodeInfo(r, m_editor.HoverNode);
        return r;
    }
    showNodeInfo(r, 0);
    return r;
}

MapResponse MapTool::modifyHovered()
{
    return {};
}

MapResponse MapTool::deleteHovered()
{
    // The numbers may now name other items: forget them, so that a second "Delete"
    // without moving cannot hit an item nobody pointed at.
    if (currentCard()) {
        m_editor.HoverNode = 0;
        m_editor.HoverLine = 0;
    }
    return {};
}

MapResponse MapTool::copyHovered(bool, QSize)
{
    return {};
}

MapOverlay MapTool::overlay(QSize) const
{
    MapOverlay overlay;
    if (m_editor.RubberBandActive)
        overlay.rubberBand = RubberBandRect(m_editor.RubberBandStart, m_editor.RubberBandEnd);
    return overlay;
}

MapResponse MapTool::key(const MapKeyEvent &k)
{
    MapResponse r;
    switch (k.key) {
    case MapKey::Delete:
        if (!k.autoRepeat && currentCard())
            report(r, DeleteSelectedStep(m_document, currentCardNumber()));
        return r;
    case MapKey::Tab:
        return walk(1);
    case MapKey::Backtab:
        return walk(-1);
    case MapKey::Enter:
        return modifyHovered();
    case MapKey::Escape:
        m_editor.RubberBandActive = false;
        m_editor.LineStartNode = -1;
        r.repaint = true;
        return r;
    case MapKey::Left:
    case MapKey::Right:
    case MapKey::Up:
    case MapKey::Down:
        return moveSelected(k);
    }
    return r;
}

MapResponse MapTool::walk(int by)
{
    // The alters in table order, around from the last to the first.
    MapResponse r;
    const NetworkCard *card = currentCard();
    if (!card || card->NodeCount() == 0)
        return r;
    const int count = card->NodeCount();
    int node = m_editor.HoverNode;
    if (node < 1 || node > count)
        node = by > 0 ? 0 : 1;
    node = (node - 1 + by + count) % count + 1;
    m_editor.HoverNode = node;
    r.readout = MapResponse::Readout::Node;
    r.readoutNode = node;
    r.popupOpensByItself = popupOnNodes();
    return r;
}

MapResponse MapTool::moveSelected(const MapKeyEvent &k)
{
    MapResponse r;
    if (!currentCard())
        return r;
    const float step = k.shift ? 10.0f : 1.0f;
    float angle = 0, distance = 0;
    switch (k.key) {
    case MapKey::Left: angle = -step; break;
    case MapKey::Right: angle = step; break;
    case MapKey::Up: distance = 0.01f * step; break;
    case MapKey::Down: distance = -0.01f * step; break;
    default: return r;
    }
    // A new press starts a new step; its auto-repeats merge into it.
    if (!k.autoRepeat)
        ++m_editor.KeyPresses;
    report(r, MoveSelectedStep(m_document, currentCardNumber(), angle, distance,
                               Merge{MergeId::KeyMove, m_editor.KeyPresses}));
    return r;
}

} // namespace korvalo

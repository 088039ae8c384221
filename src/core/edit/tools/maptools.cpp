#include "core/edit/tools/maptools.h"

#include "core/edit/cardedits.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "core/edit/hittest.h"
#include "core/map/geometry.h"

#include <QRect>

#include <algorithm>

namespace korvalo {

namespace {

// History steps of one drag merge through an id of their own; ids from here up are the
// mouse's, one per drag, so that two drags in a row stay two steps.
constexpr int DragMergeIdBase = 0x4D000000;

} // namespace

MapTools::MapTools(Document &document, EditorState &editor) : m_document(document), m_editor(editor)
{
}

const NetworkCard *MapTools::currentCard() const
{
    const NetworkModel &model = m_document.model();
    return model.hasCard(model.CurrentCard) ? &model.card(model.CurrentCard) : nullptr;
}

int MapTools::nextMergeId()
{
    m_dragSerial = (m_dragSerial + 1) & 0xFFFFFF;
    return DragMergeIdBase + m_dragSerial;
}

void MapTools::showNodeInfo(MapResponse &r, int node) const
{
    if (node == 0) {
        r.readout = MapResponse::Readout::Nothing;
        r.popupOpensByItself = false;
        return;
    }
    r.readout = MapResponse::Readout::Node;
    r.readoutNode = node;
}

MapResponse MapTools::press(const MapEvent &e)
{
    MapResponse r;
    const NetworkCard *card = currentCard();
    if (!card)
        return r;
    const QString &mode = m_editor.EditMode;
    const int w = e.mapSize.width(), h = e.mapSize.height();
    const PixelClass p = ClassifyPixel(e.pixel);

    if (e.button == MapButton::Left && mode == EditModeModifyNodes && p == PixelClass::Background) {
        m_editor.RubberBandStart = m_editor.RubberBandEnd = e.pos;
        m_editor.RubberBandActive = true;
        return r;
    }
    if (e.button == MapButton::Left && mode == EditModeModifyNodes) {
        m_editor.DraggedNode = 0;
        if (p != PixelClass::Node)
            return r;
        m_editor.DraggedNode = NearestNode(*card, e.pos.x(), e.pos.y(), w, h);
        m_dragMergeId = nextMergeId();
        return r;
    }
    if (e.button == MapButton::Left && mode == EditModeSectors) {
        m_editor.DraggedSector = NearestSectorHandle(*card, e.pos.x(), e.pos.y(), w, h);
        m_dragMergeId = nextMergeId();
        return r;
    }
    if (e.button == MapButton::Right && mode == EditModeLines && m_editor.LineStartNode == -1) {
        m_editor.DraggedNode = 0;
        if (p == PixelClass::Node) {
            m_editor.LineStartNode = NearestNode(*card, e.pos.x(), e.pos.y(), w, h);
            r.redraw = true;
        }
        return r;
    }
    if (e.button == MapButton::Right && mode == EditModeLines) {
        if (p != PixelClass::Node)
            return r;
        const int b = NearestNode(*card, e.pos.x(), e.pos.y(), w, h);
        const int a = m_editor.LineStartNode;
        if (b == a)
            return r;
        // A start that went away under the started line (undo, a deletion elsewhere)
        // cannot be an end any more.
        if (a < 0 || a > card->NodeCount()) {
            m_editor.LineStartNode = -1;
            r.redraw = true;
            return r;
        }
        r.lineDialog = PrepareLineAdd(*card, m_document.model().CurrentCard, a, b);
        m_editor.DraggedNode = 0;
        m_editor.LineStartNode = -1;
    }
    return r;
}

MapResponse MapTools::move(const MapEvent &e)
{
    MapResponse r;
    m_editor.LastMousePos = e.pos;
    m_editor.HoverLine = 0;
    const NetworkCard *card = currentCard();
    const int w = e.mapSize.width(), h = e.mapSize.height();
    const QString &mode = m_editor.EditMode;

    if (m_editor.RubberBandActive) {
        m_editor.RubberBandEnd = e.pos;
        return r;
    }
    if (m_editor.LineStartNode != -1) {
        if (mode != EditModeLines) {
            m_editor.LineStartNode = -1;
            r.redraw = true;
            return r;
        }
        // The rubber line follows the pointer; the hover read-outs below still apply.
    }
    if (m_editor.DraggedNode != 0 && card) {
        const int node = m_editor.DraggedNode;
        const int c = m_document.model().CurrentCard;
        if (node >= 1 && node <= card->NodeCount()) {
            const Node &n = card->Nodes[size_t(node)];
            const float angle = m_editor.FixAngle ? n.Angle : AngleAt(e.pos.x(), e.pos.y(), w, h);
            const float distance =
                m_editor.FixDistance ? n.Distance : DistanceAt(e.pos.x(), e.pos.y(), w, h);
            ChangeCard(m_document, c, QStringLiteral("Move node \"%1\"").arg(n.Label),
                       [&](NetworkModel &m) {
                           Node &moved = m.card(c).Nodes[size_t(node)];
                           moved.Angle = angle;
                           moved.Distance = distance;
                           return Status::success();
                       },
                       m_dragMergeId);
        }
        r.redraw = true;
        return r;
    }
    if (m_editor.DraggedSector != 0 && card) {
        const int sector = m_editor.DraggedSector;
        const int c = m_document.model().CurrentCard;
        if (sector >= 1 && sector <= card->SectorCount()) {
            const float angle = AngleAt(e.pos.x(), e.pos.y(), w, h);
            ChangeCard(m_document, c,
                       QStringLiteral("Move sector \"%1\"").arg(card->Sectors[size_t(sector)].SectorName),
                       [&](NetworkModel &m) {
                           m.card(c).Sectors[size_t(sector)].SectorAngle = angle;
                           return Status::success();
                       },
                       m_dragMergeId);
        }
        r.redraw = true;
        return r;
    }

    const PixelClass p = ClassifyPixel(e.pixel);
    if (p == PixelClass::Line && card) {
        if (mode == EditModeLines)
            r.popupOpensByItself = true;
        r.readout = MapResponse::Readout::Line;
        m_editor.HoverLine = LineAt(*card, e.pos.x(), e.pos.y(), e.pixel, w, h);
        if (m_editor.HoverLine != 0 && m_editor.LineStartNode == -1)
            r.readoutLine = m_editor.HoverLine;
        return r;
    }
    if (p == PixelClass::Node && card) {
        if (mode == EditModeModifyNodes)
            r.popupOpensByItself = true;
        m_editor.HoverNode = NearestNode(*card, e.pos.x(), e.pos.y(), w, h);
        showNodeInfo(r, m_editor.HoverNode);
        return r;
    }
    showNodeInfo(r, 0);
    return r;
}

MapResponse MapTools::release(const MapEvent &e)
{
    MapResponse r;
    const NetworkCard *card = currentCard();
    if (!card)
        return r;
    const int c = m_document.model().CurrentCard;
    const QString &mode = m_editor.EditMode;
    const int w = e.mapSize.width(), h = e.mapSize.height();

    if (m_editor.RubberBandActive) {
        m_editor.RubberBandActive = false;
        m_editor.RubberBandEnd = e.pos;
        const QRect band = QRect(m_editor.RubberBandStart, m_editor.RubberBandEnd).normalized();
        ChangeCard(m_document, c, QStringLiteral("Select nodes"), [&](NetworkModel &m) {
            NetworkCard &target = m.card(c);
            for (int i = 1; i <= target.NodeCount(); ++i) {
                Node &n = target.Nodes[size_t(i)];
                if (band.contains(MapPoint(n.Angle, n.Distance, w, h)))
                    n.Selected = true;
            }
            return Status::success();
        });
        r.redraw = true;
        return r;
    }
    if (e.button == MapButton::Right && mode == EditModeAddNodes) {
        m_editor.NewNodePos = e.pos;
        r.nodeDialog = PrepareNodeAdd(*card, e.pos, e.mapSize, m_document.session().DecimalSeparator);
    }
    if (e.button == MapButton::Right && mode == EditModeSectors) {
        if (ClassifyPixel(e.pixel) == PixelClass::Handle) {
            m_editor.PickedSector = NearestSectorHandle(*card, e.pos.x(), e.pos.y(), w, h);
            r.sectorPopup = true;
            return r;
        }
        m_editor.NewSectorPos = e.pos;
        r.addSectorAt = e.pos;
    }
    if (e.button == MapButton::Left && mode == EditModeModifyNodes)
        m_editor.DraggedNode = 0;
    if (e.button == MapButton::Left && mode == EditModeSectors)
        m_editor.DraggedSector = 0;
    r.redraw = true;
    return r;
}

MapResponse MapTools::doubleClick(QRgb pixelAtLastPos, QSize mapSize)
{
    MapResponse r;
    const NetworkCard *card = currentCard();
    if (!card)
        return r;
    m_editor.DraggedNode = 0;
    m_editor.DraggedSector = 0;
    const int c = m_document.model().CurrentCard;
    if (m_editor.EditMode == EditModeModifyNodes) {
        const int node = m_editor.HoverNode;
        if (node >= 1 && node <= card->NodeCount()) {
            const Node &n = card->Nodes[size_t(node)];
            ChangeCard(m_document, c,
                       (n.Selected ? QStringLiteral("Deselect node \"%1\"")
                                   : QStringLiteral("Select node \"%1\""))
                           .arg(n.Label),
                       [&](NetworkModel &m) {
                           Node &target = m.card(c).Nodes[size_t(node)];
                           target.Selected = !target.Selected;
                           return Status::success();
                       });
        }
        r.redraw = true;
    } else if (m_editor.EditMode == EditModeSectors && ClassifyPixel(pixelAtLastPos) == PixelClass::Handle) {
        const QPoint at = m_editor.LastMousePos;
        r.renameSector = NearestSectorHandle(*card, at.x(), at.y(), mapSize.width(), mapSize.height());
    }
    return r;
}

bool MapTools::deleteHovered()
{
    const NetworkCard *card = currentCard();
    if (!card)
        return false;
    const int c = m_document.model().CurrentCard;
    bool done = false;
    if (m_editor.EditMode == EditModeModifyNodes) {
        const int node = m_editor.HoverNode;
        if (node >= 1 && node <= card->NodeCount()) {
            done = bool(ChangeCard(m_document, c,
                                   QStringLiteral("Delete node \"%1\"").arg(card->Nodes[size_t(node)].Label),
                                   [&](NetworkModel &m) {
                                       DeleteNode(m.card(c), node);
                                       return Status::success();
                                   }));
        }
    } else if (m_editor.EditMode == EditModeLines) {
        const int line = m_editor.HoverLine;
        if (line >= 1 && line <= card->LineCount()) {
            const Line &l = card->Lines[size_t(line)];
            const QString text = QStringLiteral("Delete line \"%1\" – \"%2\"")
                                     .arg(EndLabel(*card, l.A), EndLabel(*card, l.B));
            done = bool(ChangeCard(m_document, c, text, [&](NetworkModel &m) {
                DeleteLine(m.card(c), line);
                return Status::success();
            }));
        }
    }
    // The numbers now name other items (the last one moved into the gap): forget them,
    // so that a second right click without moving cannot hit a node nobody pointed at.
    m_editor.HoverNode = 0;
    m_editor.HoverLine = 0;
    return done;
}

void MapTools::forgetPickedItems()
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

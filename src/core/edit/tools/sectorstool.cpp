#include "core/edit/tools/sectorstool.h"

#include "core/edit/document.h"
#include "core/edit/hittest.h"
#include "core/edit/sectors.h"
#include "core/edit/selection.h"
#include "core/map/geometry.h"

namespace korvalo {

SectorsTool::SectorsTool(Document &document, EditorState &editor) : MapTool(document, editor)
{
}

void SectorsTool::deactivate()
{
    m_editor.DraggedSector = 0;
}

MapResponse SectorsTool::press(const MapEvent &e)
{
    const NetworkCard *card = currentCard();
    if (!card || e.button != MapButton::Left)
        return {};
    m_editor.DraggedSector =
        NearestSectorHandle(*card, e.pos.x(), e.pos.y(), e.mapSize.width(), e.mapSize.height());
    // Each drag is a run of its own: two drags in a row stay two steps.
    m_drag = Merge{MergeId::SectorDrag, ++m_drags};
    return {};
}

MapResponse SectorsTool::move(const MapEvent &e)
{
    track(e);
    MapResponse r;
    if (giveUpStartedLine(r))
        return r;
    if (e.leftUp)
        m_editor.DraggedSector = 0;
    if (m_editor.DraggedSector != 0 && currentCard()) {
        // The table is not re-sorted: the boundary keeps its number while it moves.
        MoveSectorStep(m_document, currentCardNumber(), m_editor.DraggedSector,
                       AngleAt(e.pos.x(), e.pos.y(), e.mapSize.width(), e.mapSize.height()), m_drag);
        r.repaint = true;
        return r;
    }
    return hover(e);
}

MapResponse SectorsTool::release(const MapEvent &e)
{
    MapResponse r;
    const NetworkCard *card = currentCard();
    if (!card)
        return r;
    if (e.button == MapButton::Right) {
        if (ClassifyPixel(e.pixel) == PixelClass::Handle) {
            m_editor.PickedSector =
                NearestSectorHandle(*card, e.pos.x(), e.pos.y(), e.mapSize.width(), e.mapSize.height());
            r.sectorPopup = true;
            return r;
        }
        m_editor.NewSectorPos = e.pos;
        r.addSectorAt = e.pos;
    }
    if (e.button == MapButton::Left)
        m_editor.DraggedSector = 0;
    r.repaint = true;
    return r;
}

MapResponse SectorsTool::doubleClick(QRgb pixelAtLastPos, QSize mapSize)
{
    MapResponse r = MapTool::doubleClick(pixelAtLastPos, mapSize);
    const NetworkCard *card = currentCard();
    if (card && ClassifyPixel(pixelAtLastPos) == PixelClass::Handle) {
        const QPoint at = m_editor.LastMousePos;
        r.renameSector = NearestSectorHandle(*card, at.x(), at.y(), mapSize.width(), mapSize.height());
    }
    return r;
}

MapResponse SectorsTool::modifyHovered()
{
    MapResponse r;
    if (currentCard())
        r.modifySector = m_editor.PickedSector;
    return r;
}

MapResponse SectorsTool::deleteHovered()
{
    MapResponse r;
    if (!currentCard())
        return r;
    // No question: the step can be undone.
    if (m_editor.PickedSector != 0)
        report(r, DeleteSectorStep(m_document, currentCardNumber(), m_editor.PickedSector));
    m_editor.PickedSector = 0;
    return r;
}

MapResponse SectorsTool::copyHovered(bool toNextCard, QSize mapSize)
{
    MapResponse r;
    const int sector = m_editor.PickedSector;
    if (!currentCard() || sector == 0)
        return r;
    const int c = currentCardNumber();
    const QPoint at = m_editor.LastMousePos;
    report(r, CopySectorToCardStep(m_document, c, sector, toNextCard ? c + 1 : c,
                                   AngleAt(at.x(), at.y(), mapSize.width(), mapSize.height())));
    return r;
}

} // namespace korvalo

#include "gui/map/mapcontroller.h"

#include "gui/shell/asker.h"
#include "gui/windows/infowindows.h"
#include "gui/map/mapwidget.h"
#include "gui/shell/menus.h"
#include "gui/shell/sidepanel.h"
#include "core/edit/cardedits.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "gui/dialogs/linedialog.h"
#include "gui/dialogs/nodedialog.h"
#include "core/map/geometry.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace korvalo {

using namespace Qt::StringLiterals;

MapController::MapController(const ShellContext &shell, EditorState &editor, MapWidget *map,
                       SidePanel *side, NodeInfoWindow *nodeInfo, QObject *parent)
    : QObject(parent), m_shell(shell), m_editor(editor), m_tools(shell.document, editor),
      m_map(map), m_side(side), m_nodeInfo(nodeInfo)
{
    m_nodeDialog = new NodeDialog(shell.window);
    m_lineDialog = new LineDialog(shell.window);
    connect(m_nodeDialog, &NodeDialog::saveRequested, this, &MapController::saveNode);
    connect(m_lineDialog, &LineDialog::saveRequested, this, &MapController::saveLine);

    m_popup = new QMenu(map);
    m_popup->setObjectName(u"PopupMenu1"_s);
    auto item = [this](const QString &caption, const QString &name) {
        QAction *a = m_popup->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    connect(item(u"Modify"_s, u"Change1"_s), &QAction::triggered, this, &MapController::modifyHovered);
    connect(item(u"Delete"_s, u"Delete1"_s), &QAction::triggered, this, &MapController::deleteHovered);
    m_popup->addSeparator()->setObjectName(u"N13"_s);
    // Copying is offered by the selection tools, which bind these two.
    item(u"Copy to This Card"_s, u"CopytothisCard1"_s)->setEnabled(false);
    item(u"Copy to Next Card"_s, u"CopytoNextCard1"_s)->setEnabled(false);
    connect(m_popup, &QMenu::aboutToShow, this, &MapController::popupAboutToShow);

    connect(&shell.document, &Document::currentCardChanged, this, [this] {
        m_tools.forgetPickedItems();
        m_popupAuto = false;
    });
    map->setMouseHandler([this](QMouseEvent *event) { mouse(event); });
    // The popup opens from the mouse handling, not from the context-menu event.
    map->setContextMenuPolicy(Qt::PreventContextMenu);
    map->setOverlay([this](QPainter &painter) {
        if (m_editor.RubberBandActive) {
            painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(m_editor.RubberBandStart, m_editor.RubberBandEnd).normalized());
        }
        const NetworkCard *card = currentCard();
        const int start = m_editor.LineStartNode;
        if (card && start >= 0 && start <= card->NodeCount() && m_editor.EditMode == EditModeLines) {
            const QSize size = m_map->image().size();
            const Node &n = card->Nodes[size_t(start)];
            painter.setPen(QPen(QColor::fromRgb(LineStrokeColor(PaletteColor(0))), 1));
            painter.drawLine(MapPoint(n.Angle, n.Distance, size.width(), size.height()),
                             m_editor.LastMousePos);
        }
    });

    Menus &menus = shell.menus;
    menus.bind(u"Connect1"_s, this, [this] { connectIdenticalIDs(); });
    menus.bind(u"DeleteRedLines1"_s, this, [this] { deleteRedLines(); });
    // Transform > Layout's switches reach the editor state through the transform commands.

    SectorHooks defaults;
    defaults.remove = [this](int sector) {
        Document &document = m_shell.document;
        const int c = document.model().CurrentCard;
        ChangeCard(document, c, u"Delete sector"_s, [&](NetworkModel &m) {
            NetworkCard &card = m.card(c);
            if (sector >= 1 && sector <= card.SectorCount()) {
                card.Sectors[size_t(sector)] = card.Sectors.back();
                card.Sectors.pop_back();
            }
            return Status::success();
        });
    };
    defaults.rename = [this](int sector) {
        const NetworkCard *card = currentCard();
        if (!card || sector < 1 || sector > card->SectorCount())
            return;
        const std::optional<QString> name = m_shell.asker().input(
            u"New Sector"_s, u"Name of Sector:"_s, card->Sectors[size_t(sector)].SectorName);
        if (!name)
            return;
        Document &document = m_shell.document;
        const int c = document.model().CurrentCard;
        ChangeCard(document, c, u"Rename sector \"%1\""_s.arg(*name), [&](NetworkModel &m) {
            m.card(c).Sectors[size_t(sector)].SectorName = *name;
            return Status::success();
        });
    };
    m_sectors = defaults;
}

MapController::~MapController() = default;

void MapController::setSectorHooks(SectorHooks hooks)
{
    m_sectors = std::move(hooks);
}

const NetworkCard *MapController::currentCard() const
{
    const NetworkModel &model = m_shell.document.model();
    return model.hasCard(model.CurrentCard) ? &model.card(model.CurrentCard) : nullptr;
}

QRgb MapController::pixelAt(QPoint pos) const
{
    const QImage &image = m_map->image();
    return image.valid(pos) ? image.pixel(pos) : qRgb(255, 255, 255);
}

void MapController::mouse(QMouseEvent *event)
{
    MapEvent e;
    e.pos = event->position().toPoint();
    e.mapSize = m_map->image().size();
    e.pixel = pixelAt(e.pos);
    switch (event->button()) {
    case Qt::LeftButton: e.button = MapButton::Left; break;
    case Qt::RightButton: e.button = MapButton::Right; break;
    default: e.button = MapButton::Middle; break;
    }

    MapResponse r;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        r = m_tools.press(e);
        break;
    case QEvent::MouseMove:
        r = m_tools.move(e);
        break;
    case QEvent::MouseButtonRelease:
        r = m_tools.release(e);
        break;
    case QEvent::MouseButtonDblClick:
        r = m_tools.doubleClick(pixelAt(m_editor.LastMousePos), e.mapSize);
        break;
    default:
        return;
    }
    apply(r);
    // The popup follows the release, as a context menu does.
    if (event->type() == QEvent::MouseButtonRelease && e.button == MapButton::Right
        && (r.sectorPopup || m_popupAuto))
        openPopup(e.pos);
}

void MapController::apply(const MapResponse &r)
{
    const NetworkCard *card = currentCard();
    switch (r.readout) {
    case MapResponse::Readout::Unchanged:
        break;
    case MapResponse::Readout::Nothing:
        m_side->showNodeInfo(nullptr);
        m_nodeInfo->showNode(nullptr);
        break;
    case MapResponse::Readout::Node:
        if (card && r.readoutNode >= 1 && r.readoutNode <= card->NodeCount()) {
            const Node *node = &card->Nodes[size_t(r.readoutNode)];
            m_side->showNodeInfo(node);
            m_nodeInfo->showNode(node);
        }
        break;
    case MapResponse::Readout::Line:
        m_side->showLineBox();
        if (card && r.readoutLine >= 1 && r.readoutLine <= card->LineCount()) {
            const Line &line = card->Lines[size_t(r.readoutLine)];
            m_side->showLineInfo(EndLabel(*card, line.A), EndLabel(*card, line.B), line.LineSize);
        }
        break;
    }
    if (r.popupOpensByItself)
        m_popupAuto = *r.popupOpensByItself;
    if (r.nodeDialog) {
        m_nodeDialog->prepare(*r.nodeDialog);
        m_nodeDialog->show();
        m_nodeDialog->raise();
    }
    if (r.lineDialog) {
        m_lineDialog->prepare(*r.lineDialog);
        m_lineDialog->show();
        m_lineDialog->raise();
    }
    if (r.addSectorAt && m_sectors.add)
        m_sectors.add(*r.addSectorAt);
    if (r.renameSector && m_sectors.rename)
        m_sectors.rename(r.renameSector);
    if (r.redraw)
        m_map->redraw();
    m_map->update(); // the overlay
}

void MapController::openPopup(QPoint mapPos)
{
    m_popup->popup(m_map->mapToGlobal(mapPos + QPoint(5, 5)));
}

void MapController::popupAboutToShow()
{
    const bool shown = m_editor.EditMode != EditModeLines;
    for (const QString &name : {u"N13"_s, u"CopytothisCard1"_s, u"CopytoNextCard1"_s})
        for (QAction *a : m_popup->actions())
            if (a->objectName() == name)
                a->setVisible(shown);
}

void MapController::hoverNode(int node)
{
    m_editor.HoverNode = node;
    MapResponse r;
    r.readout = node == 0 ? MapResponse::Readout::Nothing : MapResponse::Readout::Node;
    r.readoutNode = node;
    r.popupOpensByItself = node != 0 && m_editor.EditMode == EditModeModifyNodes;
    apply(r);
}

void MapController::modifyHovered()
{
    const NetworkCard *card = currentCard();
    if (!card)
        return;
    const QString &mode = m_editor.EditMode;
    const int c = m_shell.document.model().CurrentCard;
    if (mode == EditModeModifyNodes) {
        const int node = m_editor.HoverNode;
        if (node < 1 || node > card->NodeCount())
            return;
        m_nodeDialog->prepare(PrepareNodeModify(*card, c, node, m_shell.document.session().DecimalSeparator));
        m_nodeDialog->show();
        m_nodeDialog->raise();
    } else if (mode == EditModeSectors) {
        if (m_editor.PickedSector != 0 && m_sectors.modify)
            m_sectors.modify(m_editor.PickedSector);
    } else if (mode == EditModeLines) {
        const int line = m_editor.HoverLine;
        if (line < 1 || line > card->LineCount())
            return;
        m_lineDialog->prepare(PrepareLineModify(*card, c, line));
        m_editor.HoverLine = 0;
        m_lineDialog->show();
        m_lineDialog->raise();
    }
}

void MapController::deleteHovered()
{
    if (!currentCard())
        return;
    // No question: the step can be undone.
    if (m_editor.EditMode == EditModeSectors) {
        if (m_editor.PickedSector != 0 && m_sectors.remove)
            m_sectors.remove(m_editor.PickedSector);
        m_editor.PickedSector = 0;
    } else if (m_tools.deleteHovered()) {
        m_side->showNodeInfo(nullptr);
        m_nodeInfo->showNode(nullptr);
        m_popupAuto = false;
    }
    m_map->redraw();
}

void MapController::saveNode()
{
    NodeForm form = m_nodeDialog->form();
    const std::optional<QString> sizeBefore = form.GroupSize;
    const Status status = SaveNodeForm(m_shell.document, form, m_editor.NewNodePos, m_shell.mapSize());
    if (form.GroupSize != sizeBefore)
        m_nodeDialog->setGroupSize(form.GroupSize.value_or(QString()));
    if (!status) {
        m_shell.asker().message(status.message());
        return;
    }
    m_nodeDialog->hide();
    m_map->redraw();
}

void MapController::saveLine()
{
    const Status status = SaveLineForm(m_shell.document, m_lineDialog->form(), m_lineDialog->value(),
                                       m_lineDialog->lineColor());
    if (!status) {
        m_shell.asker().message(status.message());
        return;
    }
    m_lineDialog->hide();
    m_map->redraw();
}

void MapController::connectIdenticalIDs()
{
    Document &document = m_shell.document;
    const int c = document.model().CurrentCard;
    if (!document.model().hasCard(c))
        return;
    const Status status = ChangeCard(document, c, u"Connect Identical IDs"_s, [&](NetworkModel &m) {
        return ConnectIdenticalIDs(m.card(c));
    });
    if (!status)
        m_shell.asker().message(status.message());
}

void MapController::deleteRedLines()
{
    Document &document = m_shell.document;
    const int c = document.model().CurrentCard;
    if (!document.model().hasCard(c))
        return;
    ChangeCard(document, c, u"Delete Red Lines"_s, [&](NetworkModel &m) {
        DeleteRedLines(m.card(c));
        return Status::success();
    });
}

} // namespace korvalo

#include "gui/map/mapcontroller.h"

#include "gui/shell/asker.h"
#include "gui/windows/infowindows.h"
#include "gui/map/mapwidget.h"
#include "gui/shell/sidepanel.h"
#include "core/edit/document.h"
#include "gui/dialogs/linedialog.h"
#include "gui/dialogs/nodedialog.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <optional>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

std::optional<MapKey> mapKey(int key)
{
    switch (key) {
    case Qt::Key_Tab: return MapKey::Tab;
    case Qt::Key_Backtab: return MapKey::Backtab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return MapKey::Enter;
    case Qt::Key_Escape: return MapKey::Escape;
    case Qt::Key_Delete: return MapKey::Delete;
    case Qt::Key_Left: return MapKey::Left;
    case Qt::Key_Right: return MapKey::Right;
    case Qt::Key_Up: return MapKey::Up;
    case Qt::Key_Down: return MapKey::Down;
    default: return std::nullopt;
    }
}

} // namespace

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
    auto item = [this](const QString &caption, const QString &name, auto answer) {
        QAction *a = m_popup->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, answer] { apply(answer(m_tools.active())); });
    };
    item(u"Modify"_s, u"Change1"_s, [](MapTool &tool) { return tool.modifyHovered(); });
    item(u"Delete"_s, u"Delete1"_s, [](MapTool &tool) { return tool.deleteHovered(); });
    m_popup->addSeparator()->setObjectName(u"N13"_s);
    item(u"Copy to This Card"_s, u"CopytothisCard1"_s,
         [this](MapTool &tool) { return tool.copyHovered(false, m_map->size()); });
    item(u"Copy to Next Card"_s, u"CopytoNextCard1"_s,
         [this](MapTool &tool) { return tool.copyHovered(true, m_map->size()); });
    connect(m_popup, &QMenu::aboutToShow, this, &MapController::popupAboutToShow);

    connect(&shell.document, &Document::currentCardChanged, this, [this] {
        m_tools.forgetPickedItems();
        m_popupAuto = false;
    });
    map->setMouseHandler([this](QMouseEvent *event) { mouse(event); });
    // The popup opens from the mouse handling, not from the context-menu event.
    map->setContextMenuPolicy(Qt::PreventContextMenu);
    // The map takes the keyboard once clicked (or tabbed to).
    map->setFocusPolicy(Qt::StrongFocus);
    map->installEventFilter(this);
    map->setOverlay([this](QPainter &painter) {
        // The map's size, not its exact picture: painting the smooth one draws no other.
        const MapOverlay overlay = m_tools.active().overlay(m_map->size().expandedTo(QSize(1, 1)));
        if (overlay.rubberBand) {
            painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(*overlay.rubberBand);
        }
        if (overlay.rubberLine) {
            painter.setPen(QPen(QColor::fromRgb(LineStrokeColor(PaletteColor(0))), 1));
            painter.drawLine(*overlay.rubberLine);
        }
    });
}

MapController::~MapController() = default;

void MapController::setEditMode(EditMode mode)
{
    m_tools.setMode(mode);
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
    e.mapSize = m_map->size().expandedTo(QSize(1, 1));
    // A node, a boundary or a rubber band being dragged follows the pointer and looks at
    // nothing under it: the exact picture is not drawn again for every step of the drag
    // (with smooth drawing the map shows another one), only when it is read next.
    const bool dragging = event->type() == QEvent::MouseMove && (event->buttons() & Qt::LeftButton)
                          && (m_editor.DraggedNode != 0 || m_editor.DraggedSector != 0 || m_editor.RubberBandActive);
    e.pixel = dragging ? qRgb(255, 255, 255) : pixelAt(e.pos);
    switch (event->button()) {
    case Qt::LeftButton: e.button = MapButton::Left; break;
    case Qt::RightButton: e.button = MapButton::Right; break;
    default: e.button = MapButton::Middle; break;
    }
    e.leftUp = event->type() == QEvent::MouseMove && !(event->buttons() & Qt::LeftButton);

    // While the dialog of a new or changed node or line is open, the map starts no other
    // item (a right click would start a line or a node nobody asked for): the open dialog
    // comes to the front instead.
    const bool rightClick = e.button == MapButton::Right
                            && (event->type() == QEvent::MouseButtonPress
                                || event->type() == QEvent::MouseButtonRelease
                                || event->type() == QEvent::MouseButtonDblClick);
    if (rightClick) {
        for (QWidget *dialog : {static_cast<QWidget *>(m_nodeDialog), static_cast<QWidget *>(m_lineDialog)}) {
            if (dialog->isVisible()) {
                dialog->raise();
                dialog->activateWindow();
                return;
            }
        }
    }

    MapTool &tool = m_tools.active();
    MapResponse r;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        r = tool.press(e);
        break;
    case QEvent::MouseMove:
        r = tool.move(e);
        break;
    case QEvent::MouseButtonRelease:
        r = tool.release(e);
        break;
    case QEvent::MouseButtonDblClick:
        r = tool.doubleClick(pixelAt(m_editor.LastMousePos), e.mapSize);
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

bool MapController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_map && event->type() == QEvent::KeyPress && key(static_cast<QKeyEvent *>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

bool MapController::key(QKeyEvent *event)
{
    const std::optional<MapKey> k = mapKey(event->key());
    if (!k)
        return false;
    apply(m_tools.active().key(
        MapKeyEvent{*k, bool(event->modifiers() & Qt::ShiftModifier), event->isAutoRepeat()}));
    return true;
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
    if (r.addSectorAt)
        Q_EMIT addSectorRequested(*r.addSectorAt);
    if (r.modifySector)
        Q_EMIT modifySectorRequested(r.modifySector);
    if (r.renameSector)
        Q_EMIT renameSectorRequested(r.renameSector);
    if (!r.message.isEmpty())
        m_shell.asker().message(r.message);
    if (r.repaint)
        m_map->update();
}

void MapController::openPopup(QPoint mapPos)
{
    m_popup->popup(m_map->mapToGlobal(mapPos + QPoint(5, 5)));
}

void MapController::popupAboutToShow()
{
    const bool shown = m_tools.active().offersCopies();
    for (const QString &name : {u"N13"_s, u"CopytothisCard1"_s, u"CopytoNextCard1"_s})
        for (QAction *a : m_popup->actions())
            if (a->objectName() == name)
                a->setVisible(shown);
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
}

} // namespace korvalo

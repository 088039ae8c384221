#include "gui/actions/sectorselectionactions.h"

#include "gui/shell/asker.h"
#include "gui/map/mapwidget.h"
#include "gui/shell/menus.h"
#include "core/edit/document.h"
#include "core/edit/editorstate.h"
#include "gui/map/mapcontroller.h"
#include "gui/dialogs/sectordialog.h"
#include "gui/dialogs/sectororderdialog.h"
#include "core/edit/sectors.h"
#include "core/edit/selection.h"
#include "core/map/geometry.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

void showInFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

SectorSelectionActions::SectorSelectionActions(const ShellContext &shell, EditorState &editor,
                                                 MapWidget *map, MapController *mapEditing,
                                                 QObject *parent)
    : QObject(parent), m_shell(shell), m_editor(editor), m_map(map), m_mapEditing(mapEditing),
      m_sectorDialog(new SectorDialog(shell.window)),
      m_orderDialog(new SectorOrderDialog(shell.window))
{
    connect(m_sectorDialog, &SectorDialog::saveRequested, this,
            &SectorSelectionActions::saveSectorDialog);
    connect(m_orderDialog, &SectorOrderDialog::applyRequested, this,
            &SectorSelectionActions::applySectorOrder);

    Menus &menus = m_shell.menus;
    menus.bind(u"ChangeSectorOrder1"_s, this, [this] { openSectorOrder(); });
    menus.bind(u"SizeProportionaltoNumberofNodes1"_s, this, [this] { sizeProportional(); });
    menus.bind(u"ID1"_s, this, [this] { selectByID(); });
    menus.bind(u"Label20"_s, this, [this] { selectByLabel(); });
    menus.bind(u"HighlightMultiIDs1"_s, this, [this] { select(u"Select Multi IDs"_s, SelectMultiIDs); });
    menus.bind(u"DeselectAll1"_s, this, [this] { select(u"Deselect All"_s, DeselectAll); });
    menus.bind(u"SelectAll1"_s, this, [this] { select(u"Select All"_s, SelectAll); });
    menus.bind(u"Delete2"_s, this, [this] { deleteSelected(); });
    menus.bind(u"Copyto1"_s, this, [this] { copySelectedToThisCard(); });
    menus.bind(u"CopytoNextCard2"_s, this, [this] { copySelectedToNextCard(); });

    SectorHooks hooks;
    hooks.add = [this](QPoint) { showAddSector(); };
    hooks.modify = [this](int) { showModifySector(); };
    hooks.remove = [this](int) { deletePickedSector(); };
    hooks.rename = [this](int sector) { renameSector(sector); };
    m_mapEditing->setSectorHooks(hooks);
    for (QAction *item : m_mapEditing->popup()->actions()) {
        if (item->objectName() == u"CopytothisCard1") {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, &SectorSelectionActions::copyHoveredToThisCard);
        } else if (item->objectName() == u"CopytoNextCard1") {
            item->setEnabled(true);
            connect(item, &QAction::triggered, this, &SectorSelectionActions::copyHoveredToNextCard);
        }
    }

    // The map takes the keyboard once clicked (or tabbed to).
    m_map->setFocusPolicy(Qt::StrongFocus);
    m_map->installEventFilter(this);
}

int SectorSelectionActions::currentCard() const
{
    return m_shell.document.model().CurrentCard;
}

void SectorSelectionActions::report(const Status &status)
{
    if (!status)
        m_shell.asker().message(status.message());
}

void SectorSelectionActions::showAddSector()
{
    m_sectorDialog->prepareAdd();
    showInFront(m_sectorDialog);
}

void SectorSelectionActions::showModifySector()
{
    const NetworkModel &model = m_shell.document.model();
    const int card = currentCard();
    const int sector = m_editor.PickedSector;
    if (!model.hasCard(card) || sector < 1 || sector > model.card(card).SectorCount())
        return;
    m_sectorDialog->prepareModify(model.card(card).Sectors[size_t(sector)].SectorName);
    showInFront(m_sectorDialog);
}

void SectorSelectionActions::saveSectorDialog()
{
    const int card = currentCard();
    if (m_shell.document.model().hasCard(card)) {
        if (m_sectorDialog->isAdding()) {
            const QSize size = m_shell.mapSize();
            const float angle = AngleAt(m_editor.NewSectorPos.x(), m_editor.NewSectorPos.y(),
                                        size.width(), size.height());
            report(AddSectorStep(m_shell.document, card, m_sectorDialog->name(),
                                 m_sectorDialog->color(), angle));
        } else if (m_editor.PickedSector != 0) {
            report(ModifySectorStep(m_shell.document, card, m_editor.PickedSector,
                                    m_sectorDialog->name(), m_sectorDialog->color()));
        }
    }
    m_sectorDialog->hide();
}

void SectorSelectionActions::deletePickedSector()
{
    if (m_editor.PickedSector != 0)
        report(DeleteSectorStep(m_shell.document, currentCard(), m_editor.PickedSector));
}

void SectorSelectionActions::renameSector(int sector)
{
    const NetworkModel &model = m_shell.document.model();
    const int card = currentCard();
    if (!model.hasCard(card) || sector < 1 || sector > model.card(card).SectorCount())
        return;
    const std::optional<QString> name = m_shell.asker().input(
        u"New Sector"_s, u"Name of Sector:"_s, model.card(card).Sectors[size_t(sector)].SectorName);
    if (name)
        report(RenameSectorStep(m_shell.document, card, sector, *name));
}

void SectorSelectionActions::openSectorOrder()
{
    const NetworkModel &model = m_shell.document.model();
    const int card = currentCard();
    m_orderDialog->fill(model.hasCard(card) ? SectorOrderEntries(model.card(card)) : QStringList());
    showInFront(m_orderDialog);
}

void SectorSelectionActions::applySectorOrder()
{
    if (m_shell.document.model().hasCard(currentCard()))
        report(ApplySectorOrderStep(m_shell.document, currentCard(), m_orderDialog->entries()));
}

void SectorSelectionActions::sizeProportional()
{
    if (m_shell.document.model().hasCard(currentCard()))
        report(SizeSectorsByNodeCountStep(m_shell.document, currentCard()));
}

void SectorSelectionActions::selectByID()
{
    if (!m_shell.document.model().hasCard(currentCard()))
        return;
    const std::optional<QString> id = m_shell.asker().input(u"Find"_s, u"Node ID:"_s, QString());
    if (id) {
        report(SelectStep(m_shell.document, currentCard(), u"Select by ID"_s,
                          [&](NetworkCard &card) { SelectByID(card, *id); }));
    }
}

void SectorSelectionActions::selectByLabel()
{
    if (!m_shell.document.model().hasCard(currentCard()))
        return;
    const std::optional<QString> label = m_shell.asker().input(u"Find"_s, u"Node Label:"_s, QString());
    if (label) {
        report(SelectStep(m_shell.document, currentCard(), u"Select by Label"_s,
                          [&](NetworkCard &card) { SelectByLabel(card, *label); }));
    }
}

void SectorSelectionActions::select(const QString &text, void (*how)(NetworkCard &))
{
    if (m_shell.document.model().hasCard(currentCard()))
        report(SelectStep(m_shell.document, currentCard(), text, how));
}

void SectorSelectionActions::deleteSelected()
{
    if (m_shell.document.model().hasCard(currentCard()))
        report(DeleteSelectedStep(m_shell.document, currentCard()));
}

void SectorSelectionActions::copySelectedToThisCard()
{
    if (m_shell.document.model().hasCard(currentCard()))
        report(CopySelectedToThisCardStep(m_shell.document, currentCard()));
}

void SectorSelectionActions::copySelectedToNextCard()
{
    if (m_shell.document.model().hasCard(currentCard()))
        report(CopySelectedToNextCardStep(m_shell.document, currentCard()));
}

void SectorSelectionActions::copyHoveredToThisCard()
{
    copyHovered(false);
}

void SectorSelectionActions::copyHoveredToNextCard()
{
    copyHovered(true);
}

void SectorSelectionActions::copyHovered(bool nextCard)
{
    Document &document = m_shell.document;
    const int card = currentCard();
    if (!document.model().hasCard(card))
        return;
    if (m_editor.EditMode == EditModeModifyNodes && m_editor.HoverNode != 0) {
        report(nextCard ? CopyNodeToNextCardStep(document, card, m_editor.HoverNode)
                        : CopyNodeToThisCardStep(document, card, m_editor.HoverNode));
    } else if (m_editor.EditMode == EditModeSectors && m_editor.PickedSector != 0) {
        const QSize size = m_shell.mapSize();
        const QPoint at = m_editor.LastMousePos;
        report(CopySectorToCardStep(document, card, m_editor.PickedSector,
                                    nextCard ? card + 1 : card,
                                    AngleAt(at.x(), at.y(), size.width(), size.height())));
    }
}

void SectorSelectionActions::hoverNext(int by)
{
    const NetworkModel &model = m_shell.document.model();
    const int card = currentCard();
    if (!model.hasCard(card) || model.card(card).NodeCount() == 0)
        return;
    const int count = model.card(card).NodeCount();
    int node = m_editor.HoverNode;
    if (node < 1 || node > count)
        node = by > 0 ? 0 : 1;
    node = (node - 1 + by + count) % count + 1;
    m_mapEditing->hoverNode(node);
}

bool SectorSelectionActions::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_map && event->type() == QEvent::KeyPress && keyPressed(static_cast<QKeyEvent *>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

bool SectorSelectionActions::keyPressed(QKeyEvent *event)
{
    const int card = currentCard();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const float step = shift ? 10.0f : 1.0f;
    float angle = 0, distance = 0;
    switch (event->key()) {
    case Qt::Key_Delete:
        if (!event->isAutoRepeat())
            deleteSelected();
        return true;
    case Qt::Key_Tab:
        hoverNext(1);
        return true;
    case Qt::Key_Backtab:
        hoverNext(-1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_mapEditing->modifyHovered();
        return true;
    case Qt::Key_Escape:
        m_editor.RubberBandActive = false;
        m_editor.LineStartNode = -1;
        m_map->redraw();
        return true;
    case Qt::Key_Left:
        angle = -step;
        break;
    case Qt::Key_Right:
        angle = step;
        break;
    case Qt::Key_Up:
        distance = 0.01f * step;
        break;
    case Qt::Key_Down:
        distance = -0.01f * step;
        break;
    default:
        return false;
    }
    if (!m_shell.document.model().hasCard(card))
        return true;
    // A new press starts a new step; its auto-repeats merge into it.
    if (!event->isAutoRepeat())
        ++m_keyPresses;
    report(MoveSelectedStep(m_shell.document, card, angle, distance, KeyMoveMergeIds[m_keyPresses % 2]));
    return true;
}

} // namespace korvalo

#include "gui/actions/sectoractions.h"

#include "gui/shell/asker.h"
#include "gui/shell/menus.h"
#include "core/edit/document.h"
#include "core/edit/editorstate.h"
#include "gui/map/mapcontroller.h"
#include "gui/dialogs/sectordialog.h"
#include "gui/dialogs/sectororderdialog.h"
#include "core/edit/sectors.h"
#include "core/map/geometry.h"

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

SectorActions::SectorActions(const ShellContext &shell, EditorState &editor,
                             MapController *mapController, QObject *parent)
    : QObject(parent), m_shell(shell), m_editor(editor),
      m_sectorDialog(new SectorDialog(shell.window)),
      m_orderDialog(new SectorOrderDialog(shell.window))
{
    connect(m_sectorDialog, &SectorDialog::saveRequested, this, &SectorActions::saveSectorDialog);
    connect(m_orderDialog, &SectorOrderDialog::applyRequested, this, &SectorActions::applySectorOrder);

    Menus &menus = m_shell.menus;
    menus.bind(u"ChangeSectorOrder1"_s, this, [this] { openSectorOrder(); });
    menus.bind(u"SizeProportionaltoNumberofNodes1"_s, this, [this] { sizeProportional(); });

    connect(mapController, &MapController::addSectorRequested, this, &SectorActions::showAddSector);
    connect(mapController, &MapController::modifySectorRequested, this, &SectorActions::showModifySector);
    connect(mapController, &MapController::renameSectorRequested, this, &SectorActions::renameSector);
}

int SectorActions::currentCard() const
{
    return m_shell.document.model().CurrentCard;
}

void SectorActions::report(const Status &status)
{
    if (!status)
        m_shell.asker().message(status.message());
}

void SectorActions::showAddSector()
{
    m_sectorDialog->prepareAdd();
    showInFront(m_sectorDialog);
}

void SectorActions::showModifySector(int sector)
{
    const NetworkModel &model = m_shell.document.model();
    const int card = currentCard();
    if (!model.hasCard(card) || sector < 1 || sector > model.card(card).SectorCount())
        return;
    m_sectorDialog->prepareModify(model.card(card).Sectors[size_t(sector)].SectorName);
    showInFront(m_sectorDialog);
}

void SectorActions::saveSectorDialog()
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

void SectorActions::renameSector(int sector)
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

void SectorActions::openSectorOrder()
{
    const NetworkModel &model = m_shell.document.model();
    const int card = currentCard();
    m_orderDialog->fill(model.hasCard(card) ? SectorOrderEntries(model.card(card)) : QStringList());
    showInFront(m_orderDialog);
}

void SectorActions::applySectorOrder()
{
    if (m_shell.document.model().hasCard(currentCard()))
        report(ApplySectorOrderStep(m_shell.document, currentCard(), m_orderDialog->entries()));
}

void SectorActions::sizeProportional()
{
    if (m_shell.document.model().hasCard(currentCard()))
        report(SizeSectorsByNodeCountStep(m_shell.document, currentCard()));
}

} // namespace korvalo

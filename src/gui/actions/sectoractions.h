#pragma once

#include "gui/shell/shellcontext.h"
#include "core/model/status.h"

#include <QObject>

namespace korvalo {

struct EditorState;
class MapController;
class SectorDialog;
class SectorOrderDialog;

// The sector mode's dialogs (a new sector where the map was clicked, the picked sector's
// name and colour, a new name after a double click on a handle) and Transform > Sectors.
// Every change goes through the document as one undoable step; refusals are shown
// through the asker.
class SectorActions : public QObject
{
    Q_OBJECT
public:
    // Answers what the sector mode asks of `mapController`.
    SectorActions(const ShellContext &shell, EditorState &editor, MapController *mapController,
                  QObject *parent = nullptr);

    SectorDialog *sectorDialog() const { return m_sectorDialog; }
    SectorOrderDialog *sectorOrderDialog() const { return m_orderDialog; }

    // The sector dialog, to add a sector at the editor's NewSectorPos, or to rename and
    // recolour `sector` (the editor's PickedSector, which the saved dialog changes).
    void showAddSector();
    void showModifySector(int sector);
    // A double click on a handle: the input box for the sector's new name.
    void renameSector(int sector);

    void openSectorOrder();
    void applySectorOrder();
    void sizeProportional();

private:
    int currentCard() const;
    void report(const Status &status);
    void saveSectorDialog();

    ShellContext m_shell;
    EditorState &m_editor;
    SectorDialog *m_sectorDialog;
    SectorOrderDialog *m_orderDialog;
};

} // namespace korvalo

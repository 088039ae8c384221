#pragma once

#include "gui/shell/shellcontext.h"
#include "core/model/networkmodel.h"

#include <QObject>

class QKeyEvent;

namespace korvalo {

struct EditorState;
class MapController;
class MapWidget;
class SectorDialog;
class SectorOrderDialog;

// The sector tools, the Nodes > Select and Nodes > Selected commands and the keyboard on
// the focused map. Every change goes through the document as one undoable step; refusals
// are shown through the asker.
class SectorSelectionActions : public QObject
{
    Q_OBJECT
public:
    // Key presses that move the selection merge into one step per key held down; they
    // use these merge ids (and only these).
    static constexpr int KeyMoveMergeIds[2] = {0x4b01, 0x4b02};

    // Provides the sector mode's dialogs and the popup's copy items to `mapEditing`.
    SectorSelectionActions(const ShellContext &shell, EditorState &editor, MapWidget *map,
                            MapController *mapEditing, QObject *parent = nullptr);

    SectorDialog *sectorDialog() const { return m_sectorDialog; }
    SectorOrderDialog *sectorOrderDialog() const { return m_orderDialog; }

    // The sector dialog, to add a sector at the editor's NewSectorPos, or to rename and
    // recolour the editor's PickedSector.
    void showAddSector();
    void showModifySector();
    void deletePickedSector();
    // A double click on a handle: the input box for the sector's new name.
    void renameSector(int sector);

    void openSectorOrder();
    void applySectorOrder();
    void sizeProportional();

    void selectByID();
    void selectByLabel();
    void select(const QString &text, void (*how)(NetworkCard &));
    void deleteSelected();
    void copySelectedToThisCard();
    void copySelectedToNextCard();
    // The popup's copies of the hovered alter ("Modify Nodes.") or of the picked sector's
    // boundary at the place the popup was opened (sector mode).
    void copyHoveredToThisCard();
    void copyHoveredToNextCard();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int currentCard() const;
    void report(const Status &status);
    void saveSectorDialog();
    void copyHovered(bool nextCard);
    void hoverNext(int by);
    bool keyPressed(QKeyEvent *event);

    ShellContext m_shell;
    EditorState &m_editor;
    MapWidget *m_map;
    MapController *m_mapEditing;
    SectorDialog *m_sectorDialog;
    SectorOrderDialog *m_orderDialog;
    int m_keyPresses = 0;
};

} // namespace korvalo

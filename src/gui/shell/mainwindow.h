#pragma once

#include "core/edit/document.h"
#include "core/edit/editorstate.h"
#include "core/map/render.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QTimer;
class QToolButton;

namespace korvalo {

class AboutBox;
class Asker;
class CardActions;
class CardDialog;
class EgoDialog;
class ImportActions;
class FileActions;
class InfoWindows;
class MapController;
class MapWidget;
class Menus;
class RecentFiles;
class RecoveryOffer;
class SectorActions;
class SelectionActions;
class SidePanel;
class StartChooser;
class TransformActions;
class UpdateOffer;

// The main window: it shows a document it shares with whoever made it (the document
// may outlive the window), owns the windows and the one door (Asker) through which the
// program asks the user anything, and wires the menus to the command classes. It redraws
// from the document's change signals.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(std::shared_ptr<Document> document = std::make_shared<Document>(),
                        QWidget *parent = nullptr);
    ~MainWindow() override;

    Document &document() { return *m_document; }
    std::shared_ptr<Document> sharedDocument() const { return m_document; }
    Session &session() { return m_document->session(); }
    EditorState &editor() { return m_editor; }

    Asker &asker() const { return *m_asker; }
    // Tests install a scripted asker here.
    void setAsker(std::unique_ptr<Asker> asker);

    // First offers the recovery copies that runs which did not end cleanly left behind;
    // unless one is restored, reads `path` when one is given (the file named on the
    // command line); otherwise, or when it cannot be read, shows the start chooser 200 ms
    // later. A few seconds on, the check for a newer version runs when the user allows it.
    void startUp(const QString &path = QString());

    void setEditMode(EditMode mode);
    void switchToCard(int card);

    // Repaints the map and the status texts (the map itself is drawn once per event-loop
    // turn, however often this is called).
    void redrawMap();
    // The session's view switches and sizes as the renderer reads them, with the sector
    // handles of the sector mode.
    ViewOptions viewOptions() const;

    Menus &menus() const { return *m_menus; }
    FileActions &fileCommands() const { return *m_files; }
    CardActions &cardCommands() const { return *m_cards; }
    MapWidget *mapWidget() const { return m_map; }
    CardDialog *cardDialog() const { return m_cardDialog; }
    EgoDialog *egoDialog() const { return m_egoDialog; }
    StartChooser *startChooser() const { return m_chooser; }
    InfoWindows *infoWindows() const { return m_infoWindows; }
    RecoveryOffer &recovery() const { return *m_recovery; }
    RecentFiles &recentFiles() const { return *m_recent; }
    MapController *mapEditing() const { return m_mapEditing; }
    SectorActions *sectorActions() const { return m_sectorActions; }
    SelectionActions *selectionActions() const { return m_selectionActions; }
    TransformActions *transformCommands() const { return m_transforms; }
    UpdateOffer *updateOffer() const { return m_updates; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildToolBar();
    void bindMenus();
    void fileExit();
    void askSize(const QString &prompt, int size, int largest, void (Document::*set)(int));
    void askDecimalSeparator();
    void setSymbolFilters(bool shown);
    void egoReplaced(bool isNew);
    void updateTitle();
    QString sexText() const;

    std::shared_ptr<Document> m_document;
    EditorState m_editor;
    std::unique_ptr<Asker> m_asker;
    Menus *m_menus = nullptr;
    SidePanel *m_side = nullptr;
    MapWidget *m_map = nullptr;
    QLabel *m_status = nullptr;
    QToolButton *m_modeButtons[4] = {};
    QTimer *m_timer1 = nullptr;

    EgoDialog *m_egoDialog = nullptr;
    CardDialog *m_cardDialog = nullptr;
    AboutBox *m_about = nullptr;
    StartChooser *m_chooser = nullptr;
    ImportActions *m_excel = nullptr;
    InfoWindows *m_infoWindows = nullptr;
    FileActions *m_files = nullptr;
    CardActions *m_cards = nullptr;
    RecoveryOffer *m_recovery = nullptr;
    RecentFiles *m_recent = nullptr;
    MapController *m_mapEditing = nullptr;
    SectorActions *m_sectorActions = nullptr;
    SelectionActions *m_selectionActions = nullptr;
    TransformActions *m_transforms = nullptr;
    UpdateOffer *m_updates = nullptr;
};

} // namespace korvalo

#pragma once

#include "map/render.h"
#include "model/networkmodel.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class AboutBox;
class Asker;
class CardDialog;
class EgoDialog;
class InfoWindows;
class LinesExcelDialog;
class NodesExcelDialog;
class MapWidget;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;
class StartChooser;

// The main window: menus, tool bar, side panel and the map of the current card. It owns
// the dialogs and the one door (Asker) through which the program asks the user anything.
// Every command ends with redrawMap().
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(NetworkModel &model, QWidget *parent = nullptr);
    ~MainWindow() override;

    Asker &asker() const { return *m_asker; }
    // Tests install a scripted asker here.
    void setAsker(std::unique_ptr<Asker> asker);

    // Reads `path` when one is given (the file named on the command line); otherwise,
    // or when it cannot be read, shows the start chooser 200 ms later.
    void startUp(const QString &path = QString());

    // File commands.
    void newEgo();              // a fresh ego, no question asked; opens the ego dialog
    void fileNew();             // File > New
    void fileRead();            // File > Read and the tool bar's read button
    bool readFile(const QString &path, bool warn);
    // File > Save (askForName false) and Save as (true). True only when the file was
    // written.
    bool saveEgo(bool askForName);
    void fileExit();

    void setEditMode(const QString &mode);

    // Cards and the ego.
    void switchToCard(int card);
    void newNetworkCard();
    void cardSettings();
    void duplicateCard();
    void deleteCard();
    void egoSettings();

    // Repaints the map and the status texts from the model and the view switches.
    void redrawMap();
    // The check marks of the Options menu and of Analysis > Map as the renderer reads them.
    ViewOptions viewOptions() const;

    MapWidget *mapWidget() const { return m_map; }
    CardDialog *cardDialog() const { return m_cardDialog; }
    EgoDialog *egoDialog() const { return m_egoDialog; }
    StartChooser *startChooser() const { return m_chooser; }
    InfoWindows *infoWindows() const { return m_infoWindows; }

Q_SIGNALS:
    // A card became current through switchToCard (the node table follows it).
    void currentCardChanged(int card);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolBar();
    void buildSidePanel();
    void buildMenus();
    QAction *viewSwitch(const QString &name) const;

    // Asks whether to save the ego before it is set aside. True when the caller may go
    // on: no cards, "No", or "Yes" and the save really happened.
    bool offerToSave(const QString &question);
    void showEgoOnSidePanel();
    void rebuildCardList();
    void saveCardDialog();
    void chooserRead();
    void askSize(const QString &prompt, int &size);
    void askDecimalSeparator();
    void setSymbolFilters(bool shown);
    void renderMap(QImage &image) const;

    NetworkModel &m_model;
    NodesExcelDialog *m_nodesExcel = nullptr;
    LinesExcelDialog *m_linesExcel = nullptr;
    std::unique_ptr<Asker> m_asker;
    std::vector<std::pair<QAction *, bool ViewOptions::*>> m_viewSwitches;

    MapWidget *m_map = nullptr;
    QLabel *m_status = nullptr;
    QToolButton *m_modeButtons[4] = {};
    QTimer *m_timer1 = nullptr;

    QLineEdit *m_egoName = nullptr;
    QLineEdit *m_egoID = nullptr;
    QLineEdit *m_year = nullptr;
    QLineEdit *m_sex = nullptr;
    QLineEdit *m_misc1 = nullptr;
    QLineEdit *m_misc2 = nullptr;
    QGroupBox *m_egoBox = nullptr;
    QGroupBox *m_cardBox = nullptr;
    QComboBox *m_cardCombo = nullptr;
    QLineEdit *m_nodeCount = nullptr;
    QLineEdit *m_lineCount = nullptr;
    QLineEdit *m_interviewer = nullptr;
    QLineEdit *m_date = nullptr;
    QLineEdit *m_cardMemo = nullptr;

    EgoDialog *m_egoDialog = nullptr;
    CardDialog *m_cardDialog = nullptr;
    AboutBox *m_about = nullptr;
    StartChooser *m_chooser = nullptr;
    InfoWindows *m_infoWindows = nullptr;
};

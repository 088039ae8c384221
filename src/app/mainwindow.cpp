#include "app/mainwindow.h"

#include "app/infowindows.h"

#include "app/aboutbox.h"
#include "app/artwork.h"
#include "app/asker.h"
#include "app/carddialog.h"
#include "app/cards.h"
#include "app/egodialog.h"
#include "app/mapwidget.h"
#include "app/startchooser.h"
#include "egofile/egofile.h"
#include "excel/linesexceldialog.h"
#include "excel/nodesexceldialog.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString EgoFilter = u"*.ego (*.ego)"_s;
const QString SaveQuestion = u"Do you want to save the current Ego?"_s;
const QString ClosingQuestion = u"Korvalo is closing. Do you want to save the current Ego?"_s;
const QString NoNameMessage =
    u"The Ego has no name yet. Enter its name in Ego > Ego Settings before saving."_s;

// Builds one menu. Items of commands that the program does not offer yet are shown
// disabled, so that nothing pretends to work.
class MenuBuilder
{
public:
    explicit MenuBuilder(QMenu *menu) : m_menu(menu) {}

    QAction *item(const QString &caption, const QString &name, const QKeySequence &keys = {})
    {
        QAction *action = m_menu->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(keys);
        return action;
    }
    QAction *later(const QString &caption, const QString &name, const QKeySequence &keys = {})
    {
        QAction *action = item(caption, name, keys);
        action->setEnabled(false);
        return action;
    }
    QAction *check(const QString &caption, const QString &name, bool checked,
                   const QKeySequence &keys = {})
    {
        QAction *action = item(caption, name, keys);
        action->setCheckable(true);
        action->setChecked(checked);
        return action;
    }
    MenuBuilder sub(const QString &caption, const QString &name = {})
    {
        QMenu *menu = m_menu->addMenu(caption);
        if (!name.isEmpty())
            menu->setObjectName(name);
        return MenuBuilder(menu);
    }
    void separator() { m_menu->addSeparator(); }
    QMenu *menu() const { return m_menu; }

private:
    QMenu *m_menu;
};

QLineEdit *readOnlyField(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    return edit;
}

} // namespace

MainWindow::MainWindow(NetworkModel &model, QWidget *parent)
    : QMainWindow(parent), m_model(model), m_asker(std::make_unique<DialogAsker>(this))
{
    setObjectName(u"TForm1"_s);
    setWindowTitle(u"Korvalo"_s);
    resize(767, 655);

    m_model.DecimalSeparator = u'.';
    m_model.ExitConfirmed = false;
    m_model.EgoPresent = false;
    m_model.EditMode = EditModeNone;

    buildToolBar();
    buildSidePanel();

    auto *mapPanel = new QWidget(this);
    mapPanel->setObjectName(u"Panel2"_s);
    mapPanel->setAutoFillBackground(true);
    QPalette white = mapPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    mapPanel->setPalette(white);
    auto *mapLayout = new QVBoxLayout(mapPanel);
    mapLayout->setContentsMargins(1, 1, 0, 0);
    m_map = new MapWidget(mapPanel);
    m_map->setRenderer([this](QImage &image) { renderMap(image); });
    mapLayout->addWidget(m_map);

    auto *central = new QWidget(this);
    auto *centralLayout = new QHBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(mapPanel, 1);
    centralLayout->addWidget(findChild<QWidget *>(u"Panel1"_s));
    setCentralWidget(central);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(u"StatusBar1"_s);
    m_status = new QLabel(bar);
    m_status->setObjectName(u"StatusPanel"_s);
    bar->addWidget(m_status, 1);
    setStatusBar(bar);

    auto askerSource = [this]() -> Asker & { return asker(); };
    m_egoDialog = new EgoDialog(m_model, askerSource, this);
    m_cardDialog = new CardDialog(this);
    m_about = new AboutBox(this);
    m_chooser = new StartChooser(this);
    // The spreadsheet imports compute on the current card; the result is applied here.
    const ImportTargetProvider importTarget = [this] {
        return ImportTarget{m_model.CurrentCard > 0 ? &m_model.card(m_model.CurrentCard) : nullptr, &m_model.ego,
                            m_model.DecimalSeparator};
    };
    m_nodesExcel = new NodesExcelDialog(askerSource, importTarget, this);
    m_linesExcel = new LinesExcelDialog(askerSource, importTarget, this);
    connect(m_nodesExcel, &NodesExcelDialog::importRequested, this, [this](const korvalo::NodeImportResult &r) {
        if (m_model.CurrentCard < 1 || !korvalo::ApplyNodeImport(m_model.card(m_model.CurrentCard), r))
            return;
        for (const QString &line : r.summary())
            AppendInfoLine(m_model, line);
        redrawMap();
    });
    connect(m_linesExcel, &LinesExcelDialog::importRequested, this, [this](const korvalo::LineImportResult &r) {
        if (m_model.CurrentCard < 1 || !korvalo::ApplyLineImport(m_model.card(m_model.CurrentCard), r))
            return;
        for (const QString &line : r.summary())
            AppendInfoLine(m_model, line);
        redrawMap();
    });

    connect(m_egoDialog, &EgoDialog::saved, this, [this] {
        m_egoName->setText(m_model.ego.Name);
        m_egoID->setText(m_model.ego.EgoID);
        redrawMap();
    });
    connect(m_cardDialog, &CardDialog::saveRequested, this, &MainWindow::saveCardDialog);
    connect(m_chooser, &StartChooser::newEgoChosen, this, &MainWindow::newEgo);
    connect(m_chooser, &StartChooser::readEgoChosen, this, &MainWindow::chooserRead);

    buildMenus();
    // The info, node info, history and node table windows hook into the Info menu,
    // Card > Node Table and the model's info lines.
    m_infoWindows = new InfoWindows(*this, m_model);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(u"Timer1"_s);
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(200);
    connect(m_timer1, &QTimer::timeout, this, [this] {
        m_chooser->show();
        m_chooser->raise();
        m_chooser->activateWindow();
    });

    redrawMap();
}

MainWindow::~MainWindow() = default;

void MainWindow::setAsker(std::unique_ptr<Asker> asker)
{
    m_asker = std::move(asker);
}

void MainWindow::buildToolBar()
{
    auto *toolBar = new QToolBar(u"Tools"_s, this);
    toolBar->setObjectName(u"ButtonToolbar"_s);
    toolBar->setMovable(false);
    toolBar->setIconSize(QSize(32, 32));
    addToolBar(Qt::TopToolBarArea, toolBar);

    auto button = [&](const QString &name, ToolIcon icon, const QString &hint) {
        auto *b = new QToolButton(toolBar);
        b->setObjectName(name);
        b->setIcon(ToolBarIcon(icon));
        b->setIconSize(QSize(32, 32));
        b->setAutoRaise(true);
        b->setToolTip(hint);
        toolBar->addWidget(b);
        return b;
    };

    connect(button(u"SpeedButton8"_s, ToolIcon::Open, {}), &QToolButton::clicked, this,
            &MainWindow::fileRead);
    connect(button(u"SpeedButton7"_s, ToolIcon::Save, {}), &QToolButton::clicked, this,
            [this] { saveEgo(false); });
    toolBar->addSeparator();
    connect(button(u"SpeedButton2"_s, ToolIcon::AddCard, u"Add Network Card"_s),
            &QToolButton::clicked, this, &MainWindow::newNetworkCard);
    m_modeButtons[0] = button(u"SpeedButton4"_s, ToolIcon::Sectors, u"Add or modify sectors"_s);
    toolBar->addSeparator();
    m_modeButtons[1] = button(u"SpeedButton5"_s, ToolIcon::AddNodes, u"Add Nodes"_s);
    m_modeButtons[2] = button(u"SpeedButton1"_s, ToolIcon::ModifyNodes, u"Modify Nodes"_s);
    m_modeButtons[3] = button(u"SpeedButton3"_s, ToolIcon::Lines, u"Add or Modify Lines"_s);

    const QString modes[4] = {EditModeSectors, EditModeAddNodes, EditModeModifyNodes, EditModeLines};
    for (int i = 0; i < 4; ++i) {
        m_modeButtons[i]->setCheckable(true);
        connect(m_modeButtons[i], &QToolButton::clicked, this,
                [this, mode = modes[i]] { setEditMode(mode); });
    }
}

void MainWindow::buildSidePanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(u"Panel1"_s);
    panel->setFixedWidth(185);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);

    auto form = [](QGroupBox *box) {
        auto *f = new QFormLayout(box);
        f->setContentsMargins(4, 4, 4, 4);
        f->setHorizontalSpacing(4);
        f->setVerticalSpacing(2);
        return f;
    };

    m_egoBox = new QGroupBox(u"Ego Settings:"_s, panel);
    m_egoBox->setObjectName(u"GroupBox3"_s);
    m_egoBox->setToolTip(u"Double-click to edit the ego"_s);
    m_egoBox->installEventFilter(this);
    auto *egoForm = form(m_egoBox);
    m_egoName = readOnlyField(m_egoBox, u"egoname"_s);
    QFont bold = m_egoName->font();
    bold.setBold(true);
    bold.setPointSize(9);
    m_egoName->setFont(bold);
    egoForm->addRow(m_egoName);
    m_egoID = readOnlyField(m_egoBox, u"egoid"_s);
    egoForm->addRow(u"EgoID:"_s, m_egoID);
    m_year = readOnlyField(m_egoBox, u"Edit3"_s);
    egoForm->addRow(u"Year of Birth:"_s, m_year);
    m_sex = readOnlyField(m_egoBox, u"Edit4"_s);
    egoForm->addRow(u"Sex:"_s, m_sex);
    m_misc1 = readOnlyField(m_egoBox, u"Edit5"_s);
    egoForm->addRow(u"Misc1:"_s, m_misc1);
    m_misc2 = readOnlyField(m_egoBox, u"Edit6"_s);
    egoForm->addRow(u"Misc2:"_s, m_misc2);
    layout->addWidget(m_egoBox);

    m_cardBox = new QGroupBox(u"Current Network Card (0)"_s, panel);
    m_cardBox->setObjectName(u"GroupBox1"_s);
    auto *cardForm = form(m_cardBox);
    m_cardCombo = new QComboBox(m_cardBox);
    m_cardCombo->setObjectName(u"CardCombo"_s);
    m_cardCombo->addItem(u"<none>"_s);
    cardForm->addRow(m_cardCombo);
    m_nodeCount = readOnlyField(m_cardBox, u"NodeAnz"_s);
    cardForm->addRow(u"Number of Nodes:"_s, m_nodeCount);
    m_lineCount = readOnlyField(m_cardBox, u"LineAnz"_s);
    cardForm->addRow(u"Number of Lines:"_s, m_lineCount);
    // Free texts get the whole width of the panel, under their labels.
    m_interviewer = readOnlyField(m_cardBox, u"Edit1"_s);
    cardForm->addRow(new QLabel(u"Interviewer:"_s, m_cardBox));
    cardForm->addRow(m_interviewer);
    m_date = readOnlyField(m_cardBox, u"Edit2"_s);
    cardForm->addRow(new QLabel(u"Date:"_s, m_cardBox));
    cardForm->addRow(m_date);
    m_cardMemo = readOnlyField(m_cardBox, u"cardmemo"_s);
    cardForm->addRow(new QLabel(u"Memo:"_s, m_cardBox));
    cardForm->addRow(m_cardMemo);
    layout->addWidget(m_cardBox);
    connect(m_cardCombo, &QComboBox::activated, this, [this](int index) {
        switchToCard(index);
        redrawMap();
    });

    // The node and line infos share one place; at most one of them is shown.
    auto *nodeBox = new QGroupBox(u"Node Infos:"_s, panel);
    nodeBox->setObjectName(u"GroupBox2"_s);
    auto *nodeForm = form(nodeBox);
    nodeForm->addRow(u"ID:"_s, readOnlyField(nodeBox, u"NodeInfoID"_s));
    nodeForm->addRow(u"Label:"_s, readOnlyField(nodeBox, u"NodeInfoLabel"_s));
    nodeForm->addRow(u"Role:"_s, readOnlyField(nodeBox, u"NodeInfoRole"_s));
    nodeBox->hide();
    layout->addWidget(nodeBox);

    auto *lineBox = new QGroupBox(u"Line Infos:"_s, panel);
    lineBox->setObjectName(u"GroupBox4"_s);
    auto *lineForm = form(lineBox);
    lineForm->addRow(u"Node A:"_s, readOnlyField(lineBox, u"LineInfoA"_s));
    lineForm->addRow(u"Node B:"_s, readOnlyField(lineBox, u"LineInfoB"_s));
    lineForm->addRow(u"Value:"_s, readOnlyField(lineBox, u"LineInfoValue"_s));
    lineBox->hide();
    layout->addWidget(lineBox);
    layout->addStretch(1);
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(u"MainMenu1"_s);
    auto top = [bar](const QString &caption, const QString &name) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(name);
        return MenuBuilder(menu);
    };
    auto redraw = [this] { redrawMap(); };

    MenuBuilder file = top(u"File"_s, u"File1"_s);
    connect(file.item(u"New"_s, u"New1"_s), &QAction::triggered, this, &MainWindow::fileNew);
    connect(file.item(u"Read"_s, u"Open1"_s, QKeySequence(u"Ctrl+O"_s)), &QAction::triggered,
            this, &MainWindow::fileRead);
    connect(file.item(u"Save"_s, u"Save1"_s, QKeySequence(u"Ctrl+S"_s)), &QAction::triggered,
            this, [this] { saveEgo(false); });
    connect(file.item(u"Save as..."_s, u"Saveas1"_s), &QAction::triggered, this,
            [this] { saveEgo(true); });
    file.separator();
    MenuBuilder exportMenu = file.sub(u"Export"_s, u"Export1"_s);
    exportMenu.later(u"JPG Current Card"_s, u"jpg2"_s);
    exportMenu.later(u"JPG All Cards"_s, u"JPGAllCards1"_s);
    exportMenu.later(u"JPG All Cards in 1 JPG"_s, u"AllCardsin1JPG1"_s);
    exportMenu.separator();
    exportMenu.check(u"Fix Export Size"_s, u"FixExportSize1"_s, false)->setEnabled(false);
    file.separator();
    connect(file.item(u"Exit"_s, u"Exit1"_s), &QAction::triggered, this, &MainWindow::fileExit);

    MenuBuilder ego = top(u"Ego"_s, u"Ego1"_s);
    connect(ego.item(u"New Network Card"_s, u"NewTimestamp1"_s), &QAction::triggered, this,
            &MainWindow::newNetworkCard);
    connect(ego.item(u"Ego Settings"_s, u"Ne1"_s), &QAction::triggered, this,
            &MainWindow::egoSettings);

    MenuBuilder card = top(u"Card"_s, u"Card1"_s);
    connect(card.item(u"Card Settings"_s, u"Settings1"_s), &QAction::triggered, this,
            &MainWindow::cardSettings);
    card.later(u"Node Table"_s, u"NodeTable1"_s);
    connect(card.item(u"Duplicate Card"_s, u"DuplicateCard1"_s), &QAction::triggered, this,
            &MainWindow::duplicateCard);
    connect(card.item(u"Delete Card"_s, u"DeleteCard1"_s), &QAction::triggered, this,
            &MainWindow::deleteCard);
    card.separator();
    connect(card.sub(u"Import Nodes"_s, u"ImportNodes1"_s).item(u"Excel"_s, u"Excel1"_s), &QAction::triggered, this, [this] {
        if (m_egoName->text().isEmpty())
            return asker().message(u"Please setup ego first."_s);
        m_nodesExcel->show();
        m_nodesExcel->raise();
    });
    connect(card.sub(u"Import Edges"_s, u"ImportEdges1"_s).item(u"Excel"_s, u"Excel2"_s), &QAction::triggered, this, [this] {
        m_linesExcel->show();
        m_linesExcel->raise();
    });
    MenuBuilder graphic = card.sub(u"Import Graphic"_s, u"ImportGraphic1"_s);
    graphic.later(u"-jpg"_s, u"jpg1"_s);
    graphic.menu()->menuAction()->setVisible(false);

    MenuBuilder nodes = top(u"Nodes"_s, u"Nodes1"_s);
    nodes.later(u"Unsure Node Merger"_s, u"UnsureNodeMerger1"_s);
    MenuBuilder select = nodes.sub(u"Select"_s, u"Select1"_s);
    select.later(u"by ID"_s, u"ID1"_s);
    select.later(u"by Label"_s, u"Label20"_s);
    select.later(u"Multi IDs"_s, u"HighlightMultiIDs1"_s);
    select.later(u"Deselect All"_s, u"DeselectAll1"_s);
    MenuBuilder selected = nodes.sub(u"Selected"_s, u"Selected1"_s);
    selected.later(u"Delete"_s, u"Delete2"_s);
    selected.later(u"Copy to This Card"_s, u"Copyto1"_s);
    selected.later(u"Copy to Next Card"_s, u"CopytoNextCard2"_s);

    MenuBuilder transform = top(u"Transform"_s, u"Transform1"_s);
    MenuBuilder projection = transform.sub(u"Projection"_s, u"Projection1"_s);
    projection.later(u"Outmost Node"_s, u"OutmostNode1"_s, QKeySequence(u"Ctrl+0"_s));
    projection.later(u"Mean to Middle"_s, u"MeantoMiddle1"_s);
    projection.later(u"Zoom Out"_s, u"ZoomOut1"_s, QKeySequence(u"Ctrl+9"_s));
    projection.later(u"Zoom In"_s, u"ZoomIn1"_s, QKeySequence(u"Ctrl+8"_s));
    MenuBuilder rotate = transform.sub(u"Rotate"_s, u"Rotate1"_s);
    rotate.later(u"90° CW"_s, u"N90CW1"_s);
    rotate.later(u"90° CCW"_s, u"N90CCW1"_s);
    rotate.later(u"180°"_s, u"N1801"_s);
    rotate.later(u"1° CW"_s, u"N1CW1"_s, QKeySequence(u"Ctrl+R"_s));
    rotate.later(u"1° CCW"_s, u"N1CCW1"_s, QKeySequence(u"Ctrl+Shift+R"_s));
    MenuBuilder nodeTools = transform.sub(u"Nodes"_s, u"TransformNodes1"_s);
    nodeTools.later(u"Max Distance"_s, u"MaxDistance1"_s);
    nodeTools.later(u"Mean Distance for Multiple ID"_s, u"MeanDistanceforMultipleID1"_s);
    nodeTools.later(u"Merge Unsure Node Mergings"_s, u"UnifyPossibleIDsxxinMemo11"_s);
    nodeTools.later(u"Node Colors"_s, u"Change2"_s);
    MenuBuilder lineTools = transform.sub(u"Lines"_s, u"TransformLines1"_s);
    lineTools.later(u"Connect Identical IDs"_s, u"Connect1"_s);
    lineTools.later(u"Delete Red Lines"_s, u"DeleteRedLines1"_s);
    MenuBuilder sectorTools = transform.sub(u"Sectors"_s, u"TransformSectors1"_s);
    sectorTools.later(u"Size Proportional to Number of Nodes"_s, u"SizeProportionaltoNumberofNodes1"_s);
    sectorTools.later(u"Sector Order"_s, u"ChangeSectorOrder1"_s);
    MenuBuilder layout = transform.sub(u"Layout"_s, u"TransformLayout1"_s);
    layout.check(u"Fix Distance"_s, u"FixDistance1"_s, false)->setEnabled(false);
    layout.check(u"Fix Angle"_s, u"FixAngle1"_s, false)->setEnabled(false);
    transform.sub(u"Check"_s, u"Check1"_s).later(u"ID/Label Plausibility"_s, u"NodeIDPlausibility1"_s);

    MenuBuilder analysis = top(u"Analysis"_s, u"Analysis1"_s);
    MenuBuilder distance = analysis.sub(u"Distance"_s, u"Distance1"_s);
    distance.later(u"Distances to Ego"_s, u"DistancestoEgo1"_s);
    MenuBuilder ties = distance.sub(u"Strong/Weak Ties"_s, u"StrongWeakTies3"_s);
    ties.later(u"Count"_s, u"Number1"_s);
    ties.later(u"Proportional"_s, u"StrongWeakTies1"_s);
    analysis.sub(u"Continuity"_s, u"Continuity1"_s).later(u"ID Continuity*"_s, u"IDContinuity1"_s);
    MenuBuilder sector = analysis.sub(u"Sector"_s, u"Sector1"_s);
    sector.later(u"Number of Sectors*"_s, u"NumberofSectors1"_s);
    sector.later(u"Sector Sizes*"_s, u"SectorSize1"_s);
    sector.later(u"Number of Nodes*"_s, u"NumberofNodes1"_s);
    sector.later(u"Dominant Sector*"_s, u"DominantSector1"_s);
    analysis.sub(u"IDs"_s, u"IDs1"_s).later(u"Different IDs"_s, u"DifferentIDs1"_s);
    MenuBuilder colourMap = analysis.sub(u"Map"_s, u"Map1"_s);
    auto *mapGroup = new QActionGroup(this);
    mapGroup->setExclusive(true);
    mapGroup->addAction(colourMap.check(u"Sex"_s, u"Sex1"_s, false));
    mapGroup->addAction(colourMap.check(u"None"_s, u"None1"_s, true));
    connect(mapGroup, &QActionGroup::triggered, this, redraw);

    MenuBuilder options = top(u"Options"_s, u"Options1"_s);
    QList<QAction *> switches;
    MenuBuilder nodeOptions = options.sub(u"Nodes"_s, u"OptionsNodes1"_s);
    switches << nodeOptions.check(u"Show"_s, u"Show2"_s, true, QKeySequence(u"Ctrl+Alt+N"_s));
    connect(nodeOptions.item(u"Size"_s, u"Size1"_s), &QAction::triggered, this,
            [this] { askSize(u"Vertex Size:"_s, m_model.NodeBaseSize); });
    MenuBuilder label = options.sub(u"Label"_s, u"Label1"_s);
    switches << label.check(u"Show Labels"_s, u"ShowLabels1"_s, true, QKeySequence(u"Ctrl+Alt+L"_s))
             << label.check(u"Show IDs"_s, u"ShowID1"_s, false)
             << label.check(u"Show Node Nr"_s, u"ShowNodeNr1"_s, false)
             << label.check(u"Show Group Size"_s, u"ShowGroupSize1"_s, false)
             << label.check(u"Show Roles"_s, u"ShowRoles1"_s, false)
             << label.check(u"Show Ego Label"_s, u"ShowEgoLabel1"_s, true);
    connect(label.item(u"Size"_s, u"Size2"_s), &QAction::triggered, this,
            [this] { askSize(u"Label Size:"_s, m_model.LabelFontSize); });
    MenuBuilder lines = options.sub(u"Lines"_s, u"Lines1"_s);
    switches << lines.check(u"Show Lines Between Alteri"_s, u"ShowLinesBetween"_s, true)
             << lines.check(u"Show Lines To Ego"_s, u"ShowLinesToEgo"_s, true);
    MenuBuilder sectors = options.sub(u"Sectors"_s, u"Sectors1"_s);
    QAction *sectorLabels = sectors.check(u"Show Sector Labels"_s, u"ShowSectorLabels1"_s, true,
                                          QKeySequence(u"Ctrl+Alt+S"_s));
    QAction *sectorSize = sectors.check(u"Show Sector Size"_s, u"ShowSectorSize1"_s, false);
    switches << sectorLabels << sectorSize
             << sectors.check(u"Show Sector Lines"_s, u"Show1"_s, true)
             << sectors.check(u"Color Sectors"_s, u"ColorSectors1"_s, false);
    // Sizes are part of the labels: without labels there is nothing to show them in.
    connect(sectorLabels, &QAction::toggled, this, [sectorSize](bool on) {
        if (!on) {
            const QSignalBlocker blocker(sectorSize);
            sectorSize->setChecked(false);
        }
    });
    options.sub(u"Roles"_s, u"Roles1"_s);
    MenuBuilder symbols = options.sub(u"Symbols"_s, u"Symbols1"_s);
    connect(symbols.item(u"Show All"_s, u"ShowAll1"_s), &QAction::triggered, this,
            [this] { setSymbolFilters(true); });
    connect(symbols.item(u"Show None"_s, u"ShowNone1"_s), &QAction::triggered, this,
            [this] { setSymbolFilters(false); });
    symbols.separator();
    switches << symbols.check(u"Show Without Symbol"_s, u"ShowWithoutSymbol1"_s, true)
             << symbols.check(u"Show Flash"_s, u"Show4"_s, true)
             << symbols.check(u"Show Triangle"_s, u"ShowTriangle1"_s, true)
             << symbols.check(u"Show Box"_s, u"ShowBox1"_s, true)
             << symbols.check(u"Show Diamond"_s, u"ShowDiamond1"_s, true);
    symbols.separator();
    switches << symbols.check(u"Ignore Symbols"_s, u"IgnoreSymbols1"_s, false);
    switches << options.sub(u"Layout"_s, u"OptionsLayout1"_s)
                    .check(u"Show Ego + Card"_s, u"ShowEgoCard1"_s, false);
    connect(options.sub(u"Read/Write"_s, u"ReadWrite1"_s)
                .item(u"Decimal Seperator"_s, u"CommaSeperator1"_s),
            &QAction::triggered, this, &MainWindow::askDecimalSeparator);
    for (QAction *action : std::as_const(switches))
        connect(action, &QAction::triggered, this, redraw);

    const std::pair<const char16_t *, bool ViewOptions::*> fields[] = {
        {u"Show2", &ViewOptions::Show2},
        {u"ShowLabels1", &ViewOptions::ShowLabels1},
        {u"ShowID1", &ViewOptions::ShowID1},
        {u"ShowNodeNr1", &ViewOptions::ShowNodeNr1},
        {u"ShowGroupSize1", &ViewOptions::ShowGroupSize1},
        {u"ShowRoles1", &ViewOptions::ShowRoles1},
        {u"ShowEgoLabel1", &ViewOptions::ShowEgoLabel1},
        {u"ShowLinesBetween", &ViewOptions::ShowLinesBetween},
        {u"ShowLinesToEgo", &ViewOptions::ShowLinesToEgo},
        {u"ShowSectorLabels1", &ViewOptions::ShowSectorLabels1},
        {u"ShowSectorSize1", &ViewOptions::ShowSectorSize1},
        {u"Show1", &ViewOptions::Show1},
        {u"ColorSectors1", &ViewOptions::ColorSectors1},
        {u"ShowWithoutSymbol1", &ViewOptions::ShowWithoutSymbol1},
        {u"Show4", &ViewOptions::Show4},
        {u"ShowTriangle1", &ViewOptions::ShowTriangle1},
        {u"ShowBox1", &ViewOptions::ShowBox1},
        {u"ShowDiamond1", &ViewOptions::ShowDiamond1},
        {u"IgnoreSymbols1", &ViewOptions::IgnoreSymbols1},
        {u"ShowEgoCard1", &ViewOptions::ShowEgoCard1},
        {u"Sex1", &ViewOptions::Sex1}};
    for (const auto &[name, field] : fields)
        m_viewSwitches.emplace_back(viewSwitch(QString::fromUtf16(name)), field);

    MenuBuilder macro = top(u"Macro"_s, u"Macro1"_s);
    MenuBuilder directory = macro.sub(u"Directory"_s, u"Directory2"_s);
    directory.later(u"Number of Nodes"_s, u"Directory1"_s);
    directory.later(u"Strong/Weak Ties"_s, u"StrongWeakTies4"_s);
    directory.later(u"Strong/Weak Ties %"_s, u"StrongWeakTies2"_s);
    directory.later(u"Dominant Sector"_s, u"DominantSector2"_s);
    directory.later(u"Number of Sectors"_s, u"N24"_s);
    directory.later(u"ID Continuity All Cards"_s, u"IDContinuityAllCards1"_s);
    directory.later(u"ID Continuity All Cards (incl. Unsure Node Merger)"_s,
                    u"IDContinuityAllCardsinclUnifyPossible1"_s);
    directory.later(u"\"ID\" in Memos"_s, u"IDinMemos1"_s);
    directory.later(u"ID/Label Plausibility"_s, u"IDLabelPlausibility1"_s);
    directory.later(u"JGP All Cards"_s, u"JGPAllCards1"_s);
    directory.later(u"1 big JPG"_s, u"N1bigJPG1"_s);
    macro.later(u"-Delete Sector"_s, u"DeleteSecotr1"_s);
    macro.later(u"Aggregate Nodes"_s, u"AggregateNodes1"_s);
    macro.menu()->menuAction()->setVisible(false);

    MenuBuilder info = top(u"Info"_s, u"Info1"_s);
    MenuBuilder different = info.sub(u"Different IDs"_s, u"DifferentIDs2"_s);
    different.later(u"Current Card"_s, u"DifferentIDsinCurrentCard1"_s);
    different.later(u"All Cars"_s, u"Ego2"_s);
    info.later(u"Show Info Window"_s, u"ShowInfoWindow1"_s, QKeySequence(u"Ctrl+I"_s));
    info.later(u"Show Node Info Window"_s, u"ShowNodeInfoWindow1"_s, QKeySequence(u"Ctrl+Alt+I"_s));
    MenuBuilder memos = info.sub(u"Show Node Memos"_s, u"ShowNodeMemos1"_s);
    memos.later(u"All"_s, u"ShowallMemos1"_s);
    memos.later(u"By Keyword"_s, u"ByKeyword1"_s);
    info.later(u"Show Node Merger"_s, u"ShowNodeMerger1"_s);
    info.later(u"History"_s, u"History1"_s, QKeySequence(u"Ctrl+H"_s))->setVisible(false);
    info.separator();
    connect(info.item(u"About"_s, u"KorvaloInfo1"_s), &QAction::triggered, this, [this] {
        m_about->show();
        m_about->raise();
    });

    // A submenu that holds nothing to choose yet is greyed as a whole; inner submenus
    // first, so that their parents see them greyed. Top-level menus stay open to look in.
    const QList<QMenu *> menus = bar->findChildren<QMenu *>();
    for (auto it = menus.rbegin(); it != menus.rend(); ++it) {
        QMenu *menu = *it;
        if (!qobject_cast<QMenu *>(menu->parent()))
            continue;
        const QList<QAction *> items = menu->actions();
        const bool nothingToChoose = !items.isEmpty()
            && std::none_of(items.begin(), items.end(), [](QAction *a) {
                   return a->isEnabled() && !a->isSeparator() && a->isVisible();
               });
        if (nothingToChoose && menu->menuAction()->isVisible())
            menu->menuAction()->setEnabled(false);
    }
}

QAction *MainWindow::viewSwitch(const QString &name) const
{
    return findChild<QAction *>(name);
}

void MainWindow::startUp(const QString &path)
{
    if (path.isEmpty()) {
        m_timer1->start();
        return;
    }
    // Let the window appear first; a message about the file then has a parent to sit on.
    QTimer::singleShot(0, this, [this, path] {
        if (!readFile(path, false))
            m_timer1->start();
    });
}

void MainWindow::showEgoOnSidePanel()
{
    m_egoName->setText(m_model.ego.Name);
    m_egoID->setText(m_model.ego.EgoID);
    m_interviewer->clear();
    m_date->clear();
    m_cardMemo->clear();
    m_egoDialog->loadFromModel();
}

void MainWindow::rebuildCardList()
{
    const QSignalBlocker blocker(m_cardCombo);
    m_cardCombo->clear();
    m_cardCombo->addItem(u"<none>"_s);
    for (int c = 1; c <= m_model.CardCount(); ++c)
        m_cardCombo->addItem(m_model.card(c).ID);
    m_cardCombo->setCurrentIndex(m_model.CurrentCard);
    m_cardBox->setTitle(u"Current Network Card (%1)"_s.arg(m_model.CardCount()));
}

void MainWindow::newEgo()
{
    SetupEgo(m_model, {}, {}, 0, {}, {}, {});
    // A new ego is not the file last read: its first Save asks for a name.
    m_model.CurrentFileName.clear();
    showEgoOnSidePanel();
    rebuildCardList();
    redrawMap();
    egoSettings();
}

bool MainWindow::offerToSave(const QString &question)
{
    if (m_model.CardCount() == 0)
        return true;
    switch (asker().yesNoAbort(question)) {
    case Asker::Answer::Abort:
        return false;
    case Asker::Answer::Yes:
        return saveEgo(false);
    case Asker::Answer::No:
        return true;
    }
    return false;
}

void MainWindow::fileNew()
{
    if (offerToSave(SaveQuestion))
        newEgo();
}

void MainWindow::fileRead()
{
    if (!offerToSave(SaveQuestion))
        return;
    const QString path = asker().openFileName(EgoFilter);
    if (!path.isEmpty())
        readFile(path, true);
}

void MainWindow::chooserRead()
{
    const QString path = asker().openFileName(EgoFilter);
    if (!path.isEmpty())
        readFile(path, false);
}

bool MainWindow::readFile(const QString &path, bool warn)
{
    const Status status = ReadEgoFile(m_model, path, warn);
    if (!status) {
        // The reader left the model as it was.
        asker().message(status.message());
        return false;
    }
    showEgoOnSidePanel();
    rebuildCardList();
    switchToCard(m_model.CurrentCard);
    redrawMap();
    return true;
}

bool MainWindow::saveEgo(bool askForName)
{
    if (m_egoName->text().isEmpty()) {
        asker().message(NoNameMessage);
        return false;
    }
    QString path = m_model.CurrentFileName;
    if (askForName || path.isEmpty()) {
        path = asker().saveFileName(EgoFilter);
        if (path.isEmpty())
            return false;
    }
    if (!path.endsWith(u".ego"))
        path += u".ego"_s;
    const Status status = WriteEgoFile(m_model, path);
    if (!status) {
        asker().message(status.message());
        return false;
    }
    m_model.CurrentFileName = path;
    return true;
}

void MainWindow::fileExit()
{
    if (m_model.CardCount() > 0) {
        switch (asker().yesNoAbort(ClosingQuestion)) {
        case Asker::Answer::Abort:
            return;
        case Asker::Answer::Yes:
            if (!saveEgo(false))
                return;
            break;
        case Asker::Answer::No:
            break;
        }
        m_model.EgoPresent = false;
    }
    m_model.ExitConfirmed = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_model.CardCount() > 0 && !m_model.ExitConfirmed) {
        const Asker::Answer answer = asker().yesNoAbort(ClosingQuestion);
        if (answer == Asker::Answer::Abort
            || (answer == Asker::Answer::Yes && !saveEgo(false))) {
            event->ignore();
            return;
        }
    }
    m_model.EgoPresent = false;
    for (QWidget *window : {static_cast<QWidget *>(m_egoDialog), static_cast<QWidget *>(m_cardDialog),
                            static_cast<QWidget *>(m_about), static_cast<QWidget *>(m_chooser)})
        window->hide();
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_egoBox && event->type() == QEvent::MouseButtonDblClick) {
        egoSettings();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::setEditMode(const QString &mode)
{
    const QString modes[4] = {EditModeSectors, EditModeAddNodes, EditModeModifyNodes, EditModeLines};
    m_model.EditMode = mode;
    // Raised buttons are the modes one can switch to; the flat, pressed one is active.
    for (int i = 0; i < 4; ++i) {
        m_modeButtons[i]->setAutoRaise(modes[i] == mode);
        m_modeButtons[i]->setChecked(modes[i] == mode);
    }
    redrawMap();
}

void MainWindow::switchToCard(int card)
{
    if (m_model.CardCount() == 0) {
        m_model.CurrentCard = 0;
        m_cardCombo->setCurrentIndex(0);
        return;
    }
    if (card < 0 || card > m_model.CardCount())
        return;
    m_model.CurrentCard = card;
    if (card == 0)
        return;
    m_cardCombo->setCurrentIndex(card);
    const NetworkCard &c = m_model.card(card);
    m_interviewer->setText(c.Interviewer);
    m_date->setText(c.Date);
    m_cardMemo->setText(c.CardMemo);
    Q_EMIT currentCardChanged(card);
    redrawMap();
}

void MainWindow::newNetworkCard()
{
    if (m_egoName->text().isEmpty())
        return;
    if (m_model.CardCount() >= MaxCards) {
        asker().message(u"An ego holds at most %1 network cards."_s.arg(MaxCards));
        return;
    }
    m_cardDialog->prepareAdd();
    m_cardDialog->show();
    m_cardDialog->raise();
}

void MainWindow::cardSettings()
{
    if (m_model.CurrentCard == 0)
        return;
    m_cardDialog->prepareModify(m_model.card(m_model.CurrentCard));
    m_cardDialog->show();
    m_cardDialog->raise();
}

void MainWindow::saveCardDialog()
{
    const CardDialog::Values v = m_cardDialog->values();
    if (m_cardDialog->isAdding()) {
        const Status status = AddCard(m_model, v.ID, v.Circles, v.EgoNode, v.EgoColor,
                                      v.Interviewer, v.Date, v.CardMemo);
        if (!status) {
            asker().message(status.message());
            return;
        }
        rebuildCardList();
        switchToCard(m_model.CurrentCard);
    } else if (m_model.CurrentCard > 0) {
        // The card dialog is modeless: it acts on the card current when Save is pressed.
        ModifyCard(m_model, m_model.CurrentCard, v.ID, v.Circles, v.EgoNode, v.EgoColor,
                   v.Interviewer, v.Date, v.CardMemo);
        m_cardCombo->setItemText(m_model.CurrentCard, v.ID);
        switchToCard(m_model.CurrentCard);
    }
    m_cardDialog->hide();
}

void MainWindow::duplicateCard()
{
    if (m_model.CurrentCard == 0)
        return;
    if (asker().yesNo(u"Do you really want to duplicate this network card?"_s) != Asker::Answer::Yes)
        return;
    const Status status = DuplicateCard(m_model, m_model.CurrentCard);
    if (!status) {
        asker().message(status.message());
        return;
    }
    rebuildCardList();
    switchToCard(m_model.CurrentCard);
}

void MainWindow::deleteCard()
{
    // With "<none>" chosen there is no card to delete, so there is nothing to ask.
    if (m_model.CardCount() == 0 || m_model.CurrentCard == 0)
        return;
    if (asker().yesNo(u"Do you really want to delete this network card?"_s) != Asker::Answer::Yes)
        return;
    const int next = DeleteCard(m_model, m_model.CurrentCard);
    rebuildCardList();
    switchToCard(next);
    redrawMap();
}

void MainWindow::egoSettings()
{
    m_egoDialog->show();
    m_egoDialog->raise();
    m_egoDialog->activateWindow();
}

void MainWindow::askSize(const QString &prompt, int &size)
{
    const std::optional<QString> answer = asker().input(u"Options"_s, prompt, QString::number(size));
    if (!answer)
        return;
    bool ok = false;
    const int value = answer->trimmed().toInt(&ok);
    if (!ok)
        return;
    size = value;
    redrawMap();
}

void MainWindow::askDecimalSeparator()
{
    const std::optional<QString> answer =
        asker().input(u"Read/Write"_s, u"Decimal Separator:"_s, QString(m_model.DecimalSeparator));
    // An empty answer keeps the separator: the reader needs one character.
    if (answer && !answer->isEmpty())
        m_model.DecimalSeparator = answer->at(0);
}

void MainWindow::setSymbolFilters(bool shown)
{
    for (const QString &name : {u"ShowWithoutSymbol1"_s, u"Show4"_s, u"ShowTriangle1"_s,
                                u"ShowBox1"_s, u"ShowDiamond1"_s})
        viewSwitch(name)->setChecked(shown);
    redrawMap();
}

void MainWindow::redrawMap()
{
    m_status->setText(m_model.EditMode);
    if (m_model.EgoPresent) {
        m_year->setText(m_model.ego.Year);
        m_sex->setText(m_egoDialog->sexText());
        m_misc1->setText(m_model.ego.Misc1);
        m_misc2->setText(m_model.ego.Misc2);
    }
    m_nodeCount->clear();
    m_lineCount->clear();
    if (m_model.CurrentCard > 0 && m_model.CurrentCard <= m_model.CardCount()) {
        const NetworkCard &card = m_model.card(m_model.CurrentCard);
        if (card.NodeCount() > 0) {
            m_nodeCount->setText(QString::number(card.NodeCount()));
            m_lineCount->setText(QString::number(card.LineCount()));
        }
    }
    m_map->redraw();
}

ViewOptions MainWindow::viewOptions() const
{
    ViewOptions view;
    for (const auto &[action, field] : m_viewSwitches)
        view.*field = action->isChecked();
    return view;
}

void MainWindow::renderMap(QImage &image) const
{
    RenderCard(image, m_model, m_model.CurrentCard, viewOptions());
}

#include "gui/shell/mainwindow.h"

#include "gui/dialogs/aboutbox.h"
#include "gui/actions/analysisactions.h"
#include "gui/actions/measuresactions.h"
#include "gui/actions/compareactions.h"
#include "gui/actions/macroactions.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/artwork.h"
#include "gui/shell/asker.h"
#include "gui/shell/carditems.h"
#include "gui/actions/cardactions.h"
#include "gui/shell/cardkeys.h"
#include "gui/shell/filedrop.h"
#include "gui/dialogs/carddialog.h"
#include "gui/dialogs/egodialog.h"
#include "gui/actions/exportactions.h"
#include "gui/actions/vectorexportactions.h"
#include "gui/map/smoothdrawing.h"
#include "gui/actions/fileactions.h"
#include "gui/windows/infowindows.h"
#include "gui/map/mapwidget.h"
#include "gui/shell/menus.h"
#include "gui/shell/recentfiles.h"
#include "gui/shell/recoveryoffer.h"
#include "gui/shell/shellcontext.h"
#include "gui/shell/sidepanel.h"
#include "gui/dialogs/startchooser.h"
#include "gui/map/mapcontroller.h"
#include "gui/actions/sectoractions.h"
#include "gui/actions/selectionactions.h"
#include "gui/actions/transformactions.h"
#include "gui/actions/importactions.h"
#include "gui/actions/identityactions.h"
#include "gui/actions/studyexportactions.h"
#include "gui/shell/updateoffer.h"
#include "gui/windows/manualwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvalo {


using namespace Qt::StringLiterals;

MainWindow::MainWindow(std::shared_ptr<Document> document, QWidget *parent)
    : QMainWindow(parent), m_document(std::move(document)),
      m_asker(std::make_unique<DialogAsker>(this))
{
    Q_ASSERT(m_document);
    setObjectName(u"TForm1"_s);
    resize(767, 655);

    buildToolBar();
    m_side = new SidePanel(*m_document, this);

    auto *mapPanel = new QWidget(this);
    mapPanel->setObjectName(u"Panel2"_s);
    mapPanel->setAutoFillBackground(true);
    QPalette white = mapPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    mapPanel->setPalette(white);
    auto *mapLayout = new QVBoxLayout(mapPanel);
    mapLayout->setContentsMargins(0, 0, 0, 0); // the map fills its panel: pictures are its size
    m_map = new MapWidget(mapPanel);
    m_map->setAccessibleName(u"Map"_s);
    m_map->setRenderer([this](QImage &image) {
        // The mouse reads this picture: exact colours, whatever is shown.
        ViewOptions view = viewOptions();
        view.Smooth = false;
        RenderCard(image, m_document->model(), m_document->model().CurrentCard, view);
    });
    m_map->setShownRenderer([this](QImage &image) {
        const ViewOptions view = viewOptions();
        if (!view.Smooth)
            return false;
        RenderCard(image, m_document->model(), m_document->model().CurrentCard, view);
        return true;
    });
    mapLayout->addWidget(m_map);

    auto *central = new QWidget(this);
    auto *centralLayout = new QHBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(mapPanel, 1);
    centralLayout->addWidget(m_side);
    setCentralWidget(central);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(u"StatusBar1"_s);
    m_status = new QLabel(bar);
    m_status->setObjectName(u"StatusPanel"_s);
    bar->addWidget(m_status, 1);
    setStatusBar(bar);

    auto askerSource = [this]() -> Asker & { return asker(); };
    m_egoDialog = new EgoDialog(askerSource, this);
    m_cardDialog = new CardDialog(this);
    m_about = new AboutBox(this);
    m_chooser = new StartChooser(this);
    m_files = new FileActions(*m_document, askerSource, this);
    new FileDrop(this, *m_files);
    m_cards = new CardActions(*m_document, askerSource, m_cardDialog, m_egoDialog, this);

    m_menus = new Menus(menuBar());
    bindMenus();
    // Help > Korvalo Manual, and F1 in every window of this one.
    new ManualHelp(*m_menus, this);
    const ShellContext context{*m_document, askerSource, *m_menus, this, [this] { return m_map->size(); }};
    m_infoWindows = new InfoWindows(context);
    m_mapEditing = new MapController(context, m_editor, m_map, m_side, m_infoWindows->nodeInfo(), this);
    m_sectorActions = new SectorActions(context, m_editor, m_mapEditing, this);
    m_selectionActions = new SelectionActions(context, this);
    m_transforms = new TransformActions(context, m_editor, this);
    // File > Export and Card > Import Graphic.
    new ExportActions(context, [this] { return viewOptions(); });
    new VectorExportActions(context, [this] { return viewOptions(); });
    new SmoothDrawing(context);
    m_recovery = new RecoveryOffer(context, *m_files, this);
    m_recent = new RecentFiles(context, *m_files, this);
    AddCardKeys(this, *m_document, [this](int card) { switchToCard(card); });
    new AnalysisActions(context);
    new IdentityActions(context, this);
    new MeasuresActions(context);
    new CompareActions(context);
    new MacroActions(context, [this] { return viewOptions(); });
    // File > Export: tables and GraphML for the analysis programs.
    new StudyExportActions(context);
    m_excel = new ImportActions(context, this);
    m_updates = new UpdateOffer(context, [this] { m_chooser->hide(); }, this);
    m_menus->greySubmenusWithoutChoice();
    GreyCardItemsWithoutCard(*m_menus, *m_document);

    connect(m_side, &SidePanel::cardChosen, this, &MainWindow::switchToCard);
    connect(m_side, &SidePanel::egoDoubleClicked, m_cards, &CardActions::egoSettings);
    // The chooser's buttons are File > New and File > Read, save question included.
    connect(m_chooser, &StartChooser::newEgoChosen, m_files, &FileActions::fileNew);
    connect(m_chooser, &StartChooser::readEgoChosen, m_files, &FileActions::chooserRead);
    connect(m_files, &FileActions::egoReplaced, this, &MainWindow::egoReplaced);
    // An ego read another way (a dropped file, a recent file) answers the start chooser.
    connect(m_files, &FileActions::egoReplaced, m_chooser, &QWidget::hide);
    connect(m_files, &FileActions::saved, this, &MainWindow::updateTitle);
    connect(m_files, &FileActions::saved, this, [this] {
        statusBar()->showMessage(
            u"Saved \"%1\""_s.arg(QFileInfo(session().CurrentFileName).fileName()), 4000);
    });
    connect(m_document.get(), &Document::cardListChanged, m_side, &SidePanel::refreshCardList);
    connect(m_document.get(), &Document::changed, this, &MainWindow::redrawMap);
    connect(m_document.get(), &Document::viewChanged, this, &MainWindow::redrawMap);
    connect(m_document.get(), &Document::modifiedChanged, this, &MainWindow::updateTitle);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(u"Timer1"_s);
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(200);
    connect(m_timer1, &QTimer::timeout, this, [this] {
        ShowInFront(m_chooser, Focus::Take);
    });

    // The document may hold an ego already (a window opened on a kept document).
    m_side->refreshCardList();
    updateTitle();
    redrawMap();
}

MainWindow::~MainWindow()
{
    // The document stays behind: nothing of this window may hear from it any more.
    m_document->disconnect(this);
    // The windows hold references to the document: they go first.
    delete m_infoWindows;
    m_infoWindows = nullptr;
    delete m_excel;
    m_excel = nullptr;
}

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
        b->setAccessibleName(hint);
        toolBar->addWidget(b);
        return b;
    };

    QToolButton *read = button(u"SpeedButton8"_s, ToolIcon::Open, {});
    read->setAccessibleName(u"Read"_s);
    connect(read, &QToolButton::clicked, this, [this] { m_files->fileRead(); });
    QToolButton *save = button(u"SpeedButton7"_s, ToolIcon::Save, {});
    save->setAccessibleName(u"Save"_s);
    connect(save, &QToolButton::clicked, this, [this] { m_files->saveEgo(false); });
    toolBar->addSeparator();
    connect(button(u"SpeedButton2"_s, ToolIcon::AddCard, u"Add Network Card"_s),
            &QToolButton::clicked, this, [this] { m_cards->newNetworkCard(); });
    m_modeButtons[0] = button(u"SpeedButton4"_s, ToolIcon::Sectors, u"Add or modify sectors"_s);
    toolBar->addSeparator();
    m_modeButtons[1] = button(u"SpeedButton5"_s, ToolIcon::AddNodes, u"Add Nodes"_s);
    m_modeButtons[2] = button(u"SpeedButton1"_s, ToolIcon::ModifyNodes, u"Modify Nodes"_s);
    m_modeButtons[3] = button(u"SpeedButton3"_s, ToolIcon::Lines, u"Add or Modify Lines"_s);

    const EditMode modes[4] = {EditMode::Sectors, EditMode::AddNodes, EditMode::ModifyNodes, EditMode::Lines};
    for (int i = 0; i < 4; ++i) {
        m_modeButtons[i]->setCheckable(true);
        connect(m_modeButtons[i], &QToolButton::clicked, this,
                [this, mode = modes[i]] { setEditMode(mode); });
    }
}

void MainWindow::bindMenus()
{
    Menus &m = *m_menus;
    m.bind(u"New1"_s, this, [this] { m_files->fileNew(); });
    m.bind(u"Open1"_s, this, [this] { m_files->fileRead(); });
    m.bind(u"Save1"_s, this, [this] { m_files->saveEgo(false); });
    m.bind(u"Saveas1"_s, this, [this] { m_files->saveEgo(true); });
    m.bind(u"Exit1"_s, this, [this] { fileExit(); });

    // Edit: the history's own actions, which name the step they would take.
    QMenu *edit = m.menu(u"Edit1"_s);
    QAction *undo = m_document->undoStack()->createUndoAction(edit, u"Undo"_s);
    undo->setObjectName(u"Undo1"_s);
    undo->setShortcut(QKeySequence(u"Ctrl+Z"_s));
    QAction *redo = m_document->undoStack()->createRedoAction(edit, u"Redo"_s);
    redo->setObjectName(u"Redo1"_s);
    redo->setShortcuts({QKeySequence(u"Ctrl+Shift+Z"_s), QKeySequence(u"Ctrl+Y"_s)});
    edit->addAction(undo);
    edit->addAction(redo);

    m.bind(u"NewTimestamp1"_s, this, [this] { m_cards->newNetworkCard(); });
    m.bind(u"Ne1"_s, this, [this] { m_cards->egoSettings(); });
    m.bind(u"Settings1"_s, this, [this] { m_cards->cardSettings(); });
    m.bind(u"DuplicateCard1"_s, this, [this] { m_cards->duplicateCard(); });
    m.bind(u"DeleteCard1"_s, this, [this] { m_cards->deleteCard(); });

    m.bind(u"Size1"_s, this, [this] {
        askSize(u"Vertex Size:"_s, session().NodeBaseSize, 200, &Document::setNodeBaseSize);
    });
    m.bind(u"Size2"_s, this, [this] {
        askSize(u"Label Size:"_s, session().LabelFontSize, 100, &Document::setLabelFontSize);
    });
    m.bind(u"CommaSeperator1"_s, this, [this] { askDecimalSeparator(); });
    m.bind(u"ShowAll1"_s, this, [this] { setSymbolFilters(true); });
    m.bind(u"ShowNone1"_s, this, [this] { setSymbolFilters(false); });
    m.bind(u"KorvaloInfo1"_s, this, [this] {
        ShowInFront(m_about);
    });
    m.showViewSwitches(*m_document);
}

void MainWindow::startUp(const QString &path)
{
    // Let the window appear first; a question or a message then has a parent to sit on.
    m_updates->scheduleStartCheck();
    QTimer::singleShot(0, this, [this, path] {
        if (m_recovery->offerLeftovers())
            return;
        if (path.isEmpty() || !m_files->readFile(path, false))
            m_timer1->start();
    });
}

void MainWindow::egoReplaced(bool isNew)
{
    m_egoDialog->load(m_document->model().ego);
    updateTitle();
    if (isNew)
        m_cards->egoSettings();
}

void MainWindow::updateTitle()
{
    const QString file = session().CurrentFileName;
    const QString name = file.isEmpty() ? u"Untitled"_s : QFileInfo(file).fileName();
    setWindowTitle(name + u"[*] - Korvalo"_s);
    setWindowModified(m_document->isModified());
}

void MainWindow::fileExit()
{
    if (!m_files->offerToSaveBeforeClosing())
        return;
    session().ExitConfirmed = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!session().ExitConfirmed && !m_files->offerToSaveBeforeClosing()) {
        event->ignore();
        return;
    }
    for (QWidget *window : {static_cast<QWidget *>(m_egoDialog), static_cast<QWidget *>(m_cardDialog),
                            static_cast<QWidget *>(m_about), static_cast<QWidget *>(m_chooser)})
        window->hide();
    event->accept();
}

void MainWindow::setEditMode(EditMode mode)
{
    const EditMode modes[4] = {EditMode::Sectors, EditMode::AddNodes, EditMode::ModifyNodes, EditMode::Lines};
    m_mapEditing->setEditMode(mode);
    // Raised buttons are the modes one can switch to; the flat, pressed one is active.
    for (int i = 0; i < 4; ++i) {
        m_modeButtons[i]->setAutoRaise(modes[i] == mode);
        m_modeButtons[i]->setChecked(modes[i] == mode);
    }
    redrawMap();
}

void MainWindow::switchToCard(int card)
{
    m_cards->switchToCard(card);
}

void MainWindow::askSize(const QString &prompt, int size, int largest, void (Document::*set)(int))
{
    const std::optional<QString> answer = asker().input(u"Options"_s, prompt, QString::number(size));
    if (!answer)
        return;
    bool ok = false;
    const int value = answer->trimmed().toInt(&ok);
    if (!ok || value < 1 || value > largest) {
        asker().message(u"\"%1\" is not a size: give a whole number from 1 to %2 pixels."_s
                            .arg(answer->trimmed())
                            .arg(largest));
        return;
    }
    (m_document.get()->*set)(value);
}

void MainWindow::askDecimalSeparator()
{
    const std::optional<QString> answer =
        asker().input(u"Read/Write"_s, u"Decimal Separator:"_s, QString(session().DecimalSeparator));
    // An empty answer keeps the separator: the reader needs one character.
    if (answer && !answer->isEmpty())
        session().DecimalSeparator = answer->at(0);
}

void MainWindow::setSymbolFilters(bool shown)
{
    ViewSwitchState switches = session().Switches;
    for (bool ViewSwitchState::*filter :
         {&ViewSwitchState::ShowWithoutSymbol1, &ViewSwitchState::Show4, &ViewSwitchState::ShowTriangle1,
          &ViewSwitchState::ShowBox1, &ViewSwitchState::ShowDiamond1})
        switches.*filter = shown;
    m_document->setViewSwitches(switches);
}

QString MainWindow::sexText() const
{
    const int sex = m_document->model().ego.Sex;
    static const QString items[] = {u"Unknown"_s, u"Female"_s, u"Male"_s};
    return sex >= 0 && sex < 3 ? items[sex] : m_egoDialog->sexText();
}

void MainWindow::redrawMap()
{
    const NetworkModel &model = m_document->model();
    m_status->setText(StatusText(m_editor.EditMode, model.EgoPresent, model.hasCard(model.CurrentCard)));
    m_side->refresh(sexText());
    m_map->redraw();
}

ViewOptions MainWindow::viewOptions() const
{
    ViewOptions view = m_document->viewOptions();
    view.SectorHandles = m_editor.EditMode == EditMode::Sectors;
    return view;
}

} // namespace korvalo

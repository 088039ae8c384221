#include "gui/windows/infowindows.h"

#include "core/analysis/inforeports.h"
#include "gui/shell/asker.h"
#include "gui/shell/menus.h"
#include "core/edit/document.h"
#include "gui/map/mapwidget.h"
#include "core/egofile/safefile.h"
#include "core/model/textutil.h"

#include <QAction>
#include <QHeaderView>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// The windows stay above the main window and never block it.
void keepOnTop(QWidget *w)
{
    w->setWindowFlag(Qt::WindowStaysOnTopHint);
}

void showInFront(QWidget *w)
{
    w->show();
    w->raise();
}

QStringList documentLines(const QPlainTextEdit *edit)
{
    QStringList lines;
    for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next())
        lines.append(b.text());
    return lines;
}

} // namespace

// ---------------------------------------------------------------------------------------

InfoWindow::InfoWindow(const ShellContext &shell)
    : QMainWindow(shell.window, Qt::Window), m_shell(shell)
{
    setObjectName(QStringLiteral("TFormInfo"));
    setWindowTitle(QStringLiteral("Korvalo Info"));
    keepOnTop(this);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setCentralWidget(m_memo); // fills the whole client area
    QMenu *file = menuBar()->addMenu(QStringLiteral("File"));
    QAction *save = file->addAction(QStringLiteral("Save as Textfile"));
    save->setObjectName(QStringLiteral("SaveasTextfile1"));
    connect(save, &QAction::triggered, this, &InfoWindow::saveAsTextFile);
    QAction *convert = menuBar()->addAction(QStringLiteral("Convert . to ,"));
    convert->setObjectName(QStringLiteral("Convertto1"));
    connect(convert, &QAction::triggered, this, &InfoWindow::convertPointsToCommas);
    resize(520, 420);
}

void InfoWindow::appendLine(const QString &text)
{
    showInFront(this);
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // Each line becomes a new last line after what is there, the starting empty line too.
    QTextCursor cursor(m_memo->document());
    cursor.movePosition(QTextCursor::End);
    for (const QString &line : lines.split(u'\n')) {
        cursor.insertBlock();
        cursor.insertText(line);
    }
    m_memo->setTextCursor(cursor);
    m_memo->ensureCursorVisible();
}

QStringList InfoWindow::lines() const
{
    return documentLines(m_memo);
}

void InfoWindow::saveAsTextFile()
{
    const QString chosen = m_shell.asker().saveFileName(QStringLiteral("Text files (*.txt)"));
    if (chosen.isEmpty())
        return;
    const Status saved = ReplaceFileSafely(TextFileName(chosen), TextFileBytes(lines()));
    if (!saved)
        m_shell.asker().message(saved.message());
}

void InfoWindow::convertPointsToCommas()
{
    QStringList converted = lines();
    for (QString &line : converted)
        line.replace(u'.', u',');
    m_memo->setPlainText(converted.join(u'\n'));
}

// ---------------------------------------------------------------------------------------

namespace {
constexpr int MemoLabelTop = 116; // top of "Memo 1:"
constexpr int Margin = 8;
constexpr int EditLeft = 64;
} // namespace

NodeInfoWindow::NodeInfoWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("TFormNodeInfos"));
    setWindowTitle(QStringLiteral("Korvalo Node Infos"));
    setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::WindowStaysOnTopHint);
    auto label = [this](const QString &name, const QString &text, int top) {
        auto *l = new QLabel(text, this);
        l->setObjectName(name);
        l->move(Margin, top + 3);
        return l;
    };
    auto edit = [this](const QString &name, int top) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        e->setReadOnly(true);
        e->move(EditLeft, top);
        return e;
    };
    label(QStringLiteral("Label7"), QStringLiteral("ID:"), 8);
    m_id = edit(QStringLiteral("Label3"), 8);
    label(QStringLiteral("Label8"), QStringLiteral("Label:"), 34);
    m_label = edit(QStringLiteral("Label4"), 34);
    label(QStringLiteral("Label16"), QStringLiteral("Role:"), 60);
    m_role = edit(QStringLiteral("Label5"), 60);
    m_group = label(QStringLiteral("Label9"), QStringLiteral("Group:"), 86);
    m_group->hide();
    m_size = edit(QStringLiteral("Label6"), 86);
    m_memo1Label = label(QStringLiteral("Label1"), QStringLiteral("Memo 1:"), MemoLabelTop - 3);
    m_memo1 = new QPlainTextEdit(this);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setReadOnly(true);
    m_memo2Label = label(QStringLiteral("Label2"), QStringLiteral("Memo 2:"), 0);
    m_memo2 = new QPlainTextEdit(this);
    m_memo2->setObjectName(QStringLiteral("Memo2"));
    m_memo2->setReadOnly(true);
    resize(300, 330);
}

void NodeInfoWindow::showNode(const Node *node)
{
    m_id->setText(node ? node->ID : QString());
    m_label->setText(node ? node->Label : QString());
    m_role->setText(node ? node->Role : QString());
    const bool group = node && node->Size >= 2;
    m_group->setVisible(group);
    m_size->setText(group ? QStringLiteral("Size = %1").arg(node->Size) : QString());
    m_memo1->setPlainText(node ? node->Memo1 : QString());
    m_memo2->setPlainText(node ? node->Memo2 : QString());
}

void NodeInfoWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The two memos share the height below "Memo 1:" equally.
    const int w = width(), h = height();
    const int t = MemoLabelTop;
    const int half = int(RoundHalfEven((h - t - 16) / 2.0));
    const int memoTop = t + 20;
    const int memoHeight = std::max(half + t - memoTop, 0);
    m_memo1Label->move(Margin, t);
    m_memo1->setGeometry(Margin, memoTop, std::max(w - 16, 0), memoHeight);
    m_memo2Label->move(Margin, t + half + 6);
    m_memo2->setGeometry(Margin, t + half + 26, std::max(w - 16, 0), memoHeight);
    const int right = Margin + std::max(w - 16, 0);
    for (QLineEdit *e : {m_id, m_label, m_role, m_size})
        e->resize(std::max(right - e->x(), 0), e->height());
}

// ---------------------------------------------------------------------------------------

HistoryWindow::HistoryWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("TForm10"));
    setWindowTitle(QStringLiteral("Korvalo History"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto *memo = new QPlainTextEdit(this);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setPlainText(QStringLiteral(
        "Version 3.00\n"
        "- Undo and redo of every change; the title marks unsaved changes.\n"
        "- Drawing with the mouse: nodes, lines and sectors, with their dialogs.\n"
        "- Selection, copying to this or the next card, editing from the keyboard.\n"
        "- Transform menu: projection, zoom, rotation, distances, node colours.\n"
        "- Analyses of distances, ties, sectors, IDs and ID continuity.\n"
        "- JPEG export of one card, all cards or a strip of all cards.\n"
        "- Import of nodes and lines from xlsx, ods, csv and xls files.\n"
        "- Recovery copies of unsaved work, recent files.\n"
        "- Ego files in Windows-1252 or UTF-8, checked by reading them back before they\n"
        "  replace the old file.\n"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memo);
    resize(460, 360);
}

// ---------------------------------------------------------------------------------------

NodeTableWindow::NodeTableWindow(const ShellContext &shell)
    : QMainWindow(shell.window, Qt::Window), m_shell(shell)
{
    setObjectName(QStringLiteral("TFormTable"));
    setWindowTitle(QStringLiteral("Korvalo Table"));
    keepOnTop(this);
    QMenu *table = menuBar()->addMenu(QStringLiteral("Table"));
    QAction *exportAction = table->addAction(QStringLiteral("Export"));
    exportAction->setObjectName(QStringLiteral("ExportTable1"));
    connect(exportAction, &QAction::triggered, this, &NodeTableWindow::exportTable);
    QAction *print = table->addAction(QStringLiteral("-Print"));
    print->setObjectName(QStringLiteral("Print1"));
    print->setEnabled(false);
    menuBar()->addMenu(QStringLiteral("Options"))->setObjectName(QStringLiteral("Options1"));

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    m_egoName = new QLabel(central);
    m_egoName->setObjectName(QStringLiteral("Label1"));
    QFont bold = m_egoName->font();
    bold.setBold(true);
    bold.setPointSize(12);
    m_egoName->setFont(bold);
    m_cardName = new QLabel(central);
    m_cardName->setObjectName(QStringLiteral("Label2"));
    QFont ten = m_cardName->font();
    ten.setPointSize(10);
    m_cardName->setFont(ten);
    m_grid = new QTableWidget(central);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setColumnCount(int(NodeTableHeadings.size()));
    m_grid->setHorizontalHeaderLabels(NodeTableHeadings);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(17);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int widths[] = {40, 78, 64, 32, 33, 64, 64, 11};
    for (int c = 0; c < int(std::size(widths)); ++c)
        m_grid->setColumnWidth(c, widths[c]);
    // Columns fit their contents, and the last one takes what the window has over.
    m_grid->horizontalHeader()->setStretchLastSection(true);
    // A click on a heading, with any button, sorts by that column, ascending, every time.
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setSortIndicatorShown(false);
    m_grid->horizontalHeader()->viewport()->installEventFilter(this);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &NodeTableWindow::sortByColumn);
    layout->addWidget(m_egoName);
    layout->addWidget(m_cardName);
    layout->addWidget(m_grid, 1);
    setCentralWidget(central);
    resize(414 + 30, 250 + 60);
}

void NodeTableWindow::fill(int card)
{
    const NetworkModel &model = m_shell.document.model();
    m_egoName->setText(model.ego.Name);
    const bool valid = model.hasCard(card);
    m_cardName->setText(valid ? model.card(card).ID : QStringLiteral("<none>"));
    const QSize mapSize = m_shell.mapSize();
    m_rows = NodeTableRows(model, valid ? card : 0, mapSize.width(), mapSize.height());
    showRows();
}

void NodeTableWindow::sortByColumn(int column)
{
    SortNodeTable(m_rows, column);
    showRows();
    m_grid->clearSelection(); // a click on a heading sorts; it selects nothing
}

bool NodeTableWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The header reports clicks of the left button only; the others sort as well.
    if (watched == m_grid->horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton) {
            const int column = m_grid->horizontalHeader()->logicalIndexAt(mouse->position().toPoint());
            if (column >= 0)
                sortByColumn(column);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void NodeTableWindow::showRows()
{
    static const int colorColumn = int(NodeTableHeadings.indexOf(QStringLiteral("Color")));
    m_grid->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) {
        for (int c = 0; c < int(NodeTableHeadings.size()); ++c) {
            auto *item = new QTableWidgetItem(m_rows[size_t(r)].at(c));
            if (c == colorColumn) {
                // The colour itself beside its number.
                QPixmap swatch(10, 10);
                swatch.fill(QColor(PaletteColor(item->text().toInt())));
                item->setIcon(QIcon(swatch));
            }
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->resizeColumnsToContents();
}

void NodeTableWindow::exportTable()
{
    const QString chosen = m_shell.asker().saveFileName(QStringLiteral("Text files (*.txt)"));
    if (chosen.isEmpty())
        return;
    const Status saved = ReplaceFileSafely(TextFileName(chosen), TextFileBytes(NodeTableText(m_rows)));
    if (!saved)
        m_shell.asker().message(saved.message());
}

// ---------------------------------------------------------------------------------------

InfoWindows::InfoWindows(const ShellContext &shell)
    : QObject(shell.window), m_shell(shell), m_info(new InfoWindow(shell)),
      m_nodeInfo(new NodeInfoWindow(shell.window)), m_history(new HistoryWindow(shell.window)),
      m_table(new NodeTableWindow(shell))
{
    Document &document = m_shell.document;
    document.session().infoSink = [this](const QString &line) { m_info->appendLine(line); };

    Menus &menus = m_shell.menus;
    menus.bind(u"ShowInfoWindow1"_s, this, [this] { showInFront(m_info); });
    menus.bind(u"ShowNodeInfoWindow1"_s, this, [this] { showInFront(m_nodeInfo); });
    menus.bind(u"ShowallMemos1"_s, this, [this] {
        ShowAllMemos(m_shell.document.model(), m_shell.document.session().infoSink);
    });
    menus.bind(u"ByKeyword1"_s, this, [this] {
        if (auto keyword = m_shell.asker().input(u"Node Memo"_s, u"Keyword:"_s, QString()))
            ShowMemosByKeyword(m_shell.document.model(), m_shell.document.session().infoSink, *keyword);
    });
    menus.bind(u"ShowNodeMerger1"_s, this, [this] {
        ShowNodeMerger(m_shell.document.model(), m_shell.document.session().infoSink);
    });
    menus.bind(u"History1"_s, this, [this] { showInFront(m_history); });
    menus.bind(u"NodeTable1"_s, this, [this] {
        m_table->fill(m_shell.document.model().CurrentCard);
        showInFront(m_table);
    });
    // The History item is hidden, and a hidden action does not fire its shortcut.
    auto *history = new QShortcut(QKeySequence(u"Ctrl+H"_s), m_shell.window);
    history->setObjectName(u"HistoryShortcut"_s);
    connect(history, &QShortcut::activated, this, [this] { showInFront(m_history); });
    // The table follows the current card, its changes and the ego's name.
    auto refill = [this] {
        if (m_table->isVisible())
            m_table->fill(m_shell.document.model().CurrentCard);
    };
    connect(&document, &Document::currentCardChanged, this, refill);
    connect(&document, &Document::cardChanged, this, refill);
    connect(&document, &Document::egoChanged, this, refill);
}

InfoWindows::~InfoWindows()
{
    m_shell.document.session().infoSink = nullptr;
}

} // namespace korvalo

#include "gui/windows/manualwindow.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/menus.h"
#include "gui/windows/windowplacement.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// The manual's pages in reading order; each is :/manual/NAME.md.
const char16_t *const pageOrder[] = {
    u"index", u"interview", u"map", u"modes", u"menus",
    u"analyses", u"import-export", u"recovery", u"egofile",
};

// Which page explains which window, by the window's object name.
struct WindowPlace
{
    const char16_t *window;
    const char16_t *page;
    const char16_t *heading;
};
const WindowPlace windowPlaces[] = {
    {u"TForm7", u"interview", u""},
    {u"TFormEgo", u"interview", u"The ego"},
    {u"TFormCard", u"interview", u"The network card"},
    {u"TFormSektor", u"modes", u"Sector Settings"},
    {u"TFormKnoten", u"modes", u"Node Settings"},
    {u"TFormKante", u"modes", u"Line Settings"},
    {u"TFormSectorOrder", u"menus", u"Transform"},
    {u"TFormChangeColor", u"menus", u"Transform"},
    {u"TFormMerger", u"analyses", u"Unsure node mergers"},
    {u"NetworkMeasures", u"analyses", u"Network measures"},
    {u"TFormNodesExcel", u"import-export", u"Importing alters from a table"},
    {u"TFormLinesExcel", u"import-export", u"Importing lines from an edge list"},
    {u"TFormInfo", u"menus", u"Info"},
    {u"TFormNodeInfos", u"menus", u"Info"},
    {u"TFormTable", u"menus", u"Card"},
    {u"TForm10", u"menus", u"Info"},
    {u"TFormAbout", u"index", u""},
};

QUrl pageUrl(const QString &page)
{
    return QUrl(u"qrc:/manual/"_s + page + u".md"_s);
}

// The page as a reader sees it, for searching (Markdown marks left out).
const QString &plainText(const QString &page)
{
    static QHash<QString, QString> cache;
    auto it = cache.find(page);
    if (it == cache.end()) {
        QTextDocument document;
        document.setMarkdown(ManualWindow::pageText(page));
        it = cache.insert(page, document.toPlainText());
    }
    return *it;
}

} // namespace

ManualPlace ManualPlaceFor(const QString &windowObjectName)
{
    for (const WindowPlace &p : windowPlaces) {
        if (windowObjectName == QStringView(p.window))
            return {QString::fromUtf16(p.page), QString::fromUtf16(p.heading)};
    }
    return {u"index"_s, {}};
}

QStringList ManualWindow::pages()
{
    QStringList names;
    for (const char16_t *page : pageOrder)
        names << QString::fromUtf16(page);
    return names;
}

QString ManualWindow::pageText(const QString &page)
{
    QFile file(u":/manual/"_s + page + u".md"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString ManualWindow::pageTitle(const QString &page)
{
    const QStringList lines = pageText(page).split(u'\n');
    for (const QString &line : lines) {
        if (line.startsWith(u"# "_s))
            return line.mid(2).trimmed();
    }
    return page;
}

ManualWindow::ManualWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    SetUpToolWindow(this, u"ManualWindow"_s, u"Korvalo Manual"_s);

    m_contents = new QListWidget(this);
    m_contents->setObjectName(u"Contents"_s);
    m_contents->setAccessibleName(u"Contents"_s);
    for (const QString &page : pages()) {
        auto *item = new QListWidgetItem(pageTitle(page), m_contents);
        item->setData(Qt::UserRole, page);
    }
    connect(m_contents, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        showPlace({item->data(Qt::UserRole).toString(), {}});
    });
    connect(m_contents, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        showPlace({item->data(Qt::UserRole).toString(), {}});
    });

    auto *searchTab = new QWidget(this);
    m_searchField = new QLineEdit(searchTab);
    m_searchField->setObjectName(u"SearchField"_s);
    m_searchField->setAccessibleName(u"Search the manual"_s);
    m_searchField->setPlaceholderText(u"Search"_s);
    m_searchField->setClearButtonEnabled(true);
    connect(m_searchField, &QLineEdit::returnPressed, this, [this] { search(m_searchField->text()); });
    m_results = new QListWidget(searchTab);
    m_results->setObjectName(u"SearchResults"_s);
    m_results->setAccessibleName(u"Pages found"_s);
    connect(m_results, &QListWidget::currentRowChanged, this, &ManualWindow::showSearchHit);
    auto *searchLayout = new QVBoxLayout(searchTab);
    searchLayout->setContentsMargins(4, 4, 4, 4);
    searchLayout->addWidget(m_searchField);
    searchLayout->addWidget(m_results);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(u"ManualTabs"_s);
    m_tabs->setAccessibleName(u"Contents and search"_s);
    m_tabs->addTab(m_contents, u"Contents"_s);
    m_tabs->addTab(searchTab, u"Search"_s);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(u"ManualPage"_s);
    m_browser->setAccessibleName(u"Manual page"_s);
    // Links to other pages stay inside; links to the web go to the browser.
    m_browser->setOpenExternalLinks(true);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &ManualWindow::followSource);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 560});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(800, 600);

    showPlace({pages().first(), {}});
}

QString ManualWindow::currentPage() const
{
    // "map.md" gives "map"; before the first page is shown the source is empty.
    const QString name = m_browser->source().fileName();
    return name.endsWith(u".md") ? name.chopped(3) : name;
}

bool ManualWindow::showPlace(const ManualPlace &place)
{
    const bool pageExists = !pageText(place.page).isEmpty();
    const QUrl url = pageUrl(pageExists ? place.page : pages().first());
    if (m_browser->source() != url)
        m_browser->setSource(url);
    if (!pageExists)
        return false;
    if (place.heading.isEmpty()) {
        m_browser->verticalScrollBar()->setValue(0);
        return true;
    }
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0
            && block.text().trimmed().compare(place.heading, Qt::CaseInsensitive) == 0) {
            // Scrolled to the end first, the heading then comes to rest at the top.
            m_browser->setTextCursor(QTextCursor(block));
            m_browser->verticalScrollBar()->setValue(m_browser->verticalScrollBar()->maximum());
            m_browser->ensureCursorVisible();
            return true;
        }
    }
    return false;
}

void ManualWindow::followSource()
{
    const QString page = currentPage();
    for (int row = 0; row < m_contents->count(); ++row) {
        if (m_contents->item(row)->data(Qt::UserRole).toString() == page) {
            const QSignalBlocker quiet(m_contents);
            m_contents->setCurrentRow(row);
        }
    }
}

int ManualWindow::search(const QString &words)
{
    m_searched = words.simplified();
    if (m_searchField->text() != words)
        m_searchField->setText(words);
    m_tabs->setCurrentIndex(1);
    struct Hit
    {
        QString page;
        qsizetype count;
    };
    QList<Hit> hits;
    if (!m_searched.isEmpty()) {
        for (const QString &page : pages()) {
            if (const qsizetype n = plainText(page).count(m_searched, Qt::CaseInsensitive))
                hits.append({page, n});
        }
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Hit &a, const Hit &b) { return a.count > b.count; });

    const QSignalBlocker quiet(m_results);
    m_results->clear();
    for (const Hit &hit : hits) {
        auto *item = new QListWidgetItem(u"%1 (%2)"_s.arg(pageTitle(hit.page)).arg(hit.count), m_results);
        item->setData(Qt::UserRole, hit.page);
    }
    if (hits.isEmpty()) {
        auto *item = new QListWidgetItem(u"Nothing found."_s, m_results);
        item->setFlags(Qt::NoItemFlags);
        return 0;
    }
    m_results->setCurrentRow(0);
    showSearchHit(0);
    return int(hits.size());
}

void ManualWindow::showSearchHit(int row)
{
    QListWidgetItem *item = m_results->item(row);
    if (!item || m_searched.isEmpty())
        return;
    showPlace({item->data(Qt::UserRole).toString(), {}});
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->find(m_searched); // selects the first hit and scrolls to it
}

ManualHelp::ManualHelp(Menus &menus, QWidget *mainWindow) : QObject(mainWindow), m_mainWindow(mainWindow)
{
    menus.bind(u"KorvaloManual1"_s, this, [this] { showFor(m_mainWindow); });
    qApp->installEventFilter(this);
}

ManualWindow *ManualHelp::window()
{
    if (!m_window)
        m_window = new ManualWindow(m_mainWindow);
    return m_window;
}

void ManualHelp::showFor(const QWidget *window)
{
    ManualWindow *manual = this->window();
    manual->showPlace(ManualPlaceFor(window ? window->objectName() : QString()));
    ShowBeside(manual, m_mainWindow);
}

bool ManualHelp::eventFilter(QObject *watched, QEvent *event)
{
    // The menu's F1 serves the main window itself; a dialog or info window is a window of
    // its own, where that shortcut does not reach, so its F1 key press is caught here.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return false;
    const QWidget *top = static_cast<QWidget *>(watched)->window();
    if (top == m_window)
        return false;
    // Only the windows of this main window: another main window has a manual of its own.
    for (const QWidget *w = top; w; w = w->parentWidget()) {
        if (w == m_mainWindow) {
            showFor(top);
            return true;
        }
    }
    return false;
}

} // namespace korvalo

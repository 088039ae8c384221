#include "gui/windows/infowindows.h"

#include "core/analysis/inforeports.h"
#include "core/edit/document.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/windows/windowplacement.h"
#include "gui/shell/asker.h"
#include "gui/shell/menus.h"

#include <QShortcut>

namespace korvalo {

using namespace Qt::StringLiterals;

InfoWindows::InfoWindows(const ShellContext &shell)
    : QObject(shell.window), m_shell(shell), m_info(new InfoWindow(shell)),
      m_nodeInfo(new NodeInfoWindow(shell.window)), m_history(new HistoryWindow(shell.window)),
      m_table(new NodeTableWindow(shell))
{
    Document &document = m_shell.document;
    document.session().infoSink = [this](const QString &line) { m_info->appendLine(line); };

    Menus &menus = m_shell.menus;
    menus.bind(u"ShowInfoWindow1"_s, this, [this] { ShowBeside(m_info, m_shell.window); });
    menus.bind(u"ShowNodeInfoWindow1"_s, this, [this] { ShowBeside(m_nodeInfo, m_shell.window); });
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
    menus.bind(u"History1"_s, this, [this] { ShowInFront(m_history); });
    menus.bind(u"NodeTable1"_s, this, [this] {
        m_table->fill(m_shell.document.model().CurrentCard);
        ShowBeside(m_table, m_shell.window);
    });
    // The History item is hidden, and a hidden action does not fire its shortcut.
    auto *history = new QShortcut(QKeySequence(u"Ctrl+H"_s), m_shell.window);
    history->setObjectName(u"HistoryShortcut"_s);
    connect(history, &QShortcut::activated, this, [this] { ShowInFront(m_history); });
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

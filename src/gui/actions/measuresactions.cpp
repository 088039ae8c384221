#include "gui/actions/measuresactions.h"

#include "core/edit/document.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/menus.h"
#include "gui/windows/measureswindow.h"

#include <QTimer>

namespace korvalo {

using namespace Qt::StringLiterals;

MeasuresActions::MeasuresActions(const ShellContext &shell)
    : QObject(shell.window), m_shell(shell), m_window(new MeasuresWindow(shell))
{
    m_shell.menus.bind(u"NetworkMeasures1"_s, this, [this] {
        m_window->refresh();
        ShowInFront(m_window);
    });
    // Several changes in one turn of the event loop give one refresh.
    auto *pending = new QTimer(this);
    pending->setSingleShot(true);
    pending->setInterval(0);
    connect(pending, &QTimer::timeout, this, [this] {
        if (m_window->isVisible())
            m_window->refresh();
    });
    auto schedule = [pending] { pending->start(); };
    Document &document = m_shell.document;
    connect(&document, &Document::cardListChanged, pending, schedule);
    connect(&document, &Document::egoChanged, pending, schedule);
    connect(&document, &Document::cardChanged, pending, schedule);
    connect(&document, &Document::currentCardChanged, pending, schedule);
}

} // namespace korvalo

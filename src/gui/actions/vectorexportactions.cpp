#include "gui/actions/vectorexportactions.h"

#include "core/edit/document.h"
#include "core/map/vectorexport.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"
#include "gui/shell/menus.h"

#include <QAction>
#include <QProgressDialog>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

const QString SvgFilter = u"SVG (*.svg)"_s;
const QString PdfFilter = u"PDF (*.pdf)"_s;
const QString HideNames = u"Hide names"_s;

} // namespace

VectorExportActions::VectorExportActions(const ShellContext &shell, std::function<ViewOptions()> view)
    : QObject(shell.window), m_shell(shell), m_view(std::move(view))
{
    setObjectName(u"VectorExportActions"_s);
    m_shell.menus.bind(u"SVGCurrentCard1"_s, this, [this] { exportSvg(); });
    m_shell.menus.bind(u"PDFCurrentCard1"_s, this, [this] { exportPdf(); });
    m_shell.menus.bind(u"PDFAllCards1"_s, this, [this] { exportAllPdf(); });
}

ViewOptions VectorExportActions::view() const
{
    ViewOptions view = m_view();
    view.HideNames = m_hideNames;
    return view;
}

QSize VectorExportActions::mapSize() const
{
    if (m_shell.menus.action(u"FixExportSize1"_s)->isChecked())
        return QSize(850, 750);
    return m_shell.mapSize().expandedTo(QSize(1, 1));
}

int VectorExportActions::currentCard()
{
    const NetworkModel &model = m_shell.document.model();
    if (!model.hasCard(model.CurrentCard)) {
        m_shell.asker().message(u"There are no network cards to export."_s);
        return 0;
    }
    return model.CurrentCard;
}

QString VectorExportActions::askName(const QString &filter)
{
    bool hide = m_hideNames;
    const QString name = m_shell.asker().saveFileNameWithOption(filter, HideNames, &hide);
    if (!name.isEmpty())
        m_hideNames = hide;
    return name;
}

void VectorExportActions::exportSvg()
{
    const int card = currentCard();
    if (card == 0)
        return;
    const QString name = askName(SvgFilter);
    if (name.isEmpty())
        return;
    const Status written = WriteCardSvg(name, m_shell.document.model(), card, view(), mapSize());
    if (!written)
        m_shell.asker().message(written.message());
}

void VectorExportActions::exportPdf()
{
    const int card = currentCard();
    if (card == 0)
        return;
    const QString name = askName(PdfFilter);
    if (name.isEmpty())
        return;
    const ExportOutcome outcome = WriteCardsPdf(name, m_shell.document.model(), {card}, view(), mapSize());
    if (!outcome.status)
        m_shell.asker().message(outcome.status.message());
}

void VectorExportActions::exportAllPdf()
{
    const NetworkModel &model = m_shell.document.model();
    if (model.CardCount() == 0) {
        m_shell.asker().message(u"There are no network cards to export."_s);
        return;
    }
    const QString name = askName(PdfFilter);
    if (name.isEmpty())
        return;
    const int total = model.CardCount();
    ExportOutcome outcome;
    {
        // Shows itself only when the export takes more than half a second.
        QProgressDialog progress(QString(), u"Cancel"_s, 0, total, m_shell.window);
        progress.setObjectName(u"ExportProgress"_s);
        progress.setWindowTitle(u"Export"_s);
        progress.setWindowModality(Qt::WindowModal);
        KeepAboveToolWindows(&progress);
        progress.setMinimumDuration(500);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setValue(0);
        outcome = WriteCardsPdf(name, model, AllCards(model), view(), mapSize(), [&progress](int done, int all) {
            progress.setLabelText(u"Card %1 of %2 done."_s.arg(done).arg(all));
            progress.setValue(done);
            return !progress.wasCanceled();
        });
    }
    if (outcome.cancelled)
        m_shell.asker().message(u"The export was stopped. No file was written."_s);
    else if (!outcome.status)
        m_shell.asker().message(outcome.status.message());
}

} // namespace korvalo

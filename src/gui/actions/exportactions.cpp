#include "gui/actions/exportactions.h"

#include "core/edit/document.h"
#include "core/map/jpegwriter.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"
#include "gui/shell/menus.h"
#include "gui/windows/jpgviewer.h"

#include <QAction>
#include <QFileInfo>
#include <QLayout>
#include <QMainWindow>
#include <QProgressDialog>
#include <QStatusBar>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

const QString JpegFilter = u"JPEG (*.jpg)"_s;
const QString NoCards = u"There are no network cards to export."_s;

// Shows itself only when the export takes more than half a second; Cancel is honoured
// after the card being written.
class ExportProgressDialog
{
public:
    ExportProgressDialog(QWidget *parent, int total) : m_dialog(QString(), u"Cancel"_s, 0, total, parent)
    {
        m_dialog.setObjectName(u"ExportProgress"_s);
        m_dialog.setWindowTitle(u"Export"_s);
        m_dialog.setWindowModality(Qt::WindowModal);
        KeepAboveToolWindows(&m_dialog);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
    }
    ExportProgress callback()
    {
        return [this](int done, int total) {
            m_dialog.setLabelText(u"Card %1 of %2 done."_s.arg(done).arg(total));
            m_dialog.setValue(done);
            return !m_dialog.wasCanceled();
        };
    }

private:
    QProgressDialog m_dialog;
};

// "ego1.jpg to ego7.jpg", or the one name.
QString fileRange(const QStringList &written)
{
    const QString first = QFileInfo(written.first()).fileName();
    if (written.size() == 1)
        return first;
    return u"%1 to %2"_s.arg(first, QFileInfo(written.last()).fileName());
}

} // namespace

ExportActions::ExportActions(const ShellContext &shell, std::function<ViewOptions()> view)
    : QObject(shell.window), m_shell(shell), m_view(std::move(view)),
      m_fixSize(shell.menus.action(u"FixExportSize1"_s)), m_viewer(new JpgViewer(shell.asker, shell.window))
{
    setObjectName(u"ExportActions"_s);
    Menus &menus = m_shell.menus;
    menus.bind(u"jpg2"_s, this, [this] { exportCurrentCard(); });
    menus.bind(u"JPGAllCards1"_s, this, [this] { exportAllCards(); });
    menus.bind(u"AllCardsin1JPG1"_s, this, [this] { exportStrip(); });
    // A check item: the click toggles it.
    menus.bind(u"FixExportSize1"_s, this, [] {});
    menus.bind(u"jpg1"_s, this, [this] { m_viewer->importJpg(); });
}

void ExportActions::suggestJpegName()
{
    // Pictures are named after the ego's file: "anna.ego" offers "anna.jpg".
    const QString file = m_shell.document.session().CurrentFileName;
    if (!file.isEmpty())
        m_shell.asker().suggestSaveName(QFileInfo(file).completeBaseName() + u".jpg"_s);
}

QString ExportActions::askJpegName()
{
    suggestJpegName();
    const QString chosen = m_shell.asker().saveFileName(JpegFilter);
    return chosen.isEmpty() ? QString() : JpegFileName(chosen);
}

void ExportActions::applyFixedExportSize()
{
    if (!m_fixSize->isChecked())
        return;
    QWidget *window = m_shell.window;
    if (window->isMaximized() || window->isFullScreen())
        window->showNormal();
    // The window's frame counts: 850 x 750 is the size on the screen.
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    window->resize(QSize(850, 750) - frame);
    // The map is measured right after this; lay it out now, not at the next event.
    if (QLayout *layout = window->layout())
        layout->activate();
}

QSize ExportActions::mapSize() const
{
    return m_shell.mapSize().expandedTo(QSize(1, 1));
}

QImage ExportActions::cardPicture(int card)
{
    // The switch updates the card list and the side panel; the picture itself is drawn
    // afresh, so that it never depends on when the window gets to repaint.
    Document &document = m_shell.document;
    document.setCurrentCard(card);
    QImage picture(mapSize(), QImage::Format_RGB32);
    RenderCard(picture, document.model(), document.model().CurrentCard, m_view());
    return picture;
}

void ExportActions::exportCurrentCard()
{
    const QString name = askJpegName();
    if (name.isEmpty())
        return;
    applyFixedExportSize();
    const Status written = WriteJpegFile(cardPicture(m_shell.document.model().CurrentCard), name);
    if (!written)
        m_shell.asker().message(written.message());
    else
        reportWritten({name});
}

void ExportActions::reportWritten(const QStringList &written)
{
    auto *window = qobject_cast<QMainWindow *>(m_shell.window);
    if (!window || written.isEmpty())
        return;
    const QString text = written.size() == 1
        ? u"Written \"%1\""_s.arg(QFileInfo(written.first()).fileName())
        : u"Written %1 pictures (%2)"_s.arg(written.size()).arg(fileRange(written));
    window->statusBar()->showMessage(text, 4000);
}

void ExportActions::reportStopped(const ExportOutcome &outcome, int total)
{
    const QString done = outcome.written.isEmpty()
        ? u"No picture was written."_s
        : u"%1 of %2 pictures were written (%3)."_s.arg(outcome.written.size()).arg(total).arg(fileRange(outcome.written));
    if (!outcome.status)
        m_shell.asker().message(outcome.status.message() + u"\n"_s + done);
    else if (outcome.cancelled)
        m_shell.asker().message(u"The export was stopped. "_s + done);
    else
        reportWritten(outcome.written);
}

void ExportActions::writeCardFiles(const QString &baseName)
{
    const int total = m_shell.document.model().CardCount();
    // One question about the pictures that will be replaced, not about the name typed.
    QStringList existing;
    for (int card = 1; card <= total; ++card) {
        // A folder of that name cannot be replaced; the write says so.
        const QFileInfo path(CardJpegFileName(baseName, card));
        if (path.exists() && !path.isDir())
            existing.append(path.fileName());
    }
    if (!existing.isEmpty()) {
        const QString question =
            existing.size() == 1
                ? u"\"%1\" already exists. Do you want to replace it?"_s.arg(existing.first())
                : u"%1 of the %2 pictures already exist (%3). Do you want to replace them?"_s.arg(existing.size())
                      .arg(total)
                      .arg(existing.size() <= 4 ? existing.join(u", "_s) : fileRange(existing));
        if (m_shell.asker().yesNo(question) != Asker::Answer::Yes)
            return;
    }
    ExportProgressDialog progress(m_shell.window, total);
    const ExportOutcome outcome = ExportCardFiles(
        total, baseName, [this](int card) { return cardPicture(card); }, progress.callback());
    reportStopped(outcome, total);
}

QString ExportActions::askAllCardsName(bool perCard)
{
    if (m_shell.document.model().CardCount() == 0) {
        m_shell.asker().message(NoCards);
        return {};
    }
    QString name;
    if (perCard) {
        suggestJpegName();
        const QString chosen = m_shell.asker().saveBaseName(JpegFilter);
        name = chosen.isEmpty() ? QString() : JpegFileName(chosen);
    } else {
        name = askJpegName();
    }
    if (!name.isEmpty())
        applyFixedExportSize();
    return name;
}

void ExportActions::exportAllCards()
{
    const QString name = askAllCardsName(true);
    if (!name.isEmpty())
        writeCardFiles(name);
}

void ExportActions::exportStrip()
{
    const QString name = askAllCardsName(false);
    if (name.isEmpty())
        return;
    const int total = m_shell.document.model().CardCount();
    const QSize cardSize = mapSize();
    const Status fits = CheckStrip(total, cardSize);
    if (!fits) {
        const QString offer = u"%1\nExport one picture per card instead (%2, %3, ...)?"_s.arg(
            fits.message(), QFileInfo(CardJpegFileName(name, 1)).fileName(),
            QFileInfo(CardJpegFileName(name, 2)).fileName());
        if (m_shell.asker().yesNo(offer) == Asker::Answer::Yes)
            writeCardFiles(name);
        return;
    }
    ExportOutcome outcome;
    {
        ExportProgressDialog progress(m_shell.window, total);
        outcome = ExportCardStrip(total, cardSize, name, [this](int card) { return cardPicture(card); },
                                  progress.callback());
    }
    if (outcome.cancelled)
        m_shell.asker().message(u"The export was stopped. No picture was written."_s);
    else if (!outcome.status)
        m_shell.asker().message(outcome.status.message());
    else
        reportWritten({name});
}

} // namespace korvalo

#include "gui/actions/macroactions.h"

#include "core/edit/document.h"
#include "core/map/geometry.h"
#include "core/map/imageexport.h"
#include "core/map/studypictures.h"
#include "gui/actions/studyexportactions.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"
#include "gui/shell/menus.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <memory>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

struct MenuItem
{
    const char16_t *name; // the item's object name
    Macro macro;
};

const MenuItem MenuItems[] = {
    {u"Directory1", Macro::NumberOfNodes},
    {u"StrongWeakTies4", Macro::StrongTies},
    {u"StrongWeakTies2", Macro::StrongTiesRatio},
    {u"DominantSector2", Macro::DominantSector},
    {u"N24", Macro::NumberOfSectors},
    {u"IDContinuityAllCards1", Macro::IDContinuity},
    {u"IDContinuityAllCardsinclUnifyPossible1", Macro::IDContinuityMerged},
    {u"IDinMemos1", Macro::MemoScan},
    {u"IDLabelPlausibility1", Macro::Plausibility},
};

} // namespace

MacroActions::MacroActions(const ShellContext &shell, std::function<ViewOptions()> view)
    : QObject(shell.window), m_shell(shell), m_view(std::move(view))
{
    setObjectName(u"MacroActions"_s);
    for (const MenuItem &item : MenuItems) {
        const Macro macro = item.macro;
        // A macro whose tools are missing stays greyed.
        if (!FindMacro(macro)->available)
            continue;
        m_shell.menus.bind(QString::fromUtf16(item.name), this, [this, macro] { run(macro); });
    }
    m_shell.menus.bind(u"JGPAllCards1"_s, this, [this] { pictures(false); });
    m_shell.menus.bind(u"N1bigJPG1"_s, this, [this] { pictures(true); });
    m_shell.menus.bind(u"ExportTables1"_s, this, [this] { exportTables(); });
    m_shell.menus.bind(u"ExportGraphML1"_s, this, [this] { exportGraphML(); });
}

void MacroActions::run(Macro macro)
{
    const MacroInfo &info = *FindMacro(macro);
    const Session &session = m_shell.document.session();
    MacroOptions options;
    options.separator = session.DecimalSeparator;
    const QSize map = m_shell.mapSize();
    options.mapRadius = MapRadius(map.width(), map.height());
    if (info.strongCircles) {
        const std::optional<QString> answer =
            m_shell.asker().input(u"Strong/Weak Ties"_s, u"Number of Strong Circles:"_s, u"2"_s);
        if (!answer)
            return;
        bool ok = false;
        options.strongCircles = answer->trimmed().toInt(&ok);
        if (!ok) {
            m_shell.asker().message(u"\"%1\" is not a whole number of circles!"_s.arg(*answer));
            return;
        }
    }
    const QString folder = chooseFolder(info.caption);
    if (folder.isEmpty())
        return;
    const QStringList files = egoFilesIn(folder);
    if (files.isEmpty())
        return;

    const InfoSink sink = session.infoSink;
    walkFolder(info.caption, files, [&](const StudyWalkOptions &walk, QObject *receiver) {
        return RunMacro(macro, files, options, walk, [receiver, sink](const QString &, const MacroFileOutput &out) {
            QMetaObject::invokeMethod(receiver, [sink, lines = out.lines] {
                for (const QString &line : lines)
                    AppendInfoLine(sink, line);
            }, Qt::QueuedConnection);
        }).failures;
    });
}

void MacroActions::pictures(bool grid)
{
    const QString caption = grid ? u"1 big JPG"_s : u"JGP All Cards"_s;
    const QString folder = chooseFolder(caption);
    if (folder.isEmpty())
        return;
    const QStringList files = egoFilesIn(folder);
    if (files.isEmpty())
        return;
    QString gridPath;
    if (grid) {
        m_shell.asker().setStartFolder(folder);
        gridPath = m_shell.asker().saveFileName(u"JPEG (*.jpg)"_s);
        if (gridPath.isEmpty())
            return;
    }
    const ViewOptions view = m_view();
    const QSize size = m_shell.mapSize();
    walkFolder(caption, files, [&](const StudyWalkOptions &walk, QObject *) {
        // The pictures of each card go beside the ego files.
        const StudyPictureResult result = grid ? ExportStudyGrid(files, JpegFileName(gridPath), view, size, walk)
                                               : ExportStudyCards(files, folder, view, size, walk);
        std::vector<StudyFailure> failures = result.walk.failures;
        failures.insert(failures.end(), result.refused.begin(), result.refused.end());
        return failures;
    });
}

void MacroActions::exportTables()
{
    const QString caption = u"Export Tables"_s;
    const std::optional<StudyExportOptions> options = AskStudyExportOptions(m_shell.asker());
    if (!options)
        return;
    const QString folder = chooseFolder(caption);
    if (folder.isEmpty())
        return;
    const QStringList files = egoFilesIn(folder);
    if (files.isEmpty() || !MayWriteTables(m_shell.asker(), folder))
        return;
    StudyExportResult result;
    walkFolder(caption, files, [&](const StudyWalkOptions &walk, QObject *) {
        // The tables go beside the ego files.
        result = ExportStudyTables(files, folder, *options, walk);
        return result.walk.failures;
    });
    reportExport(result, u"Tables of %1 ego files written: egos.csv, alters.csv and aaties.csv in %2"_s
                             .arg(result.walk.delivered)
                             .arg(QDir::toNativeSeparators(folder)));
}

void MacroActions::exportGraphML()
{
    const QString caption = u"Export GraphML"_s;
    const std::optional<StudyExportOptions> options = AskStudyExportOptions(m_shell.asker());
    if (!options)
        return;
    const QString folder = chooseFolder(caption);
    if (folder.isEmpty())
        return;
    const QStringList files = egoFilesIn(folder);
    if (files.isEmpty())
        return;
    // Offered beside the folder's files, named after the folder; replacing a file there
    // is confirmed by the save dialog.
    m_shell.asker().setStartFolder(folder);
    m_shell.asker().suggestSaveName(QDir(folder).dirName() + u".graphml"_s);
    const QString path = m_shell.asker().saveFileName(u"GraphML (*.graphml)"_s);
    if (path.isEmpty())
        return;
    StudyExportResult result;
    walkFolder(caption, files, [&](const StudyWalkOptions &walk, QObject *) {
        // Every card of every file; the file replaces the old one only when complete.
        result = ExportStudyGraphML(files, path, 0, *options, walk);
        return result.walk.failures;
    });
    reportExport(result, u"GraphML of %1 ego files written: %2"_s.arg(result.walk.delivered)
                             .arg(QDir::toNativeSeparators(path)));
}

void MacroActions::reportExport(const StudyExportResult &result, const QString &done)
{
    const InfoSink sink = m_shell.document.session().infoSink;
    for (const QString &warning : result.warnings)
        AppendInfoLine(sink, warning);
    if (!result.written)
        m_shell.asker().message(result.written.message());
    else if (!result.walk.cancelled)
        AppendInfoLine(sink, done);
}

QString MacroActions::chooseFolder(const QString &caption)
{
    QString start = m_folder;
    const QString current = m_shell.document.session().CurrentFileName;
    if (start.isEmpty() && !current.isEmpty())
        start = QFileInfo(current).absolutePath();
    const QString folder = m_shell.asker().folderName(caption, start);
    if (!folder.isEmpty())
        m_folder = folder;
    return folder;
}

QStringList MacroActions::egoFilesIn(const QString &folder)
{
    const QStringList files = EgoFilesInFolder(folder);
    if (files.isEmpty())
        m_shell.asker().message(u"There are no ego files (*.ego) in \"%1\"."_s.arg(QDir::toNativeSeparators(folder)));
    return files;
}

void MacroActions::walkFolder(const QString &caption, const QStringList &files, const WalkJob &job)
{
    QProgressDialog progress(QString(), u"Cancel"_s, 0, int(files.size()), m_shell.window);
    progress.setObjectName(u"MacroProgress"_s);
    progress.setAccessibleName(u"Directory run progress"_s);
    progress.setWindowTitle(caption);
    progress.setWindowModality(Qt::WindowModal);
    KeepAboveToolWindows(&progress);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);

    // The worker reads, computes and draws; what it finds is handed to this thread,
    // which shows it.
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    connect(&progress, &QProgressDialog::canceled, this, [cancelled] { *cancelled = true; });
    QObject receiver;
    StudyWalkOptions walk;
    walk.decimalSeparator = m_shell.document.session().DecimalSeparator;
    walk.cancelled = [cancelled] { return cancelled->load(); };
    walk.progress = [&receiver, &progress](int index, int count, const QString &path) {
        const QString label = u"File %1 of %2: %3"_s.arg(index + 1).arg(count).arg(QFileInfo(path).fileName());
        QMetaObject::invokeMethod(&receiver, [&progress, label, index] {
            progress.setLabelText(label);
            progress.setValue(index);
        }, Qt::QueuedConnection);
    };
    std::vector<StudyFailure> failures;
    std::unique_ptr<QThread> worker(QThread::create([&] { failures = job(walk, &receiver); }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    // What the worker posted last may still be queued.
    QCoreApplication::sendPostedEvents(&receiver);
    progress.close();

    if (!failures.empty()) {
        QString text = u"These files could not be read or written:"_s;
        for (const StudyFailure &failure : failures)
            text += u"\n"_s + QFileInfo(failure.path).fileName() + u": "_s + failure.message;
        m_shell.asker().message(text);
    }
}

} // namespace korvalo

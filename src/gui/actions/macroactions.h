#pragma once

#include "core/analysis/macros.h"
#include "core/map/render.h"
#include "gui/shell/shellcontext.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace korvalo {

struct StudyExportResult;

// Macro > Directory: each item runs one macro over the ego files of a folder the person
// chooses (remembered between runs, first the open file's folder). The files are read on
// a worker thread under a progress window with Cancel; their lines go to the info window
// in file order, and the files that could not be read are listed at the end. The open ego,
// its file name and its history are never touched. "JGP All Cards" and "1 big JPG" draw
// every card of the folder's files with the window's view switches, off this thread.
class MacroActions : public QObject
{
    Q_OBJECT
public:
    // Binds the menu items; owned by the shell's window.
    MacroActions(const ShellContext &shell, std::function<ViewOptions()> view);

    // Runs one macro as its menu item does; returns when the run has ended.
    void run(korvalo::Macro macro);
    // Every card of a folder's files into its own picture there, or (grid) into one.
    void pictures(bool grid);
    // "Export Tables": egos.csv, alters.csv and aaties.csv of a folder's files, written there.
    void exportTables();
    // "Export GraphML": the cards of a folder's files as one GraphML file, named by the person.
    void exportGraphML();

private:
    using WalkJob = std::function<std::vector<StudyFailure>(const StudyWalkOptions &walk, QObject *receiver)>;
    // The folder to run over, through the one door; empty on Cancel.
    QString chooseFolder(const QString &caption);
    // The ego files of `folder` in name order; a folder without any is said so.
    QStringList egoFilesIn(const QString &folder);
    // What a study export left: its warnings and `done` go to the info window, a file
    // that could not be written to a message.
    void reportExport(const StudyExportResult &result, const QString &done);
    // Runs job on a worker thread under the progress window and lists what failed.
    void walkFolder(const QString &caption, const QStringList &files, const WalkJob &job);

    ShellContext m_shell;
    std::function<ViewOptions()> m_view;
    QString m_folder; // the folder of the last run
};

} // namespace korvalo

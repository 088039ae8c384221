#include "gui/actions/studyexportactions.h"

#include "core/edit/document.h"
#include "gui/shell/asker.h"
#include "gui/shell/menus.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace korvalo {

using namespace Qt::StringLiterals;

std::optional<StudyExportOptions> AskStudyExportOptions(Asker &asker)
{
    // Leaving them out is the first button, the one Enter presses.
    const int answer = asker.choose(u"Names, labels, memos and the interviewer are left out of the export unless "
                                    "you include them; IDs are always written. Studies are usually shared "
                                    "without them."_s,
                                    {u"Without names and memos"_s, u"Include names and memos"_s, u"Cancel"_s});
    if (answer != 0 && answer != 1)
        return std::nullopt;
    StudyExportOptions options;
    options.includePrivate = answer == 1;
    return options;
}

bool MayWriteTables(Asker &asker, const QString &folder)
{
    const QDir dir(folder);
    const bool present = dir.exists(QString::fromLatin1(EgosTableName))
        || dir.exists(QString::fromLatin1(AltersTableName)) || dir.exists(QString::fromLatin1(AatiesTableName));
    if (!present)
        return true;
    return asker.yesNo(u"\"%1\" holds tables already (egos.csv, alters.csv, aaties.csv). Replace them?"_s.arg(
               QDir::toNativeSeparators(folder)))
        == Asker::Answer::Yes;
}

StudyExportActions::StudyExportActions(const ShellContext &shell) : QObject(shell.window), m_shell(shell)
{
    setObjectName(u"StudyExportActions"_s);
    m_shell.menus.bind(u"TablesforRPython1"_s, this, [this] { exportTables(); });
    m_shell.menus.bind(u"GraphML1"_s, this, [this] { exportGraphML(); });
}

bool StudyExportActions::hasCards()
{
    if (m_shell.document.model().CardCount() > 0)
        return true;
    m_shell.asker().message(u"There are no network cards to export."_s);
    return false;
}

QString StudyExportActions::fallbackID() const
{
    const QString file = m_shell.document.session().CurrentFileName;
    return file.isEmpty() ? u"ego"_s : QFileInfo(file).completeBaseName();
}

void StudyExportActions::exportTables()
{
    if (!hasCards())
        return;
    const std::optional<StudyExportOptions> options = AskStudyExportOptions(m_shell.asker());
    if (!options)
        return;
    const QString current = m_shell.document.session().CurrentFileName;
    const QString folder = m_shell.asker().folderName(u"Tables for R/Python"_s,
                                                      current.isEmpty() ? QString() : QFileInfo(current).absolutePath());
    if (folder.isEmpty() || !MayWriteTables(m_shell.asker(), folder))
        return;
    const Status written = ExportEgoTables(m_shell.document.model(), fallbackID(), folder, *options);
    if (!written) {
        m_shell.asker().message(written.message());
        return;
    }
    AppendInfoLine(m_shell.document.session().infoSink,
                   u"Tables written: egos.csv, alters.csv and aaties.csv in %1"_s.arg(QDir::toNativeSeparators(folder)));
}

void StudyExportActions::exportGraphML()
{
    if (!hasCards())
        return;
    const std::optional<StudyExportOptions> options = AskStudyExportOptions(m_shell.asker());
    if (!options)
        return;
    const QString current = m_shell.document.session().CurrentFileName;
    if (!current.isEmpty())
        m_shell.asker().setStartFolder(QFileInfo(current).absolutePath());
    const QString path = m_shell.asker().saveFileName(u"GraphML (*.graphml)"_s);
    if (path.isEmpty())
        return;
    const Status written = ExportEgoGraphML(m_shell.document.model(), fallbackID(), path, 0, *options);
    if (!written)
        m_shell.asker().message(written.message());
}

} // namespace korvalo

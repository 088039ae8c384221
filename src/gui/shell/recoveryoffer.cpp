#include "gui/shell/recoveryoffer.h"

#include "gui/shell/asker.h"
#include "gui/actions/fileactions.h"
#include "core/edit/autosaver.h"
#include "core/edit/recovery.h"

#include <QFileInfo>
#include <QLocale>
#include <QLockFile>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

enum Choice { Restore, KeepForLater, Discard };

QString question(const RecoveryCopy &copy)
{
    QString what;
    if (!copy.originalFile.isEmpty())
        what = u"Changes to \"%1\""_s.arg(QFileInfo(copy.originalFile).fileName());
    else if (!copy.egoName.isEmpty())
        what = u"Changes to the new ego \"%1\""_s.arg(copy.egoName);
    else
        what = u"Changes to a new ego"_s;
    const QString when = QLocale().toString(copy.written.toLocalTime(), QLocale::ShortFormat);
    return u"Korvalo did not end properly. %1 that were not saved were kept on %2.\n\n"
           "Restore them, keep them for later, or discard them?"_s.arg(what, when);
}

} // namespace

RecoveryOffer::RecoveryOffer(const ShellContext &context, FileActions &files, QObject *parent)
    : QObject(parent), m_context(context), m_files(files), m_folder(RecoveryFolder())
{
    m_autosaver = new Autosaver(context.document, m_folder, Autosaver::intervalFromEnvironment(), this);
}

bool RecoveryOffer::offerLeftovers()
{
    std::vector<RecoveryCopy> copies = ClaimLeftoverRecoveryCopies(m_folder);
    bool restored = false;
    for (RecoveryCopy &copy : copies) {
        if (restored)
            break; // the rest keep their files and lose our lock as `copies` goes
        const int choice = m_context.asker().choose(
            question(copy), {u"Restore"_s, u"Keep for Later"_s, u"Discard"_s});
        if (choice == Discard) {
            RemoveRecoveryFiles(copy);
        } else if (choice == Restore) {
            Result<NetworkModel> read = ReadRecoveryCopy(copy);
            if (!read) {
                m_context.asker().message(read.message());
                continue;
            }
            m_files.restoreRecovered(std::move(read.value()), copy.originalFile);
            m_autosaver->adopt(std::move(copy));
            restored = true;
        }
    }
    return restored;
}

} // namespace korvalo

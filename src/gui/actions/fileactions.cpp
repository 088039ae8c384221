#include "gui/actions/fileactions.h"

#include "gui/shell/asker.h"
#include "core/edit/document.h"
#include "core/edit/recovery.h"
#include "core/egofile/egofile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

const QString EgoFilter = u"Ego files (*.ego)"_s;
const QString SaveQuestion = u"Do you want to save the current Ego?"_s;
const QString ClosingQuestion = u"Korvalo is closing. Do you want to save the current Ego?"_s;
const QString NoNameMessage =
    u"The Ego has no name yet. Enter its name in Ego > Ego Settings before saving."_s;

const QString LastReadFolderKey = u"LastReadFolder"_s;

QSettings settings()
{
    const QString application = QCoreApplication::applicationName();
    const QString organization = QCoreApplication::organizationName();
    return QSettings(organization.isEmpty() ? application : organization, application);
}

// File > Read opens where the user last read a file, also in a later run.
void rememberReadFolder(const QString &path)
{
    settings().setValue(LastReadFolderKey, QFileInfo(path).absolutePath());
}

} // namespace

FileActions::FileActions(Document &document, std::function<Asker &()> asker, QObject *parent)
    : QObject(parent), m_document(document), m_asker(std::move(asker))
{
}

void FileActions::newEgo()
{
    NetworkModel fresh;
    SetupEgo(fresh, {}, {}, 0, {}, {}, {});
    // A new ego is not the file last read: its first Save asks for a name.
    m_document.session().CurrentFileName.clear();
    m_document.reset(std::move(fresh));
    Q_EMIT egoReplaced(true);
}

bool FileActions::offerToSave(const QString &question)
{
    if (!m_document.isModified())
        return true;
    switch (m_asker().yesNoAbort(question)) {
    case Asker::Answer::Abort:
        return false;
    case Asker::Answer::Yes:
        return saveEgo(false);
    case Asker::Answer::No:
        return true;
    }
    return false;
}

bool FileActions::offerToSaveBeforeClosing()
{
    return offerToSave(ClosingQuestion);
}

void FileActions::fileNew()
{
    if (offerToSave(SaveQuestion))
        newEgo();
}

void FileActions::startInCurrentFolder()
{
    const QString file = m_document.session().CurrentFileName;
    if (!file.isEmpty()) {
        m_asker().setStartFolder(QFileInfo(file).path());
        return;
    }
    const QString lastRead = settings().value(LastReadFolderKey).toString();
    if (!lastRead.isEmpty() && QFileInfo(lastRead).isDir())
        m_asker().setStartFolder(lastRead);
}

void FileActions::fileRead()
{
    if (!offerToSave(SaveQuestion))
        return;
    startInCurrentFolder();
    const QString path = m_asker().openFileName(EgoFilter);
    if (!path.isEmpty() && readFile(path, true))
        rememberReadFolder(path);
}

void FileActions::fileReadPath(const QString &path)
{
    if (offerToSave(SaveQuestion))
        readFile(path, true);
}

void FileActions::chooserRead()
{
    if (!offerToSave(SaveQuestion))
        return;
    startInCurrentFolder();
    const QString path = m_asker().openFileName(EgoFilter);
    if (!path.isEmpty() && readFile(path, false))
        rememberReadFolder(path);
}

bool FileActions::readFile(const QString &path, bool warn)
{
    Session &session = m_document.session();
    ReadOptions options;
    options.DecimalSeparator = session.DecimalSeparator;
    if (warn)
        options.warnings = session.infoSink;
    options.notes = session.infoSink;
    Result<NetworkModel> read = ReadEgoFile(path, options);
    if (!read) {
        m_asker().message(read.message());
        return false;
    }
    session.CurrentFileName = path;
    m_document.reset(std::move(read.value()));
    Q_EMIT egoReplaced(false);
    return true;
}

bool FileActions::saveEgo(bool askForName)
{
    if (m_document.model().ego.Name.isEmpty()) {
        m_asker().message(NoNameMessage);
        return false;
    }
    Session &session = m_document.session();
    QString path = session.CurrentFileName;
    if (askForName || path.isEmpty()) {
        startInCurrentFolder();
        if (!path.isEmpty())
            m_asker().suggestSaveName(QFileInfo(path).fileName());
        path = m_asker().saveFileName(EgoFilter);
        if (path.isEmpty())
            return false;
    }
    if (!path.endsWith(u".ego"))
        path += u".ego"_s;
    // Files are always written with '.', and the option goes back to '.' with every save.
    session.DecimalSeparator = u'.';
    const Status status = WriteEgoFile(m_document.model(), path);
    if (!status) {
        m_asker().message(status.message());
        return false;
    }
    session.CurrentFileName = path;
    m_document.markSaved();
    Q_EMIT saved();
    return true;
}

void FileActions::restoreRecovered(NetworkModel recovered, const QString &originalFile)
{
    NetworkModel base;
    Result<NetworkModel> saved = originalFile.isEmpty()
        ? Result<NetworkModel>::failure(u"never saved"_s)
        : ReadEgoFile(originalFile);
    if (saved)
        base = std::move(saved.value());
    else
        SetupEgo(base, {}, {}, 0, {}, {}, {});
    m_document.session().CurrentFileName = originalFile;
    m_document.reset(std::move(base));
    m_document.push(new RestoreDocumentCommand(m_document, std::move(recovered)));
    Q_EMIT egoReplaced(false);
}

} // namespace korvalo

#include "core/edit/recovery.h"

#include "core/edit/document.h"
#include "core/egofile/egofile.h"
#include "core/egofile/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>
#include <utility>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

std::shared_ptr<QLockFile> tryLock(const QString &path)
{
    auto lock = std::make_shared<QLockFile>(path);
    // A copy stays locked for as long as its program runs, however long that is: only a
    // lock whose process is gone counts as stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

// Temporary files a write cut short left beside the copy's files ("<id>.ego.korvalo-save.tmp",
// as every safe save names them).
void removeUnfinishedWrites(const QString &folder, const QString &id)
{
    QDir dir(folder);
    const QStringList leftovers = dir.entryList({u"%1.*.tmp"_s.arg(id), u".%1.*.tmp"_s.arg(id)},
                                                QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : leftovers)
        dir.remove(name);
}

bool readInfo(RecoveryCopy &copy)
{
    QFile file(copy.infoPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll());
    if (!json.isObject())
        return false;
    const QJsonObject info = json.object();
    copy.originalFile = info.value(u"file"_s).toString();
    copy.egoName = info.value(u"ego"_s).toString();
    copy.written = QDateTime::fromString(info.value(u"written"_s).toString(), Qt::ISODateWithMs);
    return true;
}

} // namespace

QString RecoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/recovery"_s;
}

QString RecoveryCopy::egoPath() const
{
    return folder + u'/' + id + u".ego"_s;
}

QString RecoveryCopy::infoPath() const
{
    return folder + u'/' + id + u".json"_s;
}

QString RecoveryCopy::lockPath() const
{
    return folder + u'/' + id + u".lock"_s;
}

Result<RecoveryCopy> NewRecoveryCopy(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return Result<RecoveryCopy>::failure(
            u"The folder for recovery copies \"%1\" cannot be made."_s.arg(QDir::toNativeSeparators(folder)));
    RecoveryCopy copy;
    copy.folder = folder;
    copy.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    copy.lock = tryLock(copy.lockPath());
    if (!copy.lock)
        return Result<RecoveryCopy>::failure(
            u"The recovery copy \"%1\" cannot be locked."_s.arg(QDir::toNativeSeparators(copy.lockPath())));
    return Result<RecoveryCopy>::success(std::move(copy));
}

Status WriteRecoveryCopy(const RecoveryCopy &copy, const NetworkModel &model,
                         const QString &originalFile, const QDateTime &when)
{
    // The ego first: a copy cut short between the two files still holds the newest work,
    // under the name it had at the write before.
    // A failure names the recovery folder, so that nobody takes it for a failed save of
    // their own file ("Cannot save "<id>.ego": ..." says nothing about whose file it is).
    auto failed = [&](const Status &status) {
        QString why = status.message();
        const qsizetype colon = why.indexOf(u"\": "_s);
        if (why.startsWith(u"Cannot save \""_s) && colon > 0)
            why = why.mid(colon + 3);
        return Status::failure(u"The recovery copy could not be written to \"%1\": %2"_s
                                   .arg(QDir::toNativeSeparators(copy.folder), why));
    };
    const Status ego = ReplaceFileSafely(copy.egoPath(), EgoFileText(model));
    if (!ego)
        return failed(ego);
    QJsonObject info;
    info.insert(u"file"_s, originalFile);
    info.insert(u"written"_s, when.toUTC().toString(Qt::ISODateWithMs));
    info.insert(u"ego"_s, model.ego.Name);
    const Status side = ReplaceFileSafely(copy.infoPath(), QJsonDocument(info).toJson().toStdString());
    return side ? side : failed(side);
}

void RemoveRecoveryFiles(const RecoveryCopy &copy)
{
    QFile::remove(copy.egoPath());
    QFile::remove(copy.infoPath());
    removeUnfinishedWrites(copy.folder, copy.id);
}

std::vector<RecoveryCopy> ClaimLeftoverRecoveryCopies(const QString &folder)
{
    std::vector<RecoveryCopy> found;
    QDir dir(folder);
    const QStringList egos = dir.entryList({u"*.ego"_s}, QDir::Files);
    for (const QString &name : egos) {
        RecoveryCopy copy;
        copy.folder = folder;
        copy.id = QFileInfo(name).completeBaseName();
        copy.lock = tryLock(copy.lockPath());
        if (!copy.lock)
            continue; // a running program owns it
        if (!readInfo(copy)) {
            // Killed before its first side file: the work is in the ego file all the same.
            copy.originalFile.clear();
            copy.written = QFileInfo(copy.egoPath()).lastModified().toUTC();
        }
        removeUnfinishedWrites(folder, copy.id);
        found.push_back(std::move(copy));
    }
    // Locks of programs that died before writing anything, and what their first write
    // left half done.
    const QStringList locks = dir.entryList({u"*.lock"_s}, QDir::Files);
    for (const QString &name : locks) {
        const QString id = QFileInfo(name).completeBaseName();
        if (!dir.exists(id + u".ego"_s) && tryLock(dir.filePath(name))) // unlocked (and removed) again at once
            removeUnfinishedWrites(folder, id);
    }
    // Half-done writes whose lock is gone too: no running program owns them.
    const QStringList unfinished = dir.entryList({u"*.tmp"_s}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : unfinished) {
        const QString id = QFileInfo(name.startsWith(u'.') ? name.mid(1) : name).baseName();
        if (id.isEmpty() || dir.exists(id + u".ego"_s) || dir.exists(id + u".lock"_s))
            continue;
        if (const auto lock = tryLock(dir.filePath(id + u".lock"_s)))
            removeUnfinishedWrites(folder, id);
    }
    std::sort(found.begin(), found.end(),
              [](const RecoveryCopy &a, const RecoveryCopy &b) { return a.written > b.written; });
    return found;
}

Result<NetworkModel> ReadRecoveryCopy(const RecoveryCopy &copy)
{
    return ReadEgoFile(copy.egoPath());
}

RestoreDocumentCommand::RestoreDocumentCommand(Document &document, NetworkModel recovered)
    : DocumentCommand(document, u"Restore recovered changes"_s), m_other(std::move(recovered))
{
}

void RestoreDocumentCommand::swap()
{
    std::swap(model(), m_other);
    m_document.announceCardList();
    m_document.announceEgo();
}

} // namespace korvalo

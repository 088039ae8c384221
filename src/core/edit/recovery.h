#pragma once

#include "core/edit/commands.h"
#include "core/model/networkmodel.h"
#include "core/model/result.h"
#include "core/model/status.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

class QLockFile;

namespace korvalo {

// Recovery copies: while an ego has unsaved changes, a copy of the whole document is kept
// in a folder of the user's application data, so that a crash or a dead battery loses at
// most the last minute of work. One copy is three files named after its id:
//   <id>.ego   the document, written exactly as Save writes an ego file
//   <id>.json  the file the ego was read from or saved to, and when the copy was written
//   <id>.lock  a QLockFile held by the running program that owns the copy
// A copy whose lock nobody holds was left by a run that did not end cleanly.

// The folder for recovery copies: "recovery" in the application-data location.
QString RecoveryFolder();

struct RecoveryCopy
{
    QString folder;
    QString id;
    QString originalFile; // empty for an ego that was never saved
    QString egoName;      // the ego's name when the copy was written
    QDateTime written;    // UTC; invalid while nothing was written
    // Held while this program owns the copy; a copy without a lock must not be written.
    std::shared_ptr<QLockFile> lock;

    QString egoPath() const;
    QString infoPath() const;
    QString lockPath() const;
};

// A new copy for this run in `folder` (made when missing), locked; nothing is written
// yet. Fails when the folder cannot be made or the lock cannot be taken.
Result<RecoveryCopy> NewRecoveryCopy(const QString &folder);

// Writes the model (as Save writes it, through the same safe replacement) and then the
// side file naming `originalFile` and `when`. Touches only the copy's own files; safe to
// call from a worker thread on a snapshot of the model.
Status WriteRecoveryCopy(const RecoveryCopy &copy, const NetworkModel &model,
                         const QString &originalFile, const QDateTime &when);

// Removes the copy's ego and side file (the lock stays with its owner).
void RemoveRecoveryFiles(const RecoveryCopy &copy);

// The copies in `folder` that no running program holds, newest first. Each comes locked
// for the caller: no other program takes it while the caller decides. Copies without a
// readable side file or without their ego file are skipped.
std::vector<RecoveryCopy> ClaimLeftoverRecoveryCopies(const QString &folder);

// The document held in a copy, read as File > Read reads (decimal point).
Result<NetworkModel> ReadRecoveryCopy(const RecoveryCopy &copy);

// "Restore recovered changes": replaces the whole document (ego, cards, current card)
// with a recovered one. Pushed on top of the saved file's contents, so that the restored
// ego shows as changed and undo goes back to what the file holds.
class RestoreDocumentCommand : public DocumentCommand
{
public:
    RestoreDocumentCommand(Document &document, NetworkModel recovered);
    void redo() override { swap(); }
    void undo() override { swap(); }

private:
    void swap();
    NetworkModel m_other;
};

} // namespace korvalo

#pragma once

#include "core/edit/recovery.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <chrono>
#include <optional>

namespace korvalo {

class Document;

// Keeps a recovery copy of the document while it has unsaved changes. A copy is written a
// few seconds after the user pauses, or after `interval` of changes without a pause, and
// never sooner than `interval` after the copy before. It is written from a snapshot of
// the model on a worker thread, so a large ego never stalls the window. A clean state
// (Save, File > New, File > Read, undo back to the saved step) and the end of a clean run
// remove the copy; the user's own file is never touched.
class Autosaver : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::seconds DefaultInterval{60};
    static constexpr std::chrono::milliseconds Pause{3000};

    // KORVALO_AUTOSAVE_SECONDS when it holds a positive number (fractions allowed),
    // otherwise DefaultInterval.
    static std::chrono::milliseconds intervalFromEnvironment();

    Autosaver(Document &document, QString folder, std::chrono::milliseconds interval,
              QObject *parent = nullptr);
    // A clean end: waits for a write under way and removes the copy.
    ~Autosaver() override;

    // The copy of a document restored from a recovery copy: those files (and their lock)
    // are this program's copy from now on.
    void adopt(RecoveryCopy copy);

    // The ego file of the current copy; empty while there is none on disk.
    QString copyPath() const;
    // Blocks until the writes under way are done (tests, benchmarks).
    void waitForWrites();

Q_SIGNALS:
    // A copy was written (ok) or could not be (the message says why).
    void written(bool ok, const QString &message);

private:
    void documentChanged();
    void modifiedChanged(bool modified);
    void writeNow();
    void removeCopy();
    void writeFinished(const Status &status);

    Document &m_document;
    QString m_folder;
    std::chrono::milliseconds m_interval;
    std::chrono::milliseconds m_pause;
    std::optional<RecoveryCopy> m_copy;
    bool m_onDisk = false;     // the copy's files exist (or a write of them is queued)
    bool m_failing = false;    // the last write failed; said once until one succeeds
    QTimer m_due;
    QElapsedTimer m_clock;
    std::optional<qint64> m_lastWrite;  // m_clock time of the last write started
    std::optional<qint64> m_dirtySince; // first change not in the copy
    // One worker: writes and removals happen in the order they were asked for.
    QThreadPool m_worker;
};

} // namespace korvalo

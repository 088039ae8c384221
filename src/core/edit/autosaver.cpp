#include "core/edit/autosaver.h"

#include "core/edit/document.h"

#include <QDateTime>
#include <QLockFile>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// The copy's file names without its lock: what a worker needs to write or remove it.
RecoveryCopy pathsOnly(const RecoveryCopy &copy)
{
    RecoveryCopy paths = copy;
    paths.lock.reset();
    return paths;
}

} // namespace

std::chrono::milliseconds Autosaver::intervalFromEnvironment()
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("KORVALO_AUTOSAVE_SECONDS").trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 24 * 3600)
        return DefaultInterval;
    return std::chrono::milliseconds(std::max<qint64>(1, qint64(seconds * 1000)));
}

Autosaver::Autosaver(Document &document, QString folder, std::chrono::milliseconds interval,
                     QObject *parent)
    : QObject(parent), m_document(document), m_folder(std::move(folder)), m_interval(interval),
      m_pause(std::min<std::chrono::milliseconds>(Pause, interval))
{
    m_worker.setMaxThreadCount(1);
    m_clock.start();
    m_due.setSingleShot(true);
    connect(&m_due, &QTimer::timeout, this, &Autosaver::writeNow);
    connect(&document, &Document::changed, this, &Autosaver::documentChanged);
    connect(&document, &Document::modifiedChanged, this, &Autosaver::modifiedChanged);
}

Autosaver::~Autosaver()
{
    m_due.stop();
    m_worker.waitForDone();
    if (m_copy)
        RemoveRecoveryFiles(*m_copy);
    // m_copy's lock goes with it, and with the lock its lock file.
}

void Autosaver::documentChanged()
{
    if (!m_document.isModified())
        return;
    const qint64 now = m_clock.elapsed();
    if (!m_dirtySince)
        m_dirtySince = now;
    // A few seconds after the user pauses, but no later than an interval after the first
    // change not in the copy, and never sooner than an interval after the last write.
    qint64 when = std::min(now + m_pause.count(), *m_dirtySince + m_interval.count());
    if (m_lastWrite)
        when = std::max(when, *m_lastWrite + m_interval.count());
    m_due.start(int(std::clamp<qint64>(when - now, 0, std::numeric_limits<int>::max())));
}

void Autosaver::modifiedChanged(bool modified)
{
    if (modified) {
        // The step that made the document differ from its file was announced while the
        // history still counted as clean.
        documentChanged();
        return;
    }
    m_due.stop();
    m_dirtySince.reset();
    removeCopy();
}

void Autosaver::writeNow()
{
    if (!m_document.isModified())
        return;
    if (!m_copy) {
        Result<RecoveryCopy> made = NewRecoveryCopy(m_folder);
        if (!made) {
            writeFinished(Status::failure(made.message()));
            return;
        }
        m_copy = std::move(made.value());
    }
    m_lastWrite = m_clock.elapsed();
    m_dirtySince.reset();
    m_onDisk = true;
    // The snapshot shares its texts with the document; only the records are copied.
    m_worker.start([this, copy = pathsOnly(*m_copy), snapshot = m_document.model(),
                    original = m_document.session().CurrentFileName,
                    when = QDateTime::currentDateTimeUtc()] {
        const Status status = WriteRecoveryCopy(copy, snapshot, original, when);
        QMetaObject::invokeMethod(this, [this, status] { writeFinished(status); },
                                  Qt::QueuedConnection);
    });
}

void Autosaver::removeCopy()
{
    if (!m_copy || !m_onDisk)
        return;
    m_onDisk = false;
    m_worker.start([copy = pathsOnly(*m_copy)] { RemoveRecoveryFiles(copy); });
}

void Autosaver::writeFinished(const Status &status)
{
    if (status) {
        m_failing = false;
    } else if (!m_failing) {
        // Said once, not at every attempt; the next attempt comes with the next change.
        m_failing = true;
        AppendInfoLine(m_document.session().infoSink,
                       status.message() + u" Your own file is untouched."_s);
    }
    Q_EMIT written(status.ok(), status.message());
}

void Autosaver::adopt(RecoveryCopy copy)
{
    if (m_copy && m_onDisk) {
        m_worker.start([old = pathsOnly(*m_copy)] { RemoveRecoveryFiles(old); });
        m_worker.waitForDone();
    }
    m_copy = std::move(copy);
    m_onDisk = true;
    // The adopted files hold the document as it is now.
    m_due.stop();
    m_dirtySince.reset();
    m_lastWrite = m_clock.elapsed();
}

QString Autosaver::copyPath() const
{
    return m_copy && m_onDisk ? m_copy->egoPath() : QString();
}

void Autosaver::waitForWrites()
{
    m_worker.waitForDone();
}

} // namespace korvalo

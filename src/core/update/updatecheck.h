#pragma once

#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QVersionNumber>

class QNetworkAccessManager;
class QNetworkReply;

namespace korvalo {

// What one look at the version resource found.
struct UpdateCheckResult
{
    enum class Outcome { Newer, UpToDate, Failed };
    Outcome outcome = Outcome::Failed;
    QVersionNumber own;
    QVersionNumber available; // null when the check failed
    QString error;            // why it failed, in words for the user
};

// The line that tells the user the result: "Korvalo 3.01 is available (you have 3.00).",
// "Korvalo 3.00 is up to date." or why the check failed.
QString UpdateCheckMessage(const UpdateCheckResult &result);

// Empty when `url` may be asked: https, or plain http on this machine only (127.0.0.1,
// ::1, localhost); otherwise why not.
QString RefusedUpdateAddress(const QUrl &url);

// Asks the version resource at `url` for the newest released version and compares it
// with the program's own. Only reads a few bytes: nothing is downloaded or run. The GET is
// asynchronous, ends after `timeoutMs` at the latest, follows at most three redirects and
// only to https, sends and keeps no cookies and gives up on an answer above 256 bytes.
class UpdateCheck : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 5000;
    static constexpr int MaxBodyBytes = 256;
    static constexpr int MaxRedirects = 3;

    explicit UpdateCheck(QObject *parent = nullptr);
    ~UpdateCheck() override;

    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    // Certificates trusted besides the system's (a test server's own).
    void addCaCertificates(const QList<QSslCertificate> &certificates) { m_extraCa += certificates; }
    // The version compared with; the program's own unless set.
    void setOwnVersion(const QVersionNumber &version) { m_own = version; }

    // Starts a check; finished() follows exactly once, also for a refused address. A check
    // still running is abandoned first.
    void start(const QUrl &url);
    bool isRunning() const { return m_reply != nullptr; }

    // Runs a check to its end in a local event loop (for the command line).
    static UpdateCheckResult runBlocking(const QUrl &url, int timeoutMs = DefaultTimeoutMs,
                                         const QList<QSslCertificate> &extraCa = {});

Q_SIGNALS:
    void finished(const korvalo::UpdateCheckResult &result);

private:
    void request(const QUrl &url);
    void readBody();
    void replyFinished();
    void fail(const QString &error);
    void finish(UpdateCheckResult result);

    QNetworkAccessManager *m_manager;
    QNetworkReply *m_reply = nullptr; // the request under way
    QTimer m_deadline;
    QByteArray m_body;
    QString m_abortReason;
    QList<QSslCertificate> m_extraCa;
    QVersionNumber m_own;
    int m_timeoutMs = DefaultTimeoutMs;
    int m_redirects = 0; // followed so far in this check
};

} // namespace korvalo

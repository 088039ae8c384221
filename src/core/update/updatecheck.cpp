#include "core/update/updatecheck.h"

#include "core/update/version.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>

namespace korvalo {

using namespace Qt::StringLiterals;

QString UpdateCheckMessage(const UpdateCheckResult &result)
{
    switch (result.outcome) {
    case UpdateCheckResult::Outcome::Newer:
        return u"Korvalo %1 is available (you have %2)."_s.arg(DisplayVersion(result.available),
                                                               DisplayVersion(result.own));
    case UpdateCheckResult::Outcome::UpToDate:
        return u"Korvalo %1 is up to date."_s.arg(DisplayVersion(result.own));
    case UpdateCheckResult::Outcome::Failed:
        break;
    }
    return u"The check for a new version failed: %1."_s.arg(result.error);
}

QString RefusedUpdateAddress(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return u"\"%1\" is not a web address"_s.arg(url.toDisplayString());
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https")
        return {};
    if (scheme == u"http") {
        const QString host = url.host().toLower();
        if (host == u"localhost" || QHostAddress(host).isLoopback())
            return {};
    }
    return u"only https addresses are checked"_s;
}

UpdateCheck::UpdateCheck(QObject *parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_own(OwnVersion())
{
    // Nothing is kept between checks: cookies and the cache are off per request.
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        m_abortReason = u"the server did not answer within %1 ms"_s.arg(m_timeoutMs);
        if (m_reply)
            m_reply->abort();
    });
}

UpdateCheck::~UpdateCheck()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void UpdateCheck::start(const QUrl &url)
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    m_deadline.stop();
    m_body.clear();
    m_abortReason.clear();

    if (const QString refused = RefusedUpdateAddress(url); !refused.isEmpty()) {
        fail(refused);
        return;
    }

    m_redirects = 0;
    m_deadline.start(m_timeoutMs); // for the whole check, redirects included
    request(url);
}

void UpdateCheck::request(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setRawHeader("User-Agent", "Korvalo/" KORVALO_VERSION);
    request.setRawHeader("Accept", "text/plain, */*");
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // Redirects are followed here, not by Qt: its own limit lets more requests through
    // than it says, and each hop must be checked for https before it is asked.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (!m_extraCa.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(m_extraCa);
        request.setSslConfiguration(tls);
    }

    QNetworkReply *reply = m_manager->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &UpdateCheck::readBody);
    connect(reply, &QNetworkReply::finished, this, &UpdateCheck::replyFinished);
}

// The address a redirect answer sends the client on to; empty when it is not one.
static QUrl RedirectTarget(const QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308)
        return {};
    const QUrl location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    return location.isEmpty() ? QUrl() : reply->url().resolved(location);
}

void UpdateCheck::readBody()
{
    if (!m_reply)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray chunk = m_reply->readAll();
    if (status < 200 || status > 299) // an error page or a redirect's body: not the answer
        return;
    m_body += chunk;
    if (m_body.size() > MaxBodyBytes) {
        m_abortReason = u"the server's answer is longer than %1 bytes"_s.arg(MaxBodyBytes);
        m_reply->abort();
    }
}

void UpdateCheck::replyFinished()
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    if (m_abortReason.isEmpty() && reply->error() == QNetworkReply::NoError)
        readBody();
    m_reply = nullptr;
    reply->deleteLater();

    if (!m_abortReason.isEmpty()) {
        fail(m_abortReason);
        return;
    }
    if (const QUrl target = RedirectTarget(reply); !target.isEmpty()) {
        // Never on over plain http, not even from a server on this machine.
        if (target.scheme().toLower() != u"https") {
            fail(u"the server sent it on to an address that is not https"_s);
            return;
        }
        if (m_redirects == MaxRedirects) {
            fail(u"the server sent it on more than %1 times"_s.arg(MaxRedirects));
            return;
        }
        ++m_redirects;
        m_body.clear();
        request(target);
        return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        fail(u"the server answered %1 %2"_s.arg(status).arg(phrase.left(60)).trimmed());
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        fail(u"the server could not be reached (%1)"_s.arg(reply->errorString()));
        return;
    }
    if (status < 200 || status > 299) {
        fail(u"the server answered %1"_s.arg(status));
        return;
    }

    const QVersionNumber available = ParseAnnouncedVersion(QString::fromLatin1(m_body));
    if (available.isNull()) {
        fail(u"the server's answer is not a version number"_s);
        return;
    }
    UpdateCheckResult result;
    result.own = m_own;
    result.available = available;
    result.outcome = QVersionNumber::compare(available.normalized(), m_own.normalized()) > 0
                         ? UpdateCheckResult::Outcome::Newer
                         : UpdateCheckResult::Outcome::UpToDate;
    finish(std::move(result));
}

void UpdateCheck::fail(const QString &error)
{
    UpdateCheckResult result;
    result.own = m_own;
    result.error = error;
    finish(std::move(result));
}

void UpdateCheck::finish(UpdateCheckResult result)
{
    m_deadline.stop();
    m_body.clear();
    m_abortReason.clear();
    Q_EMIT finished(result);
}

UpdateCheckResult UpdateCheck::runBlocking(const QUrl &url, int timeoutMs,
                                           const QList<QSslCertificate> &extraCa)
{
    UpdateCheck check;
    check.setTimeout(timeoutMs);
    check.addCaCertificates(extraCa);
    UpdateCheckResult result;
    bool done = false;
    QEventLoop loop;
    connect(&check, &UpdateCheck::finished, &loop, [&](const UpdateCheckResult &r) {
        result = r;
        done = true;
        loop.quit();
    });
    check.start(url);
    if (!done)
        loop.exec();
    return result;
}

} // namespace korvalo

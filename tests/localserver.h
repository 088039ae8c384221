#pragma once

#include <QFile>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>
#include <memory>

namespace korvalo {

// The test certificate (for 127.0.0.1 and localhost) that a test trusts on its own.
inline QList<QSslCertificate> TestCertificate()
{
    return QSslCertificate::fromPath(QStringLiteral(KORVALO_TEST_DATA "/tls/localhost.crt"));
}

// A web server on this machine that answers each GET with what `respond` makes of the
// path: a whole raw HTTP answer, or nothing at all (the request is left hanging).
class LocalServer
{
public:
    std::function<QByteArray(const QByteArray &path)> respond;
    int requests = 0;

    explicit LocalServer(bool tls = false)
    {
        if (tls) {
            auto ssl = std::make_unique<QSslServer>();
            QSslConfiguration config = QSslConfiguration::defaultConfiguration();
            config.setLocalCertificate(TestCertificate().value(0));
            QFile key(QStringLiteral(KORVALO_TEST_DATA "/tls/localhost.key"));
            key.open(QIODevice::ReadOnly);
            config.setPrivateKey(QSslKey(&key, QSsl::Rsa));
            ssl->setSslConfiguration(config);
            m_server = std::move(ssl);
        } else {
            m_server = std::make_unique<QTcpServer>();
        }
        QObject::connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, m_server.get(),
                         [this] { accept(); });
        m_server->listen(QHostAddress::LocalHost);
        m_scheme = tls ? QStringLiteral("https") : QStringLiteral("http");
    }

    QUrl url(const QString &path = QStringLiteral("/korvalo/version.txt")) const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2%3").arg(m_scheme).arg(m_server->serverPort()).arg(path));
    }

    static QByteArray ok(const QByteArray &body)
    {
        return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
               + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }
    static QByteArray status(const QByteArray &line)
    {
        return "HTTP/1.1 " + line + "\r\nContent-Length: 9\r\n\r\nNot here.";
    }
    static QByteArray redirect(const QUrl &to)
    {
        return "HTTP/1.1 302 Found\r\nLocation: " + to.toEncoded()
               + "\r\nContent-Length: 0\r\n\r\n";
    }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                *buffer += socket->readAll();
                if (!buffer->contains("\r\n\r\n"))
                    return;
                ++requests;
                const QByteArray path = buffer->split(' ').value(1);
                buffer->clear();
                const QByteArray answer = respond ? respond(path) : QByteArray();
                if (answer.isEmpty())
                    return;
                socket->write(answer);
            });
        }
    }

    std::unique_ptr<QTcpServer> m_server;
    QString m_scheme;
};

} // namespace korvalo

#include "core/update/updatecheck.h"
#include "core/update/version.h"
#include "localserver.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace korvalo;

namespace {

// One check against `url`, compared with version 3.00.
UpdateCheckResult check(const QUrl &url, int timeoutMs = 5000, const QList<QSslCertificate> &ca = {})
{
    UpdateCheck checker;
    checker.setOwnVersion(QVersionNumber(3, 0, 0));
    checker.setTimeout(timeoutMs);
    checker.addCaCertificates(ca);
    QSignalSpy finished(&checker, &UpdateCheck::finished);
    checker.start(url);
    if (finished.isEmpty())
        finished.wait(20000);
    if (finished.size() != 1)
        qFatal("the check ended %d times", int(finished.size()));
    return finished.first().first().value<UpdateCheckResult>();
}

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void versionsAsAnnounced_data();
    void versionsAsAnnounced();
    void answersOfAPlainServer_data();
    void answersOfAPlainServer();
    void https();
    void commandLine();
};

void TestUpdateCheck::versionsAsAnnounced_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("version"); // empty: not a version
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain number") << "301" << "3.0.1" << "3.01";
    QTest::newRow("as users read it") << " 3.01\r\n" << "3.0.1" << "3.01";
    QTest::newRow("two digits after the point") << "3.10" << "3.1.0" << "3.10";
    QTest::newRow("dotted") << "3.1.0" << "3.1.0" << "3.10";
    QTest::newRow("large minor") << "3.12.0" << "3.12.0" << "3.12.0";
    QTest::newRow("letters") << "3.0a" << "" << "";
    QTest::newRow("empty part") << "3..1" << "" << "";
    QTest::newRow("sign") << "-301" << "" << "";
    QTest::newRow("empty") << "  " << "" << "";
}

void TestUpdateCheck::versionsAsAnnounced()
{
    QFETCH(QString, text);
    QFETCH(QString, version);
    QFETCH(QString, shown);
    const QVersionNumber parsed = ParseAnnouncedVersion(text);
    QCOMPARE(parsed.normalized(), QVersionNumber::fromString(version).normalized());
    if (!shown.isEmpty())
        QCOMPARE(DisplayVersion(parsed), shown);
}

void TestUpdateCheck::answersOfAPlainServer_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<QString>("message");
    QTest::newRow("newer") << LocalServer::ok("301") << 5000 << "Korvalo 3.01 is available (you have 3.00).";
    QTest::newRow("the same, line break") << LocalServer::ok("3.00\n") << 5000 << "Korvalo 3.00 is up to date.";
    QTest::newRow("older") << LocalServer::ok("2.9.9") << 5000 << "Korvalo 3.00 is up to date.";
    QTest::newRow("not found") << LocalServer::status("404 Not Found") << 5000
                               << "The check for a new version failed: the server answered 404 Not Found.";
    QTest::newRow("garbage") << LocalServer::ok("<html>\x01\xff</html>") << 5000
                             << "The check for a new version failed: the server's answer is not a version number.";
    QTest::newRow("10 MB") << LocalServer::ok(QByteArray(10 * 1024 * 1024, '3')) << 5000
                           << "The check for a new version failed: the server's answer is longer than 256 bytes.";
    QTest::newRow("no answer") << QByteArray() << 200
                               << "The check for a new version failed: the server did not answer within 200 ms.";
    QTest::newRow("redirect to http") << LocalServer::redirect(QUrl(QStringLiteral("http://127.0.0.1:1/v.txt")))
                                      << 5000
                                      << "The check for a new version failed: the server sent it on to an "
                                         "address that is not https.";
}

void TestUpdateCheck::answersOfAPlainServer()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, timeoutMs);
    QFETCH(QString, message);
    LocalServer server;
    server.respond = [&](const QByteArray &) { return answer; };
    const UpdateCheckResult result = check(server.url(), timeoutMs);
    QCOMPARE(UpdateCheckMessage(result), message);
    QCOMPARE(server.requests, 1);
}

void TestUpdateCheck::https()
{
    LocalServer server(true);
    // /start sends the client on twice before the version; /loop for ever.
    server.respond = [&](const QByteArray &path) -> QByteArray {
        if (path == "/start")
            return LocalServer::redirect(server.url(QStringLiteral("/next")));
        if (path == "/next")
            return LocalServer::redirect(server.url(QStringLiteral("/korvalo/version.txt")));
        if (path == "/loop")
            return LocalServer::redirect(server.url(QStringLiteral("/loop")));
        return LocalServer::ok("3.1.0");
    };

    UpdateCheckResult result = check(server.url(), 5000, TestCertificate());
    QCOMPARE(UpdateCheckMessage(result), QStringLiteral("Korvalo 3.10 is available (you have 3.00)."));

    server.requests = 0;
    result = check(server.url(QStringLiteral("/start")), 5000, TestCertificate());
    QCOMPARE(UpdateCheckMessage(result), QStringLiteral("Korvalo 3.10 is available (you have 3.00)."));
    QCOMPARE(server.requests, 3);

    // A loop is followed three times, then given up: four requests in all.
    server.requests = 0;
    result = check(server.url(QStringLiteral("/loop")), 5000, TestCertificate());
    QCOMPARE(result.outcome, UpdateCheckResult::Outcome::Failed);
    QVERIFY2(result.error.contains(QStringLiteral("more than 3 times")), qPrintable(result.error));
    QCOMPARE(server.requests, 4);

    // A certificate nobody vouches for is not believed.
    result = check(server.url(), 5000);
    QCOMPARE(result.outcome, UpdateCheckResult::Outcome::Failed);
    QVERIFY2(result.error.contains(QStringLiteral("could not be reached")), qPrintable(result.error));
}

void TestUpdateCheck::commandLine()
{
    LocalServer server;
    server.respond = [](const QByteArray &) { return LocalServer::ok("999"); };
    auto run = [](const QStringList &args) {
        QProcess cli;
        QSignalSpy ended(&cli, &QProcess::finished);
        cli.start(QStringLiteral(KORVALO_CLI), QStringList{QStringLiteral("check-update")} + args);
        // The server answers from this process's event loop, so wait with it running.
        if (!ended.wait(20000))
            qFatal("korvalo-cli check-update did not end");
        return std::tuple(cli.exitCode(), QString::fromLocal8Bit(cli.readAllStandardOutput()),
                          QString::fromLocal8Bit(cli.readAllStandardError()));
    };

    auto [status, out, err] = run({QStringLiteral("--url"), server.url().toString()});
    QCOMPARE(status, 0);
    QVERIFY2(out.startsWith(QStringLiteral("Korvalo 9.99 is available (you have ")), qPrintable(out));

    std::tie(status, out, err) = run({QStringLiteral("--url"), QStringLiteral("http://example.org/v.txt")});
    QCOMPARE(status, 1);
    QCOMPARE(err, QStringLiteral("korvalo-cli check-update: The check for a new version failed: "
                                 "only https addresses are checked.\n"));

    server.respond = [](const QByteArray &) { return QByteArray(); };
    std::tie(status, out, err) =
        run({QStringLiteral("--url"), server.url().toString(), QStringLiteral("--timeout-ms"), QStringLiteral("200")});
    QCOMPARE(status, 1);
    QVERIFY(err.contains(QStringLiteral("did not answer within 200 ms")));
    QVERIFY(out.isEmpty());
}

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"

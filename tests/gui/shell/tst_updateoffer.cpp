#include "gui/shell/updateoffer.h"
#include "gui/dialogs/startchooser.h"
#include "localserver.h"
#include "shellfixture.h"

#include <QDesktopServices>
#include <QSettings>
#include <QSignalSpy>

using namespace korvalo;

// Stands in for the browser: records the pages the program asks to open.
class Browser : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

class TestUpdateOffer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName()).clear();
        qunsetenv("KORVALO_NO_UPDATE_CHECK");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_browser, "open");
        m_browser.opened.clear();
    }
    void cleanup() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    void startAsksOnceAndStaysSilentWhenUnreachable();
    void startOffersTheReleasePage();
    void menuSaysTheResultEitherWay();
    void windowRespondsWhileTheServerHangs();
    void turnedOff();

private:
    Browser m_browser;
    const QUrl m_page{QStringLiteral("https://korvalo.example.org/download")};
};

namespace {

// A port on this machine where nobody listens.
QUrl unreachable()
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1/korvalo/version.txt").arg(port));
}

UpdateCheckResult waitForCheck(UpdateOffer &offer)
{
    QSignalSpy checked(&offer, &UpdateOffer::checked);
    if (!checked.wait(20000))
        qFatal("no check ended");
    return checked.first().first().value<UpdateCheckResult>();
}

} // namespace

void TestUpdateOffer::startAsksOnceAndStaysSilentWhenUnreachable()
{
    {
        Shell shell;
        UpdateOffer &offer = *shell.window.updateOffer();
        offer.setAddresses(unreachable(), m_page);
        offer.setStartDelay(10);
        shell.asker->answers = {Asker::Answer::Yes};
        shell.window.startUp();
        const UpdateCheckResult result = waitForCheck(offer);
        QCOMPARE(result.outcome, UpdateCheckResult::Outcome::Failed);
        QCOMPARE(shell.asker->asked, QStringList{QStringLiteral("yesNo: Check for new versions of Korvalo at start?")});
    }
    // The answer is remembered: the next start checks without asking.
    Shell shell;
    UpdateOffer &offer = *shell.window.updateOffer();
    offer.setAddresses(unreachable(), m_page);
    offer.setStartDelay(10);
    shell.window.startUp();
    waitForCheck(offer);
    QVERIFY(shell.asker->asked.isEmpty());
}

void TestUpdateOffer::startOffersTheReleasePage()
{
    LocalServer server;
    server.respond = [](const QByteArray &) { return LocalServer::ok("999"); };
    Shell shell;
    UpdateOffer &offer = *shell.window.updateOffer();
    offer.setAddresses(server.url(), m_page);
    offer.setStartDelay(300);
    shell.asker->answers = {Asker::Answer::Yes, Asker::Answer::Yes};
    shell.window.show();
    shell.window.startUp();
    waitForCheck(offer);
    QCOMPARE(shell.asker->asked,
             QStringList({QStringLiteral("yesNo: Check for new versions of Korvalo at start?"),
                          QStringLiteral("yesNo: A newer Version of Korvalo is available. Do you want to update?")}));
    QVERIFY(!shell.window.startChooser()->isVisible());
    QCOMPARE(m_browser.opened, QList<QUrl>{m_page});
}

void TestUpdateOffer::menuSaysTheResultEitherWay()
{
    LocalServer server;
    QByteArray answer = LocalServer::ok("0.01");
    server.respond = [&](const QByteArray &) { return answer; };
    Shell shell;
    UpdateOffer &offer = *shell.window.updateOffer();
    offer.setAddresses(server.url(), m_page);
    QAction *item = shell.action(QStringLiteral("CheckforUpdates1"));
    QVERIFY(item->isEnabled());

    item->trigger();
    waitForCheck(offer);
    QCOMPARE(shell.asker->asked.size(), 1);
    QVERIFY2(shell.asker->asked.first().endsWith(QStringLiteral(" is up to date.")), qPrintable(shell.asker->asked.first()));

    answer = LocalServer::status("404 Not Found");
    item->trigger();
    waitForCheck(offer);
    QCOMPARE(shell.asker->asked.last(),
             QStringLiteral("message: The check for a new version failed: the server answered 404 Not Found."));

    // A newer version: declining opens nothing.
    answer = LocalServer::ok("999");
    shell.asker->answers = {Asker::Answer::No};
    item->trigger();
    waitForCheck(offer);
    QVERIFY2(shell.asker->asked.last().startsWith(QStringLiteral("yesNo: Korvalo 9.99 is available (you have ")),
             qPrintable(shell.asker->asked.last()));
    QVERIFY(shell.asker->asked.last().endsWith(
        QStringLiteral("\n\nA newer Version of Korvalo is available. Do you want to update?")));
    QVERIFY(m_browser.opened.isEmpty());
}

void TestUpdateOffer::windowRespondsWhileTheServerHangs()
{
    LocalServer server; // accepts and never answers
    Shell shell;
    UpdateOffer &offer = *shell.window.updateOffer();
    offer.setAddresses(server.url(), m_page);
    offer.setTimeout(1500);
    QSignalSpy checked(&offer, &UpdateOffer::checked);
    shell.trigger(QStringLiteral("CheckforUpdates1"));
    QVERIFY(offer.check().isRunning());

    // The user goes on working while the check waits.
    shell.createEgo(QStringLiteral("Anna"));
    shell.addCard(QStringLiteral("C1"));
    QCOMPARE(shell.model.CardCount(), 1);
    QTRY_COMPARE(server.requests, 1);
    QVERIFY(checked.isEmpty());

    QVERIFY(checked.wait(20000));
    QCOMPARE(shell.asker->messages(),
             QStringList{QStringLiteral("message: The check for a new version failed: the server did not answer "
                                        "within 1500 ms.")});
}

void TestUpdateOffer::turnedOff()
{
    {
        Shell shell;
        shell.window.updateOffer()->setAddresses(QUrl(), QUrl());
        QAction *item = shell.action(QStringLiteral("CheckforUpdates1"));
        QVERIFY(!item->isEnabled());
        QCOMPARE(item->toolTip(), QStringLiteral("This build does not check for updates."));
    }
    // Labs and tests turn it off through the environment: no question, no request.
    qputenv("KORVALO_NO_UPDATE_CHECK", "1");
    LocalServer server;
    server.respond = [](const QByteArray &) { return LocalServer::ok("999"); };
    Shell shell;
    UpdateOffer &offer = *shell.window.updateOffer();
    offer.setAddresses(server.url(), m_page);
    offer.setStartDelay(10);
    QVERIFY(!shell.action(QStringLiteral("CheckforUpdates1"))->isEnabled());
    shell.window.startUp();
    QTest::qWait(300);
    QCOMPARE(server.requests, 0);
    QVERIFY(shell.asker->asked.isEmpty());
}

QTEST_MAIN(TestUpdateOffer)
#include "tst_updateoffer.moc"

#include "gui/shell/updateoffer.h"

#include "gui/shell/asker.h"
#include "gui/shell/menus.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QSettings>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

const QString MenuItem = u"CheckforUpdates1"_s;
const QString ConsentKey = u"CheckForUpdatesAtStart"_s;

QSettings settings()
{
    const QString application = QCoreApplication::applicationName();
    const QString organization = QCoreApplication::organizationName();
    return QSettings(organization.isEmpty() ? application : organization, application);
}

} // namespace

UpdateOffer::UpdateOffer(const ShellContext &context, std::function<void()> hideStartChooser,
                         QObject *parent)
    : QObject(parent), m_context(context), m_hideStartChooser(std::move(hideStartChooser)),
      m_versionUrl(QStringLiteral(KORVALO_UPDATE_URL)), m_releasePage(QStringLiteral(KORVALO_RELEASE_PAGE)),
      m_turnedOff(qEnvironmentVariable("KORVALO_NO_UPDATE_CHECK") == u"1")
{
    m_startTimer.setSingleShot(true);
    m_startTimer.setInterval(StartDelayMs);
    connect(&m_startTimer, &QTimer::timeout, this, &UpdateOffer::startCheckDue);
    connect(&m_check, &UpdateCheck::finished, this, &UpdateOffer::finished);

    m_context.menus.bind(MenuItem, this, [this] { checkNow(); });
    // The reason a greyed item gives is its hint.
    m_context.menus.menu(u"Help1"_s)->setToolTipsVisible(true);
    refreshMenuItem();
}

void UpdateOffer::setAddresses(const QUrl &versionUrl, const QUrl &releasePage)
{
    m_versionUrl = versionUrl;
    m_releasePage = releasePage;
    refreshMenuItem();
}

void UpdateOffer::refreshMenuItem()
{
    QAction *item = m_context.menus.action(MenuItem);
    item->setEnabled(isEnabled());
    QString hint;
    if (m_versionUrl.isEmpty())
        hint = u"This build does not check for updates."_s;
    else if (m_turnedOff)
        hint = u"Checking for updates is turned off (KORVALO_NO_UPDATE_CHECK=1)."_s;
    item->setToolTip(hint.isEmpty() ? item->text() : hint);
    item->setStatusTip(hint);
}

void UpdateOffer::scheduleStartCheck()
{
    if (isEnabled())
        m_startTimer.start();
}

void UpdateOffer::startCheckDue()
{
    if (!isEnabled())
        return;
    // A question of its own must not sit on top of one the user is answering.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_startTimer.start();
        return;
    }
    QSettings s = settings();
    if (!s.contains(ConsentKey)) {
        const bool allowed =
            m_context.asker().yesNo(u"Check for new versions of Korvalo at start?"_s) == Asker::Answer::Yes;
        s.setValue(ConsentKey, allowed);
    }
    if (!s.value(ConsentKey).toBool() || m_check.isRunning())
        return;
    m_onDemand = false;
    m_check.start(m_versionUrl);
}

void UpdateOffer::checkNow()
{
    if (!isEnabled())
        return;
    m_startTimer.stop();
    m_onDemand = true;
    m_check.start(m_versionUrl);
}

void UpdateOffer::finished(const UpdateCheckResult &result)
{
    const bool onDemand = m_onDemand;
    m_onDemand = false;
    if (result.outcome == UpdateCheckResult::Outcome::Newer) {
        if (!onDemand && m_hideStartChooser)
            m_hideStartChooser();
        offer(result, onDemand);
    } else if (onDemand) {
        // At start only a newer version is worth a word; failures stay silent.
        m_context.asker().message(UpdateCheckMessage(result));
    }
    Q_EMIT checked(result);
}

void UpdateOffer::offer(const UpdateCheckResult &result, bool onDemand)
{
    // Without a page to send the user to there is nothing to offer, only news.
    if (m_releasePage.isEmpty()) {
        m_context.asker().message(UpdateCheckMessage(result));
        return;
    }
    const QString question = u"A newer Version of Korvalo is available. Do you want to update?"_s;
    const QString text = onDemand ? UpdateCheckMessage(result) + u"\n\n"_s + question : question;
    if (m_context.asker().yesNo(text) == Asker::Answer::Yes)
        QDesktopServices::openUrl(m_releasePage);
}

} // namespace korvalo

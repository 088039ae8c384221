#pragma once

#include "core/update/updatecheck.h"
#include "gui/shell/shellcontext.h"

#include <QObject>
#include <QTimer>
#include <QUrl>

#include <functional>

namespace korvalo {

// Tells the user about a newer version: Info > "Check for Updates..." on demand, and once
// a few seconds after start when the user allowed it (asked once, remembered). A newer
// version is offered by opening its release page in the browser; nothing is downloaded or
// run. The check is off when the build has no update address or KORVALO_NO_UPDATE_CHECK=1
// is set; the menu item is then greyed with the reason as its hint.
class UpdateOffer : public QObject
{
    Q_OBJECT
public:
    static constexpr int StartDelayMs = 3000;

    // `hideStartChooser` clears the screen before the offer at start.
    UpdateOffer(const ShellContext &context, std::function<void()> hideStartChooser,
                QObject *parent = nullptr);

    // The version resource and the release page; the build's own unless set. An empty
    // `versionUrl` turns the check off.
    void setAddresses(const QUrl &versionUrl, const QUrl &releasePage);
    void setTimeout(int milliseconds) { m_check.setTimeout(milliseconds); }
    void setStartDelay(int milliseconds) { m_startTimer.setInterval(milliseconds); }
    UpdateCheck &check() { return m_check; }

    // Arms the check at start (when it is on); the first time it asks whether to.
    void scheduleStartCheck();
    // Info > "Check for Updates...": says the result either way.
    void checkNow();

    bool isEnabled() const { return !m_versionUrl.isEmpty() && !m_turnedOff; }

Q_SIGNALS:
    // Every check that ended, after the user was told (or not, at start).
    void checked(const korvalo::UpdateCheckResult &result);

private:
    void startCheckDue();
    void finished(const UpdateCheckResult &result);
    void offer(const UpdateCheckResult &result, bool onDemand);
    void refreshMenuItem();

    ShellContext m_context;
    std::function<void()> m_hideStartChooser;
    UpdateCheck m_check;
    QTimer m_startTimer;
    QUrl m_versionUrl;
    QUrl m_releasePage;
    bool m_turnedOff = false;
    bool m_onDemand = false;
};

} // namespace korvalo

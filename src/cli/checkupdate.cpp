#include "cli/commandline.h"
#include "cli/commands.h"

#include "core/update/updatecheck.h"

#include <QUrl>

#include <cstdio>

namespace korvalo {

// check-update [--url URL] [--timeout-ms N]: asks the version resource for the newest
// version and says whether it is newer than this one. Reads a version number, nothing else.
int runCheckUpdate(const QStringList &args)
{
    SubCommand command(QStringLiteral("check-update"), QStringLiteral("[--url URL] [--timeout-ms N]"),
                       QStringLiteral("Asks the update server for the newest version of Korvalo and "
                                      "says whether it is newer than this one. Nothing is downloaded."));
    const QCommandLineOption urlOption(
        QStringLiteral("url"),
        QStringLiteral("The https address of the version number (plain http only on this machine)."),
        QStringLiteral("URL"), QStringLiteral(KORVALO_UPDATE_URL));
    const QCommandLineOption timeoutOption(
        QStringLiteral("timeout-ms"), QStringLiteral("How long to wait for the answer, in milliseconds."),
        QStringLiteral("N"), QString::number(UpdateCheck::DefaultTimeoutMs));
    command.parser().addOption(urlOption);
    command.parser().addOption(timeoutOption);
    const int parsed = command.parse(args, {}, 0, 0);
    if (parsed >= 0)
        return parsed;

    const QString address = command.parser().value(urlOption).trimmed();
    if (address.isEmpty())
        return command.usageError(QStringLiteral("--url is needed: this build has no update address"));
    bool isNumber = false;
    const int timeout = command.parser().value(timeoutOption).toInt(&isNumber);
    if (!isNumber || timeout <= 0)
        return command.usageError(QStringLiteral("--timeout-ms takes a positive number of milliseconds, not \"%1\"")
                                      .arg(command.parser().value(timeoutOption)));

    const UpdateCheckResult result = UpdateCheck::runBlocking(QUrl(address), timeout);
    if (result.outcome == UpdateCheckResult::Outcome::Failed)
        return command.failure(UpdateCheckMessage(result));
    std::fprintf(stdout, "%s\n", UpdateCheckMessage(result).toLocal8Bit().constData());
    return 0;
}

} // namespace korvalo

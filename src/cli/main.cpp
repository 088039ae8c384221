#include "cli/commands.h"
#include "core/egofile/platformfile.h"
#include "core/map/viewswitches.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <QDir>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace korvalo;

namespace {

const CliCommand *findCommand(const QByteArray &name)
{
    for (const CliCommand &command : CliCommands) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

void printUsage(FILE *to)
{
    std::fputs("Usage: korvalo-cli COMMAND [ARGUMENTS]\n"
               "       korvalo-cli COMMAND --help\n"
               "       korvalo-cli --version\n"
               "Commands:\n",
               to);
    for (const CliCommand &command : CliCommands) {
        // Continued arguments line up under the first one.
        const QByteArray lineBreak = QByteArray("\n").append(qsizetype(std::strlen(command.name)) + 3, ' ');
        const QByteArray synopsis = QByteArray(command.synopsis).replace("\n", lineBreak);
        std::fprintf(to, "  %s %s\n      %s\n", command.name, synopsis.constData(), command.summary);
    }
    std::fprintf(to, "View switches for render --view NAME=on|off:\n  %s\n",
                 qPrintable(ViewSwitchNames().join(QStringLiteral(", "))));
}

} // namespace

int main(int argc, char *argv[])
{
    // Rendering needs fonts, hence a QGuiApplication, which draws off screen here; the
    // other commands need no more than the core.
    const CliCommand *first = argc > 1 ? findCommand(QByteArray(argv[1])) : nullptr;
    const bool needsGui = first && first->drawsPictures;
    std::unique_ptr<QCoreApplication> app;
    if (needsGui) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Without a session (a cron job, a CI run) Qt would warn on standard error, which
        // is kept for this program's own messages.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/korvalo-runtime-" + QByteArray::number(::getuid());
            if (::mkdir(dir.constData(), 0700) == 0 || errno == EEXIST)
                qputenv("XDG_RUNTIME_DIR", dir);
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // File names as the system spells them, valid UTF-8 or not (argv without Qt's options).
    QStringList args = DecodedArguments(argc, argv).mid(1);
    if (args.isEmpty() || args.first() == u"--help" || args.first() == u"-h") {
        printUsage(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    if (args.first() == u"--version" || args.first() == u"-v") {
        std::printf("korvalo-cli %s\n", KORVALO_VERSION);
        return 0;
    }
    if (const CliCommand *command = findCommand(args.first().toUtf8())) {
        args.removeFirst();
        return command->run(args);
    }
    std::fprintf(stderr, "korvalo-cli: unknown command \"%s\" (korvalo-cli --help lists them)\n",
                 qPrintable(args.first()));
    return 2;
}

#include "cli/commands.h"
#include "core/egofile/platformfile.h"
#include "core/map/viewswitches.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <QDir>

#include <cerrno>
#include <cstdio>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace korvalo;

static void printUsage(FILE *to)
{
    std::fputs("Usage: korvalo-cli COMMAND [ARGUMENTS]\n"
               "       korvalo-cli COMMAND --help\n"
               "       korvalo-cli --version\n"
               "Commands:\n"
               "  resave IN.ego OUT.ego [--decimal-separator C]\n"
               "      Reads an ego file and writes it again as File > Save does.\n"
               "  render IN.ego OUT.png|OUT.jpg [--card N | --all-cards | --strip]\n"
               "         [--size WxH] [--mode sectors] [--view NAME=on|off ...]\n"
               "      Draws network cards into PNG or JPEG pictures.\n"
               "  report IN.ego... --analysis NAME [--card N] [--strong-circles K]\n"
               "         [--mode long|short] [--decimal-separator C]\n"
               "      Prints the lines of an analysis for each file (--help for the names).\n"
               "  transform IN.ego OUT.ego [--card N|all] OP...\n"
               "      Applies Transform menu commands (rotate=90, zoom-in, ...) in order.\n"
               "  sheet-dump FILE [--sheet N]\n"
               "      Prints the table around A1 of a worksheet (xlsx, ods, csv, xls).\n"
               "  import-nodes IN.ego OUT.ego --sheet FILE [--card N] [--skip R] [--id C] ...\n"
               "      Adds the alters of a table as nodes (--help lists the columns).\n"
               "  import-lines IN.ego OUT.ego --sheet FILE [--card N] [--node-a C] [--node-b C] ...\n"
               "      Adds the lines of an edge list.\n",
               to);
    std::fprintf(to, "View switches for render --view NAME=on|off:\n  %s\n",
                 qPrintable(ViewSwitchNames().join(QStringLiteral(", "))));
}

int main(int argc, char *argv[])
{
    // Rendering needs fonts, hence a QGuiApplication, which draws off screen here; the
    // other commands need no more than the core.
    const bool needsGui = argc > 1 && qstrcmp(argv[1], "render") == 0;
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
    const QString command = args.takeFirst();
    if (command == u"resave")
        return runResave(args);
    if (command == u"render")
        return runRender(args);
    if (command == u"report")
        return runReport(args);
    if (command == u"transform")
        return runTransform(args);
    if (command == u"sheet-dump")
        return runSheetDump(args);
    if (command == u"import-nodes")
        return runImportNodes(args);
    if (command == u"import-lines")
        return runImportLines(args);
    std::fprintf(stderr, "korvalo-cli: unknown command \"%s\" (korvalo-cli --help lists them)\n",
                 qPrintable(command));
    return 2;
}

#include "cli/commands.h"

#include "egofile/egofile.h"

#include <cstdio>

// resave IN OUT [--decimal-separator C]: File > Read followed by File > Save.
int runResave(const QStringList &args)
{
    QStringList paths;
    QChar separator = u'.';
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--decimal-separator") {
            if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
                std::fputs("korvalo-cli resave: --decimal-separator needs a character\n", stderr);
                return 2;
            }
            separator = args[++i].at(0);
        } else if (arg.startsWith(u"--")) {
            std::fprintf(stderr, "korvalo-cli resave: unknown option \"%s\"\n", qPrintable(arg));
            return 2;
        } else {
            paths.append(arg);
        }
    }
    if (paths.size() != 2) {
        std::fputs("Usage: korvalo-cli resave IN.ego OUT.ego [--decimal-separator C]\n", stderr);
        return 2;
    }

    ReadOptions options;
    options.DecimalSeparator = separator;
    options.warnings = [](const QString &line) {
        std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    };
    options.notes = options.warnings;
    const Result<NetworkModel> read = ReadEgoFile(paths[0], options);
    if (!read) {
        std::fprintf(stderr, "%s\n", read.message().toLocal8Bit().constData());
        return 1;
    }
    const Status saved = WriteEgoFile(read.value(), paths[1]);
    if (!saved) {
        std::fprintf(stderr, "%s\n", saved.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

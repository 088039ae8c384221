#include "cli/commandline.h"
#include "cli/commands.h"

#include "core/egofile/egofile.h"

#include <cstdio>

namespace korvalo {

// resave IN OUT [--decimal-separator C]: File > Read followed by File > Save.
int runResave(const QStringList &args)
{
    SubCommand command(QStringLiteral("resave"), QStringLiteral("IN.ego OUT.ego [--decimal-separator C]"),
                       QStringLiteral("Reads an ego file as File > Read does and writes it again as File > Save does."));
    const QCommandLineOption separatorOption(
        QStringLiteral("decimal-separator"),
        QStringLiteral("The separator the file's numbers are tried with first (the other one is tried next)."),
        QStringLiteral("C"), QStringLiteral("."));
    command.parser().addOption(separatorOption);
    command.parser().addPositionalArgument(QStringLiteral("IN.ego"), QStringLiteral("The ego file to read."));
    command.parser().addPositionalArgument(QStringLiteral("OUT.ego"), QStringLiteral("The file to write."));
    const int parsed = command.parse(args, {QStringLiteral("IN.ego"), QStringLiteral("OUT.ego")}, 2, 2);
    if (parsed >= 0)
        return parsed;
    const QString separator = command.parser().value(separatorOption);
    if (separator.size() != 1)
        return command.usageError(
            QStringLiteral("--decimal-separator takes one character, not \"%1\"").arg(separator));

    ReadOptions options;
    options.DecimalSeparator = separator.at(0);
    options.warnings = [](const QString &line) {
        std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    };
    options.notes = options.warnings;
    const QStringList paths = command.positional();
    const Result<NetworkModel> read = ReadEgoFile(paths[0], options);
    if (!read)
        return command.failure(read.message());
    const Status saved = WriteEgoFile(read.value(), paths[1]);
    if (!saved)
        return command.failure(saved.message());
    return 0;
}

} // namespace korvalo

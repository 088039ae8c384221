#include "cli/commandline.h"
#include "cli/commands.h"

#include "core/analysis/identity.h"
#include "core/analysis/study.h"
#include "core/egofile/egofile.h"

#include <cstdio>

namespace korvalo {

namespace {

void printLine(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
}

} // namespace

// merge-unsure IN OUT: Transform > Nodes > Merge Unsure Node Mergings, then File > Save.
int runMergeUnsure(const QStringList &args)
{
    SubCommand command(QStringLiteral("merge-unsure"), QStringLiteral("IN.ego OUT.ego"),
                       QStringLiteral("Renames the nodes of each unsure node merger to one ID, prints "
                                      "the renamings and writes the result."));
    command.parser().addPositionalArgument(QStringLiteral("IN.ego"), QStringLiteral("The ego file to read."));
    command.parser().addPositionalArgument(QStringLiteral("OUT.ego"), QStringLiteral("The file to write."));
    const int parsed = command.parse(args, {QStringLiteral("IN.ego"), QStringLiteral("OUT.ego")}, 2, 2);
    if (parsed >= 0)
        return parsed;
    const QStringList paths = command.positional();
    Result<NetworkModel> read = ReadEgoFile(paths[0]);
    if (!read)
        return command.failure(read.message());
    NetworkModel model = std::move(read.value());
    MergeUnsureNodeMergings(model, ReportMode::lang, printLine);
    if (const Status saved = WriteEgoFile(model, paths[1]); !saved)
        return command.failure(saved.message());
    return 0;
}

// plausibility IN...: Transform > Check > ID/Label Plausibility for each file in turn.
int runPlausibility(const QStringList &args)
{
    SubCommand command(QStringLiteral("plausibility"), QStringLiteral("IN.ego|FOLDER..."),
                       QStringLiteral("Lists IDs used with different labels, and IDs written in "
                                      "different letter case, for each ego file."));
    command.parser().addPositionalArgument(QStringLiteral("IN.ego|FOLDER"),
                                           QStringLiteral("Ego files, or folders of them."));
    const int parsed = command.parse(args, {QStringLiteral("IN.ego")}, 1, -1);
    if (parsed >= 0)
        return parsed;
    std::vector<StudyFailure> failures;
    const QStringList files = StudyFiles(command.positional(), &failures);
    const StudyWalkResult walked = WalkStudy<QStringList>(
        files, {},
        [](const QString &, const NetworkModel &model) { return IDLabelPlausibility(model); },
        [](const QString &, QStringList &lines) {
            for (const QString &line : lines)
                printLine(line);
        });
    failures.insert(failures.end(), walked.failures.begin(), walked.failures.end());
    for (const StudyFailure &f : failures)
        command.failure(f.path + QStringLiteral(": ") + f.message);
    return failures.empty() ? 0 : 1;
}

// aggregate IN OUT [--card N]: Macro > Aggregate Nodes on card N, then File > Save.
int runAggregate(const QStringList &args)
{
    SubCommand command(QStringLiteral("aggregate"), QStringLiteral("IN.ego OUT.ego [--card N]"),
                       QStringLiteral("Adds a card that sums up card N by sector and node colour, "
                                      "prints its lines and writes the result."));
    const QCommandLineOption cardOption(QStringLiteral("card"),
                                        QStringLiteral("The card to sum up (default 1)."),
                                        QStringLiteral("N"), QStringLiteral("1"));
    command.parser().addOption(cardOption);
    command.parser().addPositionalArgument(QStringLiteral("IN.ego"), QStringLiteral("The ego file to read."));
    command.parser().addPositionalArgument(QStringLiteral("OUT.ego"), QStringLiteral("The file to write."));
    const int parsed = command.parse(args, {QStringLiteral("IN.ego"), QStringLiteral("OUT.ego")}, 2, 2);
    if (parsed >= 0)
        return parsed;
    bool number = false;
    const int card = command.parser().value(cardOption).toInt(&number);
    if (!number || card < 1)
        return command.usageError(QStringLiteral("--card takes a card number from 1, not \"%1\"")
                                      .arg(command.parser().value(cardOption)));
    const QStringList paths = command.positional();
    Result<NetworkModel> read = ReadEgoFile(paths[0]);
    if (!read)
        return command.failure(read.message());
    NetworkModel model = std::move(read.value());
    if (const Status done = AggregateNodes(model, card, printLine); !done)
        return command.failure(paths[0] + QStringLiteral(": ") + done.message());
    if (const Status saved = WriteEgoFile(model, paths[1]); !saved)
        return command.failure(saved.message());
    return 0;
}

} // namespace korvalo

#include "cli/commandline.h"
#include "cli/commands.h"

#include "core/analysis/studyexport.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// The options both exports share.
struct ExportOptions
{
    QCommandLineOption includePrivate{u"include-private"_s,
                                      u"Also writes names, labels, memos and the interviewer; without it "
                                      "their columns stay empty. IDs are always written."_s};
    QCommandLineOption jobs{u"jobs"_s, u"Files read at once (default: one per core)."_s, u"N"_s};
    QCommandLineOption separator{u"decimal-separator"_s, u"Reads numbers in the files written with C."_s, u"C"_s};

    void addTo(QCommandLineParser &parser) const { parser.addOptions({includePrivate, jobs, separator}); }

    // The walk's settings, or a usage error's message.
    QString read(const QCommandLineParser &parser, StudyWalkOptions &walk) const
    {
        if (parser.isSet(jobs)) {
            bool ok = false;
            walk.jobs = parser.value(jobs).toInt(&ok);
            if (!ok || walk.jobs < 1)
                return u"--jobs needs a number from 1, not \"%1\""_s.arg(parser.value(jobs));
        }
        if (parser.isSet(separator)) {
            const QString c = parser.value(separator);
            if (c.size() != 1)
                return u"--decimal-separator needs one character, not \"%1\""_s.arg(c);
            walk.decimalSeparator = c.at(0);
        }
        return {};
    }
};

// Reports what the walk and the writing left undone; the exit status.
int finish(const SubCommand &command, std::vector<StudyFailure> failures, const StudyExportResult &result)
{
    for (const StudyFailure &f : failures)
        command.failure(f.path + u": "_s + f.message);
    for (const StudyFailure &f : result.walk.failures)
        command.failure(f.message);
    for (const StudyFailure &f : result.skipped)
        command.failure(f.message);
    for (const QString &warning : result.warnings)
        std::fprintf(stderr, "%s\n", warning.toLocal8Bit().constData());
    if (!result.written)
        return command.failure(result.written.message());
    return failures.empty() && result.walk.failures.empty() && result.skipped.empty() ? 0 : 1;
}

} // namespace

// export-tables IN... --out DIR [--include-private]: egos.csv, alters.csv and aaties.csv
// for the whole study.
int runExportTables(const QStringList &args)
{
    SubCommand command(u"export-tables"_s, u"IN... --out DIR [--include-private] [--jobs N]"_s,
                       u"Writes egos.csv, alters.csv and aaties.csv for every card of the ego files, "
                       "one set of tables for them all, as R's egor reads them. A folder stands for "
                       "its .ego files, sorted by name. A file that cannot be read is named on standard "
                       "error and the others are still written; exit status 1 then."_s);
    const ExportOptions options;
    options.addTo(command.parser());
    const QCommandLineOption out(u"out"_s, u"The folder for the tables (made when missing)."_s, u"DIR"_s);
    command.parser().addOption(out);
    command.parser().addPositionalArgument(u"IN"_s, u"Ego files, or folders of them."_s);
    const int parsed = command.parse(args, {u"IN"_s}, 1, -1);
    if (parsed >= 0)
        return parsed;
    if (!command.parser().isSet(out) || command.parser().value(out).isEmpty())
        return command.usageError(u"needs --out DIR, the folder for the tables"_s);
    StudyWalkOptions walk;
    if (const QString problem = options.read(command.parser(), walk); !problem.isEmpty())
        return command.usageError(problem);
    const QString folder = command.parser().value(out);
    if (!QDir().mkpath(folder))
        return command.failure(u"Cannot make the folder \"%1\"."_s.arg(QDir::toNativeSeparators(folder)));

    std::vector<StudyFailure> failures;
    const QStringList files = StudyFiles(command.positional(), &failures);
    StudyExportOptions exportOptions;
    exportOptions.includePrivate = command.parser().isSet(options.includePrivate);
    const StudyExportResult result = ExportStudyTables(files, folder, exportOptions, walk);
    return finish(command, std::move(failures), result);
}

// export-graphml IN... OUT.graphml [--card N|all] [--include-private]
int runExportGraphML(const QStringList &args)
{
    SubCommand command(u"export-graphml"_s, u"IN... OUT.graphml [--card N|all] [--include-private]"_s,
                       u"Writes the cards of the ego files as GraphML, one graph per card. A folder "
                       "stands for its .ego files, sorted by name."_s);
    const ExportOptions options;
    options.addTo(command.parser());
    const QCommandLineOption cardOption(u"card"_s, u"Only card N of each ego (default: all)."_s, u"N|all"_s);
    command.parser().addOption(cardOption);
    command.parser().addPositionalArgument(u"IN"_s, u"Ego files, or folders of them."_s);
    command.parser().addPositionalArgument(u"OUT.graphml"_s, u"The file to write."_s);
    const int parsed = command.parse(args, {u"IN"_s, u"OUT.graphml"_s}, 2, -1);
    if (parsed >= 0)
        return parsed;
    int card = 0;
    if (command.parser().isSet(cardOption) && command.parser().value(cardOption) != u"all") {
        bool ok = false;
        card = command.parser().value(cardOption).toInt(&ok);
        if (!ok || card < 1)
            return command.usageError(
                u"--card needs a card number from 1 or \"all\", not \"%1\""_s.arg(command.parser().value(cardOption)));
    }
    StudyWalkOptions walk;
    if (const QString problem = options.read(command.parser(), walk); !problem.isEmpty())
        return command.usageError(problem);

    QStringList inputs = command.positional();
    const QString path = inputs.takeLast();
    // Guards against a forgotten output name turning the last ego file into GraphML.
    if (QFileInfo(path).suffix().compare(u"ego"_s, Qt::CaseInsensitive) == 0 || QFileInfo(path).isDir())
        return command.usageError(u"the last argument names the GraphML file to write, not \"%1\""_s.arg(path));
    std::vector<StudyFailure> failures;
    const QStringList files = StudyFiles(inputs, &failures);
    StudyExportOptions exportOptions;
    exportOptions.includePrivate = command.parser().isSet(options.includePrivate);
    const StudyExportResult result = ExportStudyGraphML(files, path, card, exportOptions, walk);
    return finish(command, std::move(failures), result);
}

} // namespace korvalo

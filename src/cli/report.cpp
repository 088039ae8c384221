#include "cli/commands.h"

#include "core/analysis/analysisreport.h"
#include "core/analysis/macros.h"
#include "core/analysis/study.h"
#include "core/egofile/egofile.h"
#include "core/map/geometry.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// The strong-tie threshold is taken over the map's pixel radius; without a window the
// map has the size that korvalo-cli render draws by default.
constexpr int MapWidth = 850;
constexpr int MapHeight = 750;

void printError(const QString &message)
{
    std::fprintf(stderr, "korvalo-cli report: %s\n", message.toLocal8Bit().constData());
}

int usageError(const QString &message)
{
    printError(message);
    std::fputs("Try \"korvalo-cli report --help\".\n", stderr);
    return 2;
}

QString analysisNames()
{
    QStringList names;
    for (const AnalysisInfo &info : Analyses())
        names << info.name;
    // The analyses only the directory runs have.
    for (const MacroInfo &info : Macros()) {
        if (!names.contains(info.name))
            names << info.name;
    }
    return names.join(u", "_s);
}

QString helpText()
{
    return u"Usage: korvalo-cli report IN.ego|FOLDER... --analysis NAME [--card N] [--strong-circles K]\n"
           "                          [--mode long|short] [--format lines|tsv] [--jobs N]\n"
           "                          [--keyword WORD] [--decimal-separator C]\n"
           "Prints the lines of an analysis for each ego file in turn. A folder stands for its\n"
           "*.ego files, sorted by name ignoring case, numbers in names in numeric order.\n"
           "\n"
           "  --analysis NAME          one of: %1\n"
           "  --card N                 the current card (default 1): distances-to-ego,\n"
           "                           strong-ties, strong-ties-ratio and different-ids-card\n"
           "                           report it in the long form\n"
           "  --strong-circles K       strong circles of the strong-tie analyses (default 2);\n"
           "                           the short lines take each card's own circles\n"
           "  --mode long|short        long: the lines the menu writes; short: the lines of\n"
           "                           the Macro menu, one per ego. Default: long for one file,\n"
           "                           short for several or a folder when there is a short line\n"
           "  --format lines|tsv       lines (default), or a table for statistics programs: a\n"
           "                           header row and one row per ego, padded to the largest\n"
           "                           card count (memo-scan: one row per memo found)\n"
           "  --jobs N                 files read at once (default: one per core)\n"
           "  --keyword WORD           the word memo-scan looks for, whole and in any letter\n"
           "                           case (default ID); the lines list the first Memo1 of a\n"
           "                           file that has it, the table every memo\n"
           "  --decimal-separator C    reads numbers written with C and prints C in them\n"
           "\n"
           "A file that cannot be reported is named on standard error and the others are\n"
           "still reported. Exit status: 0 all reported, 1 a file was refused, 2 usage error.\n"_s
        .arg(analysisNames());
}

// The files the arguments stand for, in order: a folder for its ego files, anything else
// for itself (a missing file is then refused by the reader, in argument order).
QStringList filesOf(const QStringList &args, bool *hasFolder)
{
    QStringList files;
    for (const QString &arg : args) {
        if (QFileInfo(arg).isDir()) {
            *hasFolder = true;
            files << EgoFilesInFolder(arg);
        } else {
            files << arg;
        }
    }
    return files;
}

void printFailures(const StudyWalkResult &result)
{
    for (const StudyFailure &failure : result.failures)
        printError(failure.path + u": "_s + failure.message);
}

void writeLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += line.toLocal8Bit() + '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
}

bool parseInteger(const QString &text, int *value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok)
        *value = v;
    return ok;
}

} // namespace

// report IN.ego|FOLDER... --analysis NAME [--card N] [--strong-circles K] [--mode long|short]
//        [--format lines|tsv] [--jobs N] [--keyword WORD] [--decimal-separator C]
int runReport(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption analysisOption(u"analysis"_s, QString(), u"NAME"_s);
    const QCommandLineOption cardOption(u"card"_s, QString(), u"N"_s);
    const QCommandLineOption circlesOption(u"strong-circles"_s, QString(), u"K"_s);
    const QCommandLineOption modeOption(u"mode"_s, QString(), u"MODE"_s);
    const QCommandLineOption formatOption(u"format"_s, QString(), u"FORMAT"_s);
    const QCommandLineOption jobsOption(u"jobs"_s, QString(), u"N"_s);
    const QCommandLineOption keywordOption(u"keyword"_s, QString(), u"WORD"_s);
    const QCommandLineOption separatorOption(u"decimal-separator"_s, QString(), u"C"_s);
    parser.addOptions({help, analysisOption, cardOption, circlesOption, modeOption, formatOption, jobsOption,
                       keywordOption, separatorOption});
    if (!parser.parse(QStringList{u"korvalo-cli"_s} + args))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }

    if (parser.positionalArguments().isEmpty())
        return usageError(u"needs at least one .ego file or folder"_s);
    if (!parser.isSet(analysisOption))
        return usageError(u"--analysis is missing; one of: %1"_s.arg(analysisNames()));
    const QString analysisName = parser.value(analysisOption);
    const AnalysisInfo *info = FindAnalysis(analysisName);
    const MacroInfo *macro = FindMacro(analysisName);
    if (!info && !macro) {
        return usageError(u"--analysis: unknown analysis \"%1\"; one of: %2"_s
                              .arg(analysisName, analysisNames()));
    }
    if (macro && !macro->available)
        return usageError(u"--analysis: %1 is not available in this build"_s.arg(analysisName));

    ReportRequest request;
    request.mapRadius = MapRadius(MapWidth, MapHeight);
    request.currentCard = 1;
    if (parser.isSet(cardOption)
        && (!parseInteger(parser.value(cardOption), &request.currentCard) || request.currentCard < 1)) {
        return usageError(u"--card needs a card number from 1, not \"%1\""_s.arg(parser.value(cardOption)));
    }
    if (parser.isSet(circlesOption) && !parseInteger(parser.value(circlesOption), &request.strongCircles)) {
        return usageError(u"--strong-circles needs a whole number, not \"%1\""_s.arg(parser.value(circlesOption)));
    }
    StudyWalkOptions walk;
    if (parser.isSet(jobsOption) && (!parseInteger(parser.value(jobsOption), &walk.jobs) || walk.jobs < 1))
        return usageError(u"--jobs needs a number from 1, not \"%1\""_s.arg(parser.value(jobsOption)));
    bool tsv = false;
    if (parser.isSet(formatOption)) {
        const QString format = parser.value(formatOption);
        if (format == u"tsv")
            tsv = true;
        else if (format != u"lines")
            return usageError(u"--format is lines or tsv, not \"%1\""_s.arg(format));
        if (tsv && !macro)
            return usageError(u"--format tsv: %1 has no table"_s.arg(analysisName));
    }
    if (parser.isSet(separatorOption)) {
        const QString separator = parser.value(separatorOption);
        if (separator.size() != 1)
            return usageError(u"--decimal-separator needs one character, not \"%1\""_s.arg(separator));
        request.separator = separator.at(0);
    }
    walk.decimalSeparator = request.separator;

    bool hasFolder = false;
    const QStringList files = filesOf(parser.positionalArguments(), &hasFolder);
    const bool hasShort = !info || info->shortForm;
    request.mode = (files.size() > 1 || hasFolder) && hasShort ? ReportMode::kurz : ReportMode::lang;
    if (parser.isSet(modeOption)) {
        const QString mode = parser.value(modeOption);
        if (mode == u"long")
            request.mode = ReportMode::lang;
        else if (mode == u"short")
            request.mode = ReportMode::kurz;
        else
            return usageError(u"--mode is long or short, not \"%1\""_s.arg(mode));
        if (request.mode == ReportMode::kurz && !hasShort)
            return usageError(u"--mode short: %1 has no short line"_s.arg(analysisName));
    }

    // The directory runs: their lines in file order, or their table.
    if (macro && (!info || request.mode == ReportMode::kurz || tsv)) {
        MacroOptions options;
        options.strongCircles = request.strongCircles;
        options.mapRadius = request.mapRadius;
        options.separator = request.separator;
        if (parser.isSet(keywordOption))
            options.keyword = parser.value(keywordOption);
        if (options.keyword.trimmed().isEmpty())
            return usageError(u"--keyword needs a word"_s);
        // The table is padded to the largest card count, known only at the end; its rows
        // are kept (a few cells per ego), the models are not.
        std::vector<MacroRow> rows;
        int maxCards = 0;
        const StudyWalkResult result = RunMacro(
            macro->macro, files, options, walk, [&](const QString &, const MacroFileOutput &output) {
                if (!tsv) {
                    writeLines(output.lines);
                    return;
                }
                maxCards = std::max(maxCards, output.cards);
                rows.insert(rows.end(), output.rows.begin(), output.rows.end());
            });
        if (tsv) {
            QStringList lines{MacroTableHeader(macro->macro, maxCards)};
            for (const MacroRow &row : rows)
                lines << MacroTableRow(macro->macro, row, maxCards);
            writeLines(lines);
        }
        printFailures(result);
        return result.failures.empty() ? 0 : 1;
    }

    // The other analyses, file by file in the order given; a file refused for what it
    // lacks is named like one the reader refused.
    int status = 0;
    struct Report
    {
        QStringList lines;
        QString refusal;
    };
    const StudyWalkResult result = WalkStudy<Report>(
        files, walk,
        [&](const QString &path, const NetworkModel &model) -> Report {
            const QString name = QFileInfo(path).fileName();
            const std::span<const NetworkCard> cards = CardsOf(model);
            // The long reports of the current card need it; the short strong-tie lines
            // count every card, and a file without cards simply has nothing to count.
            const bool needsCard = info->currentCard && (request.mode == ReportMode::lang || !cards.empty());
            if (needsCard && size_t(request.currentCard) > cards.size()) {
                return {{}, u"\"%1\" has no network card %2 (it holds %3)."_s.arg(name).arg(request.currentCard).arg(cards.size())};
            }
            if (info->analysis == Analysis::IDContinuity && request.mode == ReportMode::lang && cards.size() < 2)
                return {{}, u"\"%1\": %2"_s.arg(name, NotEnoughCards)};
            return {ReportLines(info->analysis, model.ego, cards, request), {}};
        },
        [&](const QString &, Report &report) {
            if (!report.refusal.isEmpty()) {
                printError(report.refusal);
                status = 1;
                return;
            }
            writeLines(report.lines);
        });
    printFailures(result);
    return result.failures.empty() ? status : 1;
}

} // namespace korvalo

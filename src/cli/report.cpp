#include "cli/commands.h"

#include "core/analysis/analysisreport.h"
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
    return names.join(u", "_s);
}

QString helpText()
{
    return u"Usage: korvalo-cli report IN.ego... --analysis NAME [--card N] [--strong-circles K]\n"
           "                          [--mode long|short] [--decimal-separator C]\n"
           "Prints the lines of an Analysis or Info menu command for each ego file in turn.\n"
           "\n"
           "  --analysis NAME          one of: %1\n"
           "  --card N                 the current card (default 1): distances-to-ego,\n"
           "                           strong-ties, strong-ties-ratio and different-ids-card\n"
           "                           report it; the short strong-tie lines count every\n"
           "                           card with its circles\n"
           "  --strong-circles K       strong circles of the strong-tie analyses (default 2)\n"
           "  --mode long|short        long: the lines the menu writes; short: one line per\n"
           "                           ego. Default: long for one file, short for several\n"
           "                           when the analysis has a short line\n"
           "  --decimal-separator C    reads numbers written with C and prints C in them\n"
           "\n"
           "A file that cannot be reported is named on standard error and the others are\n"
           "still reported. Exit status: 0 all reported, 1 a file was refused, 2 usage error.\n"_s
        .arg(analysisNames());
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

// report IN.ego... --analysis NAME [--card N] [--strong-circles K] [--mode long|short]
//        [--decimal-separator C]
int runReport(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption analysisOption(u"analysis"_s, QString(), u"NAME"_s);
    const QCommandLineOption cardOption(u"card"_s, QString(), u"N"_s);
    const QCommandLineOption circlesOption(u"strong-circles"_s, QString(), u"K"_s);
    const QCommandLineOption modeOption(u"mode"_s, QString(), u"MODE"_s);
    const QCommandLineOption separatorOption(u"decimal-separator"_s, QString(), u"C"_s);
    parser.addOptions({help, analysisOption, cardOption, circlesOption, modeOption, separatorOption});
    if (!parser.parse(QStringList{u"korvalo-cli"_s} + args))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }

    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return usageError(u"needs at least one .ego file"_s);
    if (!parser.isSet(analysisOption))
        return usageError(u"--analysis is missing; one of: %1"_s.arg(analysisNames()));
    const AnalysisInfo *info = FindAnalysis(parser.value(analysisOption));
    if (!info) {
        return usageError(u"--analysis: unknown analysis \"%1\"; one of: %2"_s
                              .arg(parser.value(analysisOption), analysisNames()));
    }

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
    request.mode = files.size() > 1 && info->shortForm ? ReportMode::kurz : ReportMode::lang;
    if (parser.isSet(modeOption)) {
        const QString mode = parser.value(modeOption);
        if (mode == u"long")
            request.mode = ReportMode::lang;
        else if (mode == u"short")
            request.mode = ReportMode::kurz;
        else
            return usageError(u"--mode is long or short, not \"%1\""_s.arg(mode));
        if (request.mode == ReportMode::kurz && !info->shortForm)
            return usageError(u"--mode short: %1 has no short line"_s.arg(info->name));
    }
    if (parser.isSet(separatorOption)) {
        const QString separator = parser.value(separatorOption);
        if (separator.size() != 1)
            return usageError(u"--decimal-separator needs one character, not \"%1\""_s.arg(separator));
        request.separator = separator.at(0);
    }

    int status = 0;
    for (const QString &path : files) {
        ReadOptions options;
        options.DecimalSeparator = request.separator;
        const Result<NetworkModel> read = ReadEgoFile(path, options);
        if (!read) {
            printError(read.message());
            status = 1;
            continue;
        }
        const NetworkModel &model = read.value();
        const QString name = QFileInfo(path).fileName();
        const std::span<const NetworkCard> cards = CardsOf(model);
        // The long reports of the current card need it; the short strong-tie lines take
        // its circles, and a file without cards simply has nothing to count.
        const bool needsCard = info->currentCard && (request.mode == ReportMode::lang || !cards.empty());
        if (needsCard && size_t(request.currentCard) > cards.size()) {
            printError(u"\"%1\" has no network card %2 (it holds %3)."_s.arg(name).arg(request.currentCard).arg(cards.size()));
            status = 1;
            continue;
        }
        if (info->analysis == Analysis::IDContinuity && request.mode == ReportMode::lang && cards.size() < 2) {
            printError(u"\"%1\": %2"_s.arg(name, NotEnoughCards));
            status = 1;
            continue;
        }
        QByteArray out;
        for (const QString &line : ReportLines(info->analysis, model.ego, cards, request))
            out += line.toLocal8Bit() + '\n';
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    }
    return status;
}

} // namespace korvalo

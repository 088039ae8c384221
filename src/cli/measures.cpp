#include "cli/commands.h"

#include "core/analysis/measures.h"
#include "core/analysis/study.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

void printError(const QString &message)
{
    std::fprintf(stderr, "korvalo-cli measures: %s\n", message.toLocal8Bit().constData());
}

int usageError(const QString &message)
{
    printError(message);
    std::fputs("Try \"korvalo-cli measures --help\".\n", stderr);
    return 2;
}

const char HelpText[] =
    "Usage: korvalo-cli measures IN... [--card N] [--by-sector] [--attribute sex|sector|role|color]\n"
    "                            [--format tsv|csv] [--decimal-separator C]\n"
    "Prints the ego-network measures of every card of each ego file, one row per ego and\n"
    "card, with a header line. A folder stands for its .ego files, sorted by name.\n"
    "\n"
    "  --card N                 only card N of each ego\n"
    "  --by-sector              one row per ego, card and sector instead: alters, ties\n"
    "                           inside, density and the share of ties crossing sectors\n"
    "  --attribute NAME         what EI, Blau, IQV and entropy group the alters by:\n"
    "                           sex (default), sector, role or color\n"
    "  --format tsv|csv         tab-separated (default) or comma-separated values\n"
    "  --decimal-separator C    reads numbers in the files written with C\n"
    "\n"
    "Numbers have three decimals and \".\"; NA marks a measure that is not defined. The\n"
    "ego_id column holds the ego's ID, or the file's name when the ego has none.\n"
    "A file that cannot be read is named on standard error and the others are still\n"
    "measured. Exit status: 0 all measured, 1 a file was refused, 2 usage error.\n";

struct EgoRows
{
    std::vector<QStringList> rows;
    QStringList warnings;
    int cards = 0;
};

} // namespace

// measures IN... [--card N] [--by-sector] [--attribute NAME] [--format tsv|csv]
//          [--decimal-separator C]
int runMeasures(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption cardOption(u"card"_s, QString(), u"N"_s);
    const QCommandLineOption sectorOption(u"by-sector"_s);
    const QCommandLineOption attributeOption(u"attribute"_s, QString(), u"NAME"_s);
    const QCommandLineOption formatOption(u"format"_s, QString(), u"FORMAT"_s);
    const QCommandLineOption separatorOption(u"decimal-separator"_s, QString(), u"C"_s);
    parser.addOptions({help, cardOption, sectorOption, attributeOption, formatOption, separatorOption});
    if (!parser.parse(QStringList{u"korvalo-cli"_s} + args))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(HelpText, stdout);
        return 0;
    }
    const QStringList inputs = parser.positionalArguments();
    if (inputs.isEmpty())
        return usageError(u"needs at least one .ego file or folder"_s);

    int onlyCard = 0;
    if (parser.isSet(cardOption)) {
        bool ok = false;
        onlyCard = parser.value(cardOption).trimmed().toInt(&ok);
        if (!ok || onlyCard < 1)
            return usageError(u"--card needs a card number from 1, not \"%1\""_s.arg(parser.value(cardOption)));
    }
    MeasureAttribute attribute = MeasureAttribute::Sex;
    if (parser.isSet(attributeOption)) {
        const std::optional<MeasureAttribute> a = MeasureAttributeFromName(parser.value(attributeOption));
        if (!a) {
            return usageError(u"--attribute is sex, sector, role or color, not \"%1\""_s
                                  .arg(parser.value(attributeOption)));
        }
        attribute = *a;
    }
    QChar delimiter = u'\t';
    if (parser.isSet(formatOption)) {
        const QString format = parser.value(formatOption);
        if (format == u"csv")
            delimiter = u',';
        else if (format != u"tsv")
            return usageError(u"--format is tsv or csv, not \"%1\""_s.arg(format));
    }
    StudyWalkOptions options;
    if (parser.isSet(separatorOption)) {
        const QString separator = parser.value(separatorOption);
        if (separator.size() != 1)
            return usageError(u"--decimal-separator needs one character, not \"%1\""_s.arg(separator));
        options.decimalSeparator = separator.at(0);
    }
    const bool bySector = parser.isSet(sectorOption);

    std::vector<StudyFailure> failures;
    const QStringList files = StudyFiles(inputs, &failures);
    int status = failures.empty() ? 0 : 1;
    for (const StudyFailure &failure : failures)
        printError(u"%1: %2"_s.arg(failure.path, failure.message));

    const QByteArray header =
        DelimitedLine(bySector ? SectorMeasureColumns() : CardMeasureColumns(), delimiter).toUtf8() + '\n';
    std::fwrite(header.constData(), 1, size_t(header.size()), stdout);

    const StudyWalkResult walk = WalkStudy<EgoRows>(
        files, options,
        [&](const QString &path, const NetworkModel &model) {
            EgoRows result;
            result.cards = model.CardCount();
            result.rows = EgoMeasureRows(model, QFileInfo(path).completeBaseName(), attribute, bySector,
                                         onlyCard, &result.warnings);
            return result;
        },
        [&](const QString &path, EgoRows &result) {
            const QString name = QFileInfo(path).fileName();
            for (const QString &warning : result.warnings)
                printError(u"%1: %2"_s.arg(name, warning));
            if (onlyCard > result.cards) {
                printError(u"\"%1\" has no network card %2 (it holds %3)."_s.arg(name).arg(onlyCard).arg(result.cards));
                status = 1;
                return;
            }
            QByteArray out;
            for (const QStringList &row : result.rows)
                out += DelimitedLine(row, delimiter).toUtf8() + '\n';
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        });
    for (const StudyFailure &failure : walk.failures) {
        printError(failure.message);
        status = 1;
    }
    return status;
}

} // namespace korvalo

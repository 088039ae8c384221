#include "cli/commandline.h"
#include "cli/commands.h"

#include "core/analysis/cardanalyses.h"
#include "core/analysis/compare.h"
#include "core/analysis/measures.h"
#include "core/analysis/study.h"
#include "core/egofile/egofile.h"
#include "core/egofile/safefile.h"
#include "core/map/comparerender.h"
#include "core/map/imageexport.h"
#include "core/map/jpegwriter.h"
#include "core/map/vectorexport.h"
#include "core/model/textutil.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>

#include <cstdio>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

void write(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += line.toUtf8() + '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
}

QString egoIDOf(const NetworkModel &model, const QString &path)
{
    return IsBlank(model.ego.EgoID) ? QFileInfo(path).completeBaseName() : model.ego.EgoID;
}

// The pairs of consecutive cards of every file of a study, one summary row each.
int compareStudy(const SubCommand &command, const QStringList &inputs, bool tsv)
{
    std::vector<StudyFailure> failures;
    const QStringList files = StudyFiles(inputs, &failures);
    int status = 0;
    for (const StudyFailure &failure : failures)
        status = command.failure(u"%1: %2"_s.arg(failure.path, failure.message));
    if (tsv)
        write({DelimitedLine(ComparisonSummaryColumns(), u'\t')});
    struct EgoPairs
    {
        QString egoID;
        std::vector<CardComparison> pairs;
    };
    const StudyWalkResult walk = WalkStudy<EgoPairs>(
        files, StudyWalkOptions(),
        [](const QString &path, const NetworkModel &model) {
            return EgoPairs{egoIDOf(model, path), ConsecutiveComparisons(model)};
        },
        [&](const QString &path, EgoPairs &ego) {
            QStringList lines;
            for (const CardComparison &c : ego.pairs) {
                for (const QString &note : c.repeatedIDs)
                    std::fprintf(stderr, "korvalo-cli compare: %s: %s\n", qPrintable(QFileInfo(path).fileName()),
                                 qPrintable(note));
                const QStringList row = ComparisonSummaryRow(ego.egoID, c);
                if (tsv) {
                    lines << DelimitedLine(row, u'\t');
                } else {
                    lines << u"%1: card %2 -> %3: kept %4, lost %5, new %6, stability %7, turnover %8, jaccard %9"_s
                                 .arg(row[0], row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8]);
                }
            }
            write(lines);
        });
    for (const StudyFailure &failure : walk.failures)
        status = command.failure(failure.message);
    return status;
}

} // namespace

// compare IN.ego [--cards K M] [--format text|tsv] [--picture OUT.jpg|OUT.png|OUT.svg|OUT.pdf [--size WxH]]
// compare IN.ego --alters
// compare IN... --all [--format text|tsv]
int runCompare(const QStringList &arguments)
{
    SubCommand command(u"compare"_s,
                       u"IN.ego [--cards K M] [--format text|tsv]\n"
                       "       [--picture OUT.jpg|OUT.png|OUT.svg|OUT.pdf [--size WxH]]\n"
                       "       korvalo-cli compare IN.ego --alters\n"
                       "       korvalo-cli compare IN.ego|FOLDER... --all [--format text|tsv]"_s,
                       u"Compares two network cards of an ego: the figures (kept, lost and new alters, "
                       "stability, turnover, Jaccard, size change, ties between kept alters), then one line "
                       "per alter with its rings and sectors. --cards chooses the earlier and the later card "
                       "(default 1 and 2). --picture draws the compare view: a JPEG when OUT ends in .jpg, an SVG "
                       "in .svg, a PDF page in .pdf, else a PNG. --alters prints every alter ID "
                       "with its ring on each card instead (blank where absent). With --all: one row per pair "
                       "of consecutive cards of each ego; a folder stands for its .ego files. Ratios have "
                       "three decimals, NA where they are not defined."_s);
    // "--cards K M" takes two words, which the parser cannot say; take them out first.
    QStringList args = arguments;
    std::optional<std::pair<int, int>> cards;
    if (const qsizetype at = args.indexOf(u"--cards"_s); at >= 0) {
        if (at + 2 >= args.size())
            return command.usageError(u"--cards needs two card numbers, K and M"_s);
        bool okK = false;
        bool okM = false;
        const int k = args[at + 1].toInt(&okK);
        const int m = args[at + 2].toInt(&okM);
        if (!okK || !okM || k < 1 || m < 1)
            return command.usageError(
                u"--cards needs two card numbers from 1, not \"%1 %2\""_s.arg(args[at + 1], args[at + 2]));
        if (k == m)
            return command.usageError(u"--cards needs two different cards, not %1 twice"_s.arg(k));
        cards.emplace(k, m);
        args.remove(at, 3);
    }
    QCommandLineParser &parser = command.parser();
    const QCommandLineOption allOption(u"all"_s, u"Every pair of consecutive cards of each ego."_s);
    const QCommandLineOption formatOption(u"format"_s, u"text (default) or tsv."_s, u"FORMAT"_s);
    const QCommandLineOption pictureOption(u"picture"_s, u"Draws the compare view into a picture."_s, u"OUT"_s);
    const QCommandLineOption sizeOption(u"size"_s, u"The picture's size in pixels (850x750)."_s, u"WxH"_s);
    const QCommandLineOption altersOption(u"alters"_s, u"Every alter ID with its ring on each card."_s);
    parser.addOptions({allOption, formatOption, pictureOption, sizeOption, altersOption});
    if (const int status = command.parse(args, {u"IN"_s}, 1, -1); status >= 0)
        return status;
    const QStringList inputs = command.positional();
    const QString format = parser.isSet(formatOption) ? parser.value(formatOption) : u"text"_s;
    if (format != u"text" && format != u"tsv")
        return command.usageError(u"--format is text or tsv, not \"%1\""_s.arg(format));
    const bool tsv = format == u"tsv";
    if (parser.isSet(allOption)) {
        if (cards || parser.isSet(pictureOption) || parser.isSet(altersOption))
            return command.usageError(u"--all takes neither --cards, --picture nor --alters"_s);
        return compareStudy(command, inputs, tsv);
    }
    if (inputs.size() > 1)
        return command.usageError(u"compares the cards of one ego file; several files or folders need --all"_s);
    QSize size(850, 750);
    if (parser.isSet(sizeOption)) {
        const QStringList parts = parser.value(sizeOption).split(u'x');
        bool okW = false;
        bool okH = false;
        const int w = parts.size() == 2 ? parts[0].toInt(&okW) : 0;
        const int h = parts.size() == 2 ? parts[1].toInt(&okH) : 0;
        if (!okW || !okH || w < 1 || h < 1 || w > 20000 || h > 20000)
            return command.usageError(
                u"--size needs WIDTHxHEIGHT in pixels (at most 20000 each), not \"%1\""_s.arg(parser.value(sizeOption)));
        size = QSize(w, h);
    }

    if (parser.isSet(altersOption) && (cards || parser.isSet(pictureOption)))
        return command.usageError(u"--alters takes neither --cards nor --picture"_s);
    const QString path = inputs.first();
    if (QFileInfo(path).isDir())
        return command.usageError(u"\"%1\" is a folder; a folder needs --all"_s.arg(path));
    const Result<NetworkModel> read = ReadEgoFile(path, ReadOptions());
    if (!read)
        return command.failure(read.message());
    const NetworkModel &model = read.value();
    if (parser.isSet(altersOption)) {
        const AltersAcrossCardsTable table = AltersAcrossCards(CardsOf(model));
        QStringList lines{DelimitedLine(table.headings, u'\t')};
        for (const QStringList &row : table.rows)
            lines << DelimitedLine(row, u'\t');
        write(lines);
        return 0;
    }
    const auto [from, to] = cards.value_or(std::pair(1, 2));
    for (int card : {from, to}) {
        if (!model.hasCard(card))
            return command.failure(u"\"%1\" has no network card %2 (it holds %3)."_s.arg(QFileInfo(path).fileName())
                                       .arg(card)
                                       .arg(model.CardCount()));
    }
    const CardComparison comparison = CompareCards(model, from, to);
    if (tsv) {
        QStringList lines{DelimitedLine(ComparisonSummaryColumns(), u'\t'),
                          DelimitedLine(ComparisonSummaryRow(egoIDOf(model, path), comparison), u'\t'), QString(),
                          DelimitedLine(ComparedAlterColumns(), u'\t')};
        for (const ComparedAlter &alter : comparison.alters)
            lines << DelimitedLine(ComparedAlterRow(alter), u'\t');
        write(lines);
        for (const QString &note : comparison.repeatedIDs)
            std::fprintf(stderr, "korvalo-cli compare: %s\n", qPrintable(note));
    } else {
        write(ComparisonText(comparison, model));
    }
    if (parser.isSet(pictureOption)) {
        const QString out = parser.value(pictureOption);
        auto endsIn = [&](QStringView suffix) { return out.endsWith(suffix, Qt::CaseInsensitive); };
        if (endsIn(u".svg") || endsIn(u".pdf")) {
            const Status written = endsIn(u".svg") ? WriteCompareSvg(out, model, comparison, ViewOptions(), size)
                                                   : WriteComparePdf(out, model, comparison, ViewOptions(), size);
            return written ? 0 : command.failure(written.message());
        }
        QImage image(size, QImage::Format_RGB32);
        if (image.isNull())
            return command.failure(u"There is not enough memory for a picture of %1x%2 pixels."_s.arg(size.width())
                                       .arg(size.height()));
        RenderCompare(image, model, comparison, ViewOptions());
        if (endsIn(u".jpg") || endsIn(u".jpeg")) {
            if (const Status written = WriteJpegFile(image, out); !written)
                return command.failure(written.message());
        } else {
            // Through the same safe replacement as the ego files, which says why a write failed.
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            if (!image.save(&buffer, "PNG"))
                return command.failure(u"Cannot encode the picture for \"%1\"."_s.arg(out));
            if (const Status written = ReplaceFileSafely(out, std::string_view(png.constData(), size_t(png.size())));
                !written)
                return command.failure(written.message());
        }
    }
    return 0;
}

} // namespace korvalo

#include "cli/commandline.h"
#include "cli/commands.h"

#include "core/egofile/egofile.h"
#include "core/map/imageexport.h"
#include "core/map/jpegwriter.h"
#include "core/map/render.h"
#include "core/map/studypictures.h"
#include "core/map/vectorexport.h"

#include "core/egofile/safefile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <cstdio>

namespace korvalo {

namespace {

bool parsePositive(const QString &text, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < 1)
        return false;
    *value = v;
    return true;
}

} // namespace

// True for an output name that asks for a JPEG picture.
static bool wantsJpeg(const QString &path)
{
    return path.endsWith(u".jpg", Qt::CaseInsensitive) || path.endsWith(u".jpeg", Qt::CaseInsensitive);
}

// True for an output name that asks for a vector picture.
static bool wantsSvg(const QString &path)
{
    return path.endsWith(u".svg", Qt::CaseInsensitive);
}

static bool wantsPdf(const QString &path)
{
    return path.endsWith(u".pdf", Qt::CaseInsensitive);
}

// render FOLDER --all-cards|--grid --out PATH: the pictures of a whole study. Unreadable
// files and unwritable pictures are named and the run goes on; exit status 1 then.
static int renderFolder(const SubCommand &command, const QStringList &files, const ViewOptions &view, QSize size,
                 bool allCards, bool grid, const QString &out)
{
    if (files.size() > 1)
        return command.usageError(QStringLiteral("a folder takes no second path; the pictures go to --out"));
    if (!allCards && !grid)
        return command.usageError(QStringLiteral("a folder needs --all-cards or --grid"));
    if (out.isEmpty())
        return command.usageError(QStringLiteral("a folder needs --out"));
    const QStringList egos = EgoFilesInFolder(files[0]);
    StudyPictureResult result;
    if (allCards) {
        if (!QDir().mkpath(out))
            return command.failure(QStringLiteral("Cannot create the folder \"%1\".").arg(out));
        result = ExportStudyCards(egos, out, view, size, StudyWalkOptions());
    } else {
        result = ExportStudyGrid(egos, JpegFileName(out), view, size, StudyWalkOptions());
    }
    int status = 0;
    for (const std::vector<StudyFailure> *list : {&result.walk.failures, &result.refused}) {
        for (const StudyFailure &failure : *list)
            status = command.failure(failure.path + QStringLiteral(": ") + failure.message);
    }
    return status;
}

// render IN.ego OUT.png|OUT.jpg|OUT.svg|OUT.pdf [--card N | --all-cards | --strip]
//        [--size WxH] [--mode sectors] [--view NAME=on|off ...] [--smooth on|off] [--anonymise]
int runRender(const QStringList &args)
{
    SubCommand command(QStringLiteral("render"),
                       QStringLiteral("IN.ego OUT.png|OUT.jpg|OUT.svg|OUT.pdf [--card N | --all-cards | --strip] "
                                      "[--size WxH] [--mode sectors] [--view NAME=on|off ...] [--smooth on|off] "
                                      "[--anonymise]"),
                       QStringLiteral("Draws network cards as the main window shows them, into a PNG picture, a "
                                      "JPEG when OUT ends in .jpg, an SVG when it ends in .svg or a PDF when it "
                                      "ends in .pdf (with --all-cards one document, a page per card).\nView switches: ")
                           + ViewSwitchNames().join(u", "));
    QCommandLineParser &parser = command.parser();
    const QCommandLineOption cardOption(QStringLiteral("card"), QStringLiteral("The card to draw (default 1)."),
                                        QStringLiteral("N"));
    const QCommandLineOption allOption(QStringLiteral("all-cards"),
                                       QStringLiteral("One JPEG per card: ego.jpg gives ego1.jpg, ego2.jpg, ..."));
    const QCommandLineOption stripOption(QStringLiteral("strip"), QStringLiteral("All cards side by side into OUT."));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("The map's size in pixels (850x750)."),
                                        QStringLiteral("WxH"));
    const QCommandLineOption modeOption(QStringLiteral("mode"),
                                        QStringLiteral("\"sectors\" adds the handles of the sector mode."),
                                        QStringLiteral("MODE"));
    const QCommandLineOption viewOption(QStringLiteral("view"),
                                        QStringLiteral("Sets an Options menu switch, by its caption without blanks."),
                                        QStringLiteral("NAME=on|off"));
    const QCommandLineOption gridOption(QStringLiteral("grid"),
                                        QStringLiteral("With a folder: cards 1-3 of each ego file in a row of one JPEG, --out."));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("With a folder: where the pictures go (a folder for --all-cards, "
                                                      "which names them NAME-CARD.jpg; a .jpg for --grid)."),
                                       QStringLiteral("PATH"));
    const QCommandLineOption smoothOption(QStringLiteral("smooth"),
                                          QStringLiteral("Antialiased drawing, as Options > Smooth Drawing (default "
                                                         "off; SVG and PDF are always smooth)."),
                                          QStringLiteral("on|off"));
    const QCommandLineOption anonymiseOption(QStringLiteral("anonymise"),
                                             QStringLiteral("Hide names: node labels become the node numbers, the "
                                                            "caption and titles the card number."));
    parser.addOptions({cardOption, allOption, stripOption, sizeOption, modeOption, viewOption, gridOption, outOption,
                       smoothOption, anonymiseOption});
    parser.addPositionalArgument(QStringLiteral("IN.ego"), QStringLiteral("The ego file to draw."));
    parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("The picture to write."));
    const int parsed = command.parse(args, {QStringLiteral("the input file IN.ego"),
                                            QStringLiteral("the output file OUT.png or OUT.jpg")}, 1, 2);
    if (parsed >= 0)
        return parsed;
    const QStringList files = command.positional();

    int card = 1;
    const bool cardGiven = parser.isSet(cardOption);
    const bool allCards = parser.isSet(allOption), strip = parser.isSet(stripOption);
    int width = 850, height = 750;
    ViewOptions view;
    if (cardGiven && !parsePositive(parser.value(cardOption), &card))
        return command.usageError(QStringLiteral("--card needs a card number, not \"%1\"").arg(parser.value(cardOption)));
    if (parser.isSet(sizeOption)) {
        const QString value = parser.value(sizeOption);
        const QStringList parts = value.split(u'x');
        if (parts.size() != 2 || !parsePositive(parts[0], &width) || !parsePositive(parts[1], &height)
            || width > 20000 || height > 20000) {
            return command.usageError(
                QStringLiteral("--size needs WIDTHxHEIGHT in pixels (at most 20000 each), not \"%1\"").arg(value));
        }
    }
    if (parser.isSet(modeOption)) {
        if (parser.value(modeOption) != u"sectors")
            return command.usageError(
                QStringLiteral("the only --mode is \"sectors\", not \"%1\"").arg(parser.value(modeOption)));
        view.SectorHandles = true;
    }
    for (const QString &value : parser.values(viewOption)) {
        const qsizetype eq = value.indexOf(u'=');
        const QString name = value.left(eq);
        const QString state = eq < 0 ? QString() : value.mid(eq + 1);
        bool *option = FindViewSwitch(view, name);
        if (!option) {
            return command.usageError(QStringLiteral("unknown view switch \"%1\"; known are %2")
                                          .arg(name, ViewSwitchNames().join(u", ")));
        }
        if (state == u"on")
            *option = true;
        else if (state == u"off")
            *option = false;
        else
            return command.usageError(QStringLiteral("--view needs NAME=on or NAME=off, not \"%1\"").arg(value));
    }
    if (parser.isSet(smoothOption)) {
        const QString value = parser.value(smoothOption);
        if (value != u"on" && value != u"off")
            return command.usageError(QStringLiteral("--smooth needs on or off, not \"%1\"").arg(value));
        view.Smooth = value == u"on";
    }
    view.HideNames = parser.isSet(anonymiseOption);
    if (int(cardGiven) + int(allCards) + int(strip) + int(parser.isSet(gridOption)) > 1)
        return command.usageError(QStringLiteral("--card, --all-cards, --strip and --grid exclude each other"));
    if (QFileInfo(files[0]).isDir())
        return renderFolder(command, files, view, QSize(width, height), allCards, parser.isSet(gridOption),
                            parser.value(outOption));
    if (files.size() < 2)
        return command.usageError(QStringLiteral("the output file OUT.png or OUT.jpg is missing"));
    if (parser.isSet(gridOption) || parser.isSet(outOption))
        return command.usageError(QStringLiteral("--grid and --out need a folder of ego files"));

    const Result<NetworkModel> read = ReadEgoFile(files[0]);
    if (!read)
        return command.failure(read.message());
    const NetworkModel &model = read.value();
    if (!allCards && !strip && card > model.CardCount()) {
        return command.failure(QStringLiteral("\"%1\" has no network card %2 (it holds %3).")
                           .arg(QFileInfo(files[0]).fileName())
                           .arg(card)
                           .arg(model.CardCount()));
    }

    const QSize size(width, height);
    if (wantsSvg(files[1]) || wantsPdf(files[1])) {
        if (strip)
            return command.usageError(QStringLiteral("--strip makes a JPEG or PNG picture, not \"%1\"").arg(files[1]));
        if (wantsSvg(files[1])) {
            if (allCards)
                return command.usageError(QStringLiteral("an SVG holds one card; --all-cards needs OUT.pdf"));
            const Status written = WriteCardSvg(files[1], model, card, view, size);
            return written ? 0 : command.failure(written.message());
        }
        if (allCards && model.CardCount() == 0)
            return command.failure(QStringLiteral("\"%1\" holds no network cards to export.").arg(QFileInfo(files[0]).fileName()));
        const ExportOutcome outcome = WriteCardsPdf(files[1], model, allCards ? AllCards(model) : std::vector<int>{card},
                                                    view, size);
        return outcome.status ? 0 : command.failure(outcome.status.message());
    }
    const CardPicture picture = RenderedCards(model, view, size);
    if ((allCards || strip) && model.CardCount() == 0)
        return command.failure(QStringLiteral("\"%1\" holds no network cards to export.").arg(QFileInfo(files[0]).fileName()));
    if (allCards) {
        // Named as File > Export > "JPG All Cards" names them.
        const ExportOutcome outcome = ExportCardFiles(model.CardCount(), JpegFileName(files[1]), picture);
        if (!outcome.status)
            return command.failure(outcome.status.message());
        return 0;
    }
    if (strip && wantsJpeg(files[1])) {
        const ExportOutcome outcome = ExportCardStrip(model.CardCount(), size, files[1], picture);
        return outcome.status ? 0 : command.failure(outcome.status.message());
    }

    QImage image;
    if (strip) {
        image = DrawCardStrip(model.CardCount(), size, picture);
        if (image.isNull())
            return command.failure(QStringLiteral("There is not enough memory for the strip of %1 cards.").arg(model.CardCount()));
    } else {
        image = picture(card);
    }
    if (wantsJpeg(files[1])) {
        const Status written = WriteJpegFile(image, files[1]);
        return written ? 0 : command.failure(written.message());
    }
    // Through the same safe replacement as the ego files, which says why a write failed.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return command.failure(QStringLiteral("Cannot encode the picture for \"%1\".").arg(files[1]));
    const Status written = ReplaceFileSafely(files[1], std::string_view(png.constData(), size_t(png.size())));
    return written ? 0 : command.failure(written.message());
}

} // namespace korvalo

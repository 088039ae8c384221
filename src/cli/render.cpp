#include "cli/commands.h"

#include "egofile/egofile.h"
#include "map/imageexport.h"
#include "map/jpegwriter.h"
#include "map/render.h"

#include <QFileInfo>
#include <QImage>

#include <cstdio>

namespace {

int usageError(const QString &message)
{
    std::fprintf(stderr, "korvalo-cli render: %s\n", qPrintable(message));
    return 2;
}

int failure(const QString &message)
{
    std::fprintf(stderr, "korvalo-cli render: %s\n", qPrintable(message));
    return 1;
}

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

// render IN.ego OUT.png|OUT.jpg [--card N | --all-cards | --strip] [--size WxH]
//        [--mode sectors] [--view NAME=on|off ...]
int runRender(const QStringList &args)
{
    QStringList files;
    int card = 1;
    bool cardGiven = false, allCards = false, strip = false;
    int width = 850, height = 750;
    ViewOptions view;
    bool sectorMode = false;

    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!arg.startsWith(u"--")) {
            files << arg;
            continue;
        }
        if (arg == u"--all-cards" || arg == u"--strip") {
            (arg == u"--strip" ? strip : allCards) = true;
            continue;
        }
        if (i + 1 >= args.size())
            return usageError(QStringLiteral("%1 needs a value").arg(arg));
        const QString value = args[++i];
        if (arg == u"--card") {
            if (!parsePositive(value, &card))
                return usageError(QStringLiteral("--card needs a card number, not \"%1\"").arg(value));
            cardGiven = true;
        } else if (arg == u"--size") {
            const QStringList parts = value.split(u'x');
            if (parts.size() != 2 || !parsePositive(parts[0], &width)
                || !parsePositive(parts[1], &height) || width > 20000 || height > 20000) {
                return usageError(QStringLiteral("--size needs WIDTHxHEIGHT in pixels (at most 20000 each), not \"%1\"").arg(value));
            }
        } else if (arg == u"--mode") {
            if (value != u"sectors")
                return usageError(QStringLiteral("the only --mode is \"sectors\", not \"%1\"").arg(value));
            sectorMode = true;
        } else if (arg == u"--view") {
            const qsizetype eq = value.indexOf(u'=');
            const QString name = value.left(eq);
            const QString state = eq < 0 ? QString() : value.mid(eq + 1);
            bool *option = FindViewSwitch(view, name);
            if (!option) {
                return usageError(QStringLiteral("unknown view switch \"%1\"; known are %2")
                                      .arg(name, ViewSwitchNames().join(u", ")));
            }
            if (state == u"on")
                *option = true;
            else if (state == u"off")
                *option = false;
            else
                return usageError(QStringLiteral("--view needs NAME=on or NAME=off, not \"%1\"").arg(value));
        } else {
            return usageError(QStringLiteral("unknown option \"%1\"").arg(arg));
        }
    }
    if (files.size() != 2)
        return usageError(QStringLiteral("needs an input .ego file and an output .png or .jpg file"));
    if (int(cardGiven) + int(allCards) + int(strip) > 1)
        return usageError(QStringLiteral("--card, --all-cards and --strip exclude each other"));

    const Result<NetworkModel> read = ReadEgoFile(files[0]);
    if (!read)
        return failure(read.message());
    const NetworkModel &model = read.value();
    if (!allCards && !strip && card > model.CardCount()) {
        return failure(QStringLiteral("\"%1\" has no network card %2 (it holds %3).")
                           .arg(QFileInfo(files[0]).fileName())
                           .arg(card)
                           .arg(model.CardCount()));
    }
    view.SectorHandles = sectorMode;

    const QSize size(width, height);
    const CardPicture picture = RenderedCards(model, view, size);
    if ((allCards || strip) && model.CardCount() == 0)
        return failure(QStringLiteral("\"%1\" holds no network cards to export.").arg(QFileInfo(files[0]).fileName()));
    if (allCards) {
        // Named as File > Export > "JPG All Cards" names them.
        const ExportOutcome outcome = ExportCardFiles(model.CardCount(), JpegFileName(files[1]), picture);
        if (!outcome.status)
            return failure(outcome.status.message());
        return 0;
    }
    if (strip && wantsJpeg(files[1])) {
        const ExportOutcome outcome = ExportCardStrip(model.CardCount(), size, files[1], picture);
        return outcome.status ? 0 : failure(outcome.status.message());
    }

    QImage image;
    if (strip) {
        image = DrawCardStrip(model.CardCount(), size, picture);
        if (image.isNull())
            return failure(QStringLiteral("There is not enough memory for the strip of %1 cards.").arg(model.CardCount()));
    } else {
        image = picture(card);
    }
    if (wantsJpeg(files[1])) {
        const Status written = WriteJpegFile(image, files[1]);
        return written ? 0 : failure(written.message());
    }
    if (!image.save(files[1], "PNG"))
        return failure(QStringLiteral("Cannot write \"%1\".").arg(files[1]));
    return 0;
}

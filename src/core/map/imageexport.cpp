#include "core/map/imageexport.h"

#include "core/map/jpegwriter.h"

#include <QPainter>

#include <cstring>

namespace korvalo {

QString JpegFileName(const QString &chosen)
{
    if (chosen.endsWith(QStringLiteral(".jpg"), Qt::CaseSensitive))
        return chosen;
    return chosen + QStringLiteral(".jpg");
}

QString CardJpegFileName(const QString &baseName, int card)
{
    return JpegFileName(baseName).chopped(4) + QString::number(card) + QStringLiteral(".jpg");
}

CardPicture RenderedCards(const NetworkModel &model, const ViewOptions &view, QSize size)
{
    return [&model, view, size](int card) {
        QImage image(size, QImage::Format_RGB32);
        RenderCard(image, model, card, view);
        return image;
    };
}

QSize StripSize(int cards, QSize cardSize)
{
    return QSize(cards * cardSize.width(), cardSize.height());
}

Status CheckStrip(int cards, QSize cardSize)
{
    if (cards < 1)
        return Status::failure(QStringLiteral("There are no network cards to export."));
    if (cardSize.isEmpty())
        return Status::failure(QStringLiteral("The map has no size to export."));
    const qint64 width = qint64(cards) * cardSize.width();
    if (width > MaxJpegDimension() || cardSize.height() > MaxJpegDimension()) {
        return Status::failure(
            QStringLiteral("%1 cards side by side would make a picture %2 pixels wide, and a JPEG "
                           "picture can be at most %3 pixels wide.")
                .arg(cards)
                .arg(width)
                .arg(MaxJpegDimension()));
    }
    return Status::success();
}

ExportOutcome ExportCardFiles(int cards, const QString &baseName, const CardPicture &picture,
                              const ExportProgress &progress)
{
    ExportOutcome outcome;
    for (int n = 1; n <= cards; ++n) {
        const QString path = CardJpegFileName(baseName, n);
        outcome.status = WriteJpegFile(picture(n), path);
        if (!outcome.status)
            return outcome;
        outcome.written << path;
        if (progress && !progress(n, cards) && n < cards) {
            outcome.cancelled = true;
            return outcome;
        }
    }
    return outcome;
}

// Copies `card` into the strip at column `index`; rows of another length are cut or left
// white.
static void placeCard(QImage &strip, const QImage &card, int index, QSize cardSize)
{
    if (card.format() == strip.format() && card.size() == cardSize) {
        const size_t rowBytes = size_t(cardSize.width()) * 4;
        for (int y = 0; y < cardSize.height(); ++y)
            std::memcpy(strip.scanLine(y) + size_t(index) * rowBytes, card.constScanLine(y), rowBytes);
        return;
    }
    QPainter painter(&strip);
    painter.setClipRect(QRect(QPoint(index * cardSize.width(), 0), cardSize));
    painter.drawImage(index * cardSize.width(), 0, card);
}

QImage DrawCardStrip(int cards, QSize cardSize, const CardPicture &picture,
                     const ExportProgress &progress, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (cards < 1 || cardSize.isEmpty())
        return QImage();
    QImage strip(StripSize(cards, cardSize), QImage::Format_RGB32);
    if (strip.isNull())
        return strip;
    strip.fill(Qt::white);
    for (int n = 1; n <= cards; ++n) {
        placeCard(strip, picture(n), n - 1, cardSize);
        if (progress && !progress(n, cards) && n < cards) {
            if (cancelled)
                *cancelled = true;
            return QImage();
        }
    }
    return strip;
}

ExportOutcome ExportCardStrip(int cards, QSize cardSize, const QString &path,
                              const CardPicture &picture, const ExportProgress &progress)
{
    ExportOutcome outcome;
    outcome.status = CheckStrip(cards, cardSize);
    if (!outcome.status)
        return outcome;
    const QImage strip = DrawCardStrip(cards, cardSize, picture, progress, &outcome.cancelled);
    if (outcome.cancelled)
        return outcome;
    if (strip.isNull()) {
        const QSize size = StripSize(cards, cardSize);
        outcome.status = Status::failure(QStringLiteral("There is not enough memory for a picture of %1 x %2 pixels.")
                                             .arg(size.width())
                                             .arg(size.height()));
        return outcome;
    }
    outcome.status = WriteJpegFile(strip, path);
    if (outcome.status)
        outcome.written << path;
    return outcome;
}

} // namespace korvalo

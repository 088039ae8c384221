#include "core/map/vectorexport.h"

#include "core/egofile/safefile.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <numeric>

namespace korvalo {

namespace {

const QString Creator = QStringLiteral("Korvalo");

Status write(const QString &path, const QByteArray &bytes)
{
    return ReplaceFileSafely(path, std::string_view(bytes.constData(), size_t(bytes.size())));
}

// The page's title above the map, the map scaled to fill what is left, centred.
void paintPage(QPainter &painter, const QRectF &page, const NetworkModel &model, int card,
               const ViewOptions &view, QSize mapSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qMax(1, qRound(page.height() / 30)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font);
    const QString title = CardTitle(model, card, view.HideNames);
    painter.drawText(QRectF(page.left(), page.top(), page.width(), metrics.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     metrics.elidedText(title, Qt::ElideRight, page.width()));
    const QRectF room = page.adjusted(0, metrics.height() * 1.5, 0, 0);
    const double scale = std::min(room.width() / mapSize.width(), room.height() / mapSize.height());
    if (scale <= 0)
        return;
    painter.save();
    painter.translate(room.left() + (room.width() - mapSize.width() * scale) / 2, room.top());
    painter.scale(scale, scale);
    PaintCard(painter, mapSize, model, card, view);
    painter.restore();
}

} // namespace

std::vector<int> AllCards(const NetworkModel &model)
{
    std::vector<int> cards(size_t(std::max(0, model.CardCount())));
    std::iota(cards.begin(), cards.end(), 1);
    return cards;
}

QByteArray CardSvg(const NetworkModel &model, int card, const ViewOptions &view, QSize mapSize)
{
    mapSize = mapSize.expandedTo(QSize(1, 1));
    QByteArray svg;
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(mapSize);
    generator.setViewBox(QRect(QPoint(0, 0), mapSize));
    generator.setTitle(CardTitle(model, card, view.HideNames));
    generator.setDescription(Creator);
    {
        QPainter painter(&generator);
        PaintCard(painter, mapSize, model, card, view);
    }
    return svg;
}

QByteArray CardsPdf(const NetworkModel &model, const std::vector<int> &cards, const ViewOptions &view,
                    QSize mapSize, const ExportProgress &progress, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (cards.empty())
        return {};
    mapSize = mapSize.expandedTo(QSize(1, 1));
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(Creator);
        // With one card the document takes its title; several cards get none of theirs.
        writer.setTitle(cards.size() == 1 ? CardTitle(model, cards.front(), view.HideNames) : QString());
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        // Points: the map's pixels become points at a scale that fills the page.
        writer.setResolution(72);
        QPainter painter(&writer);
        const int total = int(cards.size());
        for (int i = 0; i < total; ++i) {
            if (i > 0)
                writer.newPage();
            const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size());
            paintPage(painter, page, model, cards[size_t(i)], view, mapSize);
            if (progress && !progress(i + 1, total) && i + 1 < total) {
                painter.end();
                if (cancelled)
                    *cancelled = true;
                return {};
            }
        }
    }
    return pdf;
}

Status WriteCardSvg(const QString &path, const NetworkModel &model, int card, const ViewOptions &view,
                    QSize mapSize)
{
    return write(path, CardSvg(model, card, view, mapSize));
}

ExportOutcome WriteCardsPdf(const QString &path, const NetworkModel &model, const std::vector<int> &cards,
                            const ViewOptions &view, QSize mapSize, const ExportProgress &progress)
{
    ExportOutcome outcome;
    if (cards.empty()) {
        outcome.status = Status::failure(QStringLiteral("There are no network cards to export."));
        return outcome;
    }
    const QByteArray pdf = CardsPdf(model, cards, view, mapSize, progress, &outcome.cancelled);
    if (outcome.cancelled)
        return outcome;
    outcome.status = write(path, pdf);
    if (outcome.status)
        outcome.written << path;
    return outcome;
}

} // namespace korvalo

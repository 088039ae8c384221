#include "core/map/vectorexport.h"

#include "core/egofile/safefile.h"
#include "core/map/comparerender.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <functional>
#include <numeric>

namespace korvalo {

namespace {

const QString Creator = QStringLiteral("Korvalo");

Status write(const QString &path, const QByteArray &bytes)
{
    return ReplaceFileSafely(path, std::string_view(bytes.constData(), size_t(bytes.size())));
}

// Draws one map of `mapSize` pixels at the painter's top left: a card, a compare view.
using MapPainting = std::function<void(QPainter &)>;

// The page's title above the map, the map scaled to fill what is left, centred.
void paintPage(QPainter &painter, const QRectF &page, const QString &title, QSize mapSize, const MapPainting &map)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qMax(1, qRound(page.height() / 30)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font);
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
    map(painter);
    painter.restore();
}

// An SVG document of one map, `mapSize` pixels wide and high (its view box).
QByteArray svgOf(QSize mapSize, const QString &title, const MapPainting &map)
{
    mapSize = mapSize.expandedTo(QSize(1, 1));
    QByteArray svg;
    QBuffer buffer(&svg);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(mapSize);
    generator.setViewBox(QRect(QPoint(0, 0), mapSize));
    generator.setTitle(title);
    generator.setDescription(Creator);
    {
        QPainter painter(&generator);
        map(painter);
    }
    return svg;
}

// A PDF of `pages` landscape A4 pages, page i (from 0) showing titles(i) above map(i).
// `progress` and `cancelled` as for CardsPdf.
QByteArray pdfOf(int pages, const QString &documentTitle, QSize mapSize, const std::function<QString(int)> &titles,
                 const std::function<void(QPainter &, int)> &map, const ExportProgress &progress, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (pages <= 0)
        return {};
    mapSize = mapSize.expandedTo(QSize(1, 1));
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(Creator);
        writer.setTitle(documentTitle);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        // Points: the map's pixels become points at a scale that fills the page.
        writer.setResolution(72);
        QPainter painter(&writer);
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                writer.newPage();
            const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size());
            paintPage(painter, page, titles(i), mapSize, [&](QPainter &p) { map(p, i); });
            if (progress && !progress(i + 1, pages) && i + 1 < pages) {
                painter.end();
                if (cancelled)
                    *cancelled = true;
                return {};
            }
        }
    }
    return pdf;
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
    return svgOf(mapSize, CardTitle(model, card, view.HideNames),
                 [&](QPainter &painter) { PaintCard(painter, mapSize.expandedTo(QSize(1, 1)), model, card, view); });
}

QByteArray CardsPdf(const NetworkModel &model, const std::vector<int> &cards, const ViewOptions &view,
                    QSize mapSize, const ExportProgress &progress, bool *cancelled)
{
    // With one card the document takes its title; several cards get none of theirs.
    const QString title = cards.size() == 1 ? CardTitle(model, cards.front(), view.HideNames) : QString();
    return pdfOf(
        int(cards.size()), title, mapSize,
        [&](int page) { return CardTitle(model, cards[size_t(page)], view.HideNames); },
        [&](QPainter &painter, int page) {
            PaintCard(painter, mapSize.expandedTo(QSize(1, 1)), model, cards[size_t(page)], view);
        },
        progress, cancelled);
}

QByteArray CompareSvg(const NetworkModel &model, const CardComparison &comparison, const ViewOptions &view,
                      QSize mapSize)
{
    return svgOf(mapSize, CompareTitle(model, comparison, view.HideNames), [&](QPainter &painter) {
        PaintCompare(painter, mapSize.expandedTo(QSize(1, 1)), model, comparison, view);
    });
}

QByteArray ComparePdf(const NetworkModel &model, const CardComparison &comparison, const ViewOptions &view,
                      QSize mapSize)
{
    const QString title = CompareTitle(model, comparison, view.HideNames);
    return pdfOf(
        1, title, mapSize, [&](int) { return title; },
        [&](QPainter &painter, int) {
            PaintCompare(painter, mapSize.expandedTo(QSize(1, 1)), model, comparison, view);
        },
        {}, nullptr);
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

Status WriteCompareSvg(const QString &path, const NetworkModel &model, const CardComparison &comparison,
                       const ViewOptions &view, QSize mapSize)
{
    return write(path, CompareSvg(model, comparison, view, mapSize));
}

Status WriteComparePdf(const QString &path, const NetworkModel &model, const CardComparison &comparison,
                       const ViewOptions &view, QSize mapSize)
{
    return write(path, ComparePdf(model, comparison, view, mapSize));
}

} // namespace korvalo

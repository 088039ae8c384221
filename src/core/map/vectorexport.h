#pragma once

#include "core/analysis/compare.h"
#include "core/map/imageexport.h"
#include "core/map/render.h"
#include "core/model/status.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <vector>

namespace korvalo {

// The map as vector pictures for publications: SVG of one card, PDF of one or several,
// and the compare view of two cards as either. They are drawn by PaintCard, so they show
// what the main window shows with smooth drawing, shapes as shapes and labels as text
// (searchable and selectable). `mapSize` is the map's size in pixels, as in RenderCard;
// view.HideNames gives pictures without the interviewees' names (the titles and the
// document's metadata included).

// The SVG document of card `card`: `mapSize` pixels wide and high (its view box), titled
// with CardTitle. A card that does not exist gives a white map.
QByteArray CardSvg(const NetworkModel &model, int card, const ViewOptions &view, QSize mapSize);

// One PDF of `cards` (numbers from 1, in that order): a landscape A4 page per card, the
// card's title at the top and the map below it, scaled to fill the rest of the page; the
// fonts are embedded. `progress` is told after each page; when it answers false the result
// is empty and `cancelled` (when given) is set. Empty without cards.
QByteArray CardsPdf(const NetworkModel &model, const std::vector<int> &cards, const ViewOptions &view,
                    QSize mapSize, const ExportProgress &progress = {}, bool *cancelled = nullptr);

// CardSvg and CardsPdf written to `path` through the safe replacement: a failure leaves
// the file that was there. A stopped PDF writes nothing (outcome.cancelled).
Status WriteCardSvg(const QString &path, const NetworkModel &model, int card, const ViewOptions &view,
                    QSize mapSize);
ExportOutcome WriteCardsPdf(const QString &path, const NetworkModel &model, const std::vector<int> &cards,
                            const ViewOptions &view, QSize mapSize, const ExportProgress &progress = {});

// The compare view (PaintCompare) as SVG, `mapSize` pixels wide and high, and as a PDF of
// one page laid out as CardsPdf lays out a card; both titled with CompareTitle. The cards
// of `comparison` should exist: without them the map is white.
QByteArray CompareSvg(const NetworkModel &model, const CardComparison &comparison, const ViewOptions &view,
                      QSize mapSize);
QByteArray ComparePdf(const NetworkModel &model, const CardComparison &comparison, const ViewOptions &view,
                      QSize mapSize);

// CompareSvg and ComparePdf written to `path` through the safe replacement.
Status WriteCompareSvg(const QString &path, const NetworkModel &model, const CardComparison &comparison,
                       const ViewOptions &view, QSize mapSize);
Status WriteComparePdf(const QString &path, const NetworkModel &model, const CardComparison &comparison,
                       const ViewOptions &view, QSize mapSize);

// Every card of the model, 1..CardCount, for CardsPdf.
std::vector<int> AllCards(const NetworkModel &model);

} // namespace korvalo

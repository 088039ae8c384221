#pragma once

#include "core/analysis/compare.h"
#include "core/map/viewswitches.h"
#include "core/model/networkmodel.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace korvalo {

// The compare view: the later card of a comparison drawn as the map draws it, with the
// change since the earlier card on top. The marks have colours of their own, which no
// part of a card's drawing uses, so that they can be found on the picture.
inline constexpr QRgb CompareArrowColor = 0xFFE06000; // kept alters: from where they were
inline constexpr QRgb CompareGhostColor = 0xFF969696; // lost alters: dashed outline
inline constexpr QRgb CompareStarColor = 0xFFB01080;  // new alters: a small star

// Draws card comparison.to of the model with RenderCard, then: for each kept alter that
// moved, a thin arrow from its place on card comparison.from to its place now; for each
// lost alter a dashed grey outline of its size where it was; a small star at the upper
// right of each new alter; and a legend with the stability, turnover, Jaccard and size
// change in a corner (CompareLegendPlace). Alters hidden by the symbol filters get no
// marks. Both cards must exist. The map's size is the image's in layout pixels: at a
// device pixel ratio other than 1, or with view.Smooth, the marks and the legend are drawn
// as PaintCompare draws them, scaled by the ratio as RenderCard scales the map. `target`
// should be QImage::Format_RGB32, a null image is left alone.
void RenderCompare(QImage &target, const NetworkModel &model, const CardComparison &comparison,
                   const ViewOptions &view);

// The compare view drawn by `painter` (an image, an SVG generator, a PDF writer) as a map
// of `mapSize` pixels at the top left: the later card by PaintCard, and on it the same
// marks and legend as RenderCompare, as shapes and text (the legend stays searchable in
// an SVG or PDF). Clipped to the map; without both cards only the map of the later one,
// or the white background, is drawn. The painter's state is restored afterwards.
void PaintCompare(QPainter &painter, QSize mapSize, const NetworkModel &model, const CardComparison &comparison,
                  const ViewOptions &view);

// The title of a compare picture: "Name-CardID to CardID" (the earlier card, then the
// later one), or "Card K to card M" for pictures that hide names. Empty when a card does
// not exist (unless names are hidden).
QString CompareTitle(const NetworkModel &model, const CardComparison &comparison, bool hideNames);

// The legend's box in `corner` of a map of `mapSize` pixels, 6 pixels in from its edges.
QRect CompareLegendRect(QSize mapSize, Qt::Corner corner);

// Where RenderCompare and PaintCompare put the legend on a map of `mapSize` pixels: in
// the corner where it hides least of the map. First counts what matters most, the pixels
// of nodes, labels, sector labels, the caption and the marks under the box; then the
// circles, sector boundaries, lines and the coloured disc that it meets. On a tie the
// top right wins, then the top left, the bottom right and the bottom left. Without both
// cards, the top right.
QRect CompareLegendPlace(const NetworkModel &model, const CardComparison &comparison, const ViewOptions &view,
                         QSize mapSize);

} // namespace korvalo

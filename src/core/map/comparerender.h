#pragma once

#include "core/analysis/compare.h"
#include "core/map/viewswitches.h"
#include "core/model/networkmodel.h"

#include <QImage>
#include <QRect>

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
// change in the upper right corner. Alters hidden by the symbol filters get no marks.
// Both cards must exist. The map's size is the image's; `target` should be
// QImage::Format_RGB32, a null image is left alone.
void RenderCompare(QImage &target, const NetworkModel &model, const CardComparison &comparison,
                   const ViewOptions &view);

// Where the legend lies on a map of w x h pixels.
QRect CompareLegendRect(int w, int h);

} // namespace korvalo

#pragma once

#include "core/map/viewswitches.h"
#include "core/model/networkmodel.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QStringView>

class QPainter;
class QPointF;

namespace korvalo {

// The map's drawing. render.cpp puts a card together; the texts are drawn through the
// cache of textcache.cpp, the lines by linedrawing.cpp, the nodes and symbols by
// nodestamps.cpp.

// Draws card `card` of the model into `target` as the map shows it: background, sector
// wedges, circles, boundary lines, handles (only with view.SectorHandles), sector
// labels, lines, nodes, the ego, node labels and the caption. The map's size is the
// image's size. Card 0 (or a card that does not exist) leaves only the white background.
// Sizes and the decimal separator come from the view; the caption reads the ego's Name
// from the model. Without view.Smooth nothing is antialiased: nodes show
// their exact palette colour, lines LineStrokeColor, handles SectorHandleColor, and
// everything else is black, white, grey or a lightened sector colour; that is the picture
// the hit test reads. With view.Smooth the card is drawn as PaintCard draws it, at the
// image's device pixel ratio (the map's size is the image's size in layout pixels).
// `target` should be QImage::Format_RGB32; a null image is left alone.
void RenderCard(QImage &target, const NetworkModel &model, int card, const ViewOptions &view);

// The card drawn by `painter` (an image, an SVG generator, a PDF writer) as a map of
// `mapSize` (pixels, in the painter's coordinates) at the top left: the same geometry,
// colours, symbols and labels as RenderCard, always smooth (view.Smooth is implied), shapes
// as shapes and labels as text. Clipped to the map; a card that does not exist leaves the
// white background. The painter's state is restored afterwards.
void PaintCard(QPainter &painter, QSize mapSize, const NetworkModel &model, int card, const ViewOptions &view);

// The caption of card n: "Name-CardID", or "Card n" for pictures that hide names. Empty
// for a card that does not exist (unless names are hidden).
QString CardTitle(const NetworkModel &model, int card, bool hideNames);

// False when the node's Symbol is switched off by the symbol filters; node 0 (the ego's
// slot, without symbol) follows "Show Without Symbol".
bool NodeVisible(const NetworkCard &card, int node, const ViewOptions &view);

// One of the four symbols ("flash", "triangle", "box", "diamond"; anything else draws
// nothing but the optional box) around (x, y), scaled by size in pixels, grey with a black
// outline. `boxed` first draws a white square of half side `size` (the node dialog's
// preview). Leaves the painter's pen and brush changed.
void DrawSymbol(QPainter &painter, int x, int y, int size, const QString &symbol, bool boxed);

// Text in Arial without antialiasing, em height `size` pixels, top-left corner at (x, y),
// turned anticlockwise about that corner by `rotation` degrees, in the painter's current
// pen colour on a transparent background. An empty text draws nothing.
void DrawMapText(QPainter &painter, int x, int y, const QString &text, int size, int rotation);

// DrawMapText for smooth pictures: antialiased, and always as text, so that an SVG or PDF
// keeps it searchable; the top-left corner may lie between pixels.
void DrawSmoothMapText(QPainter &painter, QPointF at, const QString &text, int size, int rotation);

} // namespace korvalo

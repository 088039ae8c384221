#pragma once

#include "core/map/viewswitches.h"
#include "core/model/networkmodel.h"

#include <QRgb>

namespace korvalo {

// The map is hit-tested by the colour of the pixel under the pointer: nodes are filled
// with palette colours 1..8, lines are stroked one step lighter in every channel
// (LineStrokeColor of palette 0..8), sector handles with SectorHandleColor, and the
// background is white. Only then is the item looked up geometrically. Colours are QRgb;
// the alpha channel is ignored.

enum class PixelClass { Background, Node, Line, Handle, Other };

PixelClass ClassifyPixel(QRgb pixel);
inline bool IsNodeColor(QRgb pixel) { return ClassifyPixel(pixel) == PixelClass::Node; }
inline bool IsLineColor(QRgb pixel) { return ClassifyPixel(pixel) == PixelClass::Line; }
inline bool IsHandleColor(QRgb pixel) { return ClassifyPixel(pixel) == PixelClass::Handle; }
inline bool IsBackground(QRgb pixel) { return ClassifyPixel(pixel) == PixelClass::Background; }

// All positions are pixels on a map of w x h; distances are Manhattan distances.

// The node slot 0..NodeCount (0 = the ego at the centre) whose drawn point lies nearest
// to (x, y); on equal distances the lower number wins. No distance limit: callers check
// the pixel's colour first.
int NearestNode(const NetworkCard &card, int x, int y, int w, int h);

// The alter (1..NodeCount) whose picture, as drawn with `view`, covers (x, y): its disc
// or square with the outline, the group marks inside it, and its symbol. The nearest on
// an overlap, 0 when none does. Hidden alters cover nothing.
int NodeCovering(const NetworkCard &card, int x, int y, int w, int h, const ViewOptions &view);

// The class of the map's pixel `pixel` at (x, y): a pixel drawn for a node (its outline,
// group marks and symbol, whatever their colour) counts as Node.
PixelClass ClassifyMapPixel(const NetworkCard &card, QRgb pixel, int x, int y, int w, int h,
                            const ViewOptions &view);

// The sector whose handle (the outer end of its boundary) lies nearest to (x, y), the
// lower number on a tie; 0 when the nearest is more than 5 pixels away or there are no
// sectors.
int NearestSectorHandle(const NetworkCard &card, int x, int y, int w, int h);

// The line under (x, y) whose stroke colour is `pixel`: among the lines of that colour
// the one whose straight line (through both ends, not only the segment) passes
// vertically closest to the pointer, the lower number on a tie. 0 when no line has that
// colour.
int LineAt(const NetworkCard &card, int x, int y, QRgb pixel, int w, int h);

} // namespace korvalo

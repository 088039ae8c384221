#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRgb>
#include <QString>

class QPainter;

namespace korvalo {

// Everything that decides how a node looks, apart from where it stands.
struct NodeLook
{
    enum Shape { None, Circle, Square };
    Shape shape = None;
    int radius = 0; // pixels
    QRgb fill = 0;
    bool selected = false;
    bool group = false;
    QString symbol; // empty when no symbol is drawn

    bool operator==(const NodeLook &) const = default;
};

// Draws the node centred on (x, y): its shape, the group marks and the symbol. Leaves
// the painter's pen and brush changed.
void DrawNode(QPainter &painter, const NodeLook &look, int x, int y);

// A node as DrawNode draws it, cut to its ink, to be copied onto a 32-bit image instead
// of drawing it again.
struct NodeStamp
{
    QImage image; // null when the node leaves no ink
    QPoint offset; // of the image's top-left from the node's centre
};

// Nodes bigger than this (in pixels of radius) are drawn directly.
inline constexpr int MaxStampRadius = 64;

// The picture of a node centred on `centre`, made once per thread and look; it covers
// exactly the pixels DrawNode would. The reference stays valid until the next call.
const NodeStamp &NodeStampFor(const NodeLook &look, QPoint centre);

// The same for a smooth picture (antialiased) at `scale` device pixels per pixel: the node
// centred on `centre` (map pixels) falls at `deviceCentre`; the stamp goes at
// *devicePixel plus its offset, in device pixels. Null when the scale or the centre's
// place inside its device pixel is not one a stamp serves, or the node is too big.
const NodeStamp *SmoothNodeStampFor(const NodeLook &look, QPoint centre, QPointF deviceCentre, qreal scale,
                                    QPoint *devicePixel);

} // namespace korvalo

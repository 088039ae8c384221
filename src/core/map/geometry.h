#pragma once

#include "core/model/networkmodel.h"

#include <QPoint>
#include <QString>

namespace korvalo {

// The polar map: pixel positions on a map image of width w and height h (origin top
// left, Y downwards) against the model's angles (degrees, 0 to the right, growing
// clockwise on the screen) and distances (fractions of MapRadius). Rounding is half to
// even; steps marked single are rounded to 32-bit floats, as the stored values are.
// Nothing here checks sector or node numbers; callers pass valid ones.

// (Round(w / 2), Round(h / 2)).
QPoint MapCentre(int w, int h);
// Round(min(w, h) * 0.95 / 2) pixels: the radius of distance 1.0.
int MapRadius(int w, int h);
// Pixel radius of circle i (1..circles): Round(mapRadius / circles * (i - 0.5)).
int CircleRadius(int mapRadius, int circles, int i);
// Circle i of `circles` in distance units: (i - 0.5) / circles.
double CircleDistance(int circles, int i);

// Pixel position of a node at angle (degrees) and distance (fraction of MapRadius).
QPoint MapPoint(float angle, float distance, int w, int h);
// Angle of a pixel seen from the centre, in [0, 360). A pixel straight above or below
// the centre counts as one pixel to its right.
float AngleAt(int x, int y, int w, int h);
// The ring an alter at this distance lies in: circle i of n is drawn at (i - 0.5) / n, and
// ring i, around it, holds the distances above (i - 1) / n up to i / n, counted from the
// ego; at least 1, and circles + 1 beyond the map's edge. 0 when circles is not positive.
int RingOfDistance(float distance, int circles);

// Distance of a pixel from the centre as a fraction of MapRadius.
float DistanceAt(int x, int y, int w, int h);

// The sector containing an angle: the one whose boundary lies closest anticlockwise,
// the lower number on a tie; 0 when the card has no sectors. Here and in the sector
// functions below, angles (of boundaries and nodes) count by their place on the circle:
// 360 is 0, 370 is 10, -90 is 270.
int SectorOfAngle(const NetworkCard &card, float angle);
// An angle as that place on the circle, in [0, 360): 360 gives 0, 370 gives 10.
float AngleOnCircle(float angle);
// SectorOfAngle of the node's Angle.
int SectorOfNode(const NetworkCard &card, int node);
// Name and colour (palette index) of the sector under a pixel; "" and 0 without sectors.
QString SectorNameAt(const NetworkCard &card, int x, int y, int w, int h);
int SectorColorAt(const NetworkCard &card, int x, int y, int w, int h);
// SectorNameAt of the node's drawn (rounded) position, so a node at distance 0 counts
// as lying at angle 0.
QString SectorNameOfNode(const NetworkCard &card, int node, int w, int h);
// The sector whose boundary follows clockwise; 1 for a card with one sector, 0 without.
int NextSector(const NetworkCard &card, int sector);
// Angular width in degrees: 360 for a lone sector, 0 for two on the same boundary. The
// spans of a card's sectors add up to 360.
float SectorSpan(const NetworkCard &card, int sector);
// Number of the card's alters (1..NodeCount) whose SectorOfNode is `sector`.
int NodesInSector(const NetworkCard &card, int sector);
// Highest sector number whose SectorName equals name exactly; 0 when none does.
int SectorByName(const NetworkCard &card, const QString &name);

} // namespace korvalo

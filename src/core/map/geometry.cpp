#include "core/map/geometry.h"

#include "core/model/textutil.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvalo {

static int roundInt(double value)
{
    return int(RoundHalfEven(value));
}

QPoint MapCentre(int w, int h)
{
    return QPoint(roundInt(w / 2.0), roundInt(h / 2.0));
}

int MapRadius(int w, int h)
{
    return roundInt(std::min(w, h) * 0.95 / 2.0);
}

int CircleRadius(int mapRadius, int circles, int i)
{
    return roundInt(double(mapRadius) / circles * (i - 0.5));
}

double CircleDistance(int circles, int i)
{
    return (i - 0.5) / circles;
}

// A pixel coordinate that fits an int whatever a file held: far-off points stay far off,
// and a value that is not a number lands on 0.
static int pixelCoordinate(double value)
{
    constexpr double limit = 1 << 30;
    if (std::isnan(value))
        return 0;
    return roundInt(std::clamp(value, -limit, limit));
}

QPoint MapPoint(float angle, float distance, int w, int h)
{
    const float rho = ToSingle(double(MapRadius(w, h)) * distance);
    const float theta = ToSingle(angle * 2.0 * std::numbers::pi / 360.0);
    const QPoint centre = MapCentre(w, h);
    return QPoint(pixelCoordinate(std::cos(double(theta)) * rho + centre.x()),
                  pixelCoordinate(std::sin(double(theta)) * rho + centre.y()));
}

float AngleAt(int x, int y, int w, int h)
{
    const QPoint centre = MapCentre(w, h);
    int dx = x - centre.x();
    if (dx == 0)
        dx = 1;
    const int dy = y - centre.y();
    const float t = ToSingle(std::atan(double(dy) / dx));
    const float deg = ToSingle(t * 90.0 / (std::numbers::pi / 2));
    if (dx > 0)
        return dy >= 0 ? deg : ToSingle(deg + 360.0);
    return ToSingle(deg + 180.0);
}

float DistanceAt(int x, int y, int w, int h)
{
    const QPoint centre = MapCentre(w, h);
    const double dx = x - centre.x();
    const double dy = y - centre.y();
    const float pixels = ToSingle(std::sqrt(dx * dx + dy * dy));
    return ToSingle(double(pixels) / MapRadius(w, h));
}

// An angle as a place on the circle, in [0, 360): a boundary at 360 is the one at 0, and
// an angle a file holds outside the circle is where it is drawn.
static float onCircle(float angle)
{
    if (angle >= 0.0f && angle < 360.0f)
        return angle;
    double inside = std::fmod(double(angle), 360.0);
    if (inside < 0)
        inside += 360.0;
    const float result = ToSingle(inside);
    return result >= 360.0f ? 0.0f : result;
}

float AngleOnCircle(float angle)
{
    return onCircle(angle);
}

int SectorOfAngle(const NetworkCard &card, float angle)
{
    angle = onCircle(angle);
    float best = 1000;
    int result = 0;
    for (int s = 1; s <= card.SectorCount(); ++s) {
        const float boundary = onCircle(card.Sectors[size_t(s)].SectorAngle);
        const float a = angle < boundary ? ToSingle(angle + 360.0) : angle;
        const float d = ToSingle(double(a) - boundary);
        if (d < best) {
            best = d;
            result = s;
        }
    }
    return result;
}

int RingOfDistance(float distance, int circles)
{
    if (circles <= 0)
        return 0;
    if (!(distance > 0)) // the centre, and a distance that is not a number
        return 1;
    // The stored distance is a single with three decimals: 0.3 of 10 circles is ring 3,
    // not 4 because the single is a hair above 0.3.
    const double scaled = double(distance) * circles - 1e-5;
    const double ring = std::ceil(scaled);
    return int(std::clamp(ring, 1.0, double(circles) + 1));
}

int SectorOfNode(const NetworkCard &card, int node)
{
    return SectorOfAngle(card, card.Nodes[size_t(node)].Angle);
}

QString SectorNameAt(const NetworkCard &card, int x, int y, int w, int h)
{
    const int s = SectorOfAngle(card, AngleAt(x, y, w, h));
    return s == 0 ? QString() : card.Sectors[size_t(s)].SectorName;
}

int SectorColorAt(const NetworkCard &card, int x, int y, int w, int h)
{
    const int s = SectorOfAngle(card, AngleAt(x, y, w, h));
    return s == 0 ? 0 : card.Sectors[size_t(s)].SectorColor;
}

QString SectorNameOfNode(const NetworkCard &card, int node, int w, int h)
{
    const Node &n = card.Nodes[size_t(node)];
    const QPoint p = MapPoint(n.Angle, n.Distance, w, h);
    return SectorNameAt(card, p.x(), p.y(), w, h);
}

// Distance in degrees from sector s's boundary clockwise to sector t's. Sectors sharing
// a boundary are ordered by number, as membership gives their common wedge to the lowest
// of them: a higher-numbered one has the lower one right behind it (0), a lower-numbered
// one reaches it only after a full turn (360). Taking every shared boundary as 0 would
// leave the wedge behind it without an owner and the spans short of 360.
static double clockwiseGap(const NetworkCard &card, int s, int t)
{
    const float own = onCircle(card.Sectors[size_t(s)].SectorAngle);
    const float other = onCircle(card.Sectors[size_t(t)].SectorAngle);
    if (own == other)
        return t < s ? 0.0 : 360.0;
    const float b = own > other ? ToSingle(own - 360.0) : own;
    return ToSingle(double(other) - b);
}

int NextSector(const NetworkCard &card, int sector)
{
    if (card.SectorCount() == 1)
        return 1;
    double best = 1000;
    int result = 0;
    for (int t = 1; t <= card.SectorCount(); ++t) {
        if (t == sector)
            continue;
        const double d = clockwiseGap(card, sector, t);
        if (d < best) {
            best = d;
            result = t;
        }
    }
    return result;
}

float SectorSpan(const NetworkCard &card, int sector)
{
    if (card.SectorCount() == 1)
        return 360;
    const int next = NextSector(card, sector);
    if (next == 0)
        return 0;
    const float own = onCircle(card.Sectors[size_t(sector)].SectorAngle);
    const float nextAngle = onCircle(card.Sectors[size_t(next)].SectorAngle);
    if (own == nextAngle)
        return float(clockwiseGap(card, sector, next));
    const double end = nextAngle >= own ? double(nextAngle) : nextAngle + 360.0;
    return ToSingle(end - own);
}

int NodesInSector(const NetworkCard &card, int sector)
{
    int count = 0;
    for (int i = 1; i <= card.NodeCount(); ++i) {
        if (SectorOfNode(card, i) == sector)
            ++count;
    }
    return count;
}

int SectorByName(const NetworkCard &card, const QString &name)
{
    for (int s = card.SectorCount(); s >= 1; --s) {
        if (card.Sectors[size_t(s)].SectorName == name)
            return s;
    }
    return 0;
}

} // namespace korvalo

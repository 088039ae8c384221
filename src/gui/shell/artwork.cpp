#include "gui/shell/artwork.h"

#include "core/model/networkmodel.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace korvalo {

namespace {

const QColor Ink(40, 40, 40);

QColor palette(int index)
{
    return QColor::fromRgb(PaletteColor(index));
}

void node(QPainter &p, QPointF centre, double radius, const QColor &fill)
{
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(fill);
    p.drawEllipse(centre, radius, radius);
}

void plusSign(QPainter &p, QPointF centre)
{
    p.setPen(QPen(QColor(0, 120, 0), 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(centre + QPointF(-5, 0), centre + QPointF(5, 0));
    p.drawLine(centre + QPointF(0, -5), centre + QPointF(0, 5));
}

void drawOpen(QPainter &p)
{
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(QColor(230, 190, 90));
    p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(12, 8), QPointF(15, 11), QPointF(27, 11),
                             QPointF(27, 26), QPointF(3, 26)}));
    p.setBrush(QColor(250, 215, 120));
    p.drawPolygon(QPolygonF({QPointF(7, 15), QPointF(30, 15), QPointF(26, 26), QPointF(3, 26)}));
}

void drawSave(QPainter &p)
{
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(palette(3).darker(130));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 4, 16, 10));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(9, 19, 14, 9));
    p.setBrush(Ink);
    p.drawRect(QRectF(19, 6, 3, 6));
}

void drawCard(QPainter &p)
{
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 6, 22, 20));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Ink, 1, Qt::DotLine));
    p.drawEllipse(QPointF(14, 16), 8, 8);
    node(p, QPointF(14, 16), 2.5, palette(1));
    plusSign(p, QPointF(25, 8));
}

void drawSectors(QPainter &p)
{
    const QRectF disc(3, 3, 26, 26);
    const int colours[] = {3, 4, 2};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(Ink, 1.2));
        p.setBrush(QColor::fromRgb(LightenedColor(PaletteColor(colours[i]))));
        p.drawPie(disc, (90 + 120 * i) * 16, 120 * 16);
    }
    p.setBrush(QColor::fromRgb(BgrToRgb(SectorHandleColor)));
    p.drawEllipse(QPointF(16, 3.5), 3, 3);
}

void drawAddNodes(QPainter &p)
{
    node(p, QPointF(13, 18), 8, palette(1));
    plusSign(p, QPointF(25, 8));
}

void drawModifyNodes(QPainter &p)
{
    node(p, QPointF(12, 12), 8, palette(3));
    // An arrow pointer over the node.
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(15, 14), QPointF(15, 30), QPointF(19, 26), QPointF(22, 31),
                             QPointF(25, 30), QPointF(22, 25), QPointF(27, 25)}));
}

void drawLines(QPainter &p)
{
    p.setPen(QPen(QColor::fromRgb(PaletteColor(8)), 3));
    p.drawLine(QPointF(8, 24), QPointF(24, 8));
    node(p, QPointF(8, 24), 5, palette(4));
    node(p, QPointF(24, 8), 5, palette(5));
}

} // namespace

QIcon ToolBarIcon(ToolIcon which)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case ToolIcon::Open: drawOpen(p); break;
    case ToolIcon::Save: drawSave(p); break;
    case ToolIcon::AddCard: drawCard(p); break;
    case ToolIcon::Sectors: drawSectors(p); break;
    case ToolIcon::AddNodes: drawAddNodes(p); break;
    case ToolIcon::ModifyNodes: drawModifyNodes(p); break;
    case ToolIcon::Lines: drawLines(p); break;
    }
    p.end();
    return QIcon(pixmap);
}

QPixmap NetworkPicture(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(width / 2.0, height / 2.0);
    const double radius = std::min(width, height) / 2.0 - 6;

    const int sectorColours[] = {3, 4, 2, 6};
    for (int i = 0; i < 4; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgb(LightenedColor(PaletteColor(sectorColours[i]))));
        p.drawPie(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                  90 * i * 16, 90 * 16);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    for (int i = 1; i <= 3; ++i)
        p.drawEllipse(centre, radius * i / 3, radius * i / 3);

    struct Alter { double angle, distance; int colour; };
    const Alter alters[] = {{20, 0.4, 1}, {70, 0.8, 3}, {135, 0.55, 5}, {200, 0.3, 8},
                            {250, 0.85, 4}, {310, 0.6, 1}};
    auto at = [&](const Alter &a) {
        const double rad = a.angle * M_PI / 180.0;
        return centre + QPointF(std::cos(rad), std::sin(rad)) * (a.distance * radius);
    };
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    for (const Alter &a : alters)
        p.drawLine(centre, at(a));
    p.drawLine(at(alters[0]), at(alters[1]));
    p.drawLine(at(alters[3]), at(alters[4]));
    for (const Alter &a : alters)
        node(p, at(a), 6, palette(a.colour));
    node(p, centre, 8, palette(7));
    p.end();
    return pixmap;
}

} // namespace korvalo

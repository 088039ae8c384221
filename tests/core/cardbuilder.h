#pragma once

#include "core/model/networkmodel.h"

#include <initializer_list>
#include <vector>

namespace korvalo {

// Builders for cards in tests: an alter is an ID at an angle and a distance.
struct AlterAt
{
    QString id;
    float angle = 0;
    float distance = 0.5f;
};

struct SectorAt
{
    float angle;
    QString name;
};

inline NetworkCard cardOf(const QString &id, int circles, std::initializer_list<SectorAt> sectors,
                          std::initializer_list<AlterAt> alters)
{
    NetworkCard card;
    card.ID = id;
    card.Circles = circles;
    for (const SectorAt &s : sectors)
        card.Sectors.push_back(Sector{s.angle, s.name, 1});
    for (const AlterAt &a : alters) {
        Node node;
        node.ID = a.id;
        node.Label = a.id;
        node.Angle = a.angle;
        node.Distance = a.distance;
        card.Nodes.push_back(node);
    }
    return card;
}

// A card of alters that only carry IDs.
inline NetworkCard cardOfIDs(const QString &id, const QStringList &ids)
{
    NetworkCard card;
    card.ID = id;
    for (const QString &alterID : ids) {
        Node node;
        node.ID = alterID;
        card.Nodes.push_back(node);
    }
    return card;
}

} // namespace korvalo

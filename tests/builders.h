#pragma once

#include "core/model/networkmodel.h"

#include <QStringList>

#include <initializer_list>
#include <utility>

namespace korvalo {

// Test data shared by the test files: an ego with one empty card, and alters.

inline NetworkModel oneCardModel(int circles = 0, const QString &egoNode = QStringLiteral("none"))
{
    NetworkModel model;
    SetupEgo(model, QStringLiteral("Anna Berg"), {}, 0, {}, {}, QStringLiteral("E1"));
    AddCard(model, QStringLiteral("Wave 1"), circles, egoNode, 2, {}, {}, {});
    return model;
}

inline Node alter(float angle, float distance, int color = 1, const QString &id = QString(),
                  const QString &label = QString())
{
    Node n;
    n.ID = id;
    n.Label = label.isEmpty() ? id : label;
    n.Angle = angle;
    n.Distance = distance;
    n.Color = color;
    n.Human = QStringLiteral("TRUE");
    n.NodeSize = QStringLiteral("normal");
    n.Sex = QStringLiteral("undefined");
    return n;
}

// Alters 1..n of card 1 with the given IDs, spread round the map.
inline NetworkModel cardWithIDs(const QStringList &ids)
{
    NetworkModel model = oneCardModel();
    for (qsizetype i = 0; i < ids.size(); ++i)
        AddNode(model, 1, alter(float(i * 40), 0.5f, 1, ids[i]));
    return model;
}

// An ego with `cards` empty cards, card 1 current.
inline NetworkModel EgoWithCards(int cards)
{
    NetworkModel model;
    SetupEgo(model, QStringLiteral("Anna"), {}, 0, {}, {}, QStringLiteral("A1"));
    for (int i = 0; i < cards; ++i)
        AddCard(model, {}, 7, QStringLiteral("none"), 1, {}, {}, {});
    model.CurrentCard = cards > 0 ? 1 : 0;
    return model;
}

// Sectors named and placed as given, colours 1, 2, 3, ...
inline void AddSectors(NetworkModel &model, int card,
                       std::initializer_list<std::pair<const char *, float>> sectors)
{
    int color = 1;
    for (const auto &[name, angle] : sectors)
        AddSector(model, card, QString::fromUtf8(name), color++, angle);
}

inline QStringList Labels(const NetworkCard &card)
{
    QStringList labels;
    for (int i = 1; i <= card.NodeCount(); ++i)
        labels << card.Nodes[size_t(i)].Label;
    return labels;
}

} // namespace korvalo

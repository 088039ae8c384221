#pragma once

#include "model/networkmodel.h"

#include <QStringList>

#include <initializer_list>
#include <utility>

// Builders for test cards: an ego with empty cards, alters and sectors placed by angle.

inline NetworkModel EgoWithCards(int cards)
{
    NetworkModel model;
    SetupEgo(model, QStringLiteral("Anna"), {}, 0, {}, {}, QStringLiteral("A1"));
    for (int i = 0; i < cards; ++i)
        AddCard(model, {}, 7, QStringLiteral("none"), 1, {}, {}, {});
    model.CurrentCard = cards > 0 ? 1 : 0;
    return model;
}

inline Node Alter(const QString &id, float angle = 0, float distance = 0.5f,
                  const QString &label = QString())
{
    Node node;
    node.ID = id;
    node.Label = label.isNull() ? id : label;
    node.Angle = angle;
    node.Distance = distance;
    node.Human = QStringLiteral("TRUE");
    node.Sex = QStringLiteral("undefined");
    node.NodeSize = QStringLiteral("normal");
    return node;
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

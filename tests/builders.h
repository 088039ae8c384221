#pragma once

#include "model/networkmodel.h"

#include <QStringList>

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

#pragma once

#include "core/model/networkmodel.h"

#include <QStringList>

#include <initializer_list>
#include <utility>

namespace korvalo {

// The builders of test data, for every test file: egos with empty cards, alters, cards
// of alters and sectors. A test that needs a field otherwise sets it on what a builder
// returns.

// An ego ("Anna Berg", E1) with one empty card "Wave 1", current.
inline NetworkModel oneCardModel(int circles = 0, const QString &egoNode = QStringLiteral("none"))
{
    NetworkModel model;
    SetupEgo(model, QStringLiteral("Anna Berg"), {}, 0, {}, {}, QStringLiteral("E1"));
    AddCard(model, QStringLiteral("Wave 1"), circles, egoNode, 2, {}, {}, {});
    return model;
}

// An alter as the node dialog adds one: human, sex undefined, normal size; at `angle`
// degrees and `distance` (a fraction of the map radius). Its label is its ID unless given.
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

// A node that carries an ID, its label (the ID unless given), an angle and a distance, and
// nothing else: no sex, size word or Human. For code that reads only these.
inline Node bareAlter(const QString &id, float angle = 0, float distance = 0, const QString &label = QString())
{
    Node n;
    n.ID = id;
    n.Label = label.isEmpty() ? id : label;
    n.Angle = angle;
    n.Distance = distance;
    return n;
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

// An ego with a card for each ID, told apart by more than their IDs: 5 circles, an ego
// node of normal size, ego colours 1, 2, 3, ...; the last card current, as AddCard leaves
// it.
inline NetworkModel EgoWithNamedCards(const QStringList &ids)
{
    NetworkModel model;
    SetupEgo(model, QStringLiteral("Anna"), {}, 0, {}, {}, QStringLiteral("A1"));
    int colour = 1;
    for (const QString &id : ids)
        AddCard(model, id, 5, QStringLiteral("normal"), colour++, {}, {}, {});
    return model;
}

// Cards built directly, outside a model: an alter is an ID at an angle and a distance.
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
    for (const AlterAt &a : alters)
        card.Nodes.push_back(bareAlter(a.id, a.angle, a.distance));
    return card;
}

// A card of alters that only carry IDs (not even a label).
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

inline QStringList Labels(const NetworkCard &card)
{
    QStringList labels;
    for (int i = 1; i <= card.NodeCount(); ++i)
        labels << card.Nodes[size_t(i)].Label;
    return labels;
}

// The measures' worked example: a female ego (E7) with one card "Wave 1" of sectors Family
// (0 degrees), Work (120) and Friends (240); alters A, B, C in Family, D and F in Work, G
// in Friends; lines A-B, A-C, B-C, D-F; A and B female, the others male.
inline NetworkModel measuresExampleModel()
{
    NetworkModel model;
    SetupEgo(model, QStringLiteral("Eva Example"), {}, 1, {}, {}, QStringLiteral("E7"));
    AddCard(model, QStringLiteral("Wave 1"), 7, QStringLiteral("normal"), 2, {}, {}, {});
    AddSectors(model, 1, {{"Family", 0.f}, {"Work", 120.f}, {"Friends", 240.f}});
    const struct { const char *id; float angle; const char *sex; } alters[] = {
        {"A", 30, "female"}, {"B", 40, "female"}, {"C", 50, "male"},
        {"D", 150, "male"},  {"F", 160, "male"},  {"G", 270, "male"}};
    for (const auto &a : alters) {
        Node n = alter(a.angle, 0.5f, 1, QString::fromUtf8(a.id));
        n.Sex = QString::fromUtf8(a.sex);
        AddNode(model, 1, n);
    }
    AddLine(model, 1, 2, 1, 0);
    AddLine(model, 1, 3, 1, 0);
    AddLine(model, 2, 3, 1, 0);
    AddLine(model, 4, 5, 1, 0);
    return model;
}

// Three interviews of one ego (C3, "Carla Compare"), 5 circles, sectors Family (0 degrees),
// Work (120) and Friends (240) on each card. Wave 1: A (30 degrees, 0.75: ring 4, Family),
// B (60, 0.3), Carl (150, 0.5), D (200, 0.5), E (250, 0.5) and e (260, 0.9), lines A-B,
// A-Carl, B-D, Carl-E. Wave 2: a (270, 0.35: ring 2, Friends), B (60, 0.3), CARL (150,
// 0.5), E (250, 0.5), F (300, 0.5), lines a-B, B-CARL, B-F. Wave 3: F (300, 0.5) and G
// (10, 0.2). Card 1 is current.
inline NetworkModel compareExampleModel()
{
    NetworkModel model;
    SetupEgo(model, QStringLiteral("Carla Compare"), {}, 1, {}, {}, QStringLiteral("C3"));
    const struct { const char *id; float angle; float distance; } waves[3][6] = {
        {{"A", 30, 0.75f}, {"B", 60, 0.3f}, {"Carl", 150, 0.5f}, {"D", 200, 0.5f}, {"E", 250, 0.5f}, {"e", 260, 0.9f}},
        {{"a", 270, 0.35f}, {"B", 60, 0.3f}, {"CARL", 150, 0.5f}, {"E", 250, 0.5f}, {"F", 300, 0.5f}, {}},
        {{"F", 300, 0.5f}, {"G", 10, 0.2f}, {}, {}, {}, {}}};
    const std::initializer_list<std::pair<int, int>> lines[3] = {{{1, 2}, {1, 3}, {2, 4}, {3, 5}},
                                                                 {{1, 2}, {2, 3}, {2, 5}}, {}};
    for (int w = 0; w < 3; ++w) {
        AddCard(model, QStringLiteral("Wave %1").arg(w + 1), 5, QStringLiteral("normal"), 2, {}, {}, {});
        AddSectors(model, w + 1, {{"Family", 0.f}, {"Work", 120.f}, {"Friends", 240.f}});
        for (const auto &a : waves[w])
            if (a.id)
                AddNode(model, w + 1, alter(a.angle, a.distance, w + 1, QString::fromUtf8(a.id)));
        for (const auto &[from, to] : lines[w])
            AddLine(model, from, to, 1, 0);
    }
    model.CurrentCard = 1;
    return model;
}

} // namespace korvalo

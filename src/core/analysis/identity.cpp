#include "core/analysis/identity.h"

#include "core/map/geometry.h"
#include "core/model/textutil.h"

#include <QHash>
#include <QSet>
#include <QStringBuilder>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace korvalo {

namespace {

// The form IDs are compared in.
QString key(const QString &id)
{
    return id.toCaseFolded();
}

QStringList partnersOf(const QString &merger)
{
    QStringList parts = SplitText(merger, u'|');
    parts.removeIf([](const QString &p) { return IsBlank(p); });
    return parts;
}

// Union-find over IDs (by key).
class IdClasses
{
public:
    int index(const QString &id)
    {
        const QString k = key(id);
        auto it = m_index.constFind(k);
        if (it != m_index.cend())
            return *it;
        m_parent.push_back(int(m_parent.size()));
        m_index.insert(k, m_parent.back());
        return m_parent.back();
    }
    int find(const QString &id) const
    {
        auto it = m_index.constFind(key(id));
        return it == m_index.cend() ? -1 : root(*it);
    }
    void join(int a, int b)
    {
        a = root(a);
        b = root(b);
        if (a != b)
            m_parent[size_t(std::max(a, b))] = std::min(a, b);
    }
    int size() const { return int(m_parent.size()); }

private:
    int root(int i) const
    {
        while (m_parent[size_t(i)] != i)
            i = m_parent[size_t(i)] = m_parent[size_t(m_parent[size_t(i)])];
        return i;
    }

    mutable std::vector<int> m_parent;
    QHash<QString, int> m_index;
};

} // namespace

QString MergerGroupText(const MergerGroup &group)
{
    return group.join(u'=');
}

std::vector<MergerChoice> MergerChoices(const NetworkModel &model)
{
    std::vector<MergerChoice> choices;
    QSet<QString> seen;
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        for (int i = 1; i <= card.NodeCount(); ++i) {
            const Node &node = card.Nodes[size_t(i)];
            const QString k = key(node.ID);
            if (seen.contains(k))
                continue;
            seen.insert(k);
            choices.push_back({node.ID, node.Label});
        }
    }
    std::stable_sort(choices.begin(), choices.end(), [](const auto &a, const auto &b) {
        return QString::compare(a.text(), b.text(), Qt::CaseInsensitive) < 0;
    });
    return choices;
}

int GroupOfMember(const std::vector<MergerGroup> &groups, const QString &id)
{
    for (size_t g = 0; g < groups.size(); ++g) {
        for (const QString &member : groups[g]) {
            if (QString::compare(member, id, Qt::CaseInsensitive) == 0)
                return int(g);
        }
    }
    return -1;
}

std::vector<MergerGroup> MergerGroupsOf(const NetworkModel &model)
{
    std::vector<MergerGroup> groups;
    QHash<QString, int> groupOf; // member key -> its group
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        for (int i = 1; i <= card.NodeCount(); ++i) {
            const Node &node = card.Nodes[size_t(i)];
            if (IsBlank(node.Merger) || IsBlank(node.ID))
                continue;
            int g = -1;
            for (const QString &part : partnersOf(node.Merger)) {
                g = groupOf.value(key(part), -1);
                if (g >= 0)
                    break;
            }
            if (g < 0) {
                g = int(groups.size());
                groups.emplace_back();
            }
            if (!groupOf.contains(key(node.ID))) {
                groups[size_t(g)].append(node.ID);
                groupOf.insert(key(node.ID), g);
            }
        }
    }
    return groups;
}

Status CheckMergerGroups(const std::vector<MergerGroup> &groups)
{
    for (const MergerGroup &group : groups) {
        for (const QString &member : group) {
            if (member.contains(u'|') || member.contains(u'='))
                return Status::failure(
                    QStringLiteral("The ID \"%1\" contains \"|\" or \"=\" and cannot be "
                                   "part of an unsure node merger.")
                        .arg(member));
        }
    }
    return Status::success();
}

Status ApplyMergerGroups(NetworkModel &model, const std::vector<MergerGroup> &groups)
{
    if (Status checked = CheckMergerGroups(groups); !checked)
        return checked;
    // Each member once, in the first group that names it.
    std::vector<QStringList> members;
    QHash<QString, std::pair<int, int>> where; // member key -> (group, position)
    for (const MergerGroup &group : groups) {
        QStringList kept;
        for (const QString &member : group) {
            if (IsBlank(member) || where.contains(key(member)))
                continue;
            where.insert(key(member), {int(members.size()), int(kept.size())});
            kept.append(member);
        }
        if (!kept.isEmpty())
            members.push_back(kept);
    }
    for (int c = 1; c <= model.CardCount(); ++c) {
        NetworkCard &card = model.card(c);
        for (int i = 1; i <= card.NodeCount(); ++i) {
            Node &node = card.Nodes[size_t(i)];
            node.Merger.clear();
            auto it = where.constFind(key(node.ID));
            if (it == where.cend())
                continue;
            const QStringList &group = members[size_t(it->first)];
            for (int q = 0; q < group.size(); ++q) {
                if (q != it->second)
                    node.Merger += u'|' + group[q];
            }
            node.Merger += u'|';
        }
    }
    return Status::success();
}

int MergeUnsureNodeMergings(NetworkModel &model, ReportMode mode, const InfoSink &sink)
{
    const bool print = mode != ReportMode::nix && sink;
    // The groups: a node and the partners its Merger names are one; groups that share an
    // ID are one.
    IdClasses classes;
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        for (int i = 1; i <= card.NodeCount(); ++i) {
            const Node &node = card.Nodes[size_t(i)];
            if (IsBlank(node.Merger))
                continue;
            const int self = classes.index(node.ID);
            for (const QString &part : partnersOf(node.Merger))
                classes.join(self, classes.index(part));
        }
    }
    // Each group keeps the ID of its first node that carries a Merger.
    std::vector<QString> survivor(size_t(classes.size()));
    std::vector<bool> named(size_t(classes.size()), false);
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        for (int i = 1; i <= card.NodeCount(); ++i) {
            const Node &node = card.Nodes[size_t(i)];
            if (IsBlank(node.Merger))
                continue;
            const int root = classes.find(node.ID);
            if (!named[size_t(root)]) {
                named[size_t(root)] = true;
                survivor[size_t(root)] = node.ID;
            }
        }
    }
    int renamed = 0;
    for (int c = 1; c <= model.CardCount(); ++c) {
        NetworkCard &card = model.card(c);
        if (print)
            sink(QStringLiteral("Card: ") % card.ID);
        for (int i = 1; i <= card.NodeCount(); ++i) {
            Node &node = card.Nodes[size_t(i)];
            const int root = classes.find(node.ID);
            if (root < 0)
                continue;
            node.Merger.clear();
            const QString &target = survivor[size_t(root)];
            if (!named[size_t(root)] || node.ID == target)
                continue;
            if (print)
                sink(node.ID % QStringLiteral("->") % target);
            node.ID = target;
            ++renamed;
        }
    }
    return renamed;
}

QStringList IDLabelPlausibility(const NetworkModel &model)
{
    struct Entry
    {
        const Node *node;
        int group;
        int place; // position within its group
    };
    struct Group
    {
        std::vector<int> entries;
        QStringList forms; // the ID as written, each form once, in the order met
        bool labelsDiffer = false;
    };
    std::vector<Entry> entries;
    std::vector<Group> groups;
    QHash<QString, int> groupOf;
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        for (int i = 1; i <= card.NodeCount(); ++i) {
            const Node *node = &card.Nodes[size_t(i)];
            const QString k = key(node->ID);
            int g = groupOf.value(k, -1);
            if (g < 0) {
                g = int(groups.size());
                groupOf.insert(k, g);
                groups.emplace_back();
            }
            Group &group = groups[size_t(g)];
            if (!group.entries.empty()
                && entries[size_t(group.entries.front())].node->Label != node->Label)
                group.labelsDiffer = true;
            if (!group.forms.contains(node->ID))
                group.forms.append(node->ID);
            entries.push_back(Entry{node, g, int(group.entries.size())});
            group.entries.push_back(int(entries.size()) - 1);
        }
    }

    QStringList lines;
    auto head = [&] {
        if (lines.isEmpty())
            lines.append(model.ego.EgoID % u' ' % model.ego.Name);
    };
    // Pairs in the order of their first node, then of their second.
    for (const Entry &e : entries) {
        const Group &group = groups[size_t(e.group)];
        if (!group.labelsDiffer)
            continue;
        for (size_t p = size_t(e.place) + 1; p < group.entries.size(); ++p) {
            const Node *other = entries[size_t(group.entries[p])].node;
            if (other->Label == e.node->Label)
                continue;
            head();
            lines.append(e.node->ID % u'-' % e.node->Label % QStringLiteral("   ") % other->ID
                         % u'-' % other->Label);
        }
    }
    bool caseHeading = false;
    for (const Group &group : groups) {
        if (group.forms.size() < 2)
            continue;
        head();
        if (!caseHeading) {
            lines.append(PlausibilityCaseHeading);
            caseHeading = true;
        }
        lines.append(group.forms.join(QStringLiteral("   ")));
    }
    return lines;
}

namespace {

struct Aggregate
{
    int count = 0;
    int size = 0;
    double sin = 0;
    double cos = 0;
    double angleSum = 0;
    float distanceSum = 0;
};

// The mean direction of the angles summed; the plain mean when they cancel out.
float circularMean(const Aggregate &a)
{
    if (std::hypot(a.sin, a.cos) < 1e-9 * a.count)
        return float(a.angleSum / a.count);
    double degrees = std::atan2(a.sin, a.cos) * 180.0 / std::numbers::pi;
    degrees = std::round(degrees * 1e4) / 1e4; // drop the rounding noise of sin and cos
    if (degrees < 0)
        degrees += 360.0;
    if (degrees >= 360.0)
        degrees -= 360.0;
    return float(degrees);
}

// Palette colours first, any other value after them.
bool colourBefore(int a, int b)
{
    const bool pa = a >= 1 && a <= PaletteSize;
    const bool pb = b >= 1 && b <= PaletteSize;
    return pa != pb ? pa : a < b;
}

} // namespace

NetworkCard AggregatedCard(const NetworkCard &card, QStringList *lines, QChar separator)
{
    NetworkCard result = card;
    result.ID += QStringLiteral(" aggr");
    result.Nodes.resize(1);
    result.Lines.resize(1);

    using BySector = std::map<int, Aggregate, decltype(&colourBefore)>;
    std::vector<BySector> sectors(size_t(card.SectorCount()) + 1, BySector(&colourBefore));
    for (int i = 1; i <= card.NodeCount(); ++i) {
        const Node &node = card.Nodes[size_t(i)];
        Aggregate &a = sectors[size_t(SectorOfNode(card, i))][node.Color];
        const double radians = double(node.Angle) * std::numbers::pi / 180.0;
        ++a.count;
        a.size += node.Size;
        a.sin += std::sin(radians);
        a.cos += std::cos(radians);
        a.angleSum += node.Angle;
        a.distanceSum += node.Distance;
    }

    int count = 0;
    auto summarise = [&](const QString &name, const BySector &aggregates) {
        if (lines)
            lines->append(name);
        for (const auto &[colour, a] : aggregates) {
            const float distance = a.distanceSum / float(a.count);
            if (lines)
                lines->append(QString::number(colour) % u' ' % QString::number(a.count) % u' '
                              % FormatFixed(distance, 2, separator));
            ++count;
            Node node;
            node.ID = node.Label = QStringLiteral("A-") + QString::number(count);
            node.Color = colour;
            node.Size = std::max(1, a.size);
            node.Human = QStringLiteral("TRUE");
            node.NodeSize = QStringLiteral("biggest");
            node.Sex = QStringLiteral("undefined");
            node.Angle = circularMean(a);
            node.Distance = distance;
            result.Nodes.push_back(node);
        }
    };
    for (int s = 1; s <= card.SectorCount(); ++s)
        summarise(card.Sectors[size_t(s)].SectorName, sectors[size_t(s)]);
    if (!sectors[0].empty())
        summarise(AggregateNoSector, sectors[0]);
    return result;
}

Status CheckRoomForAggregate(const NetworkModel &model, int card)
{
    if (!model.hasCard(card))
        return Status::failure(QStringLiteral("There is no network card %1.").arg(card));
    if (model.CardCount() >= MaxCards)
        return Status::failure(
            QStringLiteral("An ego holds at most %1 network cards: there is no room for the "
                           "aggregated card of \"%2\".")
                .arg(MaxCards)
                .arg(model.card(card).ID));
    return Status::success();
}

Status AggregateNodes(NetworkModel &model, int card, const InfoSink &sink, QChar separator)
{
    if (Status room = CheckRoomForAggregate(model, card); !room)
        return room;
    QStringList lines;
    model.Cards.push_back(AggregatedCard(model.card(card), &lines, separator));
    model.CurrentCard = model.CardCount();
    for (const QString &line : lines)
        AppendInfoLine(sink, line);
    return Status::success();
}

} // namespace korvalo

#include "core/analysis/measures.h"

#include "core/map/geometry.h"
#include "core/model/textutil.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <utility>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// The distinct alter pairs joined by a line: (a, b) with 1 <= a < b <= n.
std::vector<std::pair<int, int>> AlterTies(const NetworkCard &card)
{
    const int n = card.NodeCount();
    std::vector<std::pair<int, int>> ties;
    ties.reserve(size_t(card.LineCount()));
    for (int l = 1; l <= card.LineCount(); ++l) {
        const Line &line = card.Lines[size_t(l)];
        if (line.LineSize <= 0)
            continue;
        const int a = std::min(line.A, line.B);
        const int b = std::max(line.A, line.B);
        if (a < 1 || b > n || a == b)
            continue;
        ties.emplace_back(a, b);
    }
    std::sort(ties.begin(), ties.end());
    ties.erase(std::unique(ties.begin(), ties.end()), ties.end());
    return ties;
}

// Union-find over the alters, for the components.
int Find(std::vector<int> &parent, int i)
{
    while (parent[size_t(i)] != i) {
        parent[size_t(i)] = parent[size_t(parent[size_t(i)])];
        i = parent[size_t(i)];
    }
    return i;
}

// The category of each alter (0 = left out) and the number of possible categories.
struct Categories
{
    std::vector<int> of; // per node 0..n; slot 0 is the ego's value (0 = unknown)
    int possible = 0;
};

int SexCategory(const QString &sex)
{
    const QString s = TrimBlanks(sex).toLower();
    if (s == u"female")
        return 1;
    if (s == u"male")
        return 2;
    return 0;
}

Categories CategoriesOf(const Ego &ego, const NetworkCard &card, MeasureAttribute attribute)
{
    const int n = card.NodeCount();
    Categories c;
    c.of.assign(size_t(n) + 1, 0);
    switch (attribute) {
    case MeasureAttribute::Sex:
        c.possible = 2;
        c.of[0] = ego.Sex == 1 || ego.Sex == 2 ? ego.Sex : 0;
        for (int i = 1; i <= n; ++i)
            c.of[size_t(i)] = SexCategory(card.Nodes[size_t(i)].Sex);
        break;
    case MeasureAttribute::Sector:
        // The ego stands in the centre, in no sector.
        c.possible = card.SectorCount();
        for (int i = 1; i <= n; ++i)
            c.of[size_t(i)] = SectorOfNode(card, i);
        break;
    case MeasureAttribute::Color:
        // The ego's colour on this card is its value.
        c.possible = PaletteSize;
        c.of[0] = card.EgoColor;
        // Node colours are palette numbers 1..8; anything else is no colour of the palette.
        for (int i = 1; i <= n; ++i) {
            const int color = card.Nodes[size_t(i)].Color;
            c.of[size_t(i)] = color >= 1 && color <= PaletteSize ? color : 0;
        }
        break;
    case MeasureAttribute::Role: {
        // Roles are the distinct texts of the card, without regard to letter case; the
        // ego has none.
        DistinctList roles;
        for (int i = 1; i <= n; ++i) {
            const QString role = TrimBlanks(card.Nodes[size_t(i)].Role);
            if (role.isEmpty() || role.compare(u"undefined"_s, Qt::CaseInsensitive) == 0)
                continue;
            c.of[size_t(i)] = roles.add(role) + 1;
        }
        c.possible = roles.size();
        break;
    }
    }
    return c;
}

std::optional<double> EI(int external, int internal)
{
    if (external + internal == 0)
        return std::nullopt;
    return double(external - internal) / double(external + internal);
}

} // namespace

std::optional<MeasureAttribute> MeasureAttributeFromName(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == u"sex")
        return MeasureAttribute::Sex;
    if (n == u"sector")
        return MeasureAttribute::Sector;
    if (n == u"role")
        return MeasureAttribute::Role;
    if (n == u"color" || n == u"colour")
        return MeasureAttribute::Color;
    return std::nullopt;
}

QString MeasureAttributeName(MeasureAttribute attribute)
{
    switch (attribute) {
    case MeasureAttribute::Sex:
        return u"sex"_s;
    case MeasureAttribute::Sector:
        return u"sector"_s;
    case MeasureAttribute::Role:
        return u"role"_s;
    case MeasureAttribute::Color:
        return u"color"_s;
    }
    return {};
}

CardMeasures MeasureCard(const Ego &ego, const NetworkCard &card, int cardNumber,
                         MeasureAttribute attribute)
{
    CardMeasures m;
    const int n = card.NodeCount();
    const std::vector<std::pair<int, int>> ties = AlterTies(card);
    m.size = n;
    m.ties = int(ties.size());

    // Nodes are positions; an ID on several of them is most likely one person drawn twice.
    // IDs are compared without regard to case and keep the form met first.
    DistinctList ids;
    std::vector<int> idCounts;
    for (int i = 1; i <= n; ++i) {
        const QString id = TrimBlanks(card.Nodes[size_t(i)].ID);
        if (id.isEmpty())
            continue;
        const int k = ids.add(id);
        idCounts.resize(size_t(ids.size()), 0);
        ++idCounts[size_t(k)];
    }
    for (int k = 0; k < ids.size(); ++k) {
        if (idCounts[size_t(k)] < 2)
            continue;
        m.warnings << u"Card %1: the ID \"%2\" stands on %3 nodes; each node is counted as an alter of its own."_s
                          .arg(cardNumber)
                          .arg(ids.at(k))
                          .arg(idCounts[size_t(k)]);
    }

    const double nn = n;
    const double t = m.ties;
    if (n >= 2)
        m.density = t / (nn * (nn - 1) / 2);

    std::vector<int> degree(size_t(n) + 1, 0);
    std::vector<int> parent(size_t(n) + 1);
    std::iota(parent.begin(), parent.end(), 0);
    int components = n;
    for (const auto &[a, b] : ties) {
        ++degree[size_t(a)];
        ++degree[size_t(b)];
        const int ra = Find(parent, a);
        const int rb = Find(parent, b);
        if (ra != rb) {
            parent[size_t(ra)] = rb;
            --components;
        }
    }

    if (n >= 1) {
        m.components = components;
        m.isolates = int(std::count(degree.begin() + 1, degree.end(), 0));
        m.effectiveSize = nn - 2 * t / nn;
        m.efficiency = *m.effectiveSize / nn;

        // p_ij = 1 / deg(i) with the ego's tie in every alter's degree: ego to alter 1/n,
        // alter q to alter j 1 / (deg(q) + 1).
        const double pe = 1.0 / nn;
        std::vector<double> indirect(size_t(n) + 1, 0.0);
        for (const auto &[a, b] : ties) {
            indirect[size_t(b)] += pe / (degree[size_t(a)] + 1);
            indirect[size_t(a)] += pe / (degree[size_t(b)] + 1);
        }
        double constraint = 0;
        for (int j = 1; j <= n; ++j) {
            const double c = pe + indirect[size_t(j)];
            constraint += c * c;
        }
        m.constraint = constraint;
    }
    if (n >= 3) {
        const int dmax = *std::max_element(degree.begin() + 1, degree.end());
        double sum = 0;
        for (int i = 1; i <= n; ++i)
            sum += dmax - degree[size_t(i)];
        m.degreeCentralization = sum / ((nn - 1) * (nn - 2));
    }

    // Composition over the alters whose value counts.
    const Categories cat = CategoriesOf(ego, card, attribute);
    std::map<int, int> counts;
    int counted = 0;
    int sameAsEgo = 0;
    for (int i = 1; i <= n; ++i) {
        const int v = cat.of[size_t(i)];
        if (v == 0)
            continue;
        ++counts[v];
        ++counted;
        if (v == cat.of[0])
            ++sameAsEgo;
    }
    if (cat.of[0] != 0)
        m.eiEgoAlter = EI(counted - sameAsEgo, sameAsEgo);
    int external = 0;
    int internal = 0;
    for (const auto &[a, b] : ties) {
        const int va = cat.of[size_t(a)];
        const int vb = cat.of[size_t(b)];
        if (va == 0 || vb == 0)
            continue;
        (va == vb ? internal : external) += 1;
    }
    m.eiAlterAlter = EI(external, internal);
    if (counted > 0) {
        double sumSquares = 0;
        double entropy = 0;
        for (const auto &[value, count] : counts) {
            const double p = double(count) / counted;
            sumSquares += p * p;
            entropy -= p * std::log2(p);
        }
        m.blau = 1 - sumSquares;
        m.entropy = entropy + 0.0; // no "-0.000" for a single category
        if (cat.possible >= 2)
            m.iqv = *m.blau / (1 - 1.0 / cat.possible);
    }
    return m;
}

std::vector<SectorMeasures> MeasureSectors(const NetworkCard &card)
{
    const int sectors = card.SectorCount();
    std::vector<SectorMeasures> result(static_cast<size_t>(sectors));
    if (sectors == 0)
        return result;
    const int n = card.NodeCount();
    std::vector<int> sectorOf(size_t(n) + 1, 0);
    for (int i = 1; i <= n; ++i) {
        sectorOf[size_t(i)] = SectorOfNode(card, i);
        ++result[size_t(sectorOf[size_t(i)] - 1)].alters;
    }
    std::vector<int> crossing(size_t(sectors), 0);
    for (const auto &[a, b] : AlterTies(card)) {
        const int sa = sectorOf[size_t(a)];
        const int sb = sectorOf[size_t(b)];
        if (sa == sb) {
            ++result[size_t(sa - 1)].tiesInside;
        } else {
            ++crossing[size_t(sa - 1)];
            ++crossing[size_t(sb - 1)];
        }
    }
    for (int s = 1; s <= sectors; ++s) {
        SectorMeasures &r = result[size_t(s - 1)];
        r.sector = s;
        r.name = card.Sectors[size_t(s)].SectorName;
        const double m = r.alters;
        if (r.alters >= 2)
            r.density = r.tiesInside / (m * (m - 1) / 2);
        const int touching = r.tiesInside + crossing[size_t(s - 1)];
        if (touching > 0)
            r.crossingShare = double(crossing[size_t(s - 1)]) / touching;
    }
    return result;
}

QStringList CardMeasureColumns()
{
    return {u"ego_id"_s, u"card"_s, u"size"_s, u"ties"_s, u"density"_s, u"components"_s,
            u"isolates"_s, u"degree_centralization"_s, u"effective_size"_s, u"efficiency"_s,
            u"constraint"_s, u"ei_ego_alter"_s, u"ei_alter_alter"_s, u"blau"_s, u"iqv"_s,
            u"entropy"_s};
}

QStringList SectorMeasureColumns()
{
    return {u"ego_id"_s, u"card"_s, u"sector"_s, u"sector_name"_s, u"alters"_s,
            u"ties_inside"_s, u"density"_s, u"crossing_share"_s};
}

QString FormatMeasure(const std::optional<double> &value, QChar separator)
{
    return value ? FormatFixed(*value, 3, separator) : u"NA"_s;
}

namespace {
QString FormatCount(const std::optional<int> &value)
{
    return value ? QString::number(*value) : u"NA"_s;
}
} // namespace

QStringList CardMeasureRow(const QString &egoID, int card, const CardMeasures &m, QChar sep)
{
    return {egoID,
            QString::number(card),
            QString::number(m.size),
            QString::number(m.ties),
            FormatMeasure(m.density, sep),
            FormatCount(m.components),
            FormatCount(m.isolates),
            FormatMeasure(m.degreeCentralization, sep),
            FormatMeasure(m.effectiveSize, sep),
            FormatMeasure(m.efficiency, sep),
            FormatMeasure(m.constraint, sep),
            FormatMeasure(m.eiEgoAlter, sep),
            FormatMeasure(m.eiAlterAlter, sep),
            FormatMeasure(m.blau, sep),
            FormatMeasure(m.iqv, sep),
            FormatMeasure(m.entropy, sep)};
}

QStringList SectorMeasureRow(const QString &egoID, int card, const SectorMeasures &m, QChar sep)
{
    return {egoID,
            QString::number(card),
            QString::number(m.sector),
            m.name,
            QString::number(m.alters),
            QString::number(m.tiesInside),
            FormatMeasure(m.density, sep),
            FormatMeasure(m.crossingShare, sep)};
}

QString DelimitedLine(const QStringList &cells, QChar delimiter)
{
    QStringList out;
    out.reserve(cells.size());
    for (const QString &cell : cells) {
        if (delimiter == u'\t') {
            QString c = cell;
            c.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
            out << c;
        } else if (cell.contains(delimiter) || cell.contains(u'"') || cell.contains(u'\n')
                   || cell.contains(u'\r')) {
            QString c = cell;
            c.replace(u"\""_s, u"\"\""_s);
            out << u'"' + c + u'"';
        } else {
            out << cell;
        }
    }
    return out.join(delimiter);
}

std::vector<QStringList> EgoMeasureRows(const NetworkModel &model, const QString &fallbackID,
                                        MeasureAttribute attribute, bool bySector, int onlyCard,
                                        QStringList *warnings, QChar separator)
{
    std::vector<QStringList> rows;
    const QString egoID = IsBlank(model.ego.EgoID) ? fallbackID : model.ego.EgoID;
    for (int c = 1; c <= model.CardCount(); ++c) {
        if (onlyCard > 0 && c != onlyCard)
            continue;
        const NetworkCard &card = model.card(c);
        if (bySector) {
            for (const SectorMeasures &s : MeasureSectors(card))
                rows.push_back(SectorMeasureRow(egoID, c, s, separator));
        } else {
            const CardMeasures m = MeasureCard(model.ego, card, c, attribute);
            rows.push_back(CardMeasureRow(egoID, c, m, separator));
            if (warnings)
                *warnings << m.warnings;
        }
    }
    return rows;
}

} // namespace korvalo

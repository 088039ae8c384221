#include "core/map/transforms.h"

#include "core/model/textutil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

namespace korvalo {

namespace {

// Stores `value` and tells whether that changed anything.
int store(float &field, float value)
{
    // Compared as the model compares cards, so that "changed nothing" here agrees with
    // the history's own test.
    if (field == value)
        return 0;
    field = value;
    return 1;
}

float wrappedAngle(float angle, double degrees)
{
    const float turned = ToSingle(double(angle) + degrees);
    if ((turned >= 0.0f && turned <= 360.0f) || !std::isfinite(turned))
        return turned;
    // A file may hold angles far outside the circle; one turn brings them all inside,
    // a whole number of turns above 360 ending at 360 as a single one does.
    double inside = std::fmod(double(turned), 360.0);
    if (inside < 0)
        inside += 360.0;
    else if (inside == 0)
        inside = turned > 0 ? 360.0 : 0.0;
    return ToSingle(inside);
}

int scaleDistances(NetworkCard &card, double factor)
{
    int changed = 0;
    for (int i = 1; i <= card.NodeCount(); ++i) {
        float &d = card.Nodes[size_t(i)].Distance;
        changed += store(d, ToSingle(factor * double(d)));
    }
    return changed;
}

} // namespace

int RotateCard(NetworkCard &card, double degrees)
{
    int changed = 0;
    for (int s = 1; s <= card.SectorCount(); ++s) {
        float &a = card.Sectors[size_t(s)].SectorAngle;
        changed += store(a, wrappedAngle(a, degrees));
    }
    for (int i = 1; i <= card.NodeCount(); ++i) {
        float &a = card.Nodes[size_t(i)].Angle;
        changed += store(a, wrappedAngle(a, degrees));
    }
    return changed;
}

int ProjectOutmostNode(NetworkCard &card)
{
    float farthest = 0;
    for (int i = 1; i <= card.NodeCount(); ++i)
        farthest = std::max(farthest, card.Nodes[size_t(i)].Distance);
    if (farthest <= 0.0f)
        return 0;
    return scaleDistances(card, 0.92 / double(farthest));
}

int MeanToMiddle(NetworkCard &card)
{
    const int n = card.NodeCount();
    if (n == 0)
        return 0;
    float sum = 0;
    for (int i = 1; i <= n; ++i)
        sum += card.Nodes[size_t(i)].Distance;
    const float mean = sum / float(n);
    const float factor = 0.5f / mean;
    // A mean of 0 has no scale to bring to 0.5; a mean too small for a single has none
    // either, and scaling by infinity would throw every distance away.
    if (mean == 0.0f || !std::isfinite(factor))
        return 0;
    int changed = 0;
    for (int i = 1; i <= n; ++i) {
        float &d = card.Nodes[size_t(i)].Distance;
        changed += store(d, d * factor);
    }
    return changed;
}

int ZoomOut(NetworkCard &card)
{
    return scaleDistances(card, 1.1);
}

int ZoomIn(NetworkCard &card)
{
    return scaleDistances(card, 0.9);
}

int ClampDistances(NetworkCard &card, float maxDistance)
{
    if (!(maxDistance >= 0.0f))
        return 0;
    int changed = 0;
    for (int i = 1; i <= card.NodeCount(); ++i) {
        float &d = card.Nodes[size_t(i)].Distance;
        if (d > maxDistance)
            changed += store(d, maxDistance);
    }
    return changed;
}

int MeanDistanceForMultipleID(NetworkCard &card)
{
    // The nodes ordered by ID without regard to letter case, and by table position within
    // one ID: each run is one case-insensitive ID, its first node is the one met first in
    // the table, and that node's exact spelling is the one averaged. Sorting needs no
    // hashing and no case-folded copies, which keeps a full card well under a millisecond.
    const int n = card.NodeCount();
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    const std::vector<Node> &nodes = card.Nodes;
    std::sort(order.begin(), order.end(), [&nodes](int a, int b) {
        const int c = QString::compare(nodes[size_t(a)].ID, nodes[size_t(b)].ID, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    int changed = 0;
    for (size_t run = 0; run < order.size();) {
        const QString &first = nodes[size_t(order[run])].ID;
        // Alters without an ID are unknown, not one person: each keeps its distance.
        const bool unknown = first.isEmpty();
        size_t end = run + 1;
        while (end < order.size()
               && QString::compare(nodes[size_t(order[end])].ID, first, Qt::CaseInsensitive) == 0)
            ++end;
        float sum = 0;
        int count = 0;
        for (size_t k = run; k < end; ++k) {
            const Node &node = nodes[size_t(order[k])];
            if (node.ID == first) {
                sum += node.Distance;
                ++count;
            }
        }
        if (count >= 2 && !unknown) {
            const float mean = ToSingle(double(sum) / count);
            for (size_t k = run; k < end; ++k) {
                Node &node = card.Nodes[size_t(order[k])];
                if (node.ID == first)
                    changed += store(node.Distance, mean);
            }
        }
        run = end;
    }
    return changed;
}

int RecolorNodes(NetworkCard &card, int from, int to)
{
    if (from == to)
        return 0;
    int changed = 0;
    for (int i = 1; i <= card.NodeCount(); ++i) {
        Node &node = card.Nodes[size_t(i)];
        if (node.Color == from) {
            node.Color = to;
            ++changed;
        }
    }
    return changed;
}

std::optional<float> ParseTypedNumber(const QString &text, QChar decimalSeparator)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 64)
        return std::nullopt;
    std::string ascii;
    qsizetype i = 0;
    auto digits = [&] {
        int count = 0;
        while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
            ascii += char(t[i++].unicode());
            ++count;
        }
        return count;
    };
    if (t[i] == u'+' || t[i] == u'-')
        ascii += char(t[i++].unicode());
    int mantissa = digits();
    if (i < t.size() && t[i] == decimalSeparator) {
        ascii += '.';
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
            ascii += char(t[i++].unicode());
        if (digits() == 0)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;
    double value = 0;
    const char *begin = ascii.data() + (ascii.front() == '+' ? 1 : 0);
    const char *end = ascii.data() + ascii.size();
    const auto res = std::from_chars(begin, end, value);
    if (res.ptr != end || res.ec != std::errc() || !std::isfinite(value)
        || std::fabs(value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return ToSingle(value);
}

} // namespace korvalo

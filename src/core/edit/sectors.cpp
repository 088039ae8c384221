#include "core/edit/sectors.h"

#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "core/map/geometry.h"
#include "core/model/textutil.h"

#include <QSet>

#include <cmath>
#include <optional>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// A clockwise difference of angles: one turn added when it is negative.
double clockwise(double difference)
{
    return difference < 0 ? difference + 360.0 : difference;
}

bool validSector(const NetworkCard &card, int sector)
{
    return sector >= 1 && sector <= card.SectorCount();
}

QString quotedName(const NetworkCard &card, int sector)
{
    return u"\""_s % card.Sectors[size_t(sector)].SectorName % u"\""_s;
}

// The sector number an order entry starts with; nothing when it does not start with one.
std::optional<int> entryNumber(const QString &entry)
{
    const qsizetype blank = entry.indexOf(u' ');
    bool ok = false;
    const int number = entry.left(blank < 0 ? entry.size() : blank).toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

} // namespace

void DeleteSector(NetworkCard &card, int sector)
{
    if (!validSector(card, sector))
        return;
    card.Sectors[size_t(sector)] = card.Sectors.back();
    card.Sectors.pop_back();
}

QStringList SectorOrderEntries(const NetworkCard &card)
{
    QStringList entries;
    for (int s = 1; s <= card.SectorCount(); ++s)
        entries << QString::number(s) % u' ' % card.Sectors[size_t(s)].SectorName;
    return entries;
}

Status ApplySectorOrder(NetworkCard &card, const QStringList &entries)
{
    const Status stale = Status::failure(
        u"The sector list does not match the sectors of this card any more. "
        "Open \"Sector Order\" again."_s);
    const int count = card.SectorCount();
    if (entries.size() != count)
        return stale;
    std::vector<int> order;
    QSet<int> seen;
    for (const QString &entry : entries) {
        const std::optional<int> s = entryNumber(entry);
        if (!s || !validSector(card, *s) || seen.contains(*s))
            return stale;
        seen.insert(*s);
        order.push_back(*s);
    }

    // Everything from the old layout first: widths, boundaries, and where each alter lies.
    std::vector<float> oldAngle(size_t(count) + 1), width(size_t(count) + 1);
    for (int s = 1; s <= count; ++s) {
        oldAngle[size_t(s)] = card.Sectors[size_t(s)].SectorAngle;
        width[size_t(s)] = SectorSpan(card, s);
    }
    std::vector<std::vector<int>> members(size_t(count) + 1);
    for (int i = 1; i <= card.NodeCount(); ++i) {
        const int s = SectorOfNode(card, i);
        if (s != 0)
            members[size_t(s)].push_back(i);
    }

    double acc = 0;
    for (int s : order) {
        for (int i : members[size_t(s)]) {
            Node &node = card.Nodes[size_t(i)];
            node.Angle = ToSingle(acc + clockwise(double(node.Angle) - oldAngle[size_t(s)]));
        }
        card.Sectors[size_t(s)].SectorAngle = ToSingle(acc);
        acc += width[size_t(s)];
    }
    return Status::success();
}

QStringList SizeSectorsByNodeCount(NetworkCard &card, QChar decimalSeparator, Status *status)
{
    if (status)
        *status = Status::success();
    const int sectors = card.SectorCount();
    const int nodes = card.NodeCount();
    if (sectors < 2 || nodes < 1)
        return {};

    // The relative position is taken against the sector's span, not against the raw
    // difference to its next boundary: where boundaries share an angle, the span gives the
    // owner of the wedge its full width and the others 0, and no alter lies in those.
    std::vector<int> count(size_t(sectors) + 1, 0);
    std::vector<int> sectorOf(size_t(nodes) + 1, 0);
    std::vector<double> relative(size_t(nodes) + 1, 0.0);
    for (int i = 1; i <= nodes; ++i) {
        const int s = SectorOfNode(card, i);
        const double span = SectorSpan(card, s);
        const double offset =
            clockwise(double(card.Nodes[size_t(i)].Angle) - card.Sectors[size_t(s)].SectorAngle);
        sectorOf[size_t(i)] = s;
        relative[size_t(i)] = span > 0 ? offset / span : 0.0;
        ++count[size_t(s)];
    }

    // The sectors with alters lie contiguously from 0 in table order. A boundary shared by
    // several sectors gives its wedge to the lowest-numbered of them, so a sector without
    // alters goes onto the start of the nearest sector before it in the table that has
    // alters: it owns nothing there. One without such a sector before it would take any
    // wedge it shares; it goes just short of the full turn, where no alter lies.
    const NetworkCard before = card;
    const float lastBoundary = std::nextafter(360.0f, 0.0f);
    std::vector<double> width(size_t(sectors) + 1, 0.0);
    double acc = 0;
    int owner = 0;
    bool emptyFirst = false;
    for (int s = 1; s <= sectors; ++s) {
        if (count[size_t(s)] == 0) {
            emptyFirst = emptyFirst || owner == 0;
            card.Sectors[size_t(s)].SectorAngle =
                owner == 0 ? lastBoundary : card.Sectors[size_t(owner)].SectorAngle;
            continue;
        }
        owner = s;
        card.Sectors[size_t(s)].SectorAngle = ToSingle(acc);
        width[size_t(s)] = ToSingle(double(count[size_t(s)]) / nodes * 360.0);
        acc += width[size_t(s)];
    }

    QStringList lines;
    lines.reserve(nodes);
    for (int i = 1; i <= nodes; ++i) {
        const int s = sectorOf[size_t(i)];
        Node &node = card.Nodes[size_t(i)];
        const float start = card.Sectors[size_t(s)].SectorAngle;
        float angle = ToSingle(width[size_t(s)] * relative[size_t(i)] + start);
        // Rounding must not carry an alter onto the next boundary.
        const float end = ToSingle(start + SectorSpan(card, s));
        if (angle >= end && end > start)
            angle = std::nextafter(end, start);
        if (emptyFirst && angle >= lastBoundary)
            angle = std::nextafter(lastBoundary, 0.0f);
        node.Angle = angle;
        lines << node.Label % u' ' % card.Sectors[size_t(s)].SectorName % u' '
                     % FormatFixed(relative[size_t(i)], 2, decimalSeparator) % u' '
                     % FormatFixed(width[size_t(s)], 0, decimalSeparator);
    }

    // Whatever the arithmetic did, no alter may change its sector.
    for (int i = 1; i <= nodes; ++i) {
        if (SectorOfNode(card, i) != sectorOf[size_t(i)]) {
            card = before;
            if (status)
                *status = Status::failure(
                    u"The sectors cannot be sized to their number of nodes without moving "
                    "alters into another sector. Nothing was changed."_s);
            return {};
        }
    }
    return lines;
}

Status AddSectorStep(Document &document, int card, const QString &name, int color, float angle)
{
    return ChangeCard(document, card, u"Add sector \"%1\""_s.arg(name), [&](NetworkModel &m) {
        return AddSector(m, card, name, color, angle);
    });
}

static Status noSuchSector(int sector)
{
    return Status::failure(u"There is no sector %1 on this card."_s.arg(sector));
}

Status ModifySectorStep(Document &document, int card, int sector, const QString &name, int color)
{
    if (!document.model().hasCard(card) || !validSector(document.model().card(card), sector))
        return noSuchSector(sector);
    const QString text = u"Modify sector "_s % quotedName(document.model().card(card), sector);
    return ChangeCard(document, card, text, [&](NetworkModel &m) {
        Sector &target = m.card(card).Sectors[size_t(sector)];
        target.SectorName = name;
        target.SectorColor = color;
        return Status::success();
    });
}

Status RenameSectorStep(Document &document, int card, int sector, const QString &name)
{
    if (!document.model().hasCard(card) || !validSector(document.model().card(card), sector))
        return noSuchSector(sector);
    const QString text = u"Rename sector "_s % quotedName(document.model().card(card), sector);
    return ChangeCard(document, card, text, [&](NetworkModel &m) {
        m.card(card).Sectors[size_t(sector)].SectorName = name;
        return Status::success();
    });
}

Status DeleteSectorStep(Document &document, int card, int sector)
{
    if (!document.model().hasCard(card) || !validSector(document.model().card(card), sector))
        return noSuchSector(sector);
    const QString text = u"Delete sector "_s % quotedName(document.model().card(card), sector);
    return ChangeCard(document, card, text, [&](NetworkModel &m) {
        DeleteSector(m.card(card), sector);
        return Status::success();
    });
}

Status MoveSectorStep(Document &document, int card, int sector, float angle, const Merge &merge)
{
    if (!document.model().hasCard(card) || !validSector(document.model().card(card), sector))
        return noSuchSector(sector);
    const QString text = u"Move sector "_s % quotedName(document.model().card(card), sector);
    return ChangeCard(
        document, card, text,
        [&](NetworkModel &m) {
            m.card(card).Sectors[size_t(sector)].SectorAngle = angle;
            return Status::success();
        },
        merge);
}

Status ApplySectorOrderStep(Document &document, int card, const QStringList &entries)
{
    return ChangeCard(document, card, u"Sector Order"_s, [&](NetworkModel &m) {
        return ApplySectorOrder(m.card(card), entries);
    });
}

Status SizeSectorsByNodeCountStep(Document &document, int card)
{
    QStringList lines;
    const QChar separator = document.session().DecimalSeparator;
    const Status status = ChangeCard(document, card, u"Size Proportional to Number of Nodes"_s,
                                     [&](NetworkModel &m) {
                                         Status refusal = Status::success();
                                         lines = SizeSectorsByNodeCount(m.card(card), separator,
                                                                        &refusal);
                                         return refusal;
                                     });
    for (const QString &line : lines)
        AppendInfoLine(document.session().infoSink, line);
    return status;
}

} // namespace korvalo

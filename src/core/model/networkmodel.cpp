#include "core/model/networkmodel.h"

#include "core/model/textutil.h"

#include <algorithm>
#include <utility>

namespace korvalo {

QRgb BgrToRgb(quint32 bgr)
{
    return qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QRgb PaletteColor(int index)
{
    if (index < 0 || index >= int(Palette.size()))
        index = 0;
    return BgrToRgb(Palette[size_t(index)]);
}

QRgb LightenedColor(QRgb color)
{
    auto lighten = [](int c) { return c + int(RoundHalfEven((255 - c) / 2.0)); };
    return qRgb(lighten(qRed(color)), lighten(qGreen(color)), lighten(qBlue(color)));
}

QRgb LineStrokeColor(QRgb color)
{
    auto bump = [](int c) { return std::min(c + 1, 255); };
    return qRgb(bump(qRed(color)), bump(qGreen(color)), bump(qBlue(color)));
}

int NodeRadius(const QString &word, int nodeBaseSize)
{
    double factor = 1.0;
    if (word == u"biggest")
        factor = 2.0;
    else if (word == u"bigger")
        factor = 1.5;
    else if (word == u"smaller")
        factor = 0.7;
    else if (word == u"smallest")
        factor = 0.5;
    else
        return nodeBaseSize;
    return int(RoundHalfEven(factor * nodeBaseSize));
}

void AppendInfoLine(const InfoSink &sink, const QString &text)
{
    if (sink)
        sink(text);
}

QString NormalisedHuman(const QString &human)
{
    return human == u"FALSE" ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
}

void SetupEgo(NetworkModel &model, const QString &name, const QString &year, int sex,
              const QString &misc1, const QString &misc2, const QString &egoID)
{
    model.EgoPresent = true;
    model.Cards.resize(1);
    model.CurrentCard = 0;
    model.ego = Ego{name, egoID, year, sex, misc1, misc2};
}

QString CardIDOrDefault(const QString &id, int number)
{
    return IsBlank(id) ? QStringLiteral("Card %1").arg(number) : id;
}

NetworkCard NewCard(int number, const QString &id, int circles, const QString &egoNode,
                    int egoColor, const QString &interviewer, const QString &date,
                    const QString &cardMemo)
{
    NetworkCard card;
    card.ID = CardIDOrDefault(id, number);
    card.Circles = circles;
    card.EgoNode = egoNode;
    card.EgoColor = egoColor;
    card.Interviewer = interviewer;
    card.Date = date;
    card.CardMemo = cardMemo;
    Node &ego = card.Nodes[0];
    ego.Color = egoColor;
    ego.NodeSize = egoNode;
    return card;
}

Status AddCard(NetworkModel &model, const QString &id, int circles, const QString &egoNode,
               int egoColor, const QString &interviewer, const QString &date,
               const QString &cardMemo)
{
    if (model.CardCount() >= MaxCards)
        return Status::failure(QStringLiteral("An ego holds at most %1 network cards.").arg(MaxCards));
    const int c = model.CardCount() + 1;
    model.Cards.push_back(NewCard(c, id, circles, egoNode, egoColor, interviewer, date, cardMemo));
    model.CurrentCard = c;
    return Status::success();
}

static bool validCard(const NetworkModel &model, int card)
{
    return card >= 1 && card <= model.CardCount();
}

static Status noSuchCard(int card)
{
    return Status::failure(QStringLiteral("There is no network card %1.").arg(card));
}

Status AddSector(NetworkModel &model, int card, const QString &name, int color, float angle)
{
    if (!validCard(model, card))
        return noSuchCard(card);
    NetworkCard &target = model.card(card);
    if (target.SectorCount() >= MaxSectors)
        return Status::failure(QStringLiteral("A network card holds at most %1 sectors.").arg(MaxSectors));
    target.Sectors.push_back(Sector{angle, name, color});
    return Status::success();
}

Status AddNode(NetworkModel &model, int card, const Node &fields, const InfoSink &warn,
               QChar decimalSeparator)
{
    return AddNode(model, card, Node(fields), warn, decimalSeparator);
}

Status AddNode(NetworkModel &model, int card, Node &&fields, const InfoSink &warn,
               QChar decimalSeparator)
{
    if (!validCard(model, card))
        return noSuchCard(card);
    NetworkCard &target = model.card(card);
    if (target.NodeCount() >= MaxNodes)
        return Status::failure(QStringLiteral("A network card holds at most %1 nodes.").arg(MaxNodes));
    Node &node = target.Nodes.emplace_back(std::move(fields));
    node.Human = NormalisedHuman(node.Human);
    node.Selected = false;
    if (warn && node.Distance > 1.25f) {
        AppendInfoLine(warn, QStringLiteral("Attention to Node Distance: (") % target.ID
                                  % QStringLiteral(") ") % node.Label % QStringLiteral(" [")
                                  % node.ID % QStringLiteral("]. Distance=")
                                  % FormatFixed(node.Distance, 4, decimalSeparator));
    }
    return Status::success();
}

void ModifyNode(NetworkModel &model, int card, int node, const QString &id,
                const QString &label, const QString &merger, const QString &memo2,
                const QString &memo1, const QString &nodeSize, const QString &symbol,
                const QString &human, int size, int color, float distance,
                const QString &sex, const QString &role)
{
    if (!validCard(model, card) || node < 1 || node > model.card(card).NodeCount())
        return;
    Node &n = model.card(card).Nodes[size_t(node)];
    n.ID = id;
    n.Label = label;
    n.Merger = merger;
    n.Memo2 = memo2;
    n.Memo1 = memo1;
    n.NodeSize = nodeSize;
    n.Symbol = symbol;
    n.Human = NormalisedHuman(human);
    n.Size = size;
    n.Color = color;
    n.Distance = distance;
    n.Sex = sex;
    n.Role = role;
}

Status AddLine(NetworkModel &model, int a, int b, int lineSize, int lineColor)
{
    if (!validCard(model, model.CurrentCard))
        return Status::failure(QStringLiteral("No network card is selected."));
    NetworkCard &target = model.card(model.CurrentCard);
    // A negative end would point before the ego's slot; such a line is dropped like one
    // whose end lies beyond the last node.
    if (a < 0 || b < 0 || a > target.NodeCount() || b > target.NodeCount())
        return Status::success();
    if (target.LineCount() >= MaxLines)
        return Status::failure(QStringLiteral("A network card holds at most %1 lines.").arg(MaxLines));
    target.Lines.push_back(Line{a, b, lineSize, lineColor});
    return Status::success();
}

} // namespace korvalo

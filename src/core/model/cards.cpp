#include "core/model/cards.h"

namespace korvalo {

static bool cardExists(const NetworkModel &model, int card)
{
    return card >= 1 && card <= model.CardCount();
}

void ModifyCard(NetworkModel &model, int card, const QString &id, int circles,
                const QString &egoNode, int egoColor, const QString &interviewer,
                const QString &date, const QString &cardMemo)
{
    if (!cardExists(model, card))
        return;
    NetworkCard &c = model.card(card);
    c.ID = CardIDOrDefault(id, card);
    c.Circles = circles;
    c.EgoNode = egoNode;
    c.EgoColor = egoColor;
    c.Interviewer = interviewer;
    c.Date = date;
    c.CardMemo = cardMemo;
}

void CopyCard(NetworkModel &model, int from, int to)
{
    if (!cardExists(model, from) || !cardExists(model, to) || from == to)
        return;
    const NetworkCard &source = model.card(from);
    NetworkCard &target = model.card(to);
    const Node egoSlot = target.Nodes[0];
    target = source;
    target.Nodes[0] = egoSlot;
}

int DeleteCard(NetworkModel &model, int card, NetworkCard *removed)
{
    if (!cardExists(model, card))
        return model.CurrentCard;
    if (removed)
        *removed = std::move(model.Cards[size_t(card)]);
    model.Cards.erase(model.Cards.begin() + card);
    const int next = card > model.CardCount() ? card - 1 : card;
    model.CurrentCard = next;
    return next;
}

Status InsertCard(NetworkModel &model, int at, NetworkCard card)
{
    if (at < 1 || at > model.CardCount() + 1)
        return Status::failure(QStringLiteral("A network card cannot be put at number %1.").arg(at));
    if (model.CardCount() >= MaxCards)
        return Status::failure(QStringLiteral("An ego holds at most %1 network cards.").arg(MaxCards));
    model.Cards.insert(model.Cards.begin() + at, std::move(card));
    model.CurrentCard = at;
    return Status::success();
}

NetworkCard DuplicatedCard(const NetworkCard &original)
{
    NetworkModel scratch;
    AddCard(scratch, original.ID + QStringLiteral(" Copy"), original.Circles, original.EgoNode,
            original.EgoColor, original.Interviewer, original.Date, original.CardMemo);
    for (int s = 1; s <= original.SectorCount(); ++s) {
        const Sector &sector = original.Sectors[size_t(s)];
        AddSector(scratch, 1, sector.SectorName, sector.SectorColor, sector.SectorAngle);
    }
    for (int i = 1; i <= original.NodeCount(); ++i)
        AddNode(scratch, 1, original.Nodes[size_t(i)]);
    for (int l = 1; l <= original.LineCount(); ++l) {
        const Line &line = original.Lines[size_t(l)];
        AddLine(scratch, line.A, line.B, line.LineSize, line.LineColor);
    }
    return std::move(scratch.card(1));
}

Status DuplicateCard(NetworkModel &model, int source)
{
    if (!cardExists(model, source))
        return Status::failure(QStringLiteral("There is no network card %1.").arg(source));
    return InsertCard(model, model.CardCount() + 1, DuplicatedCard(model.card(source)));
}

} // namespace korvalo

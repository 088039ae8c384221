#include "core/edit/identityedits.h"

#include "core/edit/document.h"

namespace korvalo {

ReplaceCardsCommand::ReplaceCardsCommand(Document &document, std::vector<NetworkCard> after,
                                         const QString &text)
    : DocumentCommand(document, text), m_other(std::move(after))
{
}

bool ReplaceCardsCommand::changesNothing() const
{
    return m_other == m_document.model().Cards;
}

void ReplaceCardsCommand::swap()
{
    std::swap(model().Cards, m_other);
    m_document.announceCardList();
}

Status ApplyMergerGroups(Document &document, const std::vector<MergerGroup> &groups)
{
    NetworkModel after = document.model();
    if (Status applied = ApplyMergerGroups(after, groups); !applied)
        return applied;
    document.push(new ReplaceCardsCommand(document, std::move(after.Cards), UnsureNodeMergerStep));
    return Status::success();
}

int MergeUnsureNodeMergings(Document &document, ReportMode mode, const InfoSink &sink)
{
    NetworkModel after = document.model();
    const int renamed = MergeUnsureNodeMergings(after, mode, sink);
    document.push(new ReplaceCardsCommand(document, std::move(after.Cards), MergeUnsureStep));
    return renamed;
}

Status AggregateNodes(Document &document, const InfoSink &sink, QChar separator)
{
    const NetworkModel &model = document.model();
    const int card = model.CurrentCard;
    if (Status room = CheckRoomForAggregate(model, card); !room)
        return room;
    QStringList lines;
    NetworkCard aggregated = AggregatedCard(model.card(card), &lines, separator);
    for (const QString &line : lines)
        AppendInfoLine(sink, line);
    document.push(new InsertCardCommand(document, model.CardCount() + 1, std::move(aggregated),
                                        AggregateStep));
    return Status::success();
}

} // namespace korvalo

#include "core/analysis/inforeports.h"

#include "core/model/textutil.h"

namespace korvalo {

namespace {

QString cardHeader(const NetworkCard &card)
{
    return QStringLiteral("---") % card.ID % QStringLiteral("---");
}

QString memoLine(const Node &node, const QString &memo)
{
    return node.ID % u'-' % node.Label % QStringLiteral(": ") % memo;
}

} // namespace

void ShowAllMemos(const NetworkModel &model, const InfoSink &sink)
{
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        bool headerShown = false;
        for (int n = 1; n <= card.NodeCount(); ++n) {
            const Node &node = card.Nodes[size_t(n)];
            for (const QString *memo : {&node.Memo1, &node.Memo2}) {
                if (IsBlank(*memo))
                    continue;
                if (!headerShown) {
                    AppendInfoLine(sink, cardHeader(card));
                    headerShown = true;
                }
                AppendInfoLine(sink, memoLine(node, *memo));
            }
        }
    }
}

void ShowMemosByKeyword(const NetworkModel &model, const InfoSink &sink, const QString &keyword)
{
    if (keyword.isEmpty())
        return;
    const QString wanted = keyword.toUpper();
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        for (int n = 1; n <= card.NodeCount(); ++n) {
            const Node &node = card.Nodes[size_t(n)];
            for (const QString *memo : {&node.Memo1, &node.Memo2}) {
                if (memo->toUpper().contains(wanted)) {
                    AppendInfoLine(sink, cardHeader(card));
                    AppendInfoLine(sink, memoLine(node, *memo));
                    return;
                }
            }
        }
    }
}

void ShowNodeMerger(const NetworkModel &model, const InfoSink &sink)
{
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        for (int n = 1; n <= card.NodeCount(); ++n) {
            const Node &node = card.Nodes[size_t(n)];
            if (!IsBlank(node.Merger))
                AppendInfoLine(sink, node.ID % u'-' % node.Merger);
        }
    }
}

QString TextFileName(const QString &chosen)
{
    return chosen.endsWith(QStringLiteral(".txt"), Qt::CaseSensitive) ? chosen : chosen + QStringLiteral(".txt");
}

} // namespace korvalo

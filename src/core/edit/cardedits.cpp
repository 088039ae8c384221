#include "core/edit/cardedits.h"

namespace korvalo {

void DeleteLine(NetworkCard &card, int line)
{
    const int n = card.LineCount();
    if (line < 1 || line > n)
        return;
    card.Lines[size_t(line)] = card.Lines[size_t(n)];
    card.Lines.pop_back();
}

void DeleteNode(NetworkCard &card, int node)
{
    const int n = card.NodeCount();
    if (node < 1 || node > n)
        return;
    card.Nodes[size_t(node)] = card.Nodes[size_t(n)];
    card.Nodes.pop_back();

    // Lines still use the old numbers here: `node` is the removed alter, `n` the moved one.
    for (int l = 1; l <= card.LineCount();) {
        const Line &line = card.Lines[size_t(l)];
        if (line.A == node || line.B == node)
            DeleteLine(card, l); // the line moved into slot l is looked at next
        else
            ++l;
    }
    for (int l = 1; l <= card.LineCount(); ++l) {
        Line &line = card.Lines[size_t(l)];
        if (line.A == n)
            line.A = node;
        if (line.B == n)
            line.B = node;
    }
}

Status ConnectIdenticalIDs(NetworkCard &card, int *added)
{
    if (added)
        *added = 0;
    const int n = card.NodeCount();
    std::vector<Line> pairs;
    for (int i = 1; i < n; ++i)
        for (int j = i + 1; j <= n; ++j)
            if (card.Nodes[size_t(i)].ID == card.Nodes[size_t(j)].ID)
                pairs.push_back(Line{i, j, 1, 1});
    const int room = MaxLines - card.LineCount();
    if (int(pairs.size()) > room)
        return Status::failure(
            QStringLiteral("\"Connect Identical IDs\" would need %1 new lines, but the card "
                           "has room for only %2 more (at most %3 lines). No line was added.")
                .arg(pairs.size())
                .arg(room)
                .arg(MaxLines));
    card.Lines.insert(card.Lines.end(), pairs.begin(), pairs.end());
    if (added)
        *added = int(pairs.size());
    return Status::success();
}

int DeleteRedLines(NetworkCard &card)
{
    int removed = 0;
    for (int l = 1; l <= card.LineCount();) {
        if (card.Lines[size_t(l)].LineColor == 1) {
            DeleteLine(card, l);
            ++removed;
        } else {
            ++l;
        }
    }
    return removed;
}

} // namespace korvalo

#pragma once

#include "core/analysis/identity.h"
#include "core/edit/commands.h"

// The node identity tools as steps of the document's history: each is one undoable step,
// and a step that would change nothing is not recorded.

namespace korvalo {

// Replaces the contents of every card at once (the cards stay the same in number).
class ReplaceCardsCommand : public DocumentCommand
{
public:
    ReplaceCardsCommand(Document &document, std::vector<NetworkCard> after, const QString &text);
    void redo() override { swap(); }
    void undo() override { swap(); }
    bool changesNothing() const override;

private:
    void swap();
    std::vector<NetworkCard> m_other;
};

inline const QString UnsureNodeMergerStep = QStringLiteral("Unsure node merger");
inline const QString MergeUnsureStep = QStringLiteral("Merge Unsure Node Mergings");
inline const QString AggregateStep = QStringLiteral("Aggregate Nodes");

// ApplyMergerGroups as the step "Unsure node merger".
Status ApplyMergerGroups(Document &document, const std::vector<MergerGroup> &groups);
// MergeUnsureNodeMergings as one step; returns the number of nodes renamed.
int MergeUnsureNodeMergings(Document &document, ReportMode mode, const InfoSink &sink);
// AggregateNodes of the current card as one step; the new card becomes current.
Status AggregateNodes(Document &document, const InfoSink &sink, QChar separator);

} // namespace korvalo

#pragma once

#include "core/model/networkmodel.h"

namespace korvalo {

// Listings of the Info menu; each writes its lines to the sink.

// Every non-blank Memo1 and Memo2 of every alter, under a "---<card ID>---" header per
// card that has any.
void ShowAllMemos(const NetworkModel &model, const InfoSink &sink);

// The first memo (cards, then nodes in order, Memo1 before Memo2) that contains the
// keyword, ignoring letter case, with its card header. An empty keyword finds nothing.
void ShowMemosByKeyword(const NetworkModel &model, const InfoSink &sink, const QString &keyword);

// "<ID>-<Merger>" for every alter whose Merger is not blank.
void ShowNodeMerger(const NetworkModel &model, const InfoSink &sink);

// The name the info window is saved under: ".txt" is appended unless the name already
// ends in exactly ".txt".
QString TextFileName(const QString &chosen);

} // namespace korvalo

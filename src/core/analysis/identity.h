#pragma once

#include "core/analysis/analysisreport.h"
#include "core/model/networkmodel.h"

#include <QStringList>

#include <vector>

// Node identity: the same alter drawn under slightly different IDs on several cards.
// The user declares groups of IDs that may denote one person (unsure node mergers); each
// node records its partners in its Merger field as "|B|C|". The tools below read and
// write those fields, merge each group into one ID, list IDs used for different labels
// and summarise a card by sector and colour.
//
// IDs are compared without regard to letter case throughout, as the card analyses do:
// "anna" and "Anna" are one alter here as there.

namespace korvalo {

// One declared group: its member IDs in the order they were added.
using MergerGroup = QStringList;

// The stored form of a group: members joined by "=" ("A=B=C").
QString MergerGroupText(const MergerGroup &group);

// One offer of the dialog's chooser: a node ID with the label of its first occurrence.
struct MergerChoice
{
    QString id;
    QString label;
    QString text() const { return id + u'-' + label; }
};

// Every alter ID of the ego once (the first occurrence of each, letter case ignored),
// sorted alphabetically without regard to case.
std::vector<MergerChoice> MergerChoices(const NetworkModel &model);

// The groups the Merger fields describe, rebuilt as the dialog shows them: for each node
// with a Merger (cards and nodes in order), the group of the first partner already
// listed takes the node's ID; a node none of whose partners is listed starts a group.
std::vector<MergerGroup> MergerGroupsOf(const NetworkModel &model);

// The group (index) that holds `id` as a member, or -1.
int GroupOfMember(const std::vector<MergerGroup> &groups, const QString &id);

// Refuses a group list that cannot be stored: a member containing "|" or "=", the two
// separators of the stored form. The message names the member.
Status CheckMergerGroups(const std::vector<MergerGroup> &groups);

// Writes the groups into the nodes: every Merger field is cleared, then each alter whose
// ID is a member of a group gets "|" and each other member in group order, and a closing
// "|". Empty groups and blank members are skipped. Refused (model unchanged) as
// CheckMergerGroups refuses.
Status ApplyMergerGroups(NetworkModel &model, const std::vector<MergerGroup> &groups);

// Renames every alter of a declared group to one common ID: the ID of the first node (in
// card and node order) that carries a Merger naming the group. Groups that share a member
// are one group, also across cards. In mode lang it prints "Card: " and the card's ID for
// every card and "old->new" for every node renamed; kurz counts as lang, nix prints
// nothing. The Merger fields of the merged groups are cleared, since each group is one ID
// now: a second run renames nothing. Returns the number of nodes renamed.
int MergeUnsureNodeMergings(NetworkModel &model, ReportMode mode, const InfoSink &sink);

// Alters that share an ID (letter case ignored) but carry different labels: after a
// heading (the ego's EgoID, a space, its Name) one line per pair, the earlier node first,
// "ID-Label   ID-Label", pairs in card and node order. Then IDs written in more than one
// letter case, under PlausibilityCaseHeading, one line per ID with its forms in the order
// met, separated by three spaces. Nothing at all when there is nothing to report.
QStringList IDLabelPlausibility(const NetworkModel &model);
inline const QString PlausibilityCaseHeading =
    QStringLiteral("IDs that differ only in letter case:");

// The summary card of card `card`: its record with " aggr" appended to the ID, its
// sectors, and one node per sector and node colour ("A-1", "A-2", ...) at the circular
// mean of their angles and the mean of their distances, Size the sum of their sizes. The
// sector of an alter is the one its angle lies in; a card without sectors makes one
// aggregate per colour. Colours 1..PaletteSize come first in each sector, any other
// colour value after them. `lines` receives, per sector, its name and per aggregate
// "colour count mean-distance" (two decimals with `separator`); alters outside every
// sector are headed by AggregateNoSector.
NetworkCard AggregatedCard(const NetworkCard &card, QStringList *lines, QChar separator = u'.');
inline const QString AggregateNoSector = QStringLiteral("(no sector)");

// Appends AggregatedCard(card) to the ego and makes it current. Refused (model unchanged)
// when the card does not exist or the ego already holds MaxCards cards.
Status AggregateNodes(NetworkModel &model, int card, const InfoSink &sink,
                      QChar separator = u'.');
// The refusal for a full ego.
Status CheckRoomForAggregate(const NetworkModel &model, int card);

} // namespace korvalo

#pragma once

#include "core/model/networkmodel.h"

#include <QChar>
#include <QString>

#include <optional>

namespace korvalo {

// The Transform menu's operations on one card. Each moves or recolours the card's alters
// (nodes 1..NodeCount; the ego's slot 0 and the lines are never touched) and, for
// rotations, its sectors. Angles are in degrees, clockwise on the screen; distances are
// fractions of the map radius. Results are stored as singles, as the model keeps them.
// Each returns how many values it changed (0: the card is exactly as before), so that a
// caller can tell a no-op without comparing cards.

// Adds `degrees` to every sector's SectorAngle and every node's Angle, then brings the
// result into 0..360 by whole turns: above 360 loses them, below 0 gains them. Exactly 360
// stays 360, so a sector boundary at 359 turned by +1 keeps its own place at the end of
// the turn. Meant for turns between -360 and 360; angles a file holds outside the circle
// come inside with the first turn.
int RotateCard(NetworkCard &card, double degrees);

// "Outmost Node": scales all distances so that the farthest node lies at 0.92. A card
// whose largest distance is 0 or less (or that has no nodes) is left alone.
int ProjectOutmostNode(NetworkCard &card);

// "Mean to Middle": scales all distances so that their mean is 0.5. The sum, the mean
// and the factor are singles. A card whose mean distance is 0 is left alone.
int MeanToMiddle(NetworkCard &card);

// "Zoom Out" multiplies every distance by 1.1 (the nodes move away from the ego), "Zoom
// In" by 0.9.
int ZoomOut(NetworkCard &card);
int ZoomIn(NetworkCard &card);

// "Max Distance": every node farther than `maxDistance` is pulled in to it. A negative
// maximum would pull every alter through the ego to the other side: callers refuse it,
// and the card is left alone.
int ClampDistances(NetworkCard &card, float maxDistance);

// "Mean Distance for Multiple ID": nodes sharing an ID all get the mean of their
// distances (summed as singles in table order). Alters with an empty ID are unknown
// people and keep their distances. IDs are matched exactly; of IDs that
// differ only in letter case, only the spelling met first in table order is averaged and
// the other spellings keep their distances.
int MeanDistanceForMultipleID(NetworkCard &card);

// "Change Node Color": every node of palette colour `from` gets colour `to`.
int RecolorNodes(NetworkCard &card, int from, int to);

// A number typed by the user (a maximum distance, a turn): blanks around it are allowed, then an optional sign,
// digits with at most one `decimalSeparator`, an optional exponent. Nothing when the text
// is no such number or does not fit a single.
std::optional<float> ParseTypedNumber(const QString &text, QChar decimalSeparator);

} // namespace korvalo

#pragma once

#include <QPoint>
#include <QString>

namespace korvalo {

// Mode texts; the mouse handlers compare EditMode with them exactly.
inline const QString EditModeAddNodes = QStringLiteral("Add Nodes.");
inline const QString EditModeModifyNodes = QStringLiteral("Modify Nodes.");
inline const QString EditModeSectors = QStringLiteral("Add or modify sectors.");
inline const QString EditModeLines = QStringLiteral("Add or Modify Lines.");
inline const QString EditModeNone = QStringLiteral("Create new or read existing Ego.");

// The editing mode and what the mouse is doing on the map. Not part of the document:
// undo never touches it.
struct EditorState
{
    QString EditMode = EditModeNone;
    QPoint NewNodePos, NewSectorPos;
    QPoint RubberBandStart, RubberBandEnd;
    bool RubberBandActive = false;
    QPoint LastMousePos;
    int DraggedNode = 0, DraggedSector = 0;
    int HoverNode = 0, HoverLine = 0, PickedSector = 0;
    int LineStartNode = -1;
    // Transform > Layout: a dragged node keeps its distance / its angle.
    bool FixDistance = false;
    bool FixAngle = false;
};

} // namespace korvalo

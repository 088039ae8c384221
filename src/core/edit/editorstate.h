#pragma once

#include <QPoint>
#include <QString>

#include <cstddef>
#include <iterator>

namespace korvalo {

// The editing modes; each has its tool in tools/.
enum class EditMode { None, AddNodes, ModifyNodes, Sectors, Lines };

// Each mode with the text the status bar shows while it is on, in the order of the enum.
struct EditModeEntry
{
    EditMode mode;
    const char16_t *statusText;
};
inline constexpr EditModeEntry EditModes[] = {
    {EditMode::None, u"Create new or read existing Ego."},
    {EditMode::AddNodes, u"Add Nodes."},
    {EditMode::ModifyNodes, u"Modify Nodes."},
    {EditMode::Sectors, u"Add or modify sectors."},
    {EditMode::Lines, u"Add or Modify Lines."},
};
inline constexpr std::size_t EditModeCount = std::size(EditModes);
static_assert([] {
    for (std::size_t i = 0; i < EditModeCount; ++i)
        if (std::size_t(EditModes[i].mode) != i)
            return false;
    return true;
}());

inline QString EditModeText(EditMode mode)
{
    return QString::fromUtf16(EditModes[std::size_t(mode)].statusText);
}

// The status bar's text: the mode's; before a mode is chosen, the next step (an ego, then
// a card, then a mode).
inline QString StatusText(EditMode mode, bool egoPresent, bool cardPresent)
{
    if (mode != EditMode::None || !egoPresent)
        return EditModeText(mode);
    if (!cardPresent)
        return QStringLiteral("Add a network card: Ego > New Network Card.");
    return QStringLiteral("Choose an editing mode on the tool bar.");
}

// The editing mode and what the mouse and the keyboard are doing on the map. Not part of
// the document: undo never touches it.
struct EditorState
{
    korvalo::EditMode EditMode = korvalo::EditMode::None;
    QPoint NewNodePos, NewSectorPos;
    QPoint RubberBandStart, RubberBandEnd;
    bool RubberBandActive = false;
    QPoint LastMousePos;
    int DraggedNode = 0, DraggedSector = 0;
    int HoverNode = 0, HoverLine = 0, PickedSector = 0;
    int LineStartNode = -1;
    // Arrow-key presses so far: the repeats of a key held down merge into its press's step.
    int KeyPresses = 0;
    // Transform > Layout: a dragged node keeps its distance / its angle.
    bool FixDistance = false;
    bool FixAngle = false;
};

} // namespace korvalo

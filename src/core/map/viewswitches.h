#pragma once

#include <QChar>
#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>

namespace korvalo {

// The view switches of the Options menu (and the Analysis > Map colouring), named after
// their menu items. The session holds them for one run, starting at these defaults;
// nothing stores them.
struct ViewSwitchState
{
    // Options > Nodes
    bool Show2 = true; // "Show": node shapes and their symbols

    // Options > Label
    bool ShowLabels1 = true;     // "Show Labels"
    bool ShowID1 = false;        // "Show IDs": "[ID] " in front of the label
    bool ShowNodeNr1 = false;    // "Show Node Nr": " {n}" at the end
    bool ShowGroupSize1 = false; // "Show Group Size": "{Size}" for groups
    bool ShowRoles1 = false;     // "Show Roles": " (Role)" after the label
    bool ShowEgoLabel1 = true;   // "Show Ego Label": "Ego" at the centre

    // Options > Lines
    bool ShowLinesBetween = true; // "Show Lines Between Alteri"
    bool ShowLinesToEgo = true;   // "Show Lines To Ego"

    // Options > Sectors
    bool ShowSectorLabels1 = true; // "Show Sector Labels" (unchecking it also unchecks the size)
    bool ShowSectorSize1 = false;  // "Show Sector Size": " [25.0]" after the name
    bool Show1 = true;             // "Show Sector Lines": boundary lines and handles
    bool ColorSectors1 = false;    // "Color Sectors": wedges in the lightened sector colour

    // Options > Symbols: which nodes are visible, by their Symbol
    bool ShowWithoutSymbol1 = true; // "Show Without Symbol" (also lines to the ego)
    bool Show4 = true;              // "Show Flash"
    bool ShowTriangle1 = true;      // "Show Triangle"
    bool ShowBox1 = true;           // "Show Box"
    bool ShowDiamond1 = true;       // "Show Diamond"
    bool IgnoreSymbols1 = false;    // "Ignore Symbols": symbols not drawn, filters still apply

    // Options > Layout
    bool ShowEgoCard1 = false; // "Show Ego + Card": caption "Name-CardID" at the top left

    // Analysis > Map: "Sex" checked colours human nodes by sex; "None" is its opposite.
    bool Sex1 = false;

    bool operator==(const ViewSwitchState &) const = default;
};

// What the renderer is told besides the card: the view switches and the session's sizes.
struct ViewOptions : ViewSwitchState
{
    // Not switches: the handles of the sector editing mode, and the session's sizes.
    bool SectorHandles = false;
    int NodeBaseSize = 10;  // pixel radius of a "normal" node
    int LabelFontSize = 10; // pixels
    int OverlayPenWidth = 1;
    QChar DecimalSeparator = u'.';
    // Antialiased shapes and text, for the eye and for print. The hit test never reads a
    // picture drawn so: its colours are blends, not the palette's.
    bool Smooth = false;
    // Pictures to share without the interviewees' names: node labels become the node
    // numbers, the caption the card number.
    bool HideNames = false;
};

// One view switch: its menu item and the field it sets. The default is the field's
// value in a default ViewSwitchState.
struct ViewSwitch
{
    const char16_t *caption;    // the menu item's caption
    const char16_t *objectName; // the menu item's object name
    bool ViewSwitchState::*field;
    const char16_t *shortcut;   // empty for none

    QString name() const; // the caption without blanks, as korvalo-cli --view takes it
    bool defaultValue() const { return ViewSwitchState{}.*field; }
    QKeySequence keys() const { return QKeySequence(QString::fromUtf16(shortcut)); }
};

// Every view switch, in menu order.
std::span<const ViewSwitch> ViewSwitches();
// The switch with that object name; null when none.
const ViewSwitch *FindViewSwitchByObjectName(QStringView objectName);

// The switch whose menu caption, written without blanks, is `name` ("ShowIDs",
// "ColorSectors", "ShowEgo+Card", "Sex"; the node switch also answers to "ShowNodes").
// Letter case is ignored. Null for an unknown name.
bool *FindViewSwitch(ViewOptions &view, QStringView name);
// Every name FindViewSwitch knows, in menu order; for usage texts.
QStringList ViewSwitchNames();

// `state` with one switch set, and the switches that depend on it: sector sizes are part
// of the sector labels, so switching the labels off switches the sizes off as well.
ViewSwitchState WithViewSwitch(ViewSwitchState state, bool ViewSwitchState::*field, bool on);

} // namespace korvalo

#pragma once

#include "model/networkmodel.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QStringView>

class QPainter;

// The view switches of the Options menu (and the Analysis > Map colouring), named after
// their menu items. They live for one run and start at these defaults; nothing stores
// them.
struct ViewOptions
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
};

// The switch whose menu caption, written without blanks, is `name` ("ShowIDs",
// "ColorSectors", "ShowEgo+Card", "Sex"; the node switch answers to "Show" and
// "ShowNodes"). Letter case is ignored. Null for an unknown name.
bool *FindViewSwitch(ViewOptions &view, QStringView name);
// Every name FindViewSwitch knows, in menu order; for usage texts.
QStringList ViewSwitchNames();

// Draws card `card` of the model into `target` as the map shows it: background, sector
// wedges, circles, boundary lines, handles (only while EditMode is the sector mode),
// sector labels, lines, nodes, the ego, node labels and the caption. The map's size is
// the image's size. Card 0 (or a card that does not exist) leaves only the white
// background. Reads EditMode, NodeBaseSize, LabelFontSize, OverlayPenWidth,
// DecimalSeparator and the ego's Name from the model. Nothing is antialiased: nodes show
// their exact palette colour, lines LineStrokeColor, handles SectorHandleColor, and
// everything else is black, white, grey or a lightened sector colour.
// `target` should be QImage::Format_RGB32; a null image is left alone.
void RenderCard(QImage &target, const NetworkModel &model, int card, const ViewOptions &view);

// False when the node's Symbol is switched off by the symbol filters; node 0 (the ego's
// slot, without symbol) follows "Show Without Symbol".
bool NodeVisible(const NetworkCard &card, int node, const ViewOptions &view);

// One of the four symbols ("flash", "triangle", "box", "diamond"; anything else draws
// nothing but the optional box) around (x, y), scaled by size in pixels, grey with a black
// outline. `boxed` first draws a white square of half side `size` (the node dialog's
// preview). Leaves the painter's pen and brush changed.
void DrawSymbol(QPainter &painter, int x, int y, int size, const QString &symbol, bool boxed);

// Text in Arial without antialiasing, em height `size` pixels, top-left corner at (x, y),
// turned anticlockwise about that corner by `rotation` degrees, in the painter's current
// pen colour on a transparent background. An empty text draws nothing.
void DrawMapText(QPainter &painter, int x, int y, const QString &text, int size, int rotation);

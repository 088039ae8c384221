#pragma once

#include "core/map/viewswitches.h"
#include "core/model/networkmodel.h"

#include <QString>

namespace korvalo {

// Settings of the running program that are not part of the ego file: they live for one
// run, and undo never touches them.
struct Session
{
    QString CurrentFileName; // the file last read or saved; empty for a new ego
    QChar DecimalSeparator = u'.'; // for reading files and writing report numbers
    int NodeBaseSize = 10;  // pixel radius of a "normal" node
    int LabelFontSize = 10;
    int OverlayPenWidth = 1;
    ViewSwitchState Switches; // the view switches the menus show
    bool SmoothDrawing = false; // Options > "Smooth Drawing"; the main window keeps it between runs
    bool ExitConfirmed = false;
    InfoSink infoSink; // lines meant for the info window
};

} // namespace korvalo

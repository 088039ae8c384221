#pragma once

#include "gui/shell/shellcontext.h"

#include <QObject>

namespace korvalo {

// Options > "Smooth Drawing": the map shown (and the pictures exported as shown) drawn
// antialiased, at the screen's device pixel ratio. On unless switched off; the choice is
// kept in the settings for the next run. The hit test never sees the smooth picture.
class SmoothDrawing : public QObject
{
    Q_OBJECT
public:
    explicit SmoothDrawing(const ShellContext &shell);
};

} // namespace korvalo

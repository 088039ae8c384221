#pragma once

#include <QIcon>
#include <QPixmap>

namespace korvalo {


// Pictures of the program, drawn in code so that nothing depends on image files.

enum class ToolIcon { Open, Save, AddCard, Sectors, AddNodes, ModifyNodes, Lines };

// A 32 x 32 tool-bar picture.
QIcon ToolBarIcon(ToolIcon which);

// A small network map: the start chooser's and the About box's picture.
QPixmap NetworkPicture(int width, int height);

} // namespace korvalo

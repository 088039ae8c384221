#pragma once

class QWidget;

namespace korvalo {

// Shows, in front, a window that stays open beside the main window (info lines, the node
// table). The first time it opens beside `main`, on main's screen and inside it, never
// over main's menus; after that wherever the user put it.
void ShowBeside(QWidget *window, const QWidget *main);

} // namespace korvalo

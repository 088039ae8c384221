#pragma once

class QWidget;

namespace korvalo {

// Shows, in front, a window that stays open beside the main window (info lines, the node
// table). The first time it opens where it was when last closed, also in an earlier run
// (by its object name), while a screen still shows that place; otherwise beside `main`, on
// main's screen and inside it, never over main's menus; after that wherever the user put
// it.
void ShowBeside(QWidget *window, const QWidget *main);

} // namespace korvalo

#pragma once

#include <QString>

class QWidget;

namespace korvalo {

// Dialogs and info windows are tool windows: known by their object name (findChild),
// titled, kept above the main window and never blocking it (a dialog is made modeless).
// Call before the window is first shown.
void SetUpToolWindow(QWidget *window, const QString &objectName, const QString &title);

// Shows a window, or brings it back, in front of the others. Focus::Take also hands it
// the keyboard; windows that only report (info lines, tables) leave the keyboard where it
// is, so that typing on the map goes on.
enum class Focus { Keep, Take };
void ShowInFront(QWidget *window, Focus focus = Focus::Keep);

} // namespace korvalo

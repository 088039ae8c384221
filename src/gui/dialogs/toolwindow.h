#pragma once

#include <QString>

class QWidget;

namespace korvalo {

// Dialogs and info windows are tool windows: known by their object name (findChild),
// titled, kept above the main window and never blocking it (a dialog is made modeless).
// Call before the window is first shown.
void SetUpToolWindow(QWidget *window, const QString &objectName, const QString &title);

// Questions and progress windows stay above the tool windows too: asked for the main
// window, one would otherwise open under a tool window that covers the main window's
// middle, and the program would seem to hang. Call before the window is first shown.
void KeepAboveToolWindows(QWidget *window);

// Shows a window, or brings it back, in front of the others. Focus::Take also hands it
// the keyboard; windows that only report (info lines, tables) leave the keyboard where it
// is, so that typing on the map goes on.
enum class Focus { Keep, Take };
void ShowInFront(QWidget *window, Focus focus = Focus::Keep);

// Puts the keyboard in a dialog's first field with its text selected, so that what the
// user types replaces what the dialog kept from its last use instead of going to the
// button pressed last. Works before the dialog is shown: it takes the focus when shown.
void FocusFirstField(QWidget *field);

} // namespace korvalo

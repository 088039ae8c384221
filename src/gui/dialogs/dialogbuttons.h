#pragma once

class QBoxLayout;
class QDialog;
class QLayout;
class QPushButton;
class QString;

namespace korvalo {

// A right-aligned row under a dialog's fields: the dialog's own action (the default
// button, `caption`, object name `name`) and "Ignore" (Button2), which only hides the
// dialog. Appended to `layout`; returns the action's button.
QPushButton *AddActionIgnoreRow(QDialog *dialog, QBoxLayout *layout, const QString &caption, const QString &name);

// The "Save" (Button1) and "Ignore" row under a dialog's fields: `fields` and the row
// become the dialog's layout.
QPushButton *AddSaveIgnoreButtons(QDialog *dialog, QLayout *fields);

} // namespace korvalo

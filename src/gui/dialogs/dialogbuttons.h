#pragma once

class QDialog;
class QLayout;
class QPushButton;

namespace korvalo {



// The "Save" (default, Button1) and "Ignore" (Button2) row under a dialog's fields.
// `fields` and the buttons become the dialog's layout; "Ignore" only hides the dialog.
QPushButton *AddSaveIgnoreButtons(QDialog *dialog, QLayout *fields);

} // namespace korvalo

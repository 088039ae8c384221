#pragma once

#include "core/model/networkmodel.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace korvalo {

class ColorPanelRow;

// "Network Card Settings": adds a card or edits the current one. Modeless, stays on
// top, keeps its fields between uses. Save emits saveRequested(); the main window reads
// the fields, acts on the model and hides the dialog.
class CardDialog : public QDialog
{
    Q_OBJECT
public:
    struct Values
    {
        QString ID;
        int Circles = 7;
        QString EgoNode;
        int EgoColor = 1;
        QString Interviewer;
        QString Date;
        QString CardMemo;

        bool operator==(const Values &) const = default;
    };

    explicit CardDialog(QWidget *parent = nullptr);

    // Empties the text fields for a new card; circles, ego size and colour keep the
    // values last shown.
    void prepareAdd();
    // Shows card `number` for editing; the title names it, and the dialog remembers which
    // card it was opened for.
    void prepareModify(const NetworkCard &card, int number);

    bool isAdding() const;
    Values values() const;
    // The card the dialog edits (0 while adding) and its record as it was when opened:
    // Save applies only while that card still holds that record.
    int editedCard() const { return m_number; }
    const Values &editedRecord() const { return m_opened; }
    static Values recordOf(const NetworkCard &card);

Q_SIGNALS:
    void saveRequested();

private:
    void showEgoControls(bool shown);

    QLineEdit *m_id;
    QSpinBox *m_circles;
    QRadioButton *m_no;
    QRadioButton *m_yes;
    QLabel *m_sizeLabel;
    QComboBox *m_size;
    QLabel *m_colorLabel;
    ColorPanelRow *m_colors;
    QLineEdit *m_interviewer;
    QLineEdit *m_date;
    QLineEdit *m_memo;
    QLabel *m_todo;
    int m_number = 0;
    Values m_opened;
};

} // namespace korvalo

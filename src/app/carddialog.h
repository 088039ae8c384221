#pragma once

#include "model/networkmodel.h"

#include <QDialog>

class ColorPanelRow;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

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
    };

    explicit CardDialog(QWidget *parent = nullptr);

    // Empties the text fields for a new card; circles, ego size and colour keep the
    // values last shown.
    void prepareAdd();
    void prepareModify(const NetworkCard &card);

    bool isAdding() const;
    Values values() const;

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
};

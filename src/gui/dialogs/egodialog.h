#pragma once

#include "core/model/networkmodel.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;

namespace korvalo {

class Asker;

// "Ego Settings": shows the ego record and edits a copy of it. Save checks the two
// obligatory fields and emits saved(); the ego command layer then makes values() the
// document's ego, as one undoable step. Ignore only hides the dialog.
class EgoDialog : public QDialog
{
    Q_OBJECT
public:
    explicit EgoDialog(std::function<Asker &()> asker, QWidget *parent = nullptr);

    // Shows an ego record in the fields.
    void load(const Ego &ego);
    // The record as the fields hold it.
    Ego values() const;
    // The text of the sex field as the user sees it.
    QString sexText() const;
    // What Save does; returns whether the dialog was accepted and hidden.
    bool save();

Q_SIGNALS:
    void saved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<Asker &()> m_asker;
    QLineEdit *m_name;
    QLineEdit *m_egoID;
    QLineEdit *m_year;
    QComboBox *m_sex;
    QLineEdit *m_misc1;
    QLineEdit *m_misc2;
};

} // namespace korvalo

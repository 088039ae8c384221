#pragma once

#include "model/networkmodel.h"

#include <QDialog>

#include <functional>

class Asker;
class QComboBox;
class QLineEdit;

// "Ego Settings": the home of the ego record. Every edit goes straight into
// model.ego, also when the dialog is left with Ignore; Save checks the two obligatory
// fields and emits saved() so that the side panel can show the name and the ID.
class EgoDialog : public QDialog
{
    Q_OBJECT
public:
    EgoDialog(NetworkModel &model, std::function<Asker &()> asker, QWidget *parent = nullptr);

    // Shows the ego record in the fields, after a new ego was set up or read.
    void loadFromModel();
    // The text of the sex field as the user sees it.
    QString sexText() const;
    // What Save does; returns whether the dialog was accepted and hidden.
    bool save();

Q_SIGNALS:
    void saved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    NetworkModel &m_model;
    std::function<Asker &()> m_asker;
    QLineEdit *m_name;
    QLineEdit *m_egoID;
    QLineEdit *m_year;
    QComboBox *m_sex;
    QLineEdit *m_misc1;
    QLineEdit *m_misc2;
};

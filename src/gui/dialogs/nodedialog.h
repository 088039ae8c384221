#pragma once

#include "core/edit/nodeform.h"

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace korvalo {

class ColorPanelRow;

// One of the node dialog's five symbol pictures, drawn with the map's own DrawSymbol.
class SymbolPicture : public QWidget
{
    Q_OBJECT
public:
    SymbolPicture(int choice, QWidget *parent = nullptr);
    int choice() const { return m_choice; }
    bool isMarked() const { return m_marked; }
    void setMarked(bool marked);

Q_SIGNALS:
    void clicked(int choice);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_choice;
    bool m_marked = false;
};

// "Node Settings" (TFormKnoten): adds a node or changes one. Modeless, stays on top,
// keeps its fields between uses; prepare() overwrites them. Save emits saveRequested();
// whoever owns the document checks and stores form() and hides the dialog.
class NodeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NodeDialog(QWidget *parent = nullptr);

    // Fills the fields; a form value "left as it is" (GroupSize, Human -1) is left.
    void prepare(const NodeForm &form);
    // The fields as they stand, with what the dialog was prepared for.
    NodeForm form() const;
    // Shows a group size the check rewrote (an empty one becomes "0").
    void setGroupSize(const QString &text);
    QString todo() const { return m_form.todo; }

Q_SIGNALS:
    void saveRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void chooseSymbol(int choice);
    void showGroupSize(bool shown);

    NodeForm m_form; // what prepare() was given: the target of a "modify"
    int m_symbol = 0;
    QLineEdit *m_id, *m_label, *m_role, *m_distance, *m_size, *m_memo1, *m_memo2;
    QComboBox *m_sex, *m_nodeSize;
    QRadioButton *m_human, *m_nonHuman;
    QCheckBox *m_group;
    QLabel *m_sizeLabel;
    ColorPanelRow *m_colors;
    SymbolPicture *m_symbols[5];
};

} // namespace korvalo

#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace korvalo {


class ColorPanelRow;

// "Sector Settings": names and colours a new sector or the picked one. Modeless, stays
// on top, and keeps its fields between uses. Save emits saveRequested(); whoever opened
// it acts on the document and hides it.
class SectorDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SectorDialog(QWidget *parent = nullptr);

    // Name and colour stay as last used.
    void prepareAdd();
    // Shows the sector's name; the colour keeps its last marking.
    void prepareModify(const QString &name);

    bool isAdding() const;
    QString name() const;
    int color() const; // palette index 1..8

Q_SIGNALS:
    void saveRequested();

private:
    void focusName();

    QLineEdit *m_name;
    ColorPanelRow *m_colors;
    QLabel *m_todo;
};

} // namespace korvalo

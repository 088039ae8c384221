#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace korvalo {



// "Change Sector Order": the card's sectors as a list; a left click moves an entry one
// place down, a right click one place up. Apply emits applyRequested() and the dialog
// stays open; Ignore hides it. Modeless, stays on top. The list is filled only by fill().
class SectorOrderDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SectorOrderDialog(QWidget *parent = nullptr);

    void fill(const QStringList &entries);
    QStringList entries() const;

Q_SIGNALS:
    void applyRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void move(int row, int by);

    QListWidget *m_list;
};

} // namespace korvalo

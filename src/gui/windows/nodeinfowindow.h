#pragma once

#include "core/model/networkmodel.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace korvalo {

// "Korvalo Node Infos": the fields of the node under the mouse.
class NodeInfoWindow : public QWidget
{
    Q_OBJECT
public:
    explicit NodeInfoWindow(QWidget *parent = nullptr);

    // Fills the fields from a node; nullptr empties them.
    void showNode(const Node *node);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLineEdit *m_id, *m_label, *m_role, *m_size;
    QLabel *m_group, *m_memo1Label, *m_memo2Label;
    QPlainTextEdit *m_memo1, *m_memo2;
};

} // namespace korvalo

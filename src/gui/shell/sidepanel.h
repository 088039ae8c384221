#pragma once

#include "core/model/networkmodel.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLineEdit;

namespace korvalo {

class Document;

// "Panel1": the ego, the current card's values and the hover read-outs, beside the map.
// Shows what the document holds; choosing a card in its list asks for the switch.
class SidePanel : public QWidget
{
    Q_OBJECT
public:
    SidePanel(const Document &document, QWidget *parent = nullptr);

    // Fills every field from the document; `sexText` is the ego's sex as the ego dialog
    // shows it.
    void refresh(const QString &sexText);
    // Rebuilds the card list (after cards were added, removed or renamed).
    void refreshCardList();

    // Hover read-outs. showNodeInfo(nullptr) hides both boxes and empties the node infos;
    // a node shows "Node Infos:" with its ID, Label and Role. showLineBox() shows "Line
    // Infos:" instead; showLineInfo() fills it.
    void showNodeInfo(const Node *node);
    void showLineBox();
    void showLineInfo(const QString &endA, const QString &endB, int value);

Q_SIGNALS:
    void cardChosen(int card);
    void egoDoubleClicked();

protected:
    void refreshTexts(const QString &sexText);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const Document &m_document;
    QGroupBox *m_egoBox;
    QGroupBox *m_cardBox;
    QComboBox *m_cardCombo;
    QLineEdit *m_egoName, *m_egoID, *m_year, *m_sex, *m_misc1, *m_misc2;
    QGroupBox *m_nodeBox;
    QGroupBox *m_lineBox;
    QLineEdit *m_nodeCount, *m_lineCount, *m_interviewer, *m_date, *m_cardMemo;
};

} // namespace korvalo

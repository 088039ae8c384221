#pragma once

#include <QObject>

#include <functional>

namespace korvalo {


class Asker;
class CardDialog;
class Document;
class EgoDialog;

// The Ego and Card menu commands: each change is one undoable step of the document.
class CardActions : public QObject
{
    Q_OBJECT
public:
    CardActions(Document &document, std::function<Asker &()> asker, CardDialog *cardDialog,
                 EgoDialog *egoDialog, QObject *parent = nullptr);

    void switchToCard(int card);
    void newNetworkCard();
    void cardSettings();
    void duplicateCard();
    void deleteCard();
    void egoSettings();

private:
    void saveCardDialog();
    void saveEgoDialog();

    Document &m_document;
    std::function<Asker &()> m_asker;
    CardDialog *m_cardDialog;
    EgoDialog *m_egoDialog;
};

} // namespace korvalo

#include "shellfixture.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "core/egofile/egofile.h"

#include "gui/shell/colorpanels.h"

using namespace korvalo;

using namespace Qt::StringLiterals;
using Answer = Asker::Answer;

class TestCardCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newCardNeedsEgoName();
    void cardsAreNamedAndListed();
    void switchingCardsFillsSidePanel();
    void deleteMiddleOfThree();
    void deleteOnlyCard();
    void deleteAnsweredNo();
    void duplicateShowsCopy();
    void cardSettingsSaveRightAwayChangesNothing();
    void cardSettingsClearsId();
    void cardSettingsWithoutCurrentCard();
    void pastedLineBreaksBecomeBlanks();
    void cardLimit();
    void egoDialogFillsEgoId();
    void egoDialogObligatoryFields();
    void egoDialogIgnoreKeepsRecord();
};

void TestCardCommands::newCardNeedsEgoName()
{
    Shell s;
    s.trigger(u"NewTimestamp1"_s);
    QVERIFY(s.window.cardDialog()->isHidden());
    s.trigger(u"New1"_s); // ego dialog opens, not yet saved: still no name
    QVERIFY(s.window.egoDialog()->isVisible());
    s.trigger(u"NewTimestamp1"_s);
    QVERIFY(s.window.cardDialog()->isHidden());
    // The refusal explains itself, as Save does.
    QCOMPARE(s.asker->messages().size(), 2);
    QVERIFY(s.asker->messages().last().contains(u"Ego Settings"_s));
}

void TestCardCommands::cardsAreNamedAndListed()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    QCOMPARE(s.field(u"egoname"_s), u"Anna"_s);
    QCOMPARE(s.field(u"egoid"_s), u"E1"_s);
    s.addCard(u"t1"_s);
    s.addCard(u"t2"_s);
    s.addCard(u"t3"_s);
    s.addCard(u"  "_s);
    QCOMPARE(s.model.card(4).ID, u"Card 4"_s);
    QCOMPARE(s.cardList(), (QStringList{u"<none>"_s, u"t1"_s, u"t2"_s, u"t3"_s, u"Card 4"_s}));
    QCOMPARE(s.child<QComboBox>(u"CardCombo"_s)->currentIndex(), 4);
    QCOMPARE(s.child<QGroupBox>(u"GroupBox1"_s)->title(), u"Current Network Card (4)"_s);
    QVERIFY(s.window.cardDialog()->isHidden());
}

void TestCardCommands::switchingCardsFillsSidePanel()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s, u"Iris"_s);
    Node alter;
    alter.ID = u"P1"_s;
    s.edit(1, [&](NetworkModel &m) { AddNode(m, 1, alter); });
    s.addCard(u"t2"_s, u"Otto"_s);
    auto *combo = s.child<QComboBox>(u"CardCombo"_s);
    QCOMPARE(s.field(u"Edit1"_s), u"Otto"_s);
    QCOMPARE(s.field(u"NodeAnz"_s), QString());
    combo->setCurrentIndex(1);
    Q_EMIT combo->activated(1);
    QCOMPARE(s.model.CurrentCard, 1);
    QCOMPARE(s.field(u"Edit1"_s), u"Iris"_s);
    QCOMPARE(s.field(u"NodeAnz"_s), u"1"_s);
    QCOMPARE(s.field(u"LineAnz"_s), u"0"_s);
    // "<none>" shows no card; the side panel keeps the last card's fields.
    combo->setCurrentIndex(0);
    Q_EMIT combo->activated(0);
    QCOMPARE(s.model.CurrentCard, 0);
    QCOMPARE(s.field(u"NodeAnz"_s), QString());
    QCOMPARE(s.field(u"Edit1"_s), u"Iris"_s);
}

void TestCardCommands::deleteMiddleOfThree()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s);
    s.addCard(u"t2"_s);
    s.addCard(u"t3"_s, u"Otto"_s);
    s.window.switchToCard(2);
    s.asker->answers = {Answer::Yes};
    s.trigger(u"DeleteCard1"_s);
    QCOMPARE(s.asker->asked, QStringList{u"yesNo: Do you really want to delete this network card?"_s});
    QCOMPARE(s.model.CardCount(), 2);
    QCOMPARE(s.model.CurrentCard, 2);
    QCOMPARE(s.model.card(2).ID, u"t3"_s);
    QCOMPARE(s.cardList(), (QStringList{u"<none>"_s, u"t1"_s, u"t3"_s}));
    QCOMPARE(s.child<QComboBox>(u"CardCombo"_s)->currentIndex(), 2);
    QCOMPARE(s.field(u"Edit1"_s), u"Otto"_s);
    QCOMPARE(s.child<QGroupBox>(u"GroupBox1"_s)->title(), u"Current Network Card (2)"_s);
}

void TestCardCommands::deleteOnlyCard()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s);
    s.asker->answers = {Answer::Yes};
    s.trigger(u"DeleteCard1"_s);
    QCOMPARE(s.model.CardCount(), 0);
    QCOMPARE(s.model.CurrentCard, 0);
    QCOMPARE(s.cardList(), QStringList{u"<none>"_s});
    QCOMPARE(s.child<QComboBox>(u"CardCombo"_s)->currentIndex(), 0);
    QCOMPARE(s.child<QGroupBox>(u"GroupBox1"_s)->title(), u"Current Network Card (0)"_s);
    // No card left: nothing to ask any more.
    s.trigger(u"DeleteCard1"_s);
    s.trigger(u"DuplicateCard1"_s);
    QCOMPARE(s.asker->asked.size(), 1);
    QVERIFY(s.asker->unexpected.isEmpty());
}

void TestCardCommands::deleteAnsweredNo()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s);
    s.addCard(u"t2"_s);
    s.asker->answers = {Answer::No};
    s.trigger(u"DeleteCard1"_s);
    QCOMPARE(s.model.CardCount(), 2);
    QCOMPARE(s.cardList().size(), 3);
    // With "<none>" chosen there is no current card to delete.
    auto *combo = s.child<QComboBox>(u"CardCombo"_s);
    combo->setCurrentIndex(0);
    Q_EMIT combo->activated(0);
    s.trigger(u"DeleteCard1"_s);
    QCOMPARE(s.model.CardCount(), 2);
    QCOMPARE(s.asker->asked.size(), 1);
}

void TestCardCommands::duplicateShowsCopy()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s, u"Iris"_s);
    s.addCard(u"t2"_s);
    Node alter;
    alter.ID = u"P1"_s;
    s.edit(1, [&](NetworkModel &m) {
        AddNode(m, 1, alter);
        m.card(1).Nodes[1].Selected = true;
    });
    s.window.switchToCard(1);

    s.asker->answers = {Answer::No, Answer::Yes};
    s.trigger(u"DuplicateCard1"_s);
    QCOMPARE(s.model.CardCount(), 2);
    s.trigger(u"DuplicateCard1"_s);
    QCOMPARE(s.asker->asked.last(), u"yesNo: Do you really want to duplicate this network card?"_s);
    QCOMPARE(s.model.CardCount(), 3);
    QCOMPARE(s.model.CurrentCard, 3);
    QCOMPARE(s.cardList().last(), u"t1 Copy"_s);
    QCOMPARE(s.child<QComboBox>(u"CardCombo"_s)->currentIndex(), 3);
    QCOMPARE(s.field(u"Edit1"_s), u"Iris"_s);
    QCOMPARE(s.field(u"NodeAnz"_s), u"1"_s);
    QVERIFY(!s.model.card(3).Nodes[1].Selected);
}

void TestCardCommands::cardSettingsSaveRightAwayChangesNothing()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    NetworkModel model = s.model;
    AddCard(model, u"blue"_s, 5, u"bigger"_s, 3, u"Iris"_s, u"May"_s, u"memo"_s);
    AddCard(model, u"plain"_s, 9, u"none"_s, 1, {}, {}, {});
    s.load(std::move(model));
    for (int c : {1, 2}) {
        s.window.switchToCard(c);
        const NetworkCard before = s.model.card(c);
        s.trigger(u"Settings1"_s);
        CardDialog *dialog = s.window.cardDialog();
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isAdding());
        QCOMPARE(s.child<QRadioButton>(u"RadioButton2"_s, dialog)->isChecked(), c == 1);
        s.child<QPushButton>(u"Button1"_s, dialog)->click();
        const NetworkCard &after = s.model.card(c);
        QCOMPARE(after.ID, before.ID);
        QCOMPARE(after.Circles, before.Circles);
        QCOMPARE(after.EgoNode, before.EgoNode);
        QCOMPARE(after.EgoColor, before.EgoColor);
        QCOMPARE(after.Interviewer, before.Interviewer);
        QCOMPARE(after.Date, before.Date);
        QCOMPARE(after.CardMemo, before.CardMemo);
    }
    // Adding afterwards starts with empty texts and "No", but keeps circles and colour.
    s.trigger(u"NewTimestamp1"_s);
    CardDialog *dialog = s.window.cardDialog();
    QVERIFY(dialog->isAdding());
    QCOMPARE(s.child<QLineEdit>(u"id"_s, dialog)->text(), QString());
    QCOMPARE(s.child<QSpinBox>(u"kreise"_s, dialog)->value(), 9);
    QVERIFY(s.child<QRadioButton>(u"RadioButton1"_s, dialog)->isChecked());
    QVERIFY(s.child(u"Panel9"_s, dialog)->isHidden());
}

void TestCardCommands::cardSettingsClearsId()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.addCard(u"t1"_s);
    s.trigger(u"Settings1"_s);
    CardDialog *dialog = s.window.cardDialog();
    s.child<QLineEdit>(u"id"_s, dialog)->clear();
    s.child<QRadioButton>(u"RadioButton2"_s, dialog)->setChecked(true);
    QVERIFY(!s.child(u"Panel9"_s, dialog)->isHidden());
    qobject_cast<ColorPanelRow *>(s.child(u"Panel9"_s, dialog))->choose(6);
    s.child<QPushButton>(u"Button1"_s, dialog)->click();
    // The card takes the name a file would give it back, and the ego can be saved.
    QCOMPARE(s.model.card(1).ID, u"Card 1"_s);
    QCOMPARE(s.model.card(1).EgoNode, u"normal"_s);
    QCOMPARE(s.model.card(1).EgoColor, 6);
    QCOMPARE(s.cardList(), (QStringList{u"<none>"_s, u"Card 1"_s}));
    QTemporaryDir dir;
    const Status saved = WriteEgoFile(s.model, dir.filePath(u"blank.ego"_s));
    QVERIFY2(saved.ok(), qPrintable(saved.message()));
}

void TestCardCommands::pastedLineBreaksBecomeBlanks()
{
    // Text pasted from elsewhere reaches the model on one line, so that the ego can be
    // saved as it is shown.
    Shell s;
    s.trigger(u"New1"_s);
    EgoDialog *egoDialog = s.window.egoDialog();
    QGuiApplication::clipboard()->setText(u"Anna\r\nBerg"_s);
    s.child<QLineEdit>(u"name"_s, egoDialog)->paste();
    s.child<QLineEdit>(u"egoid"_s, egoDialog)->setText(u"E\n1"_s);
    s.child<QPushButton>(u"Button1"_s, egoDialog)->click();
    QCOMPARE(s.model.ego.Name, u"Anna Berg"_s);
    QCOMPARE(s.model.ego.EgoID, u"E 1"_s);

    s.trigger(u"NewTimestamp1"_s);
    CardDialog *dialog = s.window.cardDialog();
    QGuiApplication::clipboard()->setText(u"first\nsecond\rthird"_s);
    s.child<QLineEdit>(u"memo"_s, dialog)->paste();
    s.child<QLineEdit>(u"id"_s, dialog)->setText(u"Wave\r\n1"_s);
    s.child<QPushButton>(u"Button1"_s, dialog)->click();
    QCOMPARE(s.model.card(1).CardMemo, u"first second third"_s);
    QCOMPARE(s.model.card(1).ID, u"Wave 1"_s);
    QTemporaryDir dir;
    const Status saved = WriteEgoFile(s.model, dir.filePath(u"pasted.ego"_s));
    QVERIFY2(saved.ok(), qPrintable(saved.message()));
}

void TestCardCommands::cardSettingsWithoutCurrentCard()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.trigger(u"Settings1"_s);
    QVERIFY(s.window.cardDialog()->isHidden());
    // A modify dialog left open while its card goes away does nothing on Save.
    s.addCard(u"t1"_s);
    s.trigger(u"Settings1"_s);
    s.window.document().setCurrentCard(0);
    s.child<QPushButton>(u"Button1"_s, s.window.cardDialog())->click();
    QCOMPARE(s.model.CardCount(), 1);
    QCOMPARE(s.model.card(1).ID, u"t1"_s);
}

void TestCardCommands::cardLimit()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    NetworkModel full = s.model;
    for (int i = 0; i < MaxCards; ++i)
        AddCard(full, {}, 7, u"none"_s, 1, {}, {}, {});
    s.load(std::move(full));
    s.trigger(u"NewTimestamp1"_s);
    QVERIFY(s.window.cardDialog()->isHidden());
    QCOMPARE(s.asker->messages(), QStringList{u"message: An ego holds at most 100 network cards."_s});
    s.asker->answers = {Answer::Yes};
    s.trigger(u"DuplicateCard1"_s);
    QCOMPARE(s.model.CardCount(), MaxCards);
    QCOMPARE(s.asker->messages().size(), 2);
}

void TestCardCommands::egoDialogFillsEgoId()
{
    Shell s;
    s.window.show();
    s.trigger(u"New1"_s);
    EgoDialog *dialog = s.window.egoDialog();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    auto *name = s.child<QLineEdit>(u"name"_s, dialog);
    auto *egoid = s.child<QLineEdit>(u"egoid"_s, dialog);
    name->setFocus();
    QTest::keyClicks(name, u"Bea"_s);
    s.child<QLineEdit>(u"year"_s, dialog)->setFocus();
    QCOMPARE(egoid->text(), u"Bea"_s);
    // An EgoID already there is kept.
    name->setFocus();
    QTest::keyClicks(name, u"ta"_s);
    s.child<QLineEdit>(u"year"_s, dialog)->setFocus();
    QCOMPARE(egoid->text(), u"Bea"_s);
    s.child<QPushButton>(u"Button1"_s, dialog)->click();
    QCOMPARE(s.model.ego.Name, u"Beata"_s);
    QCOMPARE(s.model.ego.EgoID, u"Bea"_s);
}

void TestCardCommands::egoDialogObligatoryFields()
{
    Shell s;
    s.trigger(u"New1"_s);
    EgoDialog *dialog = s.window.egoDialog();
    auto *save = s.child<QPushButton>(u"Button1"_s, dialog);
    s.child<QLineEdit>(u"name"_s, dialog)->setText(u"  "_s);
    save->click();
    s.child<QLineEdit>(u"name"_s, dialog)->setText(u"Anna"_s);
    save->click();
    QCOMPARE(s.asker->messages(), (QStringList{u"message: \"Name\" is obligatory!"_s,
                                               u"message: \"EgoID\" is obligatory!"_s}));
    QVERIFY(dialog->isVisible());
    QCOMPARE(s.field(u"egoname"_s), QString());
    s.child<QLineEdit>(u"egoid"_s, dialog)->setText(u"A7"_s);
    save->click();
    QVERIFY(dialog->isHidden());
    QCOMPARE(s.field(u"egoname"_s), u"Anna"_s);
    QCOMPARE(s.field(u"egoid"_s), u"A7"_s);
}

void TestCardCommands::egoDialogIgnoreKeepsRecord()
{
    Shell s;
    s.createEgo(u"Anna"_s, u"A1"_s);
    s.trigger(u"Ne1"_s);
    EgoDialog *dialog = s.window.egoDialog();
    s.child<QLineEdit>(u"name"_s, dialog)->setText(u"Anne"_s);
    s.child<QLineEdit>(u"year"_s, dialog)->setText(u"1961"_s);
    s.child<QComboBox>(u"sex"_s, dialog)->setCurrentIndex(1);
    s.child<QPushButton>(u"Button2"_s, dialog)->click();
    // Ignore leaves the ego as it was; the next opening shows the record again.
    QVERIFY(dialog->isHidden());
    QCOMPARE(s.model.ego.Name, u"Anna"_s);
    QCOMPARE(s.model.ego.Sex, 0);
    QCOMPARE(s.field(u"Edit3"_s), QString());
    QVERIFY(!s.window.document().isModified() || s.window.document().undoStack()->count() == 1);
    s.trigger(u"Ne1"_s);
    QCOMPARE(s.child<QLineEdit>(u"name"_s, dialog)->text(), u"Anna"_s);

    // Save makes the typed values the ego's, as one step.
    s.child<QLineEdit>(u"year"_s, dialog)->setText(u"1961"_s);
    s.child<QComboBox>(u"sex"_s, dialog)->setCurrentIndex(1);
    s.child<QPushButton>(u"Button1"_s, dialog)->click();
    QCOMPARE(s.model.ego.Sex, 1);
    QCOMPARE(s.field(u"Edit3"_s), u"1961"_s);
    QCOMPARE(s.field(u"Edit4"_s), u"Female"_s);
    s.trigger(u"Ne1"_s);
    s.child<QComboBox>(u"sex"_s, dialog)->setEditText(u"divers"_s);
    s.child<QPushButton>(u"Button1"_s, dialog)->click();
    QCOMPARE(s.model.ego.Sex, -1);
    QCOMPARE(s.field(u"Edit4"_s), u"divers"_s);
}

QTEST_MAIN(TestCardCommands)
#include "tst_cardactions.moc"

#include "builders.h"
#include "core/egofile/egofile.h"
#include "shellfixture.h"

#include <QListWidget>

using namespace korvalo;

namespace {

QStringList lines(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

// The node identity tools as a user reaches them: the merger window and the menu items.
class TestMergerDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void groupsAreBuiltAppliedAndMerged()
    {
        Shell shell;
        NetworkModel m = cardWithIDs({"A", "B-2", "a"});
        AddCard(m, QStringLiteral("Wave 2"), 7, QStringLiteral("none"), 1, {}, {}, {});
        AddNode(m, 2, alter(0, 0.5f, 1, QStringLiteral("B-2")));
        shell.load(m);
        const QByteArray before = EgoFileBytes(shell.model);
        QStringList info;
        shell.session.infoSink = [&](const QString &l) { info << l; };

        shell.trigger(QStringLiteral("UnsureNodeMerger1"));
        auto *dialog = shell.child<QDialog>(QStringLiteral("TFormMerger"));
        QVERIFY(dialog->isVisible());
        auto *chooser = shell.child<QComboBox>(QStringLiteral("ComboBox1"), dialog);
        auto *list = shell.child<QListWidget>(QStringLiteral("ListBox1"), dialog);
        auto *plus = shell.child<QPushButton>(QStringLiteral("Button1"), dialog);
        QCOMPARE(chooser->count(), 2); // "a" is A
        QCOMPARE(chooser->currentText(), QStringLiteral("A-A"));

        // An ID with "-" is added whole; a free line stays below the group.
        chooser->setCurrentIndex(1);
        plus->click();
        QCOMPARE(lines(list), (QStringList{"B-2", ""}));
        list->setCurrentRow(0);
        chooser->setCurrentIndex(0);
        plus->click();
        QCOMPARE(lines(list), (QStringList{"B-2=A", ""}));
        chooser->setEditText(QStringLiteral("a"));
        plus->click();
        chooser->setEditText(QStringLiteral("x|y"));
        plus->click();
        QCOMPARE(lines(list), (QStringList{"B-2=A", ""}));
        QCOMPARE(shell.asker->messages().size(), 2);
        QVERIFY(shell.asker->messages()[0].contains(QStringLiteral("Attention\u00B4: ID \"a\" already selected!")));
        QVERIFY(shell.asker->messages()[1].contains(QStringLiteral("\"x|y\"")));

        shell.child<QPushButton>(QStringLiteral("Button3"), dialog)->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(shell.model.card(1).Nodes[3].Merger, QStringLiteral("|B-2|"));
        QCOMPARE(shell.window.document().undoStack()->undoText(), QStringLiteral("Unsure node merger"));

        // Reopened, the window shows the group the nodes carry.
        shell.trigger(QStringLiteral("UnsureNodeMerger1"));
        QCOMPARE(lines(list), (QStringList{"A=B-2"}));
        shell.child<QPushButton>(QStringLiteral("Button4"), dialog)->click();

        shell.trigger(QStringLiteral("UnifyPossibleIDsxxinMemo11"));
        QCOMPARE(info, (QStringList{"Card: Wave 1", "B-2->A", "a->A", "Card: Wave 2", "B-2->A"}));
        info.clear();
        shell.trigger(QStringLiteral("UnifyPossibleIDsxxinMemo11"));
        QCOMPARE(info, (QStringList{"Card: Wave 1", "Card: Wave 2"}));

        shell.trigger(QStringLiteral("NodeIDPlausibility1"));
        QCOMPARE(info.mid(2), (QStringList{"E1 Anna Berg", "A-A   A-B-2", "A-A   A-a", "A-A   A-B-2",
                                           "A-B-2   A-a", "A-a   A-B-2"}));

        QUndoStack *undo = shell.window.document().undoStack();
        undo->undo();
        undo->undo();
        QCOMPARE(EgoFileBytes(shell.model), before);
    }

    void aggregateDoesNotDependOnTheWindowSize()
    {
        Shell shell;
        NetworkModel m = oneCardModel();
        AddSectors(m, 1, {{"Family", 0}});
        AddNode(m, 1, alter(350, 0.5f, 1, QStringLiteral("p")));
        AddNode(m, 1, alter(10, 0.5f, 1, QStringLiteral("q")));
        shell.load(m);
        QStringList info;
        shell.session.infoSink = [&](const QString &l) { info << l; };
        for (const QSize size : {QSize(700, 500), QSize(1300, 1000)}) {
            shell.window.resize(size);
            shell.trigger(QStringLiteral("AggregateNodes1"));
            QCOMPARE(shell.model.CardCount(), 2);
            QCOMPARE(shell.model.CurrentCard, 2);
            const Node &n = shell.model.card(2).Nodes[1];
            QCOMPARE(n.Angle, 0.0f);
            QCOMPARE(n.Size, 2);
            shell.window.document().undoStack()->undo();
            shell.switchToCard(1);
        }
        QCOMPARE(info, (QStringList{"Family", "1 2 0.50", "Family", "1 2 0.50"}));
    }
};

QTEST_MAIN(TestMergerDialog)
#include "tst_mergerdialog.moc"

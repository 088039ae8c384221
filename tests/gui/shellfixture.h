#pragma once

#include "gui/dialogs/carddialog.h"
#include "gui/dialogs/egodialog.h"
#include "gui/shell/mainwindow.h"
#include "core/edit/commands.h"
#include "scriptedasker.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

namespace korvalo {

// A main window with a scripted asker, driven through its menu items and dialogs as a
// user would.
struct Shell
{
    // Settings, recent files and recovery copies go to Qt's test folders, not the user's.
    bool testPaths = [] {
        QStandardPaths::setTestModeEnabled(true);
        return true;
    }();
    MainWindow window;
    const NetworkModel &model = window.document().model();
    Session &session = window.session();
    EditorState &editor = window.editor();
    ScriptedAsker *asker = nullptr;

    // A window on `document`, which it shares with the test.
    explicit Shell(std::shared_ptr<Document> document = std::make_shared<Document>())
        : window(std::move(document))
    {
        auto scripted = std::make_unique<ScriptedAsker>();
        asker = scripted.get();
        window.setAsker(std::move(scripted));
    }

    template <typename T = QWidget>
    T *child(const QString &name, QObject *in = nullptr) const
    {
        T *found = (in ? in : static_cast<QObject *>(const_cast<MainWindow *>(&window)))
                       ->findChild<T *>(name);
        if (!found)
            qFatal("no child %s", qPrintable(name));
        return found;
    }
    QAction *action(const QString &name) const { return child<QAction>(name); }
    void trigger(const QString &name) const { action(name)->trigger(); }
    QString field(const QString &name) const { return child<QLineEdit>(name)->text(); }

    // File > New, then the ego dialog filled in and saved.
    void createEgo(const QString &name, const QString &egoID = QStringLiteral("E1"))
    {
        trigger(QStringLiteral("New1"));
        EgoDialog *dialog = window.egoDialog();
        child<QLineEdit>(QStringLiteral("name"), dialog)->setText(name);
        child<QLineEdit>(QStringLiteral("egoid"), dialog)->setText(egoID);
        child<QPushButton>(QStringLiteral("Button1"), dialog)->click();
    }

    // Ego > New Network Card, the card dialog filled in and saved.
    void addCard(const QString &id = QString(), const QString &interviewer = QString())
    {
        trigger(QStringLiteral("NewTimestamp1"));
        CardDialog *dialog = window.cardDialog();
        child<QLineEdit>(QStringLiteral("id"), dialog)->setText(id);
        child<QLineEdit>(QStringLiteral("interviewer"), dialog)->setText(interviewer);
        child<QPushButton>(QStringLiteral("Button1"), dialog)->click();
    }

    // One undoable change of card 1's memo, as any edit would make.
    void changeSomething(const QString &memo = QStringLiteral("changed"))
    {
        ChangeCard(window.document(), 1, QStringLiteral("Change"), [&](NetworkModel &m) {
            m.card(1).CardMemo = memo;
            return Status::success();
        });
    }

    // State a test needs without driving the dialogs, made through the document as the
    // program makes it: one undoable step on a card, or a whole ego put in place as File >
    // Read puts one (the history starts empty).
    void edit(int card, const std::function<void(NetworkModel &)> &change)
    {
        ChangeCard(window.document(), card, QStringLiteral("Test step"), [&](NetworkModel &m) {
            change(m);
            return Status::success();
        });
    }
    void load(NetworkModel replacement) { window.document().reset(std::move(replacement)); }

    // The card list's choice, as a user makes it.
    void switchToCard(int card)
    {
        auto *combo = child<QComboBox>(QStringLiteral("CardCombo"));
        combo->setCurrentIndex(card);
        Q_EMIT combo->activated(card);
    }

    QStringList cardList() const
    {
        QStringList items;
        auto *combo = child<QComboBox>(QStringLiteral("CardCombo"));
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
};

} // namespace korvalo

#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <span>

class QAction;
class QMenu;
class QMenuBar;

namespace korvalo {

class Document;

// One entry of the main menu's table.
struct MenuEntry
{
    enum class Kind { Menu, Item, Check, Switch, Separator };
    Kind kind;
    const char16_t *parent; // object name of the menu it goes in; u"" for the menu bar
    const char16_t *caption; // a Switch takes caption, default and shortcut from the view switch table
    const char16_t *name;    // object name; u"" for a separator
    const char16_t *shortcut = u"";
    bool hidden = false;
};

// The whole menu tree, in order.
std::span<const MenuEntry> MenuTable();

// The main menu, built from one table. Every item starts greyed; whoever offers a
// command binds it by the item's object name, which enables it. View switches are check
// items built from the view switch table and start enabled.
class Menus : public QObject
{
    Q_OBJECT
public:
    explicit Menus(QMenuBar *bar);

    // The item (or a submenu's own action) with that object name; fatal when unknown,
    // since a misspelt name is a programming error.
    QAction *action(const QString &name) const;
    QMenu *menu(const QString &name) const;
    // Connects the item's triggered signal to `slot` and enables it.
    void bind(const QString &name, QObject *context, const std::function<void()> &slot);
    // Greys every submenu that holds nothing to choose; call after the items were bound.
    void greySubmenusWithoutChoice();
    // Ties the view switch items to the document's session: a click sets the switch, and
    // the check marks follow the session's switches however they change. The document
    // must outlive the menus.
    void showViewSwitches(Document &document);

private:
    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
    QMenuBar *m_bar;
};

} // namespace korvalo

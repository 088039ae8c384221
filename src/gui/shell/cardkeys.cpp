#include "gui/shell/cardkeys.h"

#include "core/edit/document.h"

#include <QAction>
#include <QWidget>

#include <algorithm>

namespace korvalo {

using namespace Qt::StringLiterals;

void AddCardKeys(QWidget *window, const Document &document,
                 const std::function<void(int card)> &switchToCard)
{
    struct Key
    {
        QString name;
        QKeySequence keys;
        std::function<int(int current, int count)> target;
    };
    const Key keys[] = {
        {u"NextCard"_s, QKeySequence(Qt::CTRL | Qt::Key_PageDown),
         [](int current, int count) { return std::min(current + 1, count); }},
        {u"PreviousCard"_s, QKeySequence(Qt::CTRL | Qt::Key_PageUp),
         [](int current, int) { return std::max(current - 1, 1); }},
        {u"FirstCard"_s, QKeySequence(Qt::CTRL | Qt::Key_Home), [](int, int) { return 1; }},
        {u"LastCard"_s, QKeySequence(Qt::CTRL | Qt::Key_End), [](int, int count) { return count; }},
    };
    for (const Key &key : keys) {
        auto *action = new QAction(window);
        action->setObjectName(key.name);
        action->setShortcut(key.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(action, &QAction::triggered, window,
                         [&document, switchToCard, target = key.target] {
                             const NetworkModel &model = document.model();
                             if (model.CardCount() == 0)
                                 return;
                             const int card = target(model.CurrentCard, model.CardCount());
                             if (card != model.CurrentCard)
                                 switchToCard(card);
                         });
        window->addAction(action);
    }
}

} // namespace korvalo

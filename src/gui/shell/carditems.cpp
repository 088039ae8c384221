#include "gui/shell/carditems.h"

#include "core/edit/document.h"
#include "gui/shell/menus.h"

#include <QAction>

namespace korvalo {

void GreyCardItemsWithoutCard(Menus &menus, Document &document)
{
    auto follow = [&menus, &document] {
        const NetworkModel &model = document.model();
        const bool card = model.hasCard(model.CurrentCard);
        for (const char16_t *name : {u"Settings1", u"NodeTable1", u"DuplicateCard1", u"DeleteCard1"})
            menus.action(QString::fromUtf16(name))->setEnabled(card);
    };
    QObject::connect(&document, &Document::changed, &menus, follow);
    follow();
}

} // namespace korvalo

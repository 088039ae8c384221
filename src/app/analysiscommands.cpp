#include "app/analysiscommands.h"

#include "app/asker.h"
#include "map/geometry.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

using namespace Qt::StringLiterals;
using namespace korvalo;

namespace {

struct MenuItem
{
    const char16_t *name; // the item's object name
    Analysis analysis;
};

const MenuItem MenuItems[] = {
    {u"DistancestoEgo1", Analysis::DistancesToEgo},
    {u"Number1", Analysis::StrongTies},
    {u"StrongWeakTies1", Analysis::StrongTiesRatio},
    {u"IDContinuity1", Analysis::IDContinuity},
    {u"NumberofSectors1", Analysis::NumberOfSectors},
    {u"SectorSize1", Analysis::SectorSizes},
    {u"NumberofNodes1", Analysis::SectorNodeCounts},
    {u"DominantSector1", Analysis::DominantSector},
    {u"DifferentIDs1", Analysis::DifferentIDs},
    {u"DifferentIDsinCurrentCard1", Analysis::DifferentIDsCard},
    {u"Ego2", Analysis::DifferentIDsAll},
};

const AnalysisInfo &infoOf(Analysis analysis)
{
    for (const AnalysisInfo &info : Analyses()) {
        if (info.analysis == analysis)
            return info;
    }
    Q_UNREACHABLE();
}

// The menus that hold the action, up to the menu bar, are greyed while they hold
// nothing to choose; an enabled item opens them again.
void enableWithMenus(QAction *action)
{
    action->setEnabled(true);
    for (auto *menu = qobject_cast<QMenu *>(action->parent()); menu;
         menu = qobject_cast<QMenu *>(menu->parent())) {
        menu->menuAction()->setEnabled(true);
    }
}

} // namespace

AnalysisCommands::AnalysisCommands(const NetworkModel &model, AskerSource asker, InfoSink info,
                                   const QWidget *map, QObject *parent)
    : QObject(parent), m_model(model), m_asker(std::move(asker)), m_info(std::move(info)), m_map(map)
{
    setObjectName(u"AnalysisCommands"_s);
}

void AnalysisCommands::wire(QObject *menus)
{
    for (const MenuItem &item : MenuItems) {
        auto *action = menus->findChild<QAction *>(QString::fromUtf16(item.name));
        if (!action)
            continue;
        enableWithMenus(action);
        const Analysis analysis = item.analysis;
        connect(action, &QAction::triggered, this, [this, analysis] { run(analysis); });
    }
}

void AnalysisCommands::run(Analysis analysis)
{
    const AnalysisInfo &info = infoOf(analysis);
    const bool hasCurrent = m_model.CurrentCard >= 1 && m_model.CurrentCard <= m_model.CardCount();
    if (info.currentCard && !hasCurrent)
        return;

    ReportRequest request;
    request.mode = ReportMode::lang;
    request.separator = m_model.DecimalSeparator;
    request.currentCard = m_model.CurrentCard;
    request.mapRadius = MapRadius(m_map->width(), m_map->height());
    if (info.strongCircles) {
        const std::optional<QString> answer =
            m_asker().input(u"Strong/Weak Ties"_s, u"Number of Strong Circles:"_s, u"2"_s);
        if (!answer)
            return;
        bool ok = false;
        request.strongCircles = answer->trimmed().toInt(&ok);
        if (!ok) {
            m_asker().message(u"\"%1\" is not a whole number of circles!"_s.arg(*answer));
            return;
        }
    }
    if (analysis == Analysis::IDContinuity && m_model.CardCount() < 2) {
        m_asker().message(NotEnoughCards);
        return;
    }
    for (const QString &line : ReportLines(analysis, m_model.ego, CardsOf(m_model), request))
        m_info(line);
}

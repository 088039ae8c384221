#include "gui/actions/analysisactions.h"

#include "gui/shell/asker.h"
#include "gui/shell/menus.h"
#include "core/edit/document.h"
#include "core/map/geometry.h"

#include <QWidget>

namespace korvalo {

using namespace Qt::StringLiterals;

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

} // namespace

AnalysisActions::AnalysisActions(const ShellContext &shell) : QObject(shell.window), m_shell(shell)
{
    setObjectName(u"AnalysisActions"_s);
    for (const MenuItem &item : MenuItems) {
        const Analysis analysis = item.analysis;
        m_shell.menus.bind(QString::fromUtf16(item.name), this, [this, analysis] { run(analysis); });
    }
}

void AnalysisActions::run(Analysis analysis)
{
    const NetworkModel &model = m_shell.document.model();
    const Session &session = m_shell.document.session();
    const AnalysisInfo &info = infoOf(analysis);
    if (info.currentCard && !model.hasCard(model.CurrentCard))
        return;

    ReportRequest request;
    request.mode = ReportMode::lang;
    request.separator = session.DecimalSeparator;
    request.currentCard = model.CurrentCard;
    const QSize map = m_shell.mapSize();
    request.mapRadius = MapRadius(map.width(), map.height());
    if (info.strongCircles) {
        const std::optional<QString> answer =
            m_shell.asker().input(u"Strong/Weak Ties"_s, u"Number of Strong Circles:"_s, u"2"_s);
        if (!answer)
            return;
        bool ok = false;
        request.strongCircles = answer->trimmed().toInt(&ok);
        if (!ok) {
            m_shell.asker().message(u"\"%1\" is not a whole number of circles!"_s.arg(*answer));
            return;
        }
    }
    if (analysis == Analysis::IDContinuity && model.CardCount() < 2) {
        m_shell.asker().message(NotEnoughCards);
        return;
    }
    for (const QString &line : ReportLines(analysis, model.ego, CardsOf(model), request))
        AppendInfoLine(session.infoSink, line);
}

} // namespace korvalo

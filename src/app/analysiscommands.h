#pragma once

#include "analysis/analysisreport.h"
#include "model/networkmodel.h"

#include <QObject>

#include <functional>

class Asker;
class QWidget;

// The Analysis menu and Info > Different IDs: each item runs one analysis of the open
// ego in the long form and writes its lines to the info sink. The strong-tie items ask
// for the number of strong circles, and the continuity refuses an ego of fewer than two
// cards, through the one door. Nothing here changes the model.
class AnalysisCommands : public QObject
{
    Q_OBJECT
public:
    using AskerSource = std::function<Asker &()>;

    // `map` is the map widget: the strong-tie threshold is measured on its radius.
    AnalysisCommands(const NetworkModel &model, AskerSource asker, InfoSink info,
                     const QWidget *map, QObject *parent = nullptr);

    // Finds the items under `menus` by their object names, enables them (and the
    // submenus that hold them) and connects them.
    void wire(QObject *menus);

    // Runs one analysis as its menu item does. Current-card analyses do nothing while
    // no card is current.
    void run(korvalo::Analysis analysis);

private:
    const NetworkModel &m_model;
    AskerSource m_asker;
    InfoSink m_info;
    const QWidget *m_map;
};

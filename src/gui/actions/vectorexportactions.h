#pragma once

#include "gui/shell/shellcontext.h"
#include "core/map/viewswitches.h"

#include <QObject>

#include <functional>

namespace korvalo {

// File > Export > "SVG Current Card...", "PDF Current Card...", "PDF All Cards...": the
// cards as vector pictures, drawn from the model with the view the main window draws with
// (`view`), at the map's size (850 x 750 with "Fix Export Size" checked). The file dialogs
// offer "Hide names" for pictures to share; the choice is kept for the session. Failures
// and stops are reported through the main window's asker.
class VectorExportActions : public QObject
{
    Q_OBJECT
public:
    VectorExportActions(const ShellContext &shell, std::function<ViewOptions()> view);

    void exportSvg();
    void exportPdf();
    void exportAllPdf();

private:
    // The current card, or 0 after telling that there is none.
    int currentCard();
    // The file to write, asked with "Hide names"; empty on Cancel.
    QString askName(const QString &filter);
    ViewOptions view() const;
    QSize mapSize() const;

    ShellContext m_shell;
    std::function<ViewOptions()> m_view;
    bool m_hideNames = false;
};

} // namespace korvalo

#include "gui/map/smoothdrawing.h"

#include "gui/shell/menus.h"
#include "core/edit/document.h"

#include <QAction>
#include <QCoreApplication>
#include <QSettings>
#include <QWidget>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

const QString SettingsKey = u"SmoothDrawing"_s;

QSettings settings()
{
    const QString application = QCoreApplication::applicationName();
    const QString organization = QCoreApplication::organizationName();
    return QSettings(organization.isEmpty() ? application : organization, application);
}

} // namespace

SmoothDrawing::SmoothDrawing(const ShellContext &shell) : QObject(shell.window)
{
    setObjectName(u"SmoothDrawing"_s);
    Document &document = shell.document;
    QAction *item = shell.menus.action(u"SmoothDrawing1"_s);
    document.setSmoothDrawing(settings().value(SettingsKey, true).toBool());
    item->setChecked(document.session().SmoothDrawing);
    // A check item: the click toggles it, the toggle sets the session and the settings.
    shell.menus.bind(u"SmoothDrawing1"_s, this, [] {});
    connect(item, &QAction::toggled, this, [&document](bool on) {
        document.setSmoothDrawing(on);
        settings().setValue(SettingsKey, on);
    });
    connect(&document, &Document::viewChanged, item,
            [item, &document] { item->setChecked(document.session().SmoothDrawing); });
}

} // namespace korvalo

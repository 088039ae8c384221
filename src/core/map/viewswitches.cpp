#include "core/map/viewswitches.h"

#include <array>

namespace korvalo {

namespace {

constexpr std::array<ViewSwitch, 21> switches{{
    {u"Show", u"Show2", &ViewOptions::Show2, u"Ctrl+Alt+N"},
    {u"Show Labels", u"ShowLabels1", &ViewOptions::ShowLabels1, u"Ctrl+Alt+L"},
    {u"Show IDs", u"ShowID1", &ViewOptions::ShowID1, u""},
    {u"Show Node Nr", u"ShowNodeNr1", &ViewOptions::ShowNodeNr1, u""},
    {u"Show Group Size", u"ShowGroupSize1", &ViewOptions::ShowGroupSize1, u""},
    {u"Show Roles", u"ShowRoles1", &ViewOptions::ShowRoles1, u""},
    {u"Show Ego Label", u"ShowEgoLabel1", &ViewOptions::ShowEgoLabel1, u""},
    {u"Show Lines Between Alteri", u"ShowLinesBetween", &ViewOptions::ShowLinesBetween, u""},
    {u"Show Lines To Ego", u"ShowLinesToEgo", &ViewOptions::ShowLinesToEgo, u""},
    {u"Show Sector Labels", u"ShowSectorLabels1", &ViewOptions::ShowSectorLabels1, u"Ctrl+Alt+S"},
    {u"Show Sector Size", u"ShowSectorSize1", &ViewOptions::ShowSectorSize1, u""},
    {u"Show Sector Lines", u"Show1", &ViewOptions::Show1, u""},
    {u"Color Sectors", u"ColorSectors1", &ViewOptions::ColorSectors1, u""},
    {u"Show Without Symbol", u"ShowWithoutSymbol1", &ViewOptions::ShowWithoutSymbol1, u""},
    {u"Show Flash", u"Show4", &ViewOptions::Show4, u""},
    {u"Show Triangle", u"ShowTriangle1", &ViewOptions::ShowTriangle1, u""},
    {u"Show Box", u"ShowBox1", &ViewOptions::ShowBox1, u""},
    {u"Show Diamond", u"ShowDiamond1", &ViewOptions::ShowDiamond1, u""},
    {u"Ignore Symbols", u"IgnoreSymbols1", &ViewOptions::IgnoreSymbols1, u""},
    {u"Show Ego + Card", u"ShowEgoCard1", &ViewOptions::ShowEgoCard1, u""},
    {u"Sex", u"Sex1", &ViewOptions::Sex1, u""},
}};

} // namespace

QString ViewSwitch::name() const
{
    QString text = QString::fromUtf16(caption);
    text.remove(u' ');
    return text;
}

std::span<const ViewSwitch> ViewSwitches()
{
    return switches;
}

const ViewSwitch *FindViewSwitchByObjectName(QStringView objectName)
{
    for (const ViewSwitch &s : switches) {
        if (objectName == QStringView(s.objectName))
            return &s;
    }
    return nullptr;
}

bool *FindViewSwitch(ViewOptions &view, QStringView name)
{
    if (name.compare(u"ShowNodes", Qt::CaseInsensitive) == 0)
        return &view.Show2;
    for (const ViewSwitch &s : switches) {
        if (name.compare(s.name(), Qt::CaseInsensitive) == 0)
            return &(view.*s.field);
    }
    return nullptr;
}

QStringList ViewSwitchNames()
{
    QStringList names;
    for (const ViewSwitch &s : switches) {
        names << s.name();
        if (s.field == &ViewOptions::Show2)
            names << QStringLiteral("ShowNodes");
    }
    return names;
}

ViewSwitchState WithViewSwitch(ViewSwitchState state, bool ViewSwitchState::*field, bool on)
{
    state.*field = on;
    if (field == &ViewSwitchState::ShowSectorLabels1 && !on)
        state.ShowSectorSize1 = false;
    return state;
}

} // namespace korvalo

#include "gui/shell/menus.h"

#include "core/edit/document.h"
#include "core/map/viewswitches.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace korvalo {

namespace {

using Kind = MenuEntry::Kind;

// Switch entries take caption, default and shortcut from the view switch table.
const MenuEntry menuTable[] = {
    {Kind::Menu, u"", u"File", u"File1"},
    {Kind::Item, u"File1", u"New", u"New1"},
    {Kind::Item, u"File1", u"Read", u"Open1", u"Ctrl+O"},
    {Kind::Item, u"File1", u"Save", u"Save1", u"Ctrl+S"},
    {Kind::Item, u"File1", u"Save as...", u"Saveas1"},
    {Kind::Menu, u"File1", u"Recent Files", u"RecentFiles1"},
    {Kind::Separator, u"File1", u"", u""},
    {Kind::Menu, u"File1", u"Export", u"Export1"},
    {Kind::Item, u"Export1", u"JPG Current Card", u"jpg2"},
    {Kind::Item, u"Export1", u"JPG All Cards", u"JPGAllCards1"},
    {Kind::Item, u"Export1", u"JPG All Cards in 1 JPG", u"AllCardsin1JPG1"},
    {Kind::Item, u"Export1", u"SVG Current Card...", u"SVGCurrentCard1"},
    {Kind::Item, u"Export1", u"PDF Current Card...", u"PDFCurrentCard1"},
    {Kind::Item, u"Export1", u"PDF All Cards...", u"PDFAllCards1"},
    {Kind::Separator, u"Export1", u"", u""},
    {Kind::Check, u"Export1", u"Fix Export Size", u"FixExportSize1"},
    {Kind::Separator, u"Export1", u"", u""},
    {Kind::Item, u"Export1", u"Tables for R/Python...", u"TablesforRPython1"},
    {Kind::Item, u"Export1", u"GraphML...", u"GraphML1"},
    {Kind::Separator, u"File1", u"", u""},
    {Kind::Item, u"File1", u"Exit", u"Exit1"},

    {Kind::Menu, u"", u"Edit", u"Edit1"},

    {Kind::Menu, u"", u"Ego", u"Ego1"},
    {Kind::Item, u"Ego1", u"New Network Card", u"NewTimestamp1"},
    {Kind::Item, u"Ego1", u"Ego Settings", u"Ne1"},

    {Kind::Menu, u"", u"Card", u"Card1"},
    {Kind::Item, u"Card1", u"Card Settings", u"Settings1"},
    {Kind::Item, u"Card1", u"Node Table", u"NodeTable1"},
    {Kind::Item, u"Card1", u"Compare with...", u"CompareWith1"},
    {Kind::Item, u"Card1", u"Duplicate Card", u"DuplicateCard1"},
    {Kind::Item, u"Card1", u"Delete Card", u"DeleteCard1"},
    {Kind::Separator, u"Card1", u"", u""},
    {Kind::Menu, u"Card1", u"Import Nodes", u"ImportNodes1"},
    {Kind::Item, u"ImportNodes1", u"Excel", u"Excel1"},
    {Kind::Menu, u"Card1", u"Import Edges", u"ImportEdges1"},
    {Kind::Item, u"ImportEdges1", u"Excel", u"Excel2"},
    {Kind::Menu, u"Card1", u"Import Graphic", u"ImportGraphic1", u"", true},
    {Kind::Item, u"ImportGraphic1", u"-jpg", u"jpg1"},

    {Kind::Menu, u"", u"Nodes", u"Nodes1"},
    {Kind::Item, u"Nodes1", u"Unsure Node Merger", u"UnsureNodeMerger1"},
    {Kind::Menu, u"Nodes1", u"Select", u"Select1"},
    {Kind::Item, u"Select1", u"by ID", u"ID1"},
    {Kind::Item, u"Select1", u"by Label", u"Label20"},
    {Kind::Item, u"Select1", u"Multi IDs", u"HighlightMultiIDs1"},
    {Kind::Item, u"Select1", u"Deselect All", u"DeselectAll1"},
    {Kind::Item, u"Select1", u"All", u"SelectAll1", u"Ctrl+A"},
    {Kind::Menu, u"Nodes1", u"Selected", u"Selected1"},
    {Kind::Item, u"Selected1", u"Delete", u"Delete2"},
    {Kind::Item, u"Selected1", u"Copy to This Card", u"Copyto1"},
    {Kind::Item, u"Selected1", u"Copy to Next Card", u"CopytoNextCard2"},

    {Kind::Menu, u"", u"Transform", u"Transform1"},
    {Kind::Menu, u"Transform1", u"Projection", u"Projection1"},
    {Kind::Item, u"Projection1", u"Outmost Node", u"OutmostNode1", u"Ctrl+0"},
    {Kind::Item, u"Projection1", u"Mean to Middle", u"MeantoMiddle1"},
    {Kind::Item, u"Projection1", u"Zoom Out", u"ZoomOut1", u"Ctrl+9"},
    {Kind::Item, u"Projection1", u"Zoom In", u"ZoomIn1", u"Ctrl+8"},
    {Kind::Menu, u"Transform1", u"Rotate", u"Rotate1"},
    {Kind::Item, u"Rotate1", u"90° CW", u"N90CW1"},
    {Kind::Item, u"Rotate1", u"90° CCW", u"N90CCW1"},
    {Kind::Item, u"Rotate1", u"180°", u"N1801"},
    {Kind::Item, u"Rotate1", u"1° CW", u"N1CW1", u"Ctrl+R"},
    {Kind::Item, u"Rotate1", u"1° CCW", u"N1CCW1", u"Ctrl+Shift+R"},
    {Kind::Menu, u"Transform1", u"Nodes", u"TransformNodes1"},
    {Kind::Item, u"TransformNodes1", u"Max Distance", u"MaxDistance1"},
    {Kind::Item, u"TransformNodes1", u"Mean Distance for Multiple ID", u"MeanDistanceforMultipleID1"},
    {Kind::Item, u"TransformNodes1", u"Merge Unsure Node Mergings", u"UnifyPossibleIDsxxinMemo11"},
    {Kind::Item, u"TransformNodes1", u"Node Colors", u"Change2"},
    {Kind::Menu, u"Transform1", u"Lines", u"TransformLines1"},
    {Kind::Item, u"TransformLines1", u"Connect Identical IDs", u"Connect1"},
    {Kind::Item, u"TransformLines1", u"Delete Red Lines", u"DeleteRedLines1"},
    {Kind::Menu, u"Transform1", u"Sectors", u"TransformSectors1"},
    {Kind::Item, u"TransformSectors1", u"Size Proportional to Number of Nodes", u"SizeProportionaltoNumberofNodes1"},
    {Kind::Item, u"TransformSectors1", u"Sector Order", u"ChangeSectorOrder1"},
    {Kind::Menu, u"Transform1", u"Layout", u"TransformLayout1"},
    {Kind::Check, u"TransformLayout1", u"Fix Distance", u"FixDistance1"},
    {Kind::Check, u"TransformLayout1", u"Fix Angle", u"FixAngle1"},
    {Kind::Menu, u"Transform1", u"Check", u"Check1"},
    {Kind::Item, u"Check1", u"ID/Label Plausibility", u"NodeIDPlausibility1"},

    {Kind::Menu, u"", u"Analysis", u"Analysis1"},
    {Kind::Menu, u"Analysis1", u"Distance", u"Distance1"},
    {Kind::Item, u"Distance1", u"Distances to Ego", u"DistancestoEgo1"},
    {Kind::Menu, u"Distance1", u"Strong/Weak Ties", u"StrongWeakTies3"},
    {Kind::Item, u"StrongWeakTies3", u"Count", u"Number1"},
    {Kind::Item, u"StrongWeakTies3", u"Proportional", u"StrongWeakTies1"},
    {Kind::Menu, u"Analysis1", u"Continuity", u"Continuity1"},
    {Kind::Item, u"Continuity1", u"ID Continuity*", u"IDContinuity1"},
    {Kind::Menu, u"Analysis1", u"Sector", u"Sector1"},
    {Kind::Item, u"Sector1", u"Number of Sectors*", u"NumberofSectors1"},
    {Kind::Item, u"Sector1", u"Sector Sizes*", u"SectorSize1"},
    {Kind::Item, u"Sector1", u"Number of Nodes*", u"NumberofNodes1"},
    {Kind::Item, u"Sector1", u"Dominant Sector*", u"DominantSector1"},
    {Kind::Menu, u"Analysis1", u"IDs", u"IDs1"},
    {Kind::Item, u"IDs1", u"Different IDs", u"DifferentIDs1"},
    {Kind::Item, u"Analysis1", u"Network Measures...", u"NetworkMeasures1"},
    {Kind::Item, u"Analysis1", u"Alters Across Cards...", u"AltersAcrossCards1"},
    {Kind::Menu, u"Analysis1", u"Map", u"Map1"},
    {Kind::Switch, u"Map1", u"", u"Sex1"},
    {Kind::Check, u"Map1", u"None", u"None1"},

    {Kind::Menu, u"", u"Options", u"Options1"},
    {Kind::Menu, u"Options1", u"Nodes", u"OptionsNodes1"},
    {Kind::Switch, u"OptionsNodes1", u"", u"Show2"},
    {Kind::Item, u"OptionsNodes1", u"Size", u"Size1"},
    {Kind::Menu, u"Options1", u"Label", u"Label1"},
    {Kind::Switch, u"Label1", u"", u"ShowLabels1"},
    {Kind::Switch, u"Label1", u"", u"ShowID1"},
    {Kind::Switch, u"Label1", u"", u"ShowNodeNr1"},
    {Kind::Switch, u"Label1", u"", u"ShowGroupSize1"},
    {Kind::Switch, u"Label1", u"", u"ShowRoles1"},
    {Kind::Switch, u"Label1", u"", u"ShowEgoLabel1"},
    {Kind::Item, u"Label1", u"Size", u"Size2"},
    {Kind::Menu, u"Options1", u"Lines", u"Lines1"},
    {Kind::Switch, u"Lines1", u"", u"ShowLinesBetween"},
    {Kind::Switch, u"Lines1", u"", u"ShowLinesToEgo"},
    {Kind::Menu, u"Options1", u"Sectors", u"Sectors1"},
    {Kind::Switch, u"Sectors1", u"", u"ShowSectorLabels1"},
    {Kind::Switch, u"Sectors1", u"", u"ShowSectorSize1"},
    {Kind::Switch, u"Sectors1", u"", u"Show1"},
    {Kind::Switch, u"Sectors1", u"", u"ColorSectors1"},
    {Kind::Menu, u"Options1", u"Roles", u"Roles1"},
    {Kind::Menu, u"Options1", u"Symbols", u"Symbols1"},
    {Kind::Item, u"Symbols1", u"Show All", u"ShowAll1"},
    {Kind::Item, u"Symbols1", u"Show None", u"ShowNone1"},
    {Kind::Separator, u"Symbols1", u"", u""},
    {Kind::Switch, u"Symbols1", u"", u"ShowWithoutSymbol1"},
    {Kind::Switch, u"Symbols1", u"", u"Show4"},
    {Kind::Switch, u"Symbols1", u"", u"ShowTriangle1"},
    {Kind::Switch, u"Symbols1", u"", u"ShowBox1"},
    {Kind::Switch, u"Symbols1", u"", u"ShowDiamond1"},
    {Kind::Separator, u"Symbols1", u"", u""},
    {Kind::Switch, u"Symbols1", u"", u"IgnoreSymbols1"},
    {Kind::Menu, u"Options1", u"Layout", u"OptionsLayout1"},
    {Kind::Switch, u"OptionsLayout1", u"", u"ShowEgoCard1"},
    {Kind::Menu, u"Options1", u"Read/Write", u"ReadWrite1"},
    {Kind::Item, u"ReadWrite1", u"Decimal Seperator", u"CommaSeperator1"},
    {Kind::Check, u"Options1", u"Smooth Drawing", u"SmoothDrawing1"},

    {Kind::Menu, u"", u"Macro", u"Macro1"},
    {Kind::Menu, u"Macro1", u"Directory", u"Directory2"},
    {Kind::Item, u"Directory2", u"Number of Nodes", u"Directory1"},
    {Kind::Item, u"Directory2", u"Strong/Weak Ties", u"StrongWeakTies4"},
    {Kind::Item, u"Directory2", u"Strong/Weak Ties %", u"StrongWeakTies2"},
    {Kind::Item, u"Directory2", u"Dominant Sector", u"DominantSector2"},
    {Kind::Item, u"Directory2", u"Number of Sectors", u"N24"},
    {Kind::Item, u"Directory2", u"ID Continuity All Cards", u"IDContinuityAllCards1"},
    {Kind::Item, u"Directory2", u"ID Continuity All Cards (incl. Unsure Node Merger)", u"IDContinuityAllCardsinclUnifyPossible1"},
    {Kind::Item, u"Directory2", u"\"ID\" in Memos", u"IDinMemos1"},
    {Kind::Item, u"Directory2", u"ID/Label Plausibility", u"IDLabelPlausibility1"},
    {Kind::Item, u"Directory2", u"JGP All Cards", u"JGPAllCards1"},
    {Kind::Item, u"Directory2", u"1 big JPG", u"N1bigJPG1"},
    {Kind::Item, u"Directory2", u"Export Tables", u"ExportTables1"},
    {Kind::Item, u"Directory2", u"Export GraphML", u"ExportGraphML1"},
    {Kind::Item, u"Macro1", u"-Delete Sector", u"DeleteSecotr1"},
    {Kind::Item, u"Macro1", u"Aggregate Nodes", u"AggregateNodes1"},

    {Kind::Menu, u"", u"Info", u"Info1"},
    {Kind::Menu, u"Info1", u"Different IDs", u"DifferentIDs2"},
    {Kind::Item, u"DifferentIDs2", u"Current Card", u"DifferentIDsinCurrentCard1"},
    {Kind::Item, u"DifferentIDs2", u"All Cars", u"Ego2"},
    {Kind::Item, u"Info1", u"Show Info Window", u"ShowInfoWindow1", u"Ctrl+I"},
    {Kind::Item, u"Info1", u"Show Node Info Window", u"ShowNodeInfoWindow1", u"Ctrl+Alt+I"},
    {Kind::Menu, u"Info1", u"Show Node Memos", u"ShowNodeMemos1"},
    {Kind::Item, u"ShowNodeMemos1", u"All", u"ShowallMemos1"},
    {Kind::Item, u"ShowNodeMemos1", u"By Keyword", u"ByKeyword1"},
    {Kind::Item, u"Info1", u"Show Node Merger", u"ShowNodeMerger1"},
    {Kind::Item, u"Info1", u"History", u"History1", u"Ctrl+H", true},

    {Kind::Menu, u"", u"Help", u"Help1"},
    {Kind::Item, u"Help1", u"Korvalo Manual", u"KorvaloManual1", u"F1"},
    {Kind::Item, u"Help1", u"Check for Updates...", u"CheckforUpdates1"},
    {Kind::Separator, u"Help1", u"", u""},
    {Kind::Item, u"Help1", u"About", u"KorvaloInfo1"},
};

} // namespace

std::span<const MenuEntry> MenuTable()
{
    return menuTable;
}

Menus::Menus(QMenuBar *bar) : QObject(bar), m_bar(bar)
{
    bar->setObjectName(QStringLiteral("MainMenu1"));
    for (const MenuEntry &e : menuTable) {
        const QString parentName = QString::fromUtf16(e.parent);
        QMenu *parent = parentName.isEmpty() ? nullptr : m_menus.value(parentName);
        const QString name = QString::fromUtf16(e.name);
        if (e.kind == Kind::Separator) {
            parent->addSeparator();
            continue;
        }
        if (e.kind == Kind::Menu) {
            // Top-level menus open with Alt and their first letter (Alt+F for File).
            const QString caption = QString::fromUtf16(e.caption);
            QMenu *menu = parent ? parent->addMenu(caption) : bar->addMenu(u'&' + caption);
            menu->setObjectName(name);
            menu->menuAction()->setVisible(!e.hidden);
            m_menus.insert(name, menu);
            m_actions.insert(name, menu->menuAction());
            continue;
        }
        QAction *action = nullptr;
        if (e.kind == Kind::Switch) {
            const ViewSwitch *view = FindViewSwitchByObjectName(name);
            Q_ASSERT(view);
            action = parent->addAction(QString::fromUtf16(view->caption));
            action->setShortcut(view->keys());
            action->setCheckable(true);
            action->setChecked(view->defaultValue());
        } else {
            action = parent->addAction(QString::fromUtf16(e.caption));
            action->setShortcut(QKeySequence(QString::fromUtf16(e.shortcut)));
            action->setCheckable(e.kind == Kind::Check);
            action->setEnabled(false);
        }
        action->setObjectName(name);
        action->setVisible(!e.hidden);
        m_actions.insert(name, action);
    }

    // Analysis > Map: checking "Sex" or "None" unchecks the other; a second click on the
    // checked one takes its check mark away again, so "Sex" also switches off by itself.
    auto *mapGroup = new QActionGroup(this);
    mapGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    mapGroup->addAction(action(QStringLiteral("Sex1")));
    QAction *none = action(QStringLiteral("None1"));
    none->setEnabled(true);
    none->setChecked(true);
    mapGroup->addAction(none);
}

QAction *Menus::action(const QString &name) const
{
    QAction *found = m_actions.value(name);
    if (!found)
        qFatal("no menu item %s", qPrintable(name));
    return found;
}

QMenu *Menus::menu(const QString &name) const
{
    QMenu *found = m_menus.value(name);
    if (!found)
        qFatal("no menu %s", qPrintable(name));
    return found;
}

void Menus::bind(const QString &name, QObject *context, const std::function<void()> &slot)
{
    QAction *item = action(name);
    item->setEnabled(true);
    connect(item, &QAction::triggered, context, slot);
}

void Menus::greySubmenusWithoutChoice()
{
    // Inner submenus first, so that their parents see them greyed. Top-level menus stay
    // open to look in.
    const QList<QMenu *> menus = m_bar->findChildren<QMenu *>();
    for (auto it = menus.rbegin(); it != menus.rend(); ++it) {
        QMenu *menu = *it;
        if (!qobject_cast<QMenu *>(menu->parent()))
            continue;
        const QList<QAction *> items = menu->actions();
        const bool nothingToChoose = !items.isEmpty()
            && std::none_of(items.begin(), items.end(), [](QAction *a) {
                   return a->isEnabled() && !a->isSeparator() && a->isVisible();
               });
        menu->menuAction()->setEnabled(!nothingToChoose || !menu->menuAction()->isVisible());
    }
}

void Menus::showViewSwitches(Document &document)
{
    for (const ViewSwitch &view : ViewSwitches()) {
        connect(action(QString::fromUtf16(view.objectName)), &QAction::toggled, this,
                [&document, field = view.field](bool on) { document.setViewSwitch(field, on); });
    }
    // Setting a check mark to what the session holds sets the session to what it holds:
    // no change, no signal.
    auto follow = [this, &document] {
        const ViewSwitchState &switches = document.session().Switches;
        for (const ViewSwitch &view : ViewSwitches())
            action(QString::fromUtf16(view.objectName))->setChecked(switches.*view.field);
    };
    connect(&document, &Document::viewChanged, this, follow);
    follow();
}

} // namespace korvalo

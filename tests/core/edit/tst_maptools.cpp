#include "builders.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "core/edit/hittest.h"
#include "core/edit/selection.h"
#include "core/edit/tools/toolmanager.h"
#include "core/map/geometry.h"
#include "core/map/render.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

using namespace korvalo;

// The editing modes' tools driven as the map widget drives them: every event carries the
// colour of the pixel under the pointer in the card as RenderCard draws it at that moment.
namespace {

constexpr int W = 600, H = 500; // centre (300, 250), radius 238

struct Map
{
    Document document;
    EditorState editor;
    ToolManager tools{document, editor};
    ViewOptions view;
    QImage image{W, H, QImage::Format_RGB32};

    Map(NetworkModel model, EditMode mode)
    {
        document.reset(std::move(model));
        tools.setMode(mode);
        view.ShowEgoLabel1 = false;
    }
    const NetworkCard &card() const { return document.model().card(1); }
    int steps() { return document.undoStack()->count(); }
    QPoint pointOf(int node) const
    {
        const Node &n = card().Nodes[size_t(node)];
        return MapPoint(n.Angle, n.Distance, W, H);
    }
    MapEvent at(QPoint p, MapButton button)
    {
        view.SectorHandles = editor.EditMode == EditMode::Sectors;
        // The tools hit-test with the document's view, as the map draws with it.
        document.setViewSwitches(view);
        document.setNodeBaseSize(view.NodeBaseSize);
        RenderCard(image, document.model(), document.model().CurrentCard, view);
        return MapEvent{button, p, image.pixel(p), image.size()};
    }
    MapTool &tool() { return tools.active(); }
    MapResponse press(QPoint p, MapButton b = MapButton::Left) { return tool().press(at(p, b)); }
    MapResponse move(QPoint p) { return tool().move(at(p, MapButton::Left)); }
    MapResponse release(QPoint p, MapButton b = MapButton::Left) { return tool().release(at(p, b)); }
    MapResponse key(MapKey k, bool shift = false, bool autoRepeat = false)
    {
        return tool().key(MapKeyEvent{k, shift, autoRepeat});
    }
    void select(const QList<int> &nodes)
    {
        SelectStep(document, 1, [&](NetworkCard &c) {
            for (int node : nodes)
                c.Nodes[size_t(node)].Selected = true;
        });
    }
};

// A at 0° (419, 250), B at 90° (300, 369), C at 180° (181, 250), D at 270° (300, 131).
NetworkModel fourAlters()
{
    NetworkModel model = oneCardModel();
    AddNode(model, 1, alter(0, 0.5f, 1, QStringLiteral("A")));
    AddNode(model, 1, alter(90, 0.5f, 3, QStringLiteral("B")));
    AddNode(model, 1, alter(180, 0.5f, 4, QStringLiteral("C")));
    AddNode(model, 1, alter(270, 0.5f, 5, QStringLiteral("D")));
    return model;
}

QList<int> selected(const NetworkCard &card)
{
    QList<int> nodes;
    for (int i = 1; i <= card.NodeCount(); ++i)
        if (card.Nodes[size_t(i)].Selected)
            nodes << i;
    return nodes;
}

} // namespace

class TestMapTools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pixelClassesOfARenderedCard()
    {
        NetworkModel model = fourAlters();
        AddSector(model, 1, QStringLiteral("Family"), 3, 45);
        AddLine(model, 1, 3, 1, 7);
        Map m(std::move(model), EditMode::Sectors);
        m.at({0, 0}, MapButton::Left);
        QCOMPARE(ClassifyPixel(m.image.pixel(m.pointOf(2))), PixelClass::Node);
        QCOMPARE(ClassifyPixel(m.image.pixel(250, 250)), PixelClass::Line); // silver line A–C
        QCOMPARE(ClassifyPixel(m.image.pixel(MapPoint(45, 1, W, H))), PixelClass::Handle);
        QCOMPARE(ClassifyPixel(m.image.pixel(5, 5)), PixelClass::Background);
        QCOMPARE(ClassifyPixel(qRgb(0, 0, 0)), PixelClass::Other);
        QCOMPARE(ClassifyPixel(PaletteColor(0)), PixelClass::Other); // gray is no node colour
    }

    void pressOnTheEgoDragsNothing()
    {
        NetworkModel model = oneCardModel(0, QStringLiteral("normal"));
        AddNode(model, 1, alter(0, 0.5f));
        Map m(std::move(model), EditMode::ModifyNodes);
        m.press({300, 250});
        QCOMPARE(m.editor.DraggedNode, 0);
        QVERIFY(!m.editor.RubberBandActive);
        m.move({350, 300});
        m.release({350, 300});
        QCOMPARE(m.card().Nodes[1].Angle, 0.f);
        QCOMPARE(m.steps(), 0);
    }

    void equalPositionsFindTheLowerNumber()
    {
        NetworkModel model = oneCardModel();
        AddNode(model, 1, alter(45, 0.5f, 1));
        AddNode(model, 1, alter(45, 0.5f, 3)); // drawn on top of node 1
        Map m(std::move(model), EditMode::ModifyNodes);
        const QPoint p = m.pointOf(1);
        QCOMPARE(NearestNode(m.card(), p.x(), p.y(), W, H), 1);
        m.press(p);
        QCOMPARE(m.editor.DraggedNode, 1);
        m.move({300, 400});
        m.release({300, 400});
        QCOMPARE(m.card().Nodes[2].Angle, 45.f);
        QVERIFY(m.card().Nodes[1].Angle != 45.f);
    }

    void aWholeDragIsOneStep()
    {
        Map m(fourAlters(), EditMode::ModifyNodes);
        const Node before = m.card().Nodes[1];
        m.press(m.pointOf(1));
        QCOMPARE(m.editor.DraggedNode, 1);
        for (int y = 250; y <= 450; y += 2)
            QVERIFY(m.move({419, y}).repaint);
        m.release({419, 450});
        QCOMPARE(m.editor.DraggedNode, 0);
        QCOMPARE(m.card().Nodes[1].Angle, AngleAt(419, 450, W, H));
        QCOMPARE(m.card().Nodes[1].Distance, DistanceAt(419, 450, W, H));
        QCOMPARE(m.steps(), 1);
        QCOMPARE(m.document.undoStack()->text(0), QStringLiteral("Move node \"A\""));

        // A second drag is a second step; undo takes back one drag at a time.
        m.press(m.pointOf(1));
        m.move({200, 200});
        m.release({200, 200});
        QCOMPARE(m.steps(), 2);
        m.document.undoStack()->undo();
        QCOMPARE(m.card().Nodes[1].Angle, AngleAt(419, 450, W, H));
        m.document.undoStack()->undo();
        QCOMPARE(m.card().Nodes[1], before);
        // Moving without a press drags nothing.
        m.move({100, 100});
        QCOMPARE(m.card().Nodes[1], before);
    }

    void layoutSwitchesKeepDistanceOrAngle()
    {
        Map m(fourAlters(), EditMode::ModifyNodes);
        m.editor.FixDistance = true;
        m.press(m.pointOf(1));
        m.move({300, 450});
        m.release({300, 450});
        QCOMPARE(m.card().Nodes[1].Distance, 0.5f);
        QCOMPARE(m.card().Nodes[1].Angle, AngleAt(300, 450, W, H));

        m.editor.FixDistance = false;
        m.editor.FixAngle = true;
        const float angle = m.card().Nodes[1].Angle;
        m.press(m.pointOf(1));
        m.move({300, 450});
        QCOMPARE(m.card().Nodes[1].Angle, angle);
        QCOMPARE(m.card().Nodes[1].Distance, DistanceAt(300, 450, W, H));
        m.release({300, 450});

        // Both: the node stays, the map is still repainted, no step is recorded.
        m.editor.FixDistance = true;
        const int steps = m.steps();
        const Node before = m.card().Nodes[1];
        m.press(m.pointOf(1));
        QVERIFY(m.move({100, 100}).repaint);
        m.release({100, 100});
        QCOMPARE(m.card().Nodes[1], before);
        QCOMPARE(m.steps(), steps);
    }

    void rubberBandInEveryDirection_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("down right") << QPoint(350, 200) << QPoint(450, 300);
        QTest::newRow("up left") << QPoint(450, 300) << QPoint(350, 200);
        QTest::newRow("down left") << QPoint(450, 200) << QPoint(350, 300);
        QTest::newRow("up right") << QPoint(350, 300) << QPoint(450, 200);
        QTest::newRow("border included") << QPoint(419, 100) << QPoint(500, 250);
    }
    void rubberBandInEveryDirection()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        Map m(fourAlters(), EditMode::ModifyNodes);
        m.press(from);
        QVERIFY(m.editor.RubberBandActive);
        m.move((from + to) / 2);
        m.move(to);
        QCOMPARE(m.editor.RubberBandEnd, to);
        QVERIFY(m.release(to).repaint);
        QVERIFY(!m.editor.RubberBandActive);
        QCOMPARE(selected(m.card()), QList<int>{1});
        // A second band adds to the selection and deselects nothing.
        m.press({250, 330});
        m.release({350, 400});
        QCOMPARE(selected(m.card()), (QList<int>{1, 2}));
    }

    void rubberBandStartsOnAnythingButAnItem()
    {
        // Coloured sectors leave no white; the band starts on a fill, and a band dragged up
        // and left by one pixel keeps its start's row and column.
        NetworkModel model = fourAlters();
        AddSector(model, 1, QStringLiteral("Family"), 3, 300);
        AddSector(model, 1, QStringLiteral("Work"), 6, 45);
        Map m(std::move(model), EditMode::ModifyNodes);
        m.view.ColorSectors1 = true;
        m.view.Show2 = false; // nodes not drawn: their points lie on the sector fill
        const QPoint a = m.pointOf(1);
        m.press(a + QPoint(1, 1));
        QCOMPARE(ClassifyPixel(m.image.pixel(a + QPoint(1, 1))), PixelClass::Other);
        QVERIFY(m.editor.RubberBandActive);
        m.move(a);
        QCOMPARE(*m.tool().overlay(m.image.size()).rubberBand, QRect(a, QSize(2, 2)));
        m.release(a);
        QCOMPARE(selected(m.card()), QList<int>{1});
        QCOMPARE(m.steps(), 0);
    }

    void everyPixelDrawnForAGroupNodeIsThatNode()
    {
        // A group of five with a symbol, and a plain alter 48 pixels away.
        NetworkModel model = oneCardModel();
        Node group = alter(0, 0.5f, 2, QStringLiteral("G"));
        group.Size = 5;
        group.Symbol = QStringLiteral("triangle");
        group.NodeSize = QStringLiteral("biggest");
        AddNode(model, 1, group);
        AddNode(model, 1, alter(0, 0.7f, 4, QStringLiteral("N")));
        Map m(std::move(model), EditMode::ModifyNodes);
        m.view.ShowLabels1 = false; // labels are not the node's
        m.at({0, 0}, MapButton::Left);
        const QImage drawn = m.image;
        NetworkModel without = m.document.model();
        without.card(1).Nodes[1].Distance = 0.2f; // away, to see which pixels are its own
        QImage bare(W, H, QImage::Format_RGB32);
        RenderCard(bare, without, 1, m.view);
        const QPoint g = m.pointOf(1);
        int own = 0;
        for (int y = g.y() - 40; y <= g.y() + 40; ++y) {
            for (int x = g.x() - 40; x <= g.x() + 40; ++x) {
                if (drawn.pixel(x, y) == bare.pixel(x, y))
                    continue;
                ++own;
                const MapResponse r = m.move({x, y});
                QVERIFY2(r.readout == MapResponse::Readout::Node && r.readoutNode == 1,
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY(own > 100);

        // Its centre starts and ends lines, and takes no new node on top.
        m.tools.setMode(EditMode::Lines);
        m.press(m.pointOf(2), MapButton::Right);
        QCOMPARE(m.editor.LineStartNode, 2);
        QVERIFY(m.press(g, MapButton::Right).lineDialog);
        m.tools.setMode(EditMode::AddNodes);
        QVERIFY(!m.release(g, MapButton::Right).nodeDialog);
    }

    void selectingIsNoStepAndNoChange()
    {
        Map m(fourAlters(), EditMode::ModifyNodes);
        m.press({350, 200});
        m.release({450, 300});
        m.move(m.pointOf(3));
        m.tool().doubleClick(m.image.pixel(m.pointOf(3)), m.image.size());
        QCOMPARE(selected(m.card()), (QList<int>{1, 3}));
        QCOMPARE(m.steps(), 0);
        QVERIFY(!m.document.isModified());

        // A later step and its undo keep the selection that step saw.
        m.press(m.pointOf(2));
        m.move({310, 400});
        m.release({310, 400});
        QCOMPARE(m.steps(), 1);
        QVERIFY(m.document.isModified());
        m.document.undoStack()->undo();
        QCOMPARE(selected(m.card()), (QList<int>{1, 3}));
        QVERIFY(!m.document.isModified());
    }

    void zeroSizeRubberBandSelectsTheNodeOnThatPixel()
    {
        Map m(fourAlters(), EditMode::ModifyNodes);
        m.view.Show2 = false; // nodes not drawn: their points lie on the background
        const QPoint a = m.pointOf(1);
        m.press(a + QPoint(1, 0));
        m.release(a + QPoint(1, 0));
        QVERIFY(selected(m.card()).isEmpty());
        m.press(a);
        m.release(a);
        QCOMPARE(selected(m.card()), QList<int>{1});
    }

    void lineStartedAndCancelled()
    {
        Map m(fourAlters(), EditMode::Lines);
        QVERIFY(m.press(m.pointOf(1), MapButton::Right).repaint);
        QCOMPARE(m.editor.LineStartNode, 1);
        // The start again, or the background: still started, no dialog.
        QVERIFY(!m.press(m.pointOf(1), MapButton::Right).lineDialog);
        QVERIFY(!m.press({10, 10}, MapButton::Right).lineDialog);
        QCOMPARE(m.editor.LineStartNode, 1);
        // Hovering a node with a started line still reports it.
        const MapResponse hover = m.move(m.pointOf(3));
        QCOMPARE(hover.readout, MapResponse::Readout::Node);
        QCOMPARE(hover.readoutNode, 3);

        const MapResponse second = m.press(m.pointOf(3), MapButton::Right);
        QVERIFY(second.lineDialog);
        QCOMPARE(second.lineDialog->a, 1);
        QCOMPARE(second.lineDialog->b, 3);
        QCOMPARE(second.lineDialog->labelA, QStringLiteral("A"));
        QCOMPARE(m.editor.LineStartNode, -1);

        // Started, then the mode changes: the next move cancels it.
        m.press(m.pointOf(2), MapButton::Right);
        QCOMPARE(m.editor.LineStartNode, 2);
        m.tools.setMode(EditMode::ModifyNodes);
        QVERIFY(m.move({10, 10}).repaint);
        QCOMPARE(m.editor.LineStartNode, -1);
    }

    void lineToTheEgo()
    {
        NetworkModel model = oneCardModel(0, QStringLiteral("normal"));
        AddNode(model, 1, alter(0, 0.5f, 1, QStringLiteral("A")));
        Map m(std::move(model), EditMode::Lines);
        m.press({300, 250}, MapButton::Right);
        QCOMPARE(m.editor.LineStartNode, 0);
        const MapResponse r = m.press(m.pointOf(1), MapButton::Right);
        QVERIFY(r.lineDialog);
        QCOMPARE(r.lineDialog->labelA, QStringLiteral("Ego"));
    }

    void theLineUnderThePointerIsFoundByColour()
    {
        NetworkModel model = fourAlters();
        AddLine(model, 1, 3, 1, 3); // A–C, blue, horizontal through the centre
        AddLine(model, 2, 4, 3, 4); // B–D, lime, vertical, 3 pixels wide
        AddLine(model, 1, 2, 1, 3); // A–B, blue as well
        Map m(std::move(model), EditMode::Lines);
        MapResponse r = m.move({250, 250});
        QCOMPARE(m.editor.HoverLine, 1);
        QCOMPARE(r.readout, MapResponse::Readout::Line);
        QCOMPARE(r.readoutLine, 1);
        QCOMPARE(r.popupOpensByItself, std::optional<bool>(true));

        // Beside the middle of a steep line: its ends share one pixel column, and it must
        // still be found.
        r = m.move({301, 200});
        QCOMPARE(ClassifyPixel(m.image.pixel(301, 200)), PixelClass::Line);
        QCOMPARE(m.editor.HoverLine, 2);
        QCOMPARE(r.readoutLine, 2);

        // A pixel of A–B: the blue lines are both candidates; A–B's straight line is
        // nearer.
        const QPoint onAB(359, 310); // (419, 250) to (300, 369) runs at 45°
        QCOMPARE(ClassifyPixel(m.image.pixel(onAB)), PixelClass::Line);
        m.move(onAB);
        QCOMPARE(m.editor.HoverLine, 3);

        // In another mode the popup stays as it was; the background clears HoverLine.
        m.tools.setMode(EditMode::ModifyNodes);
        QVERIFY(!m.move({250, 250}).popupOpensByItself);
        m.move({20, 20});
        QCOMPARE(m.editor.HoverLine, 0);
    }

    void hoverReadOuts()
    {
        NetworkModel model = fourAlters();
        model.card(1).Nodes[2].Size = 3;
        Map m(std::move(model), EditMode::ModifyNodes);
        // Beside the group marks, which are outlined in black.
        MapResponse r = m.move(m.pointOf(2) + QPoint(6, 0));
        QCOMPARE(r.readout, MapResponse::Readout::Node);
        QCOMPARE(r.readoutNode, 2);
        QCOMPARE(m.editor.HoverNode, 2);
        QCOMPARE(r.popupOpensByItself, std::optional<bool>(true));
        QVERIFY(!r.repaint);

        r = m.move({20, 20});
        QCOMPARE(r.readout, MapResponse::Readout::Nothing);
        QCOMPARE(r.popupOpensByItself, std::optional<bool>(false));
        QCOMPARE(m.editor.HoverNode, 2); // kept over the empty map

        m.tools.setMode(EditMode::AddNodes);
        r = m.move(m.pointOf(1));
        QCOMPARE(r.readoutNode, 1);
        QVERIFY(!r.popupOpensByItself);
    }

    void doubleClickTogglesTheHoveredNode()
    {
        Map m(fourAlters(), EditMode::ModifyNodes);
        m.move(m.pointOf(3));
        QVERIFY(m.tool().doubleClick(m.image.pixel(m.pointOf(3)), m.image.size()).repaint);
        QCOMPARE(selected(m.card()), QList<int>{3});
        m.tool().doubleClick(m.image.pixel(m.pointOf(3)), m.image.size());
        QVERIFY(selected(m.card()).isEmpty());
    }

    void addNodesPrefill()
    {
        Map m(fourAlters(), EditMode::AddNodes);
        MapResponse r = m.release({300, 131 - 60}, MapButton::Right);
        QVERIFY(r.nodeDialog);
        QCOMPARE(m.editor.NewNodePos, QPoint(300, 71));
        QCOMPARE(r.nodeDialog->todo, FormAdd);
        QCOMPARE(r.nodeDialog->Role, QString());
        QCOMPARE(r.nodeDialog->Color, 1); // red without sectors
        QCOMPARE(r.nodeDialog->Distance, QStringLiteral("0.752"));
        QCOMPARE(r.nodeDialog->Symbol, 0);
        QVERIFY(!r.nodeDialog->GroupSize); // the hidden size field keeps what it held

        NetworkModel withSectors = m.document.model();
        AddSector(withSectors, 1, QStringLiteral("Family"), 6, 0);
        AddSector(withSectors, 1, QStringLiteral("Work"), 3, 180);
        m.document.reset(std::move(withSectors));
        m.document.session().DecimalSeparator = u',';
        r = m.release({300, 400}, MapButton::Right);
        QCOMPARE(r.nodeDialog->Role, QStringLiteral("Family"));
        QCOMPARE(r.nodeDialog->Color, 6);
        QCOMPARE(r.nodeDialog->Distance, QStringLiteral("0,630"));
        // A left click or another mode prepares nothing.
        QVERIFY(!m.release({300, 400}).nodeDialog);
    }

    void sectorHandlesAndTheirFivePixels()
    {
        NetworkModel model = fourAlters();
        AddSector(model, 1, QStringLiteral("Family"), 3, 0); // handle at (538, 250)
        AddSector(model, 1, QStringLiteral("Work"), 5, 180);
        Map m(std::move(model), EditMode::Sectors);
        QCOMPARE(NearestSectorHandle(m.card(), 543, 250, W, H), 1);
        QCOMPARE(NearestSectorHandle(m.card(), 544, 250, W, H), 0);

        m.press({544, 250});
        QCOMPARE(m.editor.DraggedSector, 0);
        MapResponse r = m.release({544, 250}, MapButton::Right);
        QVERIFY(!r.sectorPopup);
        QCOMPARE(r.addSectorAt, std::optional<QPoint>(QPoint(544, 250)));
        QCOMPARE(m.editor.NewSectorPos, QPoint(544, 250));

        r = m.release({538, 250}, MapButton::Right);
        QVERIFY(r.sectorPopup);
        QVERIFY(!r.repaint);
        QCOMPARE(m.editor.PickedSector, 1);

        // Dragging a boundary: one step, the table not re-sorted.
        m.press({538, 250});
        QCOMPARE(m.editor.DraggedSector, 1);
        m.move({300, 400});
        m.move({300, 480});
        m.release({300, 480});
        QCOMPARE(m.editor.DraggedSector, 0);
        QCOMPARE(m.card().Sectors[1].SectorAngle, AngleAt(300, 480, W, H));
        QCOMPARE(m.steps(), 1);

        // A double click on a handle asks to rename that sector.
        m.move(MapPoint(180, 1, W, H));
        const QPoint handle = MapPoint(180, 1, W, H);
        QCOMPARE(m.tool().doubleClick(m.image.pixel(handle), m.image.size()).renameSector, 2);
    }

    void nothingHappensWithoutACard()
    {
        NetworkModel model;
        SetupEgo(model, QStringLiteral("E"), {}, 0, {}, {}, QStringLiteral("E"));
        Map m(std::move(model), EditMode::AddNodes);
        QVERIFY(!m.release({10, 10}, MapButton::Right).nodeDialog);
        const MapResponse r = m.move({30, 40});
        QCOMPARE(m.editor.LastMousePos, QPoint(30, 40));
        QCOMPARE(r.readout, MapResponse::Readout::Nothing);
    }

    void deletingTheHoveredNodeForgetsIt()
    {
        NetworkModel model = fourAlters();
        AddLine(model, 1, 2, 1, 1);
        AddLine(model, 4, 3, 1, 1);
        Map m(std::move(model), EditMode::ModifyNodes);
        m.move(m.pointOf(1));
        QCOMPARE(m.tool().deleteHovered().readout, MapResponse::Readout::Nothing);
        QCOMPARE(m.card().NodeCount(), 3);
        QCOMPARE(m.card().Nodes[1].ID, QStringLiteral("D")); // the last moved into the gap
        QCOMPARE(m.card().LineCount(), 1);
        QCOMPARE(m.card().Lines[1].A, 1);
        QCOMPARE(m.editor.HoverNode, 0);
        // A second "Delete" without moving must not hit D, which nobody pointed at.
        QCOMPARE(m.tool().deleteHovered().readout, MapResponse::Readout::Unchanged);
        QCOMPARE(m.card().NodeCount(), 3);
        QCOMPARE(m.document.undoStack()->text(0), QStringLiteral("Delete node \"A\""));
    }

    void tabWalksTheAltersAndEnterOpensTheHoveredOne()
    {
        Map m(fourAlters(), EditMode::ModifyNodes);
        MapResponse r = m.key(MapKey::Tab);
        QCOMPARE(m.editor.HoverNode, 1);
        QCOMPARE(r.readout, MapResponse::Readout::Node);
        QCOMPARE(r.readoutNode, 1);
        QCOMPARE(r.popupOpensByItself, std::optional<bool>(true));
        m.key(MapKey::Backtab);
        QCOMPARE(m.editor.HoverNode, 4); // around from the first to the last
        m.key(MapKey::Tab);
        QCOMPARE(m.editor.HoverNode, 1);
        r = m.key(MapKey::Enter);
        QVERIFY(r.nodeDialog);
        QCOMPARE(r.nodeDialog->todo, FormModify);
        QCOMPARE(r.nodeDialog->Label, QStringLiteral("A"));

        // Another mode walks as well, but the popup stays off and Enter opens nothing.
        m.tools.setMode(EditMode::AddNodes);
        r = m.key(MapKey::Tab);
        QCOMPARE(r.readoutNode, 2);
        QCOMPARE(r.popupOpensByItself, std::optional<bool>(false));
        QVERIFY(!m.key(MapKey::Enter).nodeDialog);
        QCOMPARE(m.steps(), 0);
    }

    void arrowsMoveTheSelectionOneStepPerPress()
    {
        Map m(fourAlters(), EditMode::ModifyNodes);
        m.select({1, 3});
        const int start = m.steps();
        // One press and its repeats are one step, in any mode.
        m.key(MapKey::Right);
        m.key(MapKey::Right, false, true);
        m.tools.setMode(EditMode::Lines);
        m.key(MapKey::Right, false, true);
        QCOMPARE(m.card().Nodes[1].Angle, 3.f);
        QCOMPARE(m.card().Nodes[3].Angle, 183.f);
        QCOMPARE(m.card().Nodes[2].Angle, 90.f);
        QCOMPARE(m.steps(), start + 1);
        QCOMPARE(m.document.undoStack()->text(start), QStringLiteral("Move selected nodes"));
        // The next press is the next step; Shift goes ten times as far.
        m.key(MapKey::Up, true);
        QCOMPARE(m.card().Nodes[1].Distance, 0.6f);
        m.key(MapKey::Left, true, true);
        QCOMPARE(m.card().Nodes[1].Angle, 353.f);
        QCOMPARE(m.steps(), start + 2);
        m.document.undoStack()->undo();
        QCOMPARE(m.card().Nodes[1].Angle, 3.f);
        QCOMPARE(m.card().Nodes[1].Distance, 0.5f);

        // Delete removes the selected alters, but not again while the key is held down.
        m.key(MapKey::Delete, false, true);
        QCOMPARE(m.card().NodeCount(), 4);
        m.key(MapKey::Delete);
        QCOMPARE(m.card().NodeCount(), 2);
        QCOMPARE(m.document.undoStack()->text(m.steps() - 1), QStringLiteral("Delete selected nodes"));
    }

    void escapeGivesUpAStartedLineOrRubberBand()
    {
        Map m(fourAlters(), EditMode::Lines);
        m.press(m.pointOf(1), MapButton::Right);
        m.move({100, 120});
        const MapOverlay line = m.tool().overlay(m.image.size());
        QCOMPARE(line.rubberLine, std::optional<QLine>(QLine(m.pointOf(1), QPoint(100, 120))));
        QVERIFY(!line.rubberBand);
        QVERIFY(m.key(MapKey::Escape).repaint);
        QCOMPARE(m.editor.LineStartNode, -1);
        QVERIFY(!m.tool().overlay(m.image.size()).rubberLine);

        m.tools.setMode(EditMode::ModifyNodes);
        m.press({350, 200});
        QVERIFY(m.move({450, 300}).repaint);
        QCOMPARE(m.tool().overlay(m.image.size()).rubberBand,
                 std::optional<QRect>(QRect(QPoint(350, 200), QPoint(450, 300))));
        m.key(MapKey::Escape);
        QVERIFY(!m.editor.RubberBandActive);
        m.release({450, 300});
        QVERIFY(selected(m.card()).isEmpty());
    }

    void popupItemsActOnWhatThePointerPicked()
    {
        NetworkModel model = fourAlters();
        AddSector(model, 1, QStringLiteral("Family"), 3, 0); // handle at (538, 250)
        Map m(std::move(model), EditMode::ModifyNodes);
        QVERIFY(m.tool().offersCopies());
        m.move(m.pointOf(2));
        QVERIFY(m.tool().copyHovered(false, m.image.size()).message.isEmpty());
        QCOMPARE(m.card().NodeCount(), 5);
        QCOMPARE(m.card().Nodes[5].Label, QStringLiteral("B"));
        // One card only: the refusal is for the shell to show.
        QCOMPARE(m.tool().copyHovered(true, m.image.size()).message, NoNextCardMessage());

        m.tools.setMode(EditMode::Sectors);
        m.move({538, 250});
        m.release({538, 250}, MapButton::Right);
        QCOMPARE(m.tool().modifyHovered().modifySector, 1);
        m.tool().copyHovered(false, m.image.size());
        QCOMPARE(m.card().SectorCount(), 2);
        QCOMPARE(m.card().Sectors[2].SectorName, QStringLiteral("Family"));
        m.tool().deleteHovered();
        QCOMPARE(m.card().SectorCount(), 1);
        QCOMPARE(m.editor.PickedSector, 0);
        QCOMPARE(m.document.undoStack()->text(m.steps() - 1), QStringLiteral("Delete sector \"Family\""));

        // Lines: no copies; "Modify" opens the hovered line, which is forgotten then.
        ChangeCard(m.document, 1, QStringLiteral("Line"), [](NetworkModel &model) {
            return AddLine(model, 1, 3, 1, 3); // A–C through the centre
        });
        m.tools.setMode(EditMode::Lines);
        QVERIFY(!m.tool().offersCopies());
        m.move({250, 250});
        const MapResponse r = m.tool().modifyHovered();
        QVERIFY(r.lineDialog);
        QCOMPARE(r.lineDialog->line, 1);
        QCOMPARE(m.editor.HoverLine, 0);
    }

    void copiesToTheNextCardLeaveTheCardShown()
    {
        // Showing the next card for a moment would make the shell forget what the pointer
        // picked, and a second copy from the same popup position would do nothing.
        NetworkModel model = fourAlters();
        AddCard(model, QStringLiteral("Wave 2"), 0, QStringLiteral("none"), 2, {}, {}, {});
        model.CurrentCard = 1;
        Map m(std::move(model), EditMode::ModifyNodes);
        QSignalSpy shown(&m.document, &Document::currentCardChanged);
        m.move(m.pointOf(2));
        m.tool().copyHovered(true, m.image.size());
        m.tool().copyHovered(true, m.image.size());
        QCOMPARE(shown.count(), 0);
        QCOMPARE(m.document.model().card(2).NodeCount(), 2);
        m.document.undoStack()->undo(); // the history shows the card it changes
        QCOMPARE(m.document.model().CurrentCard, 2);
    }

    void twoSectorDragsAreTwoSteps()
    {
        NetworkModel model = fourAlters();
        AddSector(model, 1, QStringLiteral("Family"), 3, 0); // handle at (538, 250)
        Map m(std::move(model), EditMode::Sectors);
        for (const QPoint to : {QPoint(300, 480), QPoint(62, 250)}) {
            const Sector &s = m.card().Sectors[1];
            const QPoint handle = MapPoint(s.SectorAngle, 1, W, H);
            m.press(handle);
            QCOMPARE(m.editor.DraggedSector, 1);
            m.move((handle + to) / 2);
            m.move(to);
            m.release(to);
        }
        QCOMPARE(m.steps(), 2);
        QCOMPARE(m.card().Sectors[1].SectorAngle, AngleAt(62, 250, W, H));
        m.document.undoStack()->undo();
        QCOMPARE(m.card().Sectors[1].SectorAngle, AngleAt(300, 480, W, H));
    }
};

QTEST_MAIN(TestMapTools)
#include "tst_maptools.moc"

#include "shellfixture.h"

#include "builders.h"
#include "core/map/geometry.h"
#include "gui/map/mapwidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSettings>
#include <QToolButton>

using namespace korvalo;
using namespace Qt::StringLiterals;

// Options > "Smooth Drawing": the map shows a smooth picture while the mouse keeps reading
// the exact one.
namespace {

QSettings settings()
{
    return QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName());
}

QSet<QRgb> colours(const QImage &image)
{
    QSet<QRgb> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            found.insert(image.pixel(x, y));
    return found;
}

// Alters of every look, apart from each other: discs, squares, groups, symbols.
NetworkModel variedCard()
{
    NetworkModel model = oneCardModel(5, u"normal"_s);
    AddSectors(model, 1, {{"Family", 0}, {"Work", 150}, {"Friends", 260}});
    static const char16_t *symbols[] = {u"", u"flash", u"triangle", u"box", u"diamond"};
    for (int i = 0; i < 12; ++i) {
        Node n = alter(float(i * 30 + 10), i % 2 ? 0.45f : 0.8f, i % 8 + 1, u"N%1"_s.arg(i + 1),
                       u"Alter %1"_s.arg(i + 1));
        if (i % 3 == 0)
            n.Human = u"FALSE"_s;
        if (i % 4 == 1)
            n.Size = 3;
        n.Symbol = QString::fromUtf16(symbols[i % 5]);
        AddNode(model, 1, n);
    }
    model.CurrentCard = 1;
    for (int i = 1; i < 12; ++i)
        AddLine(model, i, i + 1, 1, i % 9);
    return model;
}

} // namespace

class TestSmoothMap : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        settings().remove(u"SmoothDrawing"_s);
    }

    void onByDefaultRememberedAndOffIsTheExactPicture()
    {
        {
            Shell s;
            s.load(variedCard());
            MapWidget *map = s.window.mapWidget();
            map->resize(500, 400);
            QVERIFY(s.action(u"SmoothDrawing1"_s)->isChecked());
            QVERIFY(s.session.SmoothDrawing);
            // The mouse reads the exact picture; the eye gets shades along every edge.
            const QImage exact = map->image();
            QCOMPARE(map->shownImage().size(), exact.size());
            QVERIFY(colours(map->shownImage()).size() > 2 * colours(exact).size());

            s.trigger(u"SmoothDrawing1"_s);
            QVERIFY(!s.session.SmoothDrawing);
            QCOMPARE(map->shownImage(), map->image());
            QCOMPARE(map->image(), exact);
        }
        Shell again;
        QVERIFY(!again.action(u"SmoothDrawing1"_s)->isChecked());
        QVERIFY(!again.session.SmoothDrawing);
    }

    void everyNodeAndLineIsFoundWithSmoothDrawing()
    {
        Shell s;
        s.window.resize(900, 760);
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        s.load(variedCard());
        QVERIFY(s.session.SmoothDrawing);
        s.child<QToolButton>(u"SpeedButton1"_s)->click(); // modify nodes
        MapWidget *map = s.window.mapWidget();
        const NetworkCard &card = s.model.card(1);
        auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButtons held) {
            const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, QPointF(p), QPointF(map->mapToGlobal(p)), button, held, {});
            QApplication::sendEvent(map, &event);
        };
        for (int i = 1; i <= card.NodeCount(); ++i) {
            const Node &node = card.Nodes[size_t(i)];
            const QPoint p = MapPoint(node.Angle, node.Distance, map->width(), map->height());
            // Painted as it would be between the clicks.
            map->repaint();
            send(QEvent::MouseMove, p, {});
            send(QEvent::MouseButtonPress, p, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, p, {});
            send(QEvent::MouseButtonDblClick, p, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, p, {});
            QVERIFY2(card.Nodes[size_t(i)].Selected, qPrintable(node.Label));
        }
        // Lines are a pixel wide: smoothed, they would be blends of their colour. The
        // pointer over one finds it by its exact colour.
        const QImage &exact = map->image();
        for (int l = 1; l <= card.LineCount(); ++l) {
            const Line &line = card.Lines[size_t(l)];
            const QPoint a = MapPoint(card.Nodes[size_t(line.A)].Angle, card.Nodes[size_t(line.A)].Distance,
                                      map->width(), map->height());
            const QPoint b = MapPoint(card.Nodes[size_t(line.B)].Angle, card.Nodes[size_t(line.B)].Distance,
                                      map->width(), map->height());
            const QPoint middle = (a + b) / 2;
            const QRgb stroke = LineStrokeColor(PaletteColor(line.LineColor)) | 0xFF000000;
            QPoint on(-1, -1);
            for (int dy = -2; dy <= 2 && on.x() < 0; ++dy)
                for (int dx = -2; dx <= 2 && on.x() < 0; ++dx)
                    if (exact.pixel(middle + QPoint(dx, dy)) == stroke)
                        on = middle + QPoint(dx, dy);
            QVERIFY2(on.x() >= 0, qPrintable(u"no pixel of line %1 near its middle"_s.arg(l)));
            send(QEvent::MouseMove, on, {});
            QCOMPARE(s.editor.HoverLine, l);
        }
    }
};

QTEST_MAIN(TestSmoothMap)
#include "tst_smoothmap.moc"

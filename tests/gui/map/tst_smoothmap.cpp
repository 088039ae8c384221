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

// Options > "Smooth Drawing": the map shows a smooth picture while the mouse reads the
// exact one.
namespace {

int colours(const QImage &image)
{
    QSet<QRgb> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            found.insert(image.pixel(x, y));
    return int(found.size());
}

// Alters of every look, apart from each other, joined by lines of every colour.
NetworkModel variedCard()
{
    NetworkModel model = oneCardModel(5, u"normal"_s);
    AddSectors(model, 1, {{"Family", 0}, {"Work", 150}, {"Friends", 260}});
    static const char16_t *symbols[] = {u"", u"flash", u"triangle", u"box", u"diamond"};
    for (int i = 0; i < 12; ++i) {
        Node n = alter(float(i * 30 + 10), i % 2 ? 0.45f : 0.8f, i % 8 + 1, u"N%1"_s.arg(i + 1));
        n.Human = i % 3 == 0 ? u"FALSE"_s : n.Human;
        n.Size = i % 4 == 1 ? 3 : 1;
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
    void onByDefaultRememberedAndOffIsTheExactPicture()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName()).remove(u"SmoothDrawing"_s);
        {
            Shell s;
            s.load(variedCard());
            MapWidget *map = s.window.mapWidget();
            map->resize(500, 400);
            QVERIFY(s.action(u"SmoothDrawing1"_s)->isChecked() && s.session.SmoothDrawing);
            const QImage exact = map->image();
            QCOMPARE(map->shownImage().size(), exact.size());
            QVERIFY(colours(map->shownImage()) > 2 * colours(exact));
            s.trigger(u"SmoothDrawing1"_s);
            QVERIFY(!s.session.SmoothDrawing);
            QCOMPARE(map->shownImage(), exact);
        }
        Shell again;
        QVERIFY(!again.action(u"SmoothDrawing1"_s)->isChecked() && !again.session.SmoothDrawing);
        again.trigger(u"SmoothDrawing1"_s);
    }

    // Clicks as the window system sends them, on every node and over every line.
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
        auto at = [&](int node) {
            return MapPoint(card.Nodes[size_t(node)].Angle, card.Nodes[size_t(node)].Distance, map->width(),
                            map->height());
        };
        for (int i = 1; i <= card.NodeCount(); ++i) {
            map->repaint(); // the smooth picture drawn between the clicks
            send(QEvent::MouseMove, at(i), {});
            send(QEvent::MouseButtonPress, at(i), Qt::LeftButton);
            send(QEvent::MouseButtonRelease, at(i), {});
            send(QEvent::MouseButtonDblClick, at(i), Qt::LeftButton);
            send(QEvent::MouseButtonRelease, at(i), {});
            QVERIFY2(card.Nodes[size_t(i)].Selected, qPrintable(card.Nodes[size_t(i)].Label));
        }
        // Lines are a pixel wide: smoothed, they would be blends of their colour.
        const QImage &exact = map->image();
        for (int l = 1; l <= card.LineCount(); ++l) {
            const Line &line = card.Lines[size_t(l)];
            const QPoint middle = (at(line.A) + at(line.B)) / 2;
            const QRgb stroke = LineStrokeColor(PaletteColor(line.LineColor)) | 0xFF000000;
            QPoint on(-1, -1);
            for (int d = 0; d < 25 && on.x() < 0; ++d)
                if (exact.pixel(middle + QPoint(d % 5 - 2, d / 5 - 2)) == stroke)
                    on = middle + QPoint(d % 5 - 2, d / 5 - 2);
            QVERIFY2(on.x() >= 0, qPrintable(u"no pixel of line %1 near its middle"_s.arg(l)));
            send(QEvent::MouseMove, on, {});
            QCOMPARE(s.editor.HoverLine, l);
        }
    }
};

QTEST_MAIN(TestSmoothMap)
#include "tst_smoothmap.moc"

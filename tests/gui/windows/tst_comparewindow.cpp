#include "builders.h"
#include "core/map/comparerender.h"
#include "core/map/geometry.h"
#include "gui/map/mapwidget.h"
#include "gui/windows/alterswindow.h"
#include "gui/windows/comparewindow.h"
#include "shellfixture.h"

#include <QFile>
#include <QLabel>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace korvalo;
using namespace Qt::StringLiterals;

// Card > Compare with... and Analysis > Alters Across Cards... on the open ego: the view
// following undo, the choice of the other card, the click back to the map, the exports.
class TestCompareWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void compareViewFollowsTheDocument();
    void altersAcrossCards();
    // On a small window the legend stays whole; smooth drawing shows it in the same place.
    void legendOnTheWindow();
};

namespace {

// Arrow pixels on the compare view within a few pixels of the middle of `from` -> `to`.
int arrowNear(const QImage &image, QPoint from, QPoint to)
{
    const QPoint middle = (from + to) / 2;
    int count = 0;
    for (int y = middle.y() - 3; y <= middle.y() + 3; ++y)
        for (int x = middle.x() - 3; x <= middle.x() + 3; ++x)
            count += image.valid(x, y) && image.pixel(x, y) == CompareArrowColor;
    return count;
}

QPoint placeOn(const QImage &image, const Node &node)
{
    return MapPoint(node.Angle, node.Distance, image.width(), image.height());
}

} // namespace

void TestCompareWindow::compareViewFollowsTheDocument()
{
    Shell shell;
    shell.load(compareExampleModel());
    shell.trigger(u"CompareWith1"_s);
    auto *window = shell.child<CompareWindow>(u"CompareCards"_s);
    QVERIFY(window->isVisible());
    QCOMPARE((std::pair(window->comparison().from, window->comparison().to)), std::pair(1, 2));
    QCOMPARE(window->comparison().kept, 4);
    QVERIFY(window->view()->accessibleDescription().contains(u"stability 0.667"_s));
    QVERIFY(window->notes()->text().contains(u"\"E\" 2 times"_s));

    const Node before = shell.model.card(1).Nodes[1]; // A on card 1
    const Node after = shell.model.card(2).Nodes[1];  // a on card 2
    QImage image = window->view()->image();
    QVERIFY(arrowNear(image, placeOn(image, before), placeOn(image, after)) > 0);

    // An undoable move of a back to where A was leaves nothing to point at; undo brings
    // the arrow back.
    shell.edit(2, [&](NetworkModel &m) {
        m.card(2).Nodes[1].Angle = before.Angle;
        m.card(2).Nodes[1].Distance = before.Distance;
    });
    QTRY_COMPARE(arrowNear(window->view()->image(), placeOn(image, before), placeOn(image, after)), 0);
    shell.window.document().undoStack()->undo();
    QTRY_VERIFY(arrowNear(window->view()->image(), placeOn(image, before), placeOn(image, after)) > 0);

    // Another card chosen: card 3 against card 1, the later one drawn.
    QComboBox *other = window->otherCard();
    QCOMPARE(other->count(), 2);
    other->setCurrentIndex(other->findData(3));
    Q_EMIT other->activated(other->currentIndex());
    QCOMPARE((std::pair(window->comparison().from, window->comparison().to)), std::pair(1, 3));

    // Exported as the view shows it.
    QTemporaryDir dir;
    shell.asker->fileNames.push_back(dir.filePath(u"change"_s));
    shell.child<QPushButton>(u"CompareExport"_s, window)->click();
    QCOMPARE(QImage(dir.filePath(u"change.jpg"_s)).size(), window->view()->image().size());
    // And as SVG and PDF, each asked for with its own filter.
    shell.asker->fileNames.push_back(dir.filePath(u"change.svg"_s));
    shell.child<QPushButton>(u"CompareExportSvg"_s, window)->click();
    shell.asker->fileNames.push_back(dir.filePath(u"change.pdf"_s));
    shell.child<QPushButton>(u"CompareExportPdf"_s, window)->click();
    QCOMPARE(shell.asker->asked.mid(shell.asker->asked.size() - 2),
             (QStringList{u"save: SVG (*.svg)"_s, u"save: PDF (*.pdf)"_s}));
    QSvgRenderer svg(dir.filePath(u"change.svg"_s));
    QVERIFY(svg.isValid());
    QCOMPARE(svg.viewBox().size(), window->view()->size());
    QFile pdf(dir.filePath(u"change.pdf"_s));
    QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");

    // A click on the view goes back to the map, on the later card.
    QTest::mouseClick(window->view(), Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(!window->isVisible());
    QCOMPARE(shell.model.CurrentCard, 3);

    // Down to one card, there is nothing to compare: the window closes or is refused.
    shell.trigger(u"CompareWith1"_s);
    QVERIFY(window->isVisible());
    NetworkModel single = compareExampleModel();
    single.Cards.resize(2);
    shell.load(single);
    QTRY_VERIFY(!window->isVisible());
    shell.trigger(u"CompareWith1"_s);
    QVERIFY(!window->isVisible());
    QCOMPARE(shell.asker->messages(), QStringList{u"message: Comparing needs at least two network cards."_s});
}

void TestCompareWindow::altersAcrossCards()
{
    Shell shell;
    shell.load(compareExampleModel());
    shell.trigger(u"AltersAcrossCards1"_s);
    auto *window = shell.child<AltersAcrossCardsWindow>(u"AltersAcrossCards"_s);
    QTableWidget *table = window->table();
    QCOMPARE(table->rowCount(), 7);
    QCOMPARE(table->columnCount(), 4);

    // Sorted by the first wave's ring, descending: E's "3/5" is text and sorts apart, the
    // blanks come last.
    table->sortItems(1, Qt::DescendingOrder);
    QCOMPARE(table->item(0, 0)->text(), u"A"_s);
    QCOMPARE(table->item(0, 1)->text(), u"4"_s);

    // An edit of the open ego shows; the sort order stays.
    shell.edit(3, [](NetworkModel &m) { AddNode(m, 3, alter(90, 0.95f, 1, u"H"_s)); });
    QTRY_COMPARE(table->rowCount(), 8);
    QCOMPARE(table->item(0, 0)->text(), u"A"_s);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"alters.csv"_s);
    shell.asker->fileNames.push_back(path);
    shell.child<QPushButton>(u"AltersExport"_s, window)->click();
    QFile csv(path);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines[0], QByteArray("ID,Wave 1,Wave 2,Wave 3\r"));
    QCOMPARE(lines[1], QByteArray("A,4,2,\r"));
    QVERIFY(lines.contains(QByteArray("H,,,5\r")));
}

void TestCompareWindow::legendOnTheWindow()
{
    Shell shell;
    shell.load(compareExampleModel());
    shell.trigger(u"CompareWith1"_s);
    auto *window = shell.child<CompareWindow>(u"CompareCards"_s);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->resize(500, 450);
    QTRY_COMPARE(window->view()->image().size(), window->view()->size());
    const QImage image = window->view()->image();
    ViewOptions view = shell.window.document().viewOptions();
    const QRect legend = CompareLegendPlace(shell.model, window->comparison(), view, image.size());
    QVERIFY(image.rect().contains(legend));
    QCOMPARE(legend.size(), CompareLegendRect(QSize(850, 750), Qt::TopRightCorner).size());
    QCOMPARE(image.pixel(legend.bottomRight() - QPoint(20, 0)), qRgb(0, 0, 0));

    // Smooth, the view shows a picture of its own at the screen's ratio, the legend in
    // the same place.
    shell.window.document().setSmoothDrawing(true);
    QTRY_VERIFY(!window->view()->shownImage().isNull());
    const QImage shown = window->view()->shownImage();
    QCOMPARE(shown.deviceIndependentSize().toSize(), image.size());
    const QPointF edge = QPointF(legend.bottomRight() - QPoint(20, 0)) * shown.devicePixelRatio();
    QCOMPARE(shown.pixel(edge.toPoint()), qRgb(0, 0, 0));
}

QTEST_MAIN(TestCompareWindow)
#include "tst_comparewindow.moc"

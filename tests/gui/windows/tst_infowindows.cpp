#include "gui/windows/infowindows.h"
#include "core/egofile/egofile.h"
#include "shellfixture.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace korvalo;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct InfoShell : Shell
{
    InfoWindows *windows = nullptr;

    InfoShell()
    {
        windows = window.infoWindows();
    }

    // Reads the example ego of the map tests.
    void readExample()
    {
        asker->fileNames.push_back(QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego"));
        trigger(QStringLiteral("Open1"));
        QVERIFY(model.CardCount() > 0);
    }
};

} // namespace

class TestInfoWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void infoWindowCollectsAndSaves();
    void convertPoints();
    void memoMenus();
    void historyShortcut();
    void nodeTableFollowsCardsAndSorts();
    void nodeTableExport();
    void nodeInfo();
};

void TestInfoWindows::infoWindowCollectsAndSaves()
{
    InfoShell s;
    InfoWindow *info = s.windows->info();
    QCOMPARE(info->windowTitle(), QStringLiteral("Korvalo Info"));
    QVERIFY(!info->isVisible());
    AppendInfoLine(s.session.infoSink, QStringLiteral("Distance=1.5000"));
    AppendInfoLine(s.session.infoSink, QString());
    AppendInfoLine(s.session.infoSink, QStringLiteral("two\r\nlines"));
    QVERIFY(info->isVisible());
    QCOMPARE(info->lines(), (QStringList{"", "Distance=1.5000", "", "two", "lines"}));

    QTemporaryDir dir;
    s.asker->fileNames.push_back(dir.filePath(QStringLiteral("report")));
    s.trigger(QStringLiteral("SaveasTextfile1"));
    QCOMPARE(readAll(dir.filePath(QStringLiteral("report.txt"))), QByteArray("\r\nDistance=1.5000\r\n\r\ntwo\r\nlines\r\n"));

    // A failed save says so and writes nothing.
    s.asker->fileNames.push_back(dir.filePath(QStringLiteral("missing/report.txt")));
    s.trigger(QStringLiteral("SaveasTextfile1"));
    QVERIFY(s.asker->asked.last().startsWith(u"message: Cannot save \"report.txt\""));
    // Cancel does nothing.
    s.asker->fileNames.push_back(QString());
    s.trigger(QStringLiteral("SaveasTextfile1"));
}

void TestInfoWindows::convertPoints()
{
    InfoShell s;
    AppendInfoLine(s.session.infoSink, QStringLiteral("Mean distance 12.50 of Dr. Who"));
    s.trigger(QStringLiteral("Convertto1"));
    QCOMPARE(s.windows->info()->lines(), (QStringList{"", "Mean distance 12,50 of Dr, Who"}));
}

void TestInfoWindows::memoMenus()
{
    InfoShell s;
    s.readExample();
    s.edit(1, [](NetworkModel &m) {
        m.card(1).Nodes[1].Memo1 = QStringLiteral("A good FRIEND");
        m.card(1).Nodes[1].Merger = QStringLiteral("|X|");
    });
    QVERIFY(s.action(QStringLiteral("ShowallMemos1"))->isEnabled());
    s.trigger(QStringLiteral("ShowallMemos1"));
    QVERIFY(s.windows->info()->lines().contains(QStringLiteral("---%1---").arg(s.model.card(1).ID)));

    s.asker->inputs.push_back(QStringLiteral("fri"));
    s.trigger(QStringLiteral("ByKeyword1"));
    QVERIFY(s.asker->asked.contains(QStringLiteral("input: Node Memo|Keyword:|")));
    const Node &n = s.model.card(1).Nodes[1];
    QCOMPARE(s.windows->info()->lines().last(), n.ID + u'-' + n.Label + QStringLiteral(": A good FRIEND"));

    s.trigger(QStringLiteral("ShowNodeMerger1"));
    QCOMPARE(s.windows->info()->lines().last(), n.ID + QStringLiteral("-|X|"));
}

void TestInfoWindows::historyShortcut()
{
    InfoShell s;
    s.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s.window));
    QVERIFY(!s.action(QStringLiteral("History1"))->isVisible());
    QTest::keyClick(&s.window, Qt::Key_H, Qt::ControlModifier);
    QVERIFY(s.windows->history()->isVisible());
    QVERIFY(!s.child<QPlainTextEdit>(QStringLiteral("Memo1"), s.windows->history())->toPlainText().isEmpty());
}

void TestInfoWindows::nodeTableFollowsCardsAndSorts()
{
    InfoShell s;
    s.readExample();
    s.trigger(QStringLiteral("NodeTable1"));
    NodeTableWindow *table = s.windows->table();
    QVERIFY(table->isVisible());
    QCOMPARE(table->grid()->rowCount(), s.model.card(1).NodeCount());
    QCOMPARE(table->grid()->item(0, 0)->text(), s.model.card(1).Nodes[1].ID);

    // Every column sorts ascending by text.
    for (int column = 0; column < 8; ++column) {
        table->grid()->horizontalHeader()->sectionClicked(column);
        for (int r = 1; r < table->grid()->rowCount(); ++r) {
            auto key = [&](int row) {
                const QString t = table->grid()->item(row, column)->text();
                return t.isEmpty() ? QStringLiteral("zzzzz") : t;
            };
            QVERIFY(QString::compare(key(r - 1), key(r)) <= 0);
        }
    }

    // While visible, the table follows the current card.
    s.window.switchToCard(2);
    QCOMPARE(table->grid()->rowCount(), s.model.card(2).NodeCount());
    QCOMPARE(table->findChild<QLabel *>(QStringLiteral("Label2"))->text(), s.model.card(2).ID);
    QCOMPARE(table->findChild<QLabel *>(QStringLiteral("Label1"))->text(), s.model.ego.Name);
    // And the ego: renamed in Ego Settings, and back with Undo.
    const QString name = s.model.ego.Name;
    s.trigger(QStringLiteral("Ne1"));
    s.child<QLineEdit>(QStringLiteral("name"), s.window.egoDialog())->setText(QStringLiteral("Renamed"));
    s.child<QPushButton>(QStringLiteral("Button1"), s.window.egoDialog())->click();
    QCOMPARE(table->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("Renamed"));
    s.trigger(QStringLiteral("Undo1"));
    QCOMPARE(table->findChild<QLabel *>(QStringLiteral("Label1"))->text(), name);
}

void TestInfoWindows::nodeTableExport()
{
    InfoShell s;
    s.readExample();
    s.trigger(QStringLiteral("NodeTable1"));
    NodeTableWindow *table = s.windows->table();
    table->sortByColumn(1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nodes.txt"));
    s.asker->fileNames.push_back(dir.filePath(QStringLiteral("nodes")));
    s.child<QAction>(QStringLiteral("ExportTable1"), table)->trigger();
    const QList<QByteArray> lines = readAll(path).split('\n');
    QCOMPARE(lines.first(), QByteArray("ID\tLabel\tRole\tColor\tSize\tHuman\tSector\t*\r"));
    QCOMPARE(lines.size(), table->grid()->rowCount() + 2); // headings, rows, and the end after the last CR LF
    QCOMPARE(QString::fromLatin1(lines.at(1)).section(u'\t', 1, 1), table->grid()->item(0, 1)->text());
    QVERIFY(!s.child<QAction>(QStringLiteral("Print1"), table)->isEnabled());
}

void TestInfoWindows::nodeInfo()
{
    InfoShell s;
    s.trigger(QStringLiteral("ShowNodeInfoWindow1"));
    NodeInfoWindow *w = s.windows->nodeInfo();
    QVERIFY(w->isVisible());
    Node node;
    node.ID = QStringLiteral("7");
    node.Label = QStringLiteral("Club");
    node.Size = 12;
    node.Memo2 = QStringLiteral("second");
    w->showNode(&node);
    QCOMPARE(s.child<QLineEdit>(QStringLiteral("Label3"), w)->text(), QStringLiteral("7"));
    QCOMPARE(s.child<QLineEdit>(QStringLiteral("Label6"), w)->text(), QStringLiteral("Size = 12"));
    QVERIFY(!s.child<QLabel>(QStringLiteral("Label9"), w)->isHidden());
    QCOMPARE(s.child<QPlainTextEdit>(QStringLiteral("Memo2"), w)->toPlainText(), QStringLiteral("second"));

    // The memos share the height below "Memo 1:" and end at the same right edge.
    w->resize(300, 400);
    auto *memo1 = s.child<QPlainTextEdit>(QStringLiteral("Memo1"), w);
    auto *memo2 = s.child<QPlainTextEdit>(QStringLiteral("Memo2"), w);
    QCOMPARE(memo1->height(), memo2->height());
    QCOMPARE(memo1->width(), 300 - 16);
    QCOMPARE(s.child<QLineEdit>(QStringLiteral("Label4"), w)->geometry().right(), memo1->geometry().right());
    QVERIFY(memo2->geometry().bottom() < 400);
}

QTEST_MAIN(TestInfoWindows)
#include "tst_infowindows.moc"

#include "builders.h"
#include "core/analysis/inforeports.h"
#include "core/analysis/nodetable.h"
#include "core/egofile/safefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;

namespace {

struct Recorder
{
    QStringList lines;
    InfoSink sink()
    {
        return [this](const QString &line) { lines.append(line); };
    }
};

// A human alter with its memos, where the ego's centre is.
Node withMemos(const QString &id, const QString &label, const QString &memo1 = {}, const QString &memo2 = {})
{
    Node n = bareAlter(id, 0, 0, label);
    n.Memo1 = memo1;
    n.Memo2 = memo2;
    n.Human = QStringLiteral("TRUE");
    return n;
}

NetworkModel memoModel()
{
    NetworkModel m;
    SetupEgo(m, QStringLiteral("Ego"), {}, 0, {}, {}, QStringLiteral("E"));
    AddCard(m, QStringLiteral("t1"), 7, QStringLiteral("none"), 1, {}, {}, {});
    AddNode(m, 1, withMemos(QStringLiteral("1"), QStringLiteral("Anna"), QStringLiteral("   "), QStringLiteral(" a friend ")));
    AddNode(m, 1, withMemos(QStringLiteral("2"), QStringLiteral("Bert"), QStringLiteral("old FRIEND of the family")));
    AddCard(m, QStringLiteral("t2"), 7, QStringLiteral("none"), 1, {}, {}, {});
    AddNode(m, 2, withMemos(QStringLiteral("3"), QStringLiteral("Carl")));
    AddCard(m, QStringLiteral("t3"), 7, QStringLiteral("none"), 1, {}, {}, {});
    AddNode(m, 3, withMemos(QStringLiteral("2"), QStringLiteral("Bert"), QStringLiteral("friendly"), QStringLiteral("x")));
    return m;
}

} // namespace

class TestInfoReports : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void allMemos();
    void memosByKeyword();
    void nodeMerger();
    void textFiles();
    void nodeTableCells();
    void sectorColumn();
    void sorting();
};

void TestInfoReports::allMemos()
{
    NetworkModel m = memoModel();
    Recorder r;
    ShowAllMemos(m, r.sink());
    // Blank memos are skipped, the others printed as stored; cards without memos print nothing.
    QCOMPARE(r.lines, (QStringList{"---t1---", "1-Anna:  a friend ", "2-Bert: old FRIEND of the family",
                                   "---t3---", "2-Bert: friendly", "2-Bert: x"}));
}

void TestInfoReports::memosByKeyword()
{
    NetworkModel m = memoModel();
    Recorder r;
    ShowMemosByKeyword(m, r.sink(), QStringLiteral("fri"));
    QCOMPARE(r.lines, (QStringList{"---t1---", "1-Anna:  a friend "}));
    r.lines.clear();
    ShowMemosByKeyword(m, r.sink(), QStringLiteral("FAMILY"));
    QCOMPARE(r.lines, (QStringList{"---t1---", "2-Bert: old FRIEND of the family"}));
    r.lines.clear();
    ShowMemosByKeyword(m, r.sink(), QString());
    ShowMemosByKeyword(m, r.sink(), QStringLiteral("nowhere"));
    QVERIFY(r.lines.isEmpty());
}

void TestInfoReports::nodeMerger()
{
    NetworkModel m = memoModel();
    m.card(1).Nodes[2].Merger = QStringLiteral("|B|C|");
    m.card(3).Nodes[1].Merger = QStringLiteral(" ");
    Recorder r;
    ShowNodeMerger(m, r.sink());
    QCOMPARE(r.lines, QStringList{"2-|B|C|"});
}

void TestInfoReports::textFiles()
{
    QCOMPARE(TextFileName(QStringLiteral("/tmp/report")), QStringLiteral("/tmp/report.txt"));
    QCOMPARE(TextFileName(QStringLiteral("/tmp/report.txt")), QStringLiteral("/tmp/report.txt"));
    QCOMPARE(TextFileName(QStringLiteral("/tmp/report.TXT")), QStringLiteral("/tmp/report.TXT.txt"));

    // The leading empty line is written too; CR LF; Windows-1252 while it fits.
    QCOMPARE(std::string_view(TextFileBytes({QString(), QStringLiteral("Größe 1.5")})), std::string_view("\r\nGr\xf6\xdf" "e 1.5\r\n"));
    QCOMPARE(std::string_view(TextFileBytes({QStringLiteral("Łódź")})), std::string_view("\xc5\x81\xc3\xb3" "d\xc5\xba\r\n"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.txt"));
    QVERIFY(ReplaceFileSafely(path, TextFileBytes({QStringLiteral("a"), QStringLiteral("b")})).ok());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("a\r\nb\r\n"));
    const Status refused = ReplaceFileSafely(dir.filePath(QStringLiteral("none/r.txt")), "x");
    QVERIFY(refused.message().startsWith(u"Cannot save \"r.txt\": no file can be created in"));
}

void TestInfoReports::nodeTableCells()
{
    NetworkModel m = memoModel();
    Node twin = withMemos(QStringLiteral("2"), QStringLiteral("Bert again"));
    twin.Role = QStringLiteral("cousin");
    twin.Size = 3;
    twin.Color = 4;
    twin.Human = QStringLiteral("FALSE");
    AddNode(m, 1, twin);
    AddNode(m, 1, withMemos(QStringLiteral("a"), QStringLiteral("lower")));
    AddNode(m, 1, withMemos(QStringLiteral("A"), QStringLiteral("upper")));
    const auto rows = NodeTableRows(m, 1, 850, 750);
    QCOMPARE(rows.size(), size_t(5));
    QCOMPARE(rows[2], (QStringList{"2", "Bert again", "cousin", "4", "3", "FALSE", "", "*"}));
    QCOMPARE(rows[1].at(7), QStringLiteral("*"));
    QCOMPARE(rows[0].at(7), QString());
    // IDs differing only in case are different IDs.
    QCOMPARE(rows[3].at(7), QString());
    QCOMPARE(rows[4].at(7), QString());
    QVERIFY(NodeTableRows(m, 0, 850, 750).empty());

    const QStringList text = NodeTableText({rows[2]});
    QCOMPARE(text, (QStringList{"ID\tLabel\tRole\tColor\tSize\tHuman\tSector\t*",
                                "2\tBert again\tcousin\t4\t3\tFALSE\t\t*"}));
}

void TestInfoReports::sectorColumn()
{
    NetworkModel m;
    SetupEgo(m, QStringLiteral("Ego"), {}, 0, {}, {}, QStringLiteral("E"));
    AddCard(m, QStringLiteral("t1"), 7, QStringLiteral("none"), 1, {}, {}, {});
    AddSector(m, 1, QStringLiteral("Work"), 1, 90.0f);
    AddSector(m, 1, QStringLiteral("Family"), 2, 200.0f);
    const float angles[] = {100.0f, 250.0f, 10.0f};
    for (float angle : angles) {
        Node n = withMemos(QStringLiteral("x"), QStringLiteral("X"));
        n.Angle = angle;
        n.Distance = 0.5f;
        AddNode(m, 1, n);
    }
    const auto rows = NodeTableRows(m, 1, 850, 750);
    QCOMPARE(rows.at(0).at(6), QStringLiteral("Work"));
    QCOMPARE(rows.at(1).at(6), QStringLiteral("Family"));
    // Below the smallest sector angle: the sector with the largest angle.
    QCOMPARE(rows.at(2).at(6), QStringLiteral("Family"));
}

void TestInfoReports::sorting()
{
    std::vector<NodeTableRow> rows;
    const QStringList sizes{"2", "10", "1"};
    const QStringList roles{"", "aunt", "Zoe"};
    for (int i = 0; i < 3; ++i)
        rows.push_back({QString::number(i), {}, roles[i], {}, sizes[i], {}, {}, {}});
    SortNodeTable(rows, 4);
    QCOMPARE(rows[0].at(4), QStringLiteral("1"));
    QCOMPARE(rows[1].at(4), QStringLiteral("10"));
    QCOMPARE(rows[2].at(4), QStringLiteral("2"));
    SortNodeTable(rows, 2);
    QCOMPARE(rows[0].at(2), QStringLiteral("Zoe"));
    QCOMPARE(rows[1].at(2), QStringLiteral("aunt"));
    QCOMPARE(rows[2].at(2), QString()); // empty cells last
    // Sorting again gives the same order.
    const auto once = rows;
    SortNodeTable(rows, 2);
    QCOMPARE(rows, once);
}

QTEST_APPLESS_MAIN(TestInfoReports)
#include "tst_inforeports.moc"

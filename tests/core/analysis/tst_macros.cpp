#include "builders.h"
#include "core/analysis/identity.h"
#include "core/analysis/macros.h"
#include "core/egofile/egofile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;
using namespace Qt::StringLiterals;

// The directory runs over real ego files: their lines, their tables, the memo scan.
class TestMacros : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void strongTiesTakeEachCardsCircles();
    void continuityTableIsPaddedAndOneCardEgosAddNoLine();
    void memoScanMatchesWholeWords();
    void identityMacrosMergeInMemoryAndListConflicts();

private:
    static QString write(const QTemporaryDir &dir, const QString &file, const NetworkModel &model)
    {
        const QString path = dir.filePath(file);
        if (!WriteEgoFile(model, path).ok())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    struct Run
    {
        QStringList lines;
        std::vector<MacroRow> rows;
        int maxCards = 0;
    };
    static Run run(Macro macro, const QStringList &files, const MacroOptions &options = {})
    {
        Run r;
        RunMacro(macro, files, options, StudyWalkOptions(), [&](const QString &, const MacroFileOutput &out) {
            r.lines << out.lines;
            r.rows.insert(r.rows.end(), out.rows.begin(), out.rows.end());
            r.maxCards = std::max(r.maxCards, out.cards);
        });
        return r;
    }
};

void TestMacros::strongTiesTakeEachCardsCircles()
{
    // Two cards with the same alters at the same distances, drawn with 2 and with 10
    // circles: with k = 1 the first counts everything inside 0.75 of the radius, the
    // second inside 0.15.
    NetworkModel model = EgoWithCards(2);
    model.Cards[1].Circles = 2;
    model.Cards[2].Circles = 10;
    for (int c = 1; c <= 2; ++c) {
        for (float d : {0.1f, 0.5f, 0.7f, 0.9f})
            AddNode(model, c, alter(0, d, 1, u"a%1"_s.arg(d)));
    }
    QTemporaryDir dir;
    const QString path = write(dir, u"anna.ego"_s, model);
    MacroOptions options;
    options.strongCircles = 1;
    QCOMPARE(run(Macro::StrongTies, {path}, options).lines, QStringList{u"Anna\tA1\t3.000\t1.000\t"_s});
    QCOMPARE(run(Macro::StrongTiesRatio, {path}, options).lines, QStringList{u"Anna\tA1\t0.750\t0.250\t"_s});
}

void TestMacros::continuityTableIsPaddedAndOneCardEgosAddNoLine()
{
    QTemporaryDir dir;
    NetworkModel three = EgoWithCards(3);
    three.ego.EgoID = u"E3"_s;
    const std::pair<int, const char *> alters[] = {{1, "x"}, {1, "y"}, {2, "x"}, {3, "X"}, {3, "z"}};
    for (const auto &[card, id] : alters)
        AddNode(three, card, bareAlter(QString::fromUtf8(id)));
    NetworkModel one = EgoWithCards(1);
    one.ego.EgoID = u"E1"_s;
    AddNode(one, 1, bareAlter(u"x"_s));
    const QStringList files{write(dir, u"a.ego"_s, three), write(dir, u"b.ego"_s, one)};

    const Run r = run(Macro::IDContinuity, files);
    QCOMPARE(r.lines, QStringList{u"E3\t[1>2]: 50.0\t[2>3]: 100.0\t[1>3]: 50.0\t[all]:33.3"_s});
    QCOMPARE(MacroTableHeader(Macro::IDContinuity, r.maxCards), u"file\tego_id\t1>2\t2>3\t1>3\tall"_s);
    QCOMPARE(r.rows.size(), size_t(2));
    QCOMPARE(MacroTableRow(Macro::IDContinuity, r.rows[0], r.maxCards), u"a.ego\tE3\t50.0\t100.0\t50.0\t33.3"_s);
    QCOMPARE(MacroTableRow(Macro::IDContinuity, r.rows[1], r.maxCards), u"b.ego\tE1\t\t\t\t"_s);

    // The per-card tables pad too, and a tab in a name does not split the row.
    three.ego.Name = u"Anna\tMaria"_s;
    write(dir, u"a.ego"_s, three);
    const Run nodes = run(Macro::NumberOfNodes, files);
    const QString header = MacroTableHeader(Macro::NumberOfNodes, nodes.maxCards);
    QCOMPARE(header, u"file\tname\tego_id\tcard1\tcard2\tcard3"_s);
    QCOMPARE(MacroTableRow(Macro::NumberOfNodes, nodes.rows[0], 3), u"a.ego\tAnna Maria\tE3\t2\t1\t2"_s);
    QCOMPARE(MacroTableRow(Macro::NumberOfNodes, nodes.rows[1], 3), u"b.ego\tAnna\tE1\t1\t\t"_s);
    QCOMPARE(nodes.lines.size(), 2); // every ego has its line here
}

void TestMacros::memoScanMatchesWholeWords()
{
    QVERIFY(MemoMentions(u"check the id later"_s, u"ID"_s));
    QVERIFY(MemoMentions(u"ID: same as card 1"_s, u"id"_s));
    QVERIFY(!MemoMentions(u"a good idea, said Ida"_s, u"ID"_s));
    QVERIFY(!MemoMentions(u"IDs"_s, u"ID"_s));

    NetworkModel model = EgoWithCards(2);
    auto memo = [&](int card, const QString &id, const QString &m1, const QString &m2) {
        Node node = bareAlter(id);
        node.Memo1 = m1;
        node.Memo2 = m2;
        AddNode(model, card, node);
    };
    memo(1, u"a"_s, u"an idea"_s, u"ID?"_s);            // Memo2 before any Memo1 hit: not in the lines
    memo(1, u"b"_s, u"same id as c"_s, u"id twice"_s);  // first hit, its Memo2 follows
    memo(2, u"c"_s, u"Id again"_s, u"and its id"_s);    // second hit: only in the table
    QTemporaryDir dir;
    const QString path = write(dir, u"m.ego"_s, model);

    const Run r = run(Macro::MemoScan, {path});
    QCOMPARE(r.lines, (QStringList{QString(), path, u"same id as c"_s, QString(), path, u"id twice"_s}));
    QStringList table;
    for (const MacroRow &row : r.rows)
        table << MacroTableRow(Macro::MemoScan, row, r.maxCards);
    QCOMPARE(table, (QStringList{u"m.ego\t1\ta\tMemo2\tID?"_s, u"m.ego\t1\tb\tMemo1\tsame id as c"_s,
                                 u"m.ego\t1\tb\tMemo2\tid twice"_s, u"m.ego\t2\tc\tMemo1\tId again"_s,
                                 u"m.ego\t2\tc\tMemo2\tand its id"_s}));

    MacroOptions options;
    options.keyword = u"later"_s;
    QVERIFY(run(Macro::MemoScan, {path}, options).lines.isEmpty());
}

void TestMacros::identityMacrosMergeInMemoryAndListConflicts()
{
    QTemporaryDir dir;
    NetworkModel ego = EgoWithCards(2);
    ego.ego.EgoID = u"E2"_s;
    AddNode(ego, 1, bareAlter(u"Ann"_s));
    AddNode(ego, 2, bareAlter(u"Anna"_s));
    QVERIFY(ApplyMergerGroups(ego, {MergerGroup{u"Ann"_s, u"Anna"_s}}).ok());
    const QString path = write(dir, u"e.ego"_s, ego);
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    // Without the merger the two IDs are two alters; with it, one alter on both cards.
    QCOMPARE(run(Macro::IDContinuity, {path}).lines,
             QStringList{u"E2\t[1>2]: 0.0\t[all]:0.0"_s});
    QCOMPARE(run(Macro::IDContinuityMerged, {path}).lines,
             QStringList{u"E2\t[1>2]: 100.0\t[all]:100.0"_s});
    QFile after(path); // the file itself is not changed
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);

    // Plausibility: nothing for a clean file, the check's own lines for one with conflicts.
    QCOMPARE(run(Macro::Plausibility, {path}).lines, QStringList());
    NetworkModel conflict = EgoWithCards(1);
    AddNode(conflict, 1, bareAlter(u"X"_s, 0, 0, u"Xaver"_s));
    AddNode(conflict, 1, bareAlter(u"X"_s, 0, 0, u"Xenia"_s));
    const QString second = write(dir, u"f.ego"_s, conflict);
    const Run r = run(Macro::Plausibility, {path, second});
    QCOMPARE(r.lines, IDLabelPlausibility(conflict));
    QVERIFY(!r.lines.isEmpty());
    QCOMPARE(r.rows.size(), size_t(r.lines.size()));
    QCOMPARE(MacroTableRow(Macro::Plausibility, r.rows[0], 1), u"f.ego\t"_s + r.lines[0]);
}

QTEST_GUILESS_MAIN(TestMacros)
#include "tst_macros.moc"

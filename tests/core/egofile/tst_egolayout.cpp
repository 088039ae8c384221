#include "builders.h"
#include "core/egofile/egofile.h"
#include "core/egofile/egoreader.h"
#include "core/egofile/linejoin.h"

#include <QTemporaryDir>
#include <QTest>

using namespace korvalo;

// Files in the writer's own layout are read in one pass; every other file by searching
// for its tags. Whatever the file, both must give the same model, warnings, notes and
// messages: each file here is read as ReadEgoBytes reads it and by the searches alone.

namespace {

// Two cards with sectors, alters (one far out, which warns), lines (one to a node that
// does not exist, which is dropped) and texts in Windows-1252.
NetworkModel sampleEgo()
{
    NetworkModel m = oneCardModel(7);
    m.ego.Year = QStringLiteral("1971");
    AddSectors(m, 1, {{"Family", 0.0f}, {"Work", 180.5f}});
    AddNode(m, 1, alter(10.5f, 0.25f, 2, QStringLiteral("A1"), QStringLiteral("Jürgen")));
    AddNode(m, 1, alter(200.0f, 1.5f, 3, QStringLiteral("A2"), QStringLiteral("Far away")));
    AddLine(m, 1, 2, 2, 4);
    AddCard(m, QStringLiteral("Wave 2"), 5, QStringLiteral("normal"), 3, QStringLiteral("Ines"),
            QStringLiteral("2026-12-09"), QStringLiteral("second visit"));
    Node n = alter(90.0f, 0.75f, 5, QStringLiteral("A1"), QStringLiteral("Jürgen"));
    n.Memo1 = QStringLiteral("met at work");
    n.Merger = QStringLiteral("|A9|");
    AddNode(m, 2, n);
    AddNode(m, 2, alter(300.0f, 0.125f, 1, QStringLiteral("A3")));
    AddLine(m, 0, 2, 1, 0);
    return m;
}

struct Reading
{
    bool ok = false;
    QString message;
    NetworkModel model;
    QStringList warnings;
    QStringList notes;
};

Reading readWith(const std::function<Result<NetworkModel>(const ReadOptions &)> &read)
{
    Reading r;
    const ReadOptions options{u'.', [&r](const QString &line) { r.warnings << line; },
                              [&r](const QString &line) { r.notes << line; }};
    Result<NetworkModel> result = read(options);
    r.ok = result.ok();
    r.message = result.message();
    if (r.ok)
        r.model = std::move(result.value());
    return r;
}

} // namespace

class TestEgoLayout : public QObject
{
    Q_OBJECT

private slots:
    void sameAsTheSearches_data();
    void sameAsTheSearches();
    void savedFileReadsBack();
};

void TestEgoLayout::sameAsTheSearches_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readable");

    const QByteArray written = EgoFileBytes(sampleEgo());
    QVERIFY(written.startsWith("<Ego>\r\n") && written.contains("J\xFCrgen"));
    auto edited = [&written](const char *from, const char *to, int skip = 0) {
        QByteArray b = written;
        qsizetype at = -1;
        for (int i = 0; i <= skip; ++i)
            at = b.indexOf(from, at + 1);
        if (at < 0)
            qFatal("no \"%s\" in the sample", from);
        return b.replace(at, qsizetype(qstrlen(from)), to);
    };

    QTest::newRow("as written") << written << true;
    QTest::newRow("LF, tabs") << QByteArray(written).replace("\r\n", "\n").replace("  ", "\t") << true;
    QTest::newRow("one line") << QByteArray(written).replace("\r\n", "") << true;
    QTest::newRow("blanks between tags") << QByteArray(written).replace("\r\n", " \r\n ") << true;
    QTest::newRow("BOM, text after the ego") << "\xEF\xBB\xBF" + written + "<Card>stray" << true;
    QTest::newRow("text before the ego") << "Exported:\r\n" + written << true;
    QTest::newRow("value over two lines") << edited("<Label>Far ", "<Label>Far\r\n   ") << true;
    QTest::newRow("blanks in values") << edited("<Memo1>met", "<Memo1>\t met ") << true;
    QTest::newRow("fields in another order")
        << edited("<Color>3</Color>\r\n      <Human>TRUE</Human>", "<Human>TRUE</Human><Color>3</Color>") << true;
    QTest::newRow("field missing") << edited("<Merger></Merger>", "") << true;
    QTest::newRow("unknown tag") << edited("<Symbol>", "<Extra>x</Extra><Symbol>", 1) << true;
    QTest::newRow("tag in a value") << edited("<Memo1>met", "<Memo1><b>met") << true;
    QTest::newRow("field twice") << edited("<Label>Far away</Label>", "<Label>Far away</Label><Label>x</Label>") << true;
    QTest::newRow("sector after the nodes") << edited("</Node>\r\n    <Line>", "</Node><Sector><SectorAngle>1</SectorAngle>"
                                                                             "<SectorName>S</SectorName><SectorColor>2"
                                                                             "</SectorColor></Sector><Line>")
                                            << true;
    QTest::newRow("old file, no EgoColor") << edited("<EgoColor>3</EgoColor>", "") << true;
    QTest::newRow("UTF-8") << edited("Ines", "In\xC3\xA8s") << true;
    QTest::newRow("comma separator") << QByteArray(written).replace('.', ',') << true;
    QTest::newRow("bad number, card 2") << edited("<Color>5</Color>", "<Color>five</Color>") << false;
    QTest::newRow("empty number") << edited("<SectorColor>", "<SectorColor></SectorColor><x>", 1) << false;
    QTest::newRow("cut short in a card") << written.left(written.indexOf("<Line>", written.indexOf("Wave 2"))) << false;
    QTest::newRow("no ego") << QByteArray("<Card></Card>") << false;
}

void TestEgoLayout::sameAsTheSearches()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);

    const Reading fast = readWith([&bytes](const ReadOptions &o) { return ReadEgoBytes(bytes, QStringLiteral("a.ego"), o); });
    const Reading searched = readWith([&bytes](const ReadOptions &o) {
        LineJoiner joiner(size_t(bytes.size()));
        joiner.feed(std::string_view(bytes.constData(), size_t(bytes.size())));
        const TextBuffer joined = joiner.finish();
        return ReadJoinedLines(joined, QStringLiteral("a.ego"), o, true);
    });
    QCOMPARE(fast.ok, readable);
    QCOMPARE(fast.message, searched.message);
    QCOMPARE(fast.ok, searched.ok);
    QVERIFY(fast.model == searched.model);
    QCOMPARE(fast.warnings, searched.warnings);
    QCOMPARE(fast.notes, searched.notes);
    if (readable)
        QCOMPARE(fast.model.CardCount(), 2);
}

// The save reads back what it wrote: the same bytes give the model; a text that would
// come back different is still refused, and the old file stays.
void TestEgoLayout::savedFileReadsBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("save.ego"));
    NetworkModel m = sampleEgo();
    QVERIFY(WriteEgoFile(m, path));
    Result<NetworkModel> back = ReadEgoFile(path);
    QVERIFY(back);
    QCOMPARE(EgoFileBytes(back.value()), EgoFileBytes(m));

    m.card(2).Nodes[1].Memo2 = QStringLiteral("see </Node> below");
    const Status refused = WriteEgoFile(m, path);
    QVERIFY(!refused);
    QVERIFY2(refused.message().contains(QStringLiteral("card 2")), qPrintable(refused.message()));
    QCOMPARE(EgoFileBytes(ReadEgoFile(path).value()), EgoFileBytes(back.value()));
}

QTEST_GUILESS_MAIN(TestEgoLayout)
#include "tst_egolayout.moc"

#include "builders.h"
#include "core/egofile/egofile.h"
#include "core/egofile/platformfile.h"
#include "core/egofile/safefile.h"
#include "core/model/cards.h"
#include "core/model/textutil.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <limits>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace korvalo;

namespace {

const QString Data = QStringLiteral(KORVALO_TEST_DATA "/egofiles/");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Reads as File > Read does: the open model is replaced only when the whole file reads.
Status readFile(NetworkModel &m, const QString &path, const InfoSink &warnings = {},
                QChar separator = u'.', const InfoSink &notes = {})
{
    Result<NetworkModel> read = ReadEgoFile(path, ReadOptions{separator, warnings, notes});
    if (!read)
        return Status::failure(read.message());
    m = std::move(read.value());
    return Status::success();
}

Status readBytes(NetworkModel &m, const QByteArray &bytes, const QString &name,
                 const InfoSink &warnings = {})
{
    Result<NetworkModel> read = ReadEgoBytes(bytes, name, ReadOptions{u'.', warnings, {}});
    if (!read)
        return Status::failure(read.message());
    m = std::move(read.value());
    return Status::success();
}

// A woman, labelled after her ID ("Label 7").
Node femaleAlter(const QString &id, float angle, float distance)
{
    Node n = alter(angle, distance, 1, id, QStringLiteral("Label ") + id);
    n.Sex = QStringLiteral("female");
    return n;
}

// A small ego that uses every field.
NetworkModel sampleModel()
{
    NetworkModel m;
    SetupEgo(m, QStringLiteral("Anna Müller"), QStringLiteral("1970"), 1, QStringLiteral("misc one"),
             QStringLiteral(" padded "), QStringLiteral("AM-1"));
    AddCard(m, QStringLiteral("First"), 5, QStringLiteral("bigger"), 3, QStringLiteral("Iris"),
            QStringLiteral("2024-01-02"), QStringLiteral("card memo"));
    AddSector(m, 1, QStringLiteral("Family"), 2, 0.0f);
    AddSector(m, 1, QStringLiteral("Friends"), 3, 123.456789f);
    Node a = femaleAlter(QStringLiteral("1"), 45.5f, 0.1234f);
    a.Role = QStringLiteral("sister");
    a.Symbol = QStringLiteral("flash");
    a.Memo1 = QStringLiteral("likes <b>bold</b> ideas");
    a.Merger = QStringLiteral("|7|");
    AddNode(m, 1, a);
    Node b = femaleAlter(QStringLiteral("7"), -12.25f, 1.3f);
    b.Human = QStringLiteral("FALSE");
    b.Size = 4;
    b.Color = 8;
    b.NodeSize = QStringLiteral("smallest");
    AddNode(m, 1, b);
    AddLine(m, 0, 1, 3, 0);
    AddLine(m, 1, 2, 1000, 8);
    AddCard(m, QString(), 7, QStringLiteral("none"), 1, {}, {}, {});
    return m;
}

void compareModels(const NetworkModel &a, const NetworkModel &b)
{
    QCOMPARE(b.ego.Name, a.ego.Name);
    QCOMPARE(b.ego.EgoID, a.ego.EgoID);
    QCOMPARE(b.ego.Year, a.ego.Year);
    QCOMPARE(b.ego.Sex, a.ego.Sex);
    QCOMPARE(b.ego.Misc1, a.ego.Misc1);
    QCOMPARE(b.ego.Misc2, a.ego.Misc2);
    QCOMPARE(b.CardCount(), a.CardCount());
    for (int c = 1; c <= a.CardCount(); ++c) {
        const NetworkCard &x = a.card(c), &y = b.card(c);
        QCOMPARE(y.ID, x.ID);
        QCOMPARE(y.Circles, x.Circles);
        QCOMPARE(y.EgoNode, x.EgoNode);
        QCOMPARE(y.EgoColor, x.EgoColor);
        QCOMPARE(y.Interviewer, x.Interviewer);
        QCOMPARE(y.Date, x.Date);
        QCOMPARE(y.CardMemo, x.CardMemo);
        QCOMPARE(y.SectorCount(), x.SectorCount());
        QCOMPARE(y.NodeCount(), x.NodeCount());
        QCOMPARE(y.LineCount(), x.LineCount());
        for (int s = 1; s <= x.SectorCount(); ++s) {
            QCOMPARE(y.Sectors[s].SectorName, x.Sectors[s].SectorName);
            QCOMPARE(y.Sectors[s].SectorColor, x.Sectors[s].SectorColor);
            QCOMPARE(FormatDecimal(y.Sectors[s].SectorAngle, 5, 7, u'.'), FormatDecimal(x.Sectors[s].SectorAngle, 5, 7, u'.'));
        }
        for (int n = 0; n <= x.NodeCount(); ++n) {
            const Node &p = x.Nodes[n], &q = y.Nodes[n];
            QCOMPARE(q.ID, p.ID);
            QCOMPARE(q.Label, p.Label);
            QCOMPARE(q.Role, p.Role);
            QCOMPARE(q.Sex, p.Sex);
            QCOMPARE(q.Human, p.Human);
            QCOMPARE(q.Symbol, p.Symbol);
            QCOMPARE(q.NodeSize, p.NodeSize);
            QCOMPARE(q.Memo1, p.Memo1);
            QCOMPARE(q.Memo2, p.Memo2);
            QCOMPARE(q.Merger, p.Merger);
            QCOMPARE(q.Color, p.Color);
            QCOMPARE(q.Size, p.Size);
            QCOMPARE(FormatDecimal(q.Angle, 3, 7, u'.'), FormatDecimal(p.Angle, 3, 7, u'.'));
            QCOMPARE(FormatDecimal(q.Distance, 3, 7, u'.'), FormatDecimal(p.Distance, 3, 7, u'.'));
        }
        for (int l = 1; l <= x.LineCount(); ++l) {
            QCOMPARE(y.Lines[l].A, x.Lines[l].A);
            QCOMPARE(y.Lines[l].B, x.Lines[l].B);
            QCOMPARE(y.Lines[l].LineSize, x.Lines[l].LineSize);
            QCOMPARE(y.Lines[l].LineColor, x.Lines[l].LineColor);
        }
    }
}

// A minimal file around the given card body.
QByteArray egoWithCard(const QByteArray &cardBody)
{
    return "<Ego>\r\n  <Name>N</Name>\r\n  <EgoID>E</EgoID>\r\n  <Year></Year>\r\n  <Sex>0</Sex>\r\n"
           "  <Misc1></Misc1>\r\n  <Misc2></Misc2>\r\n  <Card>\r\n    <ID>c1</ID>\r\n"
           "    <Circles>7</Circles>\r\n" + cardBody + "  </Card>\r\n</Ego>\r\n";
}

QByteArray nodeRecord(const QByteArray &fields)
{
    return "    <Node>\r\n" + fields + "    </Node>\r\n";
}

const QByteArray PlainNode = "<ID>n</ID><Label>L</Label><Angle>10</Angle><Distance>0.5</Distance>"
                             "<Color>1</Color><Size>1</Size>";

} // namespace

class TestEgoFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void emptyCardLayout();
    void roundTrip();
    void defaultsAndIgnoredTags();
    void firstOccurrenceRules();
    void linesFollowNodes();
    void numbers_data();
    void numbers();
    void decimalSeparator();
    void olderFile();
    void encodings();
    void refusedFilesChangeNothing_data();
    void refusedFilesChangeNothing();
    void capacities();
    void failedSaveKeepsOldFile();
    void readBackCheck();
    void robustness();
    void unusualFiles();
    void fileCutShortWhileRead();
    void savingThroughTheFileSystem();
    void fullDisk();
    void namesInAnyBytes();
    void cliResave();
};

void TestEgoFile::emptyCardLayout()
{
    NetworkModel m;
    SetupEgo(m, QStringLiteral("Eve"), QStringLiteral("1999"), -1, {}, {}, QStringLiteral("E1"));
    AddCard(m, QStringLiteral("Only"), 7, QStringLiteral("none"), 1, {}, {}, {});
    const QByteArray expected = "<Ego>\r\n"
                                "  <Name>Eve</Name>\r\n"
                                "  <EgoID>E1</EgoID>\r\n"
                                "  <Year>1999</Year>\r\n"
                                "  <Sex>-1</Sex>\r\n"
                                "  <Misc1></Misc1>\r\n"
                                "  <Misc2></Misc2>\r\n"
                                "  <Card>\r\n"
                                "    <ID>Only</ID>\r\n"
                                "    <Circles>7</Circles>\r\n"
                                "    <EgoNode>none</EgoNode>\r\n"
                                "    <EgoColor>1</EgoColor>\r\n"
                                "    <Interviewer></Interviewer>\r\n"
                                "    <Date></Date>\r\n"
                                "    <CardMemo></CardMemo>\r\n"
                                "  </Card>\r\n"
                                "</Ego>\r\n";
    QCOMPARE(EgoFileBytes(m), expected);
}

void TestEgoFile::roundTrip()
{
    NetworkModel m = sampleModel();
    const QByteArray bytes = EgoFileBytes(m);
    QVERIFY(bytes.contains("      <Angle>45.500</Angle>\r\n"));
    QVERIFY(bytes.contains("      <SectorAngle>123.45680</SectorAngle>\r\n"));
    QVERIFY(bytes.contains("      <Distance>0.123</Distance>\r\n"));
    QVERIFY(bytes.contains("      <Angle>-12.250</Angle>\r\n"));
    QVERIFY(bytes.contains("      <Nr>2</Nr>\r\n"));
    QVERIFY(bytes.contains("    <ID>Card 2</ID>\r\n"));
    QVERIFY(bytes.contains("<Name>Anna M\xfcller</Name>")); // Windows-1252

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("anna.ego"));
    QVERIFY2(WriteEgoFile(m, path).ok(), "save");
    NetworkModel back;
    QStringList info;
    const Status read = readFile(back, path, [&](const QString &line) { info.append(line); });
    QVERIFY2(read.ok(), qPrintable(read.message()));
    compareModels(m, back);
    QCOMPARE(back.CurrentCard, 1);
    QVERIFY(back.EgoPresent);
    QCOMPARE(info, QStringList{"Attention to Node Distance: (First) Label 7 [7]. Distance=1.3000"});
    // Writing what was read gives the same bytes.
    QCOMPARE(EgoFileBytes(back), bytes);
}

void TestEgoFile::defaultsAndIgnoredTags()
{
    const QByteArray file = "<Ego><Name>N</Name><Sex>0</Sex><Card><ID>c</ID><Circles>3</Circles>"
                            "<Node><Nr>5</Nr><X>1</X><Y>2</Y><ID>a</ID><Angle>1</Angle><Distance>0.5</Distance>"
                            "<Color>2</Color><Size>1</Size><Sex> </Sex><Human>false</Human></Node>"
                            "<Node><Nr>1</Nr><ID>b</ID><Angle>2</Angle><Distance>0.5</Distance>"
                            "<Color>2</Color><Size>1</Size><NodeSize></NodeSize></Node>"
                            "</Card></Ego>";
    NetworkModel m;
    const Status s = readBytes(m, file, QStringLiteral("d.ego"));
    QVERIFY2(s.ok(), qPrintable(s.message()));
    const NetworkCard &card = m.card(1);
    QCOMPARE(card.EgoNode, QStringLiteral("none"));
    QCOMPARE(card.EgoColor, 1);
    QCOMPARE(card.Nodes[0].NodeSize, QStringLiteral("none"));
    QCOMPARE(card.NodeCount(), 2);
    // Numbered by their order in the file, whatever <Nr> says.
    QCOMPARE(card.Nodes[1].ID, QStringLiteral("a"));
    QCOMPARE(card.Nodes[2].ID, QStringLiteral("b"));
    QCOMPARE(card.Nodes[1].Sex, QStringLiteral("undefined"));
    QCOMPARE(card.Nodes[2].Sex, QStringLiteral("undefined"));
    QCOMPARE(card.Nodes[1].NodeSize, QStringLiteral("normal"));
    QCOMPARE(card.Nodes[2].NodeSize, QStringLiteral("normal"));
    QCOMPARE(card.Nodes[1].Human, QStringLiteral("TRUE"));

    // The same file without the older X and Y tags gives the same model.
    QByteArray withoutXY = file;
    withoutXY.replace("<X>1</X><Y>2</Y>", "");
    NetworkModel m2;
    QVERIFY(readBytes(m2, withoutXY, QStringLiteral("d.ego")).ok());
    compareModels(m, m2);
}

void TestEgoFile::firstOccurrenceRules()
{
    // A card without its own ID takes the first node's; a value keeps inner blanks; a
    // memo broken over lines is joined without the line break; the ego's fields are the
    // first occurrences in the whole ego text.
    const QByteArray file = "<Ego>\n<Sex>2</Sex>\n<Card>\n<Circles>3</Circles>\n"
                            "<Node>\n<ID>first</ID><Label>  two  blanks  </Label>\n"
                            "<Memo1>one\r\n   two</Memo1>\n<Angle>1</Angle><Distance>0.5</Distance>"
                            "<Color>2</Color><Size>1</Size></Node>\n</Card>\n<Name>late name</Name>\n</Ego>\n";
    NetworkModel m;
    const Status s = readBytes(m, file, QStringLiteral("f.ego"));
    QVERIFY2(s.ok(), qPrintable(s.message()));
    QCOMPARE(m.card(1).ID, QStringLiteral("first"));
    QCOMPARE(m.card(1).Nodes[1].Label, QStringLiteral("  two  blanks  "));
    QCOMPARE(m.card(1).Nodes[1].Memo1, QStringLiteral("onetwo"));
    QCOMPARE(m.ego.Name, QStringLiteral("late name"));
    QCOMPARE(m.ego.Sex, 2);

    QCOMPARE(ExtractTagValue("x<A>1</A> <A>2</A>  ", "A"), std::string_view("1"));
    std::string_view rest;
    QCOMPARE(ExtractTagValue("<A>1</A> <A>2</A>  ", "A", &rest), std::string_view("1"));
    QCOMPARE(rest, std::string_view("<A>2</A>"));
    QCOMPARE(ExtractTagValue("<A>1", "A", &rest), std::string_view());
    QCOMPARE(rest, std::string_view("<A>1"));
    QCOMPARE(ExtractTagValue("</A><A>v</A>", "A"), std::string_view("v"));
}

void TestEgoFile::linesFollowNodes()
{
    // Lines whose end lies beyond the card's nodes are dropped, the others kept; a line
    // record standing before the nodes is not seen.
    const QByteArray body = "<Line><A>0</A><B>1</B><LineSize>9</LineSize><LineColor>1</LineColor></Line>"
                            + nodeRecord(PlainNode) + nodeRecord(PlainNode)
                            + "<Line><A>0</A><B>3</B><LineSize>1</LineSize><LineColor>1</LineColor></Line>"
                              "<Line><A>2</A><B>1</B><LineSize>4</LineSize><LineColor>5</LineColor></Line>"
                              "<Line><A>-1</A><B>1</B><LineSize>4</LineSize><LineColor>5</LineColor></Line>";
    NetworkModel m;
    QVERIFY(readBytes(m, egoWithCard(body), QStringLiteral("l.ego")).ok());
    QCOMPARE(m.card(1).NodeCount(), 2);
    QCOMPARE(m.card(1).LineCount(), 1);
    QCOMPARE(m.card(1).Lines[1].A, 2);
    QCOMPARE(m.card(1).Lines[1].LineSize, 4);

    // Without nodes, lines are searched after the last sector, then in the whole card.
    const QByteArray sectorThenLine = "<Sector><SectorAngle>0</SectorAngle><SectorName>s</SectorName>"
                                      "<SectorColor>1</SectorColor></Sector>"
                                      "<Line><A>0</A><B>0</B><LineSize>2</LineSize><LineColor>1</LineColor></Line>";
    QVERIFY(readBytes(m, egoWithCard(sectorThenLine), QStringLiteral("l.ego")).ok());
    QCOMPARE(m.card(1).LineCount(), 1);
    QCOMPARE(m.card(1).SectorCount(), 1);
}

void TestEgoFile::numbers_data()
{
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<QByteArray>("angle");
    QTest::addColumn<QString>("error");

    QTest::newRow("plain") << QByteArray("3") << QByteArray("45.5") << QString();
    QTest::newRow("signs and blanks") << QByteArray(" +3 ") << QByteArray(" -1.5e2 ") << QString();
    QTest::newRow("no integer digits") << QByteArray("3") << QByteArray(".5") << QString();
    QTest::newRow("empty angle") << QByteArray("3") << QByteArray("")
                                 << "Cannot read \"n.ego\": card 1, node 1: \"Angle\" is empty, a number is expected.";
    QTest::newRow("real as integer") << QByteArray("1.5") << QByteArray("1")
                                     << "Cannot read \"n.ego\": card 1, node 1: \"Size\" holds \"1.5\", which is not a whole number.";
    QTest::newRow("beyond 32 bits") << QByteArray("2147483648") << QByteArray("1")
                                    << "Cannot read \"n.ego\": card 1, node 1: \"Size\" holds \"2147483648\", which is not a whole number.";
    QTest::newRow("text") << QByteArray("3") << QByteArray("north")
                          << "Cannot read \"n.ego\": card 1, node 1: \"Angle\" holds \"north\", which is not a number.";
    QTest::newRow("beyond single") << QByteArray("3") << QByteArray("1e39")
                                   << "Cannot read \"n.ego\": card 1, node 1: \"Angle\" holds \"1e39\", which is not a number.";
    QTest::newRow("largest single") << QByteArray("3") << QByteArray("3.4028235e38") << QString();
    QTest::newRow("rounds to infinity") << QByteArray("3") << QByteArray("-3.4028236e38")
                                        << "Cannot read \"n.ego\": card 1, node 1: \"Angle\" holds \"-3.4028236e38\", which is not a number.";
    QTest::newRow("infinity") << QByteArray("3") << QByteArray("inf")
                              << "Cannot read \"n.ego\": card 1, node 1: \"Angle\" holds \"inf\", which is not a number.";
    QTest::newRow("comma") << QByteArray("3") << QByteArray("45,5")
                           << "Cannot read \"n.ego\": card 1, node 1: \"Angle\" holds \"45,5\", which is not a number "
                              "with the decimal separator \".\" (see Options > Read/Write).";
}

void TestEgoFile::numbers()
{
    QFETCH(QByteArray, size);
    QFETCH(QByteArray, angle);
    QFETCH(QString, error);
    const QByteArray node = "<ID>n</ID><Angle>" + angle + "</Angle><Distance>0.5</Distance><Color>1</Color><Size>"
                            + size + "</Size>";
    NetworkModel m;
    const Status s = readBytes(m, egoWithCard(nodeRecord(node)), QStringLiteral("n.ego"));
    QCOMPARE(s.message(), error.isEmpty() ? QString() : error);
    if (error.isEmpty())
        QCOMPARE(m.card(1).Nodes[1].Size, 3);
    if (angle == "3.4028235e38")
        QCOMPARE(m.card(1).Nodes[1].Angle, std::numeric_limits<float>::max());
}

void TestEgoFile::decimalSeparator()
{
    // Whatever the setting, a file written with either separator is read, a note says
    // when the other one was needed, and the setting is only where reading starts.
    QTemporaryDir dir;
    const QString dot = dir.filePath(QStringLiteral("dot.ego"));
    NetworkModel sample = sampleModel();
    QVERIFY(WriteEgoFile(sample, dot).ok());
    for (QChar setting : {QChar(u'.'), QChar(u','), QChar(u';')}) {
        NetworkModel m;
        QStringList info;
        const InfoSink notes = [&](const QString &line) { info.append(line); };
        Status s = readFile(m, Data + QStringLiteral("comma.ego"), {}, setting, notes);
        QVERIFY2(s.ok(), qPrintable(s.message()));
        QCOMPARE(m.card(1).Sectors[1].SectorAngle, 12.5f);
        QCOMPARE(m.card(1).Nodes[1].Angle, 45.5f);
        QCOMPARE(m.card(1).Nodes[1].Distance, 0.125f);
        const QStringList commaNote{
            QStringLiteral("\"comma.ego\" writes its numbers with the decimal separator \",\" and was read that way.")};
        QCOMPARE(info, setting == u',' ? QStringList() : commaNote);

        info.clear();
        s = readFile(m, dot, {}, setting, notes);
        QVERIFY2(s.ok(), qPrintable(s.message()));
        QCOMPARE(m.card(1).Sectors[2].SectorAngle, sample.card(1).Sectors[2].SectorAngle);
        QCOMPARE(info, setting != u'.'
                           ? QStringList{QStringLiteral("\"dot.ego\" writes its numbers with the decimal separator \".\" "
                                                        "and was read that way.")}
                           : QStringList());
    }

    // Numbers written both ways: refused with the first fault.
    QByteArray mixed = readAll(Data + QStringLiteral("comma.ego"));
    mixed.replace("<Distance>0,125</Distance>", "<Distance>0.125</Distance>");
    NetworkModel m;
    QCOMPARE(readBytes(m, mixed, QStringLiteral("mixed.ego")).message(),
             QStringLiteral("Cannot read \"mixed.ego\": card 1, sector 1: \"SectorAngle\" holds \"12,50000\", which is not "
                            "a number with the decimal separator \".\" (see Options > Read/Write)."));
    QCOMPARE(m.CardCount(), 0);

    // Files are written with a point.
    QVERIFY(readFile(m, Data + QStringLiteral("comma.ego"), {}, u',').ok());
    const QString out = dir.filePath(QStringLiteral("again.ego"));
    QVERIFY(WriteEgoFile(m, out).ok());
    const QByteArray bytes = readAll(out);
    QVERIFY(bytes.contains("<Angle>45.500</Angle>"));
    QVERIFY(bytes.contains("<SectorAngle>12.50000</SectorAngle>"));
}

void TestEgoFile::olderFile()
{
    NetworkModel m;
    const Status s = readFile(m, Data + QStringLiteral("old-cp1252.ego"));
    QVERIFY2(s.ok(), qPrintable(s.message()));
    QCOMPARE(m.ego.Name, QStringLiteral("Jürgen Größer"));
    QCOMPARE(m.ego.Misc1, QStringLiteral("Café “Zentral”"));
    QCOMPARE(m.ego.Sex, 2);
    const NetworkCard &card = m.card(1);
    QCOMPARE(card.ID, QStringLiteral("Erstinterview"));
    QCOMPARE(card.Interviewer, QStringLiteral("Bärbel"));
    QCOMPARE(card.EgoNode, QStringLiteral("none"));
    QCOMPARE(card.SectorCount(), 2);
    QCOMPARE(card.Sectors[2].SectorAngle, 120.0f);
    QCOMPARE(card.NodeCount(), 2);
    QCOMPARE(card.Nodes[1].Memo1, QStringLiteral("kommt jedenSonntag"));
    QCOMPARE(card.Nodes[2].Label, QStringLiteral("Sportverein Grün-Weiß"));
    QCOMPARE(card.Nodes[2].Human, QStringLiteral("FALSE"));
    QCOMPARE(card.Nodes[2].Symbol, QStringLiteral("box"));
    QCOMPARE(card.LineCount(), 2); // the line to node 9 is dropped
    QCOMPARE(card.Lines[2].LineColor, 8);
}

void TestEgoFile::encodings()
{
    // Written as Windows-1252 while every character fits...
    NetworkModel m = sampleModel();
    m.card(1).Nodes[1].Label = QStringLiteral("Zoë – “quoted” €");
    QByteArray bytes = EgoFileBytes(m);
    QVERIFY(bytes.contains("<Label>Zo\xeb \x96 \x93quoted\x94 \x80</Label>"));
    NetworkModel back;
    QVERIFY(readBytes(back, bytes, QStringLiteral("e.ego")).ok());
    QCOMPARE(back.card(1).Nodes[1].Label, m.card(1).Nodes[1].Label);

    // ...otherwise as UTF-8, and nothing is lost.
    m.card(1).Nodes[2].Label = QStringLiteral("Łódź 東京");
    bytes = EgoFileBytes(m);
    QVERIFY(bytes.contains("<Label>\xc5\x81\xc3\xb3" "d\xc5\xba \xe6\x9d\xb1\xe4\xba\xac</Label>"));
    QVERIFY(bytes.contains("<Name>Anna M\xc3\xbcller</Name>"));
    QVERIFY(readBytes(back, bytes, QStringLiteral("e.ego")).ok());
    compareModels(m, back);
    // Text whose Windows-1252 bytes are valid UTF-8 is written as UTF-8, or it would come
    // back as "Müller".
    m = sampleModel();
    m.ego.Name = QStringLiteral("MÃ¼ller");
    bytes = EgoFileBytes(m);
    QVERIFY(bytes.contains("<Name>M\xc3\x83\xc2\xbcller</Name>"));
    QTemporaryDir dir;
    const Status saved = WriteEgoFile(m, dir.filePath(QStringLiteral("u.ego")));
    QVERIFY2(saved.ok(), qPrintable(saved.message()));
    QVERIFY(readFile(back, dir.filePath(QStringLiteral("u.ego"))).ok());
    QCOMPARE(back.ego.Name, QStringLiteral("MÃ¼ller"));
    QCOMPARE(QByteArray::fromStdString(std::string(TextFileBytes({QStringLiteral("MÃ¼ller")}))),
             QByteArray("M\xc3\x83\xc2\xbcller\r\n"));
    QCOMPARE(QByteArray::fromStdString(std::string(TextFileBytes({QStringLiteral("Müller")}))),
             QByteArray("M\xfcller\r\n"));
}

void TestEgoFile::refusedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    QTest::newRow("not an ego file") << QByteArray("Dear diary,\r\ntoday...\r\n")
                                     << "\"bad.ego\" is not a Korvalo ego file.";
    QTest::newRow("truncated") << egoWithCard(nodeRecord(PlainNode)).left(200)
                               << "Cannot read \"bad.ego\": the file ends before \"</Ego>\"; it seems to be incomplete.";
    QTest::newRow("no ego sex") << QByteArray("<Ego><Name>x</Name></Ego>")
                                << "Cannot read \"bad.ego\": ego: \"Sex\" is empty, a whole number is expected.";
    QTest::newRow("node without angle")
        << egoWithCard(nodeRecord(PlainNode) + nodeRecord("<ID>n</ID><Distance>1</Distance><Color>1</Color><Size>1</Size>"))
        << "Cannot read \"bad.ego\": card 1, node 2: \"Angle\" is empty, a number is expected.";
    QTest::newRow("card without circles") << QByteArray("<Ego><Sex>0</Sex><Card><ID>x</ID></Card></Ego>")
                                          << "Cannot read \"bad.ego\": card 1: \"Circles\" is empty, a whole number is expected.";
    QTest::newRow("bad line")
        << egoWithCard(nodeRecord(PlainNode) + "<Line><A>0</A><B>x</B><LineSize>1</LineSize><LineColor>1</LineColor></Line>")
        << "Cannot read \"bad.ego\": card 1, line 1: \"B\" holds \"x\", which is not a whole number.";
    QTest::newRow("bad sector colour")
        << egoWithCard("<Sector><SectorAngle>1</SectorAngle><SectorColor>red</SectorColor></Sector>")
        << "Cannot read \"bad.ego\": card 1, sector 1: \"SectorColor\" holds \"red\", which is not a whole number.";
}

void TestEgoFile::refusedFilesChangeNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.ego"));
    const QString bad = dir.filePath(QStringLiteral("bad.ego"));
    writeAll(bad, bytes);

    NetworkModel m = sampleModel();
    QVERIFY(WriteEgoFile(m, good).ok());
    QVERIFY(readFile(m, good).ok());
    m.CurrentCard = 2;
    QStringList info;

    const Status s = readFile(m, bad, [&](const QString &line) { info.append(line); });
    QCOMPARE(s.message(), error);
    QCOMPARE(m.CurrentCard, 2);
    QVERIFY(info.isEmpty());
    compareModels(sampleModel(), m);
}

void TestEgoFile::capacities()
{
    QByteArray cards;
    for (int i = 0; i < MaxCards + 1; ++i)
        cards += "<Card><Circles>1</Circles></Card>";
    NetworkModel m;
    QCOMPARE(readBytes(m, "<Ego><Sex>0</Sex>" + cards + "</Ego>", QStringLiteral("big.ego")).message(),
             QStringLiteral("Cannot read \"big.ego\": card 101: the file holds more than 100 network cards."));
    QCOMPARE(m.CardCount(), 0);

    QByteArray nodes;
    for (int i = 0; i < MaxNodes + 1; ++i)
        nodes += nodeRecord(PlainNode);
    QCOMPARE(readBytes(m, egoWithCard(nodes), QStringLiteral("big.ego")).message(),
             QStringLiteral("Cannot read \"big.ego\": card 1, node 1001: the card holds more than 1000 nodes."));

    QByteArray lines = nodeRecord(PlainNode);
    for (int i = 0; i < MaxLines + 1; ++i)
        lines += "<Line><A>0</A><B>1</B><LineSize>1</LineSize><LineColor>1</LineColor></Line>";
    QCOMPARE(readBytes(m, egoWithCard(lines), QStringLiteral("big.ego")).message(),
             QStringLiteral("Cannot read \"big.ego\": card 1, line 1001: the card holds more than 1000 lines."));
}

void TestEgoFile::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    NetworkModel m = sampleModel();
    const Status missingDir = WriteEgoFile(m, dir.filePath(QStringLiteral("no/such/dir/x.ego")));
    QVERIFY(!missingDir.ok());
    QVERIFY2(missingDir.message().startsWith(u"Cannot save \"x.ego\": no file can be created in"),
             qPrintable(missingDir.message()));

    // A save replaces the file as a whole and leaves no temporary file behind.
    const QString path = dir.filePath(QStringLiteral("keep.ego"));
    writeAll(path, "old contents");
    QVERIFY(WriteEgoFile(m, path).ok());
    QVERIFY(readAll(path).startsWith("<Ego>\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.ego"});
}

void TestEgoFile::readBackCheck()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("memo.ego"));
    NetworkModel m = sampleModel();
    QVERIFY(WriteEgoFile(m, path).ok());
    const QByteArray before = readAll(path);

    m.card(1).Nodes[2].Memo1 = QStringLiteral("see </Memo1> here");
    Status s = WriteEgoFile(m, path);
    QCOMPARE(s.message(), QStringLiteral("Cannot save \"memo.ego\": card 1, node 2: \"Memo1\" holds \"see </Memo1> here\", "
                                         "which would be read back as \"see \" (the text looks like a tag of the file). "
                                         "The previous file is unchanged."));
    QCOMPARE(readAll(path), before);

    m = sampleModel();
    m.card(1).Nodes[1].Label = QStringLiteral("a</Node>b");
    s = WriteEgoFile(m, path);
    QCOMPARE(s.message(), QStringLiteral("Cannot save \"memo.ego\": the written file would not read back: card 1, "
                                         "node 1: \"Angle\" is empty, a number is expected. A text of that record looks "
                                         "like a tag of the file. The previous file is unchanged."));
    // A tag the reader finds in the right place anyway does no harm.
    m = sampleModel();
    m.card(1).Nodes[1].Label = QStringLiteral("a<ID>b");
    m.card(1).ID = QStringLiteral("x<Sector>y");
    QVERIFY(WriteEgoFile(m, dir.filePath(QStringLiteral("other.ego"))).ok());
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("other.ego"))));
    m = sampleModel();
    m.card(1).CardMemo = QStringLiteral("two\nlines");
    s = WriteEgoFile(m, path);
    QVERIFY2(s.message().contains(u"(a line break cannot be kept)"), qPrintable(s.message()));
    m = sampleModel();
    m.card(1).CardMemo = QStringLiteral("</Card>");
    QVERIFY(!WriteEgoFile(m, path).ok());
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"memo.ego"});

    // Values the reader normalises do not stop a save.
    m = sampleModel();
    m.card(1).Nodes[1].Sex = QString();
    m.card(1).Nodes[1].NodeSize = QString();
    QVERIFY(WriteEgoFile(m, path).ok());
    // A blank card ID is read back as "Card n"; a card holding one can still be saved.
    m.card(1).ID = QString();
    m.card(2).ID = QStringLiteral(" \t");
    const Status blank = WriteEgoFile(m, path);
    QVERIFY2(blank.ok(), qPrintable(blank.message()));
    QVERIFY(readFile(m, path).ok());
    QCOMPARE(m.card(1).ID, QStringLiteral("Card 1"));
    QCOMPARE(m.card(2).ID, QStringLiteral("Card 2"));
}

void TestEgoFile::robustness()
{
    // Random bytes, truncations and mutations of a valid file: the reader returns a model
    // or a message, never crashes or hangs.
    // The largest numbers are read and written as they are; drawing bounds them.
    NetworkModel huge;
    QVERIFY(readFile(huge, Data + QStringLiteral("huge-numbers.ego")).ok());
    QCOMPARE(huge.card(1).Circles, std::numeric_limits<int>::max());
    QCOMPARE(huge.card(1).Lines[1].LineSize, std::numeric_limits<int>::max());
    QCOMPARE(huge.card(1).Nodes[1].Angle, std::numeric_limits<float>::max());
    const QByteArray hugeBytes = EgoFileBytes(huge);
    QVERIFY(hugeBytes.contains("<Circles>2147483647</Circles>") && hugeBytes.contains("<Size>2147483647</Size>"));

    const QByteArray valid = EgoFileBytes(sampleModel());
    QRandomGenerator rng(20261208);
    const QByteArray pieces[] = {"<", ">", "</", "<Node>", "</Node>", "<Card>", "</Card>", "<Line>", "</Ego>",
                                 "<Sector>", "\r\n", "-", "9", ",", "\xff", "\xc3",
                                 // the largest numbers a field can hold
                                 "2147483647", "-2147483648", "3.4028235e38", "<Circles>2147483647</Circles>"};
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes;
        switch (round % 3) {
        case 0:
            bytes = valid.left(qsizetype(rng.bounded(int(valid.size()))));
            break;
        case 1:
            bytes = valid;
            for (int k = 0, n = 1 + int(rng.bounded(8)); k < n; ++k) {
                const int at = int(rng.bounded(int(bytes.size())));
                if (rng.bounded(2))
                    bytes.insert(at, pieces[rng.bounded(int(std::size(pieces)))]);
                else
                    bytes.remove(at, 1 + int(rng.bounded(20)));
            }
            break;
        default:
            bytes.resize(qsizetype(rng.bounded(600)));
            for (char &c : bytes)
                c = char(rng.bounded(256));
            if (rng.bounded(2))
                bytes.prepend(rng.bounded(2) ? "<Ego><Sex>0</Sex><Card><Circles>1</Circles>"
                                             : "<Ego><Sex>0</Sex><Card><Circles>2147483647</Circles>");
        }
        NetworkModel m;
        const Status s = readBytes(m, bytes, QStringLiteral("r.ego"), [](const QString &) {});
        if (s.ok()) {
            ++accepted;
            QVERIFY(m.CardCount() <= MaxCards);
        } else {
            QVERIFY(!s.message().isEmpty());
        }
    }
    QVERIFY(accepted > 0);
}

void TestEgoFile::unusualFiles()
{
    // What is no regular file, or larger than any ego file can be, is refused before it
    // is read, with the open ego left as it was.
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big.ego"));
    {
        QFile f(big);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(3) * 1000 * 1000 * 1000)); // sparse: no disk space taken
    }
    QList<QPair<QString, QString>> cases{
        {big, QStringLiteral("Cannot read \"big.ego\": the file is 3.0 GB large, more than any ego file can be (1.0 GB).")},
        {dir.path(), QStringLiteral("Cannot read \"%1\": it is a folder.").arg(QFileInfo(dir.path()).fileName())},
        {dir.filePath(QStringLiteral("none.ego")),
         QStringLiteral("Cannot open \"none.ego\": No such file or directory.")},
    };
#ifdef Q_OS_UNIX
    const QString fifo = dir.filePath(QStringLiteral("fifo.ego"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    cases.append({fifo, QStringLiteral("Cannot read \"fifo.ego\": it is not a regular file.")});
    if (QFile::exists(QStringLiteral("/dev/zero")))
        cases.append({QStringLiteral("/dev/zero"), QStringLiteral("Cannot read \"zero\": it is not a regular file.")});
#endif
    for (const auto &[path, message] : cases) {
        NetworkModel m = sampleModel();
        QCOMPARE(readFile(m, path).message(), message);
        compareModels(sampleModel(), m);
    }
#ifdef Q_OS_UNIX
    QProcess cli;
    cli.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("resave"), QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("o.ego"))});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 1);
    QCOMPARE(cli.readAllStandardError(), QByteArray("korvalo-cli resave: Cannot read \"zero\": it is not a regular file.\n"));
#endif
}

void TestEgoFile::fileCutShortWhileRead()
{
    // Another program empties the file while it is being read: the read succeeds or
    // fails with a message, it never brings the program down.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shrinking.ego"));
    NetworkModel big = sampleModel();
    for (int n = 0; n < MaxNodes - 2; ++n)
        AddNode(big, 1, femaleAlter(QString::number(n), float(n), 0.5f));
    for (int c = 0; c < 30; ++c)
        DuplicateCard(big, 1);
    const QByteArray bytes = EgoFileBytes(big);
    for (int delayUs : {0, 200, 1000, 3000, 10000, 30000}) {
        writeAll(path, bytes);
        std::thread cutter([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
            QFile::resize(path, 100);
        });
        NetworkModel m;
        const Status s = readFile(m, path);
        cutter.join();
        QVERIFY(s.ok() || !s.message().isEmpty());
    }
}

void TestEgoFile::savingThroughTheFileSystem()
{
    QTemporaryDir dir;
    NetworkModel m = sampleModel();

    // A link is saved through: its target gets the new text, the link stays a link.
    const QString real = dir.filePath(QStringLiteral("real.ego"));
    const QString link = dir.filePath(QStringLiteral("link.ego"));
    writeAll(real, "old");
    QVERIFY(QFile::link(QStringLiteral("real.ego"), link));
    QVERIFY(WriteEgoFile(m, link).ok());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readAll(real), EgoFileBytes(m));

    // A read-only file is not replaced.
    const QString locked = dir.filePath(QStringLiteral("locked.ego"));
    writeAll(locked, "keep");
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QCOMPARE(WriteEgoFile(m, locked).message(), QStringLiteral("Cannot save \"locked.ego\": the file is read-only."));
    QCOMPARE(readAll(locked), QByteArray("keep"));

    // A save cut short leaves a temporary file named after its target; the next save of
    // that file clears it away, and the permissions of the file are kept.
    const QString kept = dir.filePath(QStringLiteral("kept.ego"));
    writeAll(kept, "old");
    QVERIFY(QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner));
    writeAll(dir.filePath(QStringLiteral("kept.ego.korvalo-save.tmp")), QByteArray(1000, 'x'));
    QVERIFY(WriteEgoFile(m, kept).ok());
    QCOMPARE(readAll(kept), EgoFileBytes(m));
    QCOMPARE(QFile::permissions(kept) & (QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther), QFile::WriteOwner);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             (QStringList{"kept.ego", "link.ego", "locked.ego", "real.ego"}));
}

void TestEgoFile::fullDisk()
{
#ifdef Q_OS_LINUX
    // A small file system of its own, where the administrator may mount one.
    QTemporaryDir dir;
    QProcess mount;
    mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                          QStringLiteral("size=64k"), QStringLiteral("tmpfs"), dir.path()});
    if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
        QSKIP("no small file system can be mounted here");
    const QString path = dir.filePath(QStringLiteral("full.ego"));
    writeAll(path, "old");
    NetworkModel m = sampleModel();
    for (int n = 0; n < 200; ++n)
        AddNode(m, 1, femaleAlter(QString::number(n), float(n), 0.5f));
    const Status s = WriteEgoFile(m, path);
    QProcess::execute(QStringLiteral("umount"), {dir.path()});
    QCOMPARE(s.message(), QStringLiteral("Cannot save \"full.ego\": writing failed (No space left on device). "
                                         "The previous file is unchanged."));
#else
    QSKIP("needs a file system that can be filled");
#endif
}

void TestEgoFile::namesInAnyBytes()
{
#if defined(Q_OS_UNIX) && !defined(KORVALO_PORTABLE_FILES)
    // A name that is not UTF-8 (Latin-1 "café") is read and written under that name.
    QTemporaryDir dir;
    const QByteArray native = QFile::encodeName(dir.path()) + "/caf\xe9.ego";
    const QString name = DecodeFileName(native);
    QCOMPARE(EncodeFileName(name), native);
    NetworkModel m = sampleModel();
    QVERIFY(WriteEgoFile(m, name).ok());
    QCOMPARE(::access(native.constData(), F_OK), 0);
    NetworkModel back;
    const Status read = readFile(back, name);
    QVERIFY2(read.ok(), qPrintable(read.message()));
    compareModels(m, back);

    // The same from the command line.
    QProcess cli;
    cli.setWorkingDirectory(dir.path());
    cli.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"),
                                         QStringLiteral("\"$0\" resave \"$(printf 'caf\\351.ego')\" \"$(printf 'out\\351.ego')\""),
                                         QStringLiteral(KORVALO_CLI)});
    QVERIFY(cli.waitForFinished(30000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
    const QByteArray out = QFile::encodeName(dir.path()) + "/out\xe9.ego";
    TextBuffer written;
    QCOMPARE(ReadWholeFile(DecodeFileName(out), written), QString());
    QCOMPARE(QByteArray(written.data(), qsizetype(written.size())), EgoFileBytes(m));
    // Qt's own file classes cannot name these files; they go the way they came.
    ::unlink(native.constData());
    ::unlink(out.constData());
#else
    QSKIP("file names are UTF-16 here, or Qt's file classes name the files");
#endif
}

void TestEgoFile::cliResave()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.ego"));
    QProcess cli;
    cli.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("resave"), Data + QStringLiteral("comma.ego"), out,
                                           QStringLiteral("--decimal-separator"), QStringLiteral(",")});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QVERIFY(readAll(out).contains("<Distance>0.125</Distance>"));

    // The other separator is tried as well, and standard output says so.
    cli.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("resave"), Data + QStringLiteral("comma.ego"), out});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(cli.readAllStandardOutput(),
             QByteArray("\"comma.ego\" writes its numbers with the decimal separator \",\" and was read that way.\n"));

    // A refused file: one line on standard error, exit status 1, OUT untouched.
    const QString bad = dir.filePath(QStringLiteral("bad.ego"));
    QByteArray mixed = readAll(Data + QStringLiteral("comma.ego"));
    writeAll(bad, mixed.replace("<Distance>0,125</Distance>", "<Distance>0.125</Distance>"));
    writeAll(out, "keep");
    cli.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("resave"), bad, out});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 1);
    const QByteArray err = cli.readAllStandardError();
    QCOMPARE(err.count('\n'), 1);
    QVERIFY(err.startsWith("korvalo-cli resave: Cannot read \"bad.ego\": card 1, sector 1: \"SectorAngle\" holds \"12,50000\""));
    QCOMPARE(readAll(out), QByteArray("keep"));

    // Distance warnings go to standard output.
    const QString old = dir.filePath(QStringLiteral("old.ego"));
    NetworkModel m = sampleModel();
    QVERIFY(WriteEgoFile(m, old).ok());
    cli.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("resave"), old, out});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(cli.readAllStandardOutput(), QByteArray("Attention to Node Distance: (First) Label 7 [7]. Distance=1.3000\n"));
    QCOMPARE(readAll(out), readAll(old));

    // Usage errors name the argument at fault.
    cli.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("resave"), old, out, QStringLiteral("extra.ego")});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 2);
    QVERIFY(cli.readAllStandardError().startsWith("korvalo-cli resave: unexpected argument \"extra.ego\""));
    cli.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("resave"), old, out, QStringLiteral("--decimal-separator"),
                                           QStringLiteral(",;")});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 2);
    QVERIFY(cli.readAllStandardError().startsWith("korvalo-cli resave: --decimal-separator takes one character"));
    cli.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("resave"), old});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 2);
    QVERIFY(cli.readAllStandardError().startsWith("korvalo-cli resave: OUT.ego is missing"));
    // A write that fails says why.
    cli.start(QStringLiteral(KORVALO_CLI), {QStringLiteral("resave"), old, dir.filePath(QStringLiteral("no/such/x.ego"))});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 1);
    QVERIFY(cli.readAllStandardError().startsWith("korvalo-cli resave: Cannot save \"x.ego\""));
}

QTEST_GUILESS_MAIN(TestEgoFile)
#include "tst_egofile.moc"

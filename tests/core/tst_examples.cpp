#include "core/egofile/egofile.h"
#include "core/map/render.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>

using namespace korvalo;

// The example study a new user opens first: every file reads, every card draws, and the
// files are exactly what the program writes.
class TestExamples : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyExampleReadsAndDraws();
};

void TestExamples::everyExampleReadsAndDraws()
{
    const QDir dir(QStringLiteral(KORVALO_EXAMPLES));
    const QStringList files = dir.entryList({QStringLiteral("*.ego")}, QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 3);
    bool windows1252 = false, utf8 = false;
    for (const QString &name : files) {
        const QString path = dir.filePath(name);
        const Result<NetworkModel> read = ReadEgoFile(path);
        QVERIFY2(read.ok(), qPrintable(read.message()));
        const NetworkModel &model = read.value();
        QCOMPARE(model.CardCount(), 3);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(EgoFileBytes(model), bytes);
        // One file keeps to Windows-1252 ("ä" as one byte), one needs UTF-8 ("ł").
        windows1252 = windows1252 || bytes.contains("B\xe4" "cker");
        utf8 = utf8 || bytes.contains("Wi\xc5\x9bniewska");

        QSet<QString> earlier;
        for (int c = 1; c <= model.CardCount(); ++c) {
            const NetworkCard &card = model.card(c);
            QVERIFY2(card.NodeCount() >= 12 && card.NodeCount() <= 30, qPrintable(name));
            QCOMPARE(card.SectorCount(), 5);
            QSet<QString> ids;
            for (int n = 1; n <= card.NodeCount(); ++n)
                ids << card.Nodes[size_t(n)].ID;
            if (c > 1) {
                // Alters are followed by their IDs: most stay, some are lost, some new.
                QVERIFY(!(ids & earlier).isEmpty());
                QVERIFY(ids != earlier);
            }
            earlier = ids;

            QImage image(850, 750, QImage::Format_RGB32);
            image.fill(Qt::white);
            RenderCard(image, model, c, ViewOptions());
            int coloured = 0;
            for (int y = 0; y < image.height(); y += 3)
                for (int x = 0; x < image.width(); x += 3)
                    coloured += image.pixel(x, y) == PaletteColor(1) ? 1 : 0;
            QVERIFY2(coloured > 20, qPrintable(QStringLiteral("%1 card %2").arg(name).arg(c)));
        }
    }
    QVERIFY(windows1252);
    QVERIFY(utf8);
}

QTEST_MAIN(TestExamples)
#include "tst_examples.moc"

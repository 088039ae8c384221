#include "app/cards.h"
#include "egofile/egofile.h"
#include "map/imageexport.h"
#include "map/jpegwriter.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <jpeglib.h>

// Card pictures as JPEG files, checked by decoding what was written.
class TestImageExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void fileNames_data();
    void fileNames();
    void encodingKeepsFullColourResolution();
    void decodedPictureMatchesRenderedCard();
    void labelsOffMeansNoLabelsInFile();
    void allCardsWriteNumberedFiles();
    void stripStandsCardsLeftToRight();
    void stripRefusedBeforeDrawing();
    void stopsAtFileThatCannotBeWritten();
    void failedEncodeLeavesOldFile();
    void cancelStopsAfterCurrentCard();
    void cliWritesSamePictures();

private:
    QString dir() const { return m_dir.path(); }
    QStringList filesInDir() const { return QDir(dir()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    void clearDir();
    QTemporaryDir m_dir;
    NetworkModel m_ego; // lindqvist.ego: three cards
};

// Quality 100 with full-resolution colour stays within a few levels per channel (4 on
// these maps); chroma subsampling would smear one-pixel coloured lines far beyond it.
constexpr int Tolerance = 8;

static QImage decode(const QString &path)
{
    QImageReader reader(path, "jpeg");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// The largest difference of one colour channel between two pictures of the same size;
// -1 for different sizes.
static int maxChannelDifference(const QImage &a, const QImage &b, QRect area = {})
{
    if (a.size() != b.size())
        return -1;
    if (area.isNull())
        area = a.rect();
    int worst = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

static QImage rendered(const NetworkModel &model, int card, const ViewOptions &view, QSize size)
{
    return RenderedCards(model, view, size)(card);
}

void TestImageExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(ReadEgoFile(m_ego, QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego"), false).ok());
    QCOMPARE(m_ego.CardCount(), 3);
}

void TestImageExport::clearDir()
{
    for (const QString &name : filesInDir())
        QVERIFY(QFile::remove(QDir(dir()).filePath(name)));
    for (const QString &name : QDir(dir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QVERIFY(QDir(QDir(dir()).filePath(name)).removeRecursively());
}

void TestImageExport::fileNames_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("card3");
    QTest::newRow("no extension") << "out/map" << "out/map.jpg" << "out/map3.jpg";
    QTest::newRow(".jpg kept") << "out/map.jpg" << "out/map.jpg" << "out/map3.jpg";
    QTest::newRow(".jpeg gets .jpg") << "out/map.jpeg" << "out/map.jpeg.jpg" << "out/map.jpeg3.jpg";
    QTest::newRow("upper case gets a second extension") << "out/map.JPG" << "out/map.JPG.jpg" << "out/map.JPG3.jpg";
    QTest::newRow("windows path") << "C:\\maps\\ego.jpg" << "C:\\maps\\ego.jpg" << "C:\\maps\\ego3.jpg";
}

void TestImageExport::fileNames()
{
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QFETCH(QString, card3);
    QCOMPARE(JpegFileName(chosen), saved);
    QCOMPARE(CardJpegFileName(JpegFileName(chosen), 3), card3);
}

// Baseline, three components each sampled 1x1, quantisation tables of quality 100 (all
// ones), read back by libjpeg's own decoder.
void TestImageExport::encodingKeepsFullColourResolution()
{
    const QString path = dir() + QStringLiteral("/header.jpg");
    QVERIFY(WriteJpegFile(rendered(m_ego, 1, ViewOptions(), QSize(850, 750)), path).ok());

    FILE *file = std::fopen(QFile::encodeName(path).constData(), "rb");
    QVERIFY(file);
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    QCOMPARE(jpeg_read_header(&cinfo, TRUE), JPEG_HEADER_OK);
    const int width = int(cinfo.image_width), height = int(cinfo.image_height);
    const int components = cinfo.num_components;
    const bool progressive = cinfo.progressive_mode;
    const J_COLOR_SPACE space = cinfo.jpeg_color_space;
    QList<int> factors;
    for (int i = 0; i < components; ++i)
        factors << cinfo.comp_info[i].h_samp_factor << cinfo.comp_info[i].v_samp_factor;
    bool allOnes = true;
    for (int t = 0; t < 2; ++t) {
        QVERIFY(cinfo.quant_tbl_ptrs[t]);
        for (int k = 0; k < DCTSIZE2; ++k)
            allOnes = allOnes && cinfo.quant_tbl_ptrs[t]->quantval[k] == 1;
    }
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);

    QCOMPARE(width, 850);
    QCOMPARE(height, 750);
    QCOMPARE(components, 3);
    QCOMPARE(space, JCS_YCbCr);
    QVERIFY(!progressive);
    QCOMPARE(factors, (QList<int>{1, 1, 1, 1, 1, 1}));
    QVERIFY(allOnes);
}

void TestImageExport::decodedPictureMatchesRenderedCard()
{
    ViewOptions view;
    view.ColorSectors1 = true;
    view.ShowID1 = true;
    for (int card = 1; card <= 3; ++card) {
        const QImage picture = rendered(m_ego, card, view, QSize(700, 600));
        const QString path = dir() + QStringLiteral("/card%1.jpg").arg(card);
        QVERIFY(WriteJpegFile(picture, path).ok());
        const QImage decoded = decode(path);
        QCOMPARE(decoded.size(), picture.size());
        // Quality 100 without subsampling: one-pixel coloured lines keep their colour.
        const int worst = maxChannelDifference(decoded, picture);
        QVERIFY2(worst >= 0 && worst <= Tolerance, qPrintable(QStringLiteral("card %1 differs by %2").arg(card).arg(worst)));
    }
}

void TestImageExport::labelsOffMeansNoLabelsInFile()
{
    const QSize size(850, 750);
    ViewOptions on, off;
    off.ShowLabels1 = false;
    const QImage withLabels = rendered(m_ego, 1, on, size);
    const QImage without = rendered(m_ego, 1, off, size);
    // The labels are where the first rendering is dark and the second light.
    QList<QPoint> labelPixels;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (qGray(withLabels.pixel(x, y)) < 64 && qGray(without.pixel(x, y)) > 192)
                labelPixels << QPoint(x, y);
    QVERIFY(labelPixels.size() > 200);

    const QString pathOn = dir() + QStringLiteral("/on.jpg"), pathOff = dir() + QStringLiteral("/off.jpg");
    QVERIFY(WriteJpegFile(withLabels, pathOn).ok());
    QVERIFY(WriteJpegFile(without, pathOff).ok());
    const QImage fileOn = decode(pathOn), fileOff = decode(pathOff);
    int darkOn = 0, darkOff = 0;
    for (const QPoint &p : std::as_const(labelPixels)) {
        darkOn += qGray(fileOn.pixel(p)) < 128;
        darkOff += qGray(fileOff.pixel(p)) < 128;
    }
    QVERIFY2(darkOn > labelPixels.size() * 9 / 10, qPrintable(QString::number(darkOn)));
    QCOMPARE(darkOff, 0);
}

void TestImageExport::allCardsWriteNumberedFiles()
{
    clearDir();
    NetworkModel model = m_ego;
    while (model.CardCount() < 12)
        QVERIFY(DuplicateCard(model, model.CardCount() - 2).ok());
    const QSize size(300, 200);
    const ExportOutcome outcome = ExportCardFiles(12, dir() + QStringLiteral("/x.jpg"),
                                                  RenderedCards(model, ViewOptions(), size));
    QVERIFY(outcome.status.ok());
    QVERIFY(!outcome.cancelled);
    QStringList expected;
    for (int n = 1; n <= 12; ++n)
        expected << QStringLiteral("x%1.jpg").arg(n);
    QStringList written;
    for (const QString &path : outcome.written)
        written << QFileInfo(path).fileName();
    QCOMPARE(written, expected);
    expected.sort();
    QCOMPARE(filesInDir(), expected); // nothing else, no temporary files
    // Card 5 is a copy of card 2, card 6 of card 3.
    QVERIFY(maxChannelDifference(decode(dir() + QStringLiteral("/x5.jpg")), rendered(model, 2, ViewOptions(), size)) <= Tolerance);
    QVERIFY(maxChannelDifference(decode(dir() + QStringLiteral("/x6.jpg")), rendered(model, 3, ViewOptions(), size)) <= Tolerance);
}

void TestImageExport::stripStandsCardsLeftToRight()
{
    NetworkModel model = m_ego;
    QVERIFY(DuplicateCard(model, 2).ok()); // card 4 = card 2
    const QSize card(560, 540);
    const QString path = dir() + QStringLiteral("/strip.jpg");
    const ExportOutcome outcome = ExportCardStrip(4, card, path, RenderedCards(model, ViewOptions(), card));
    QVERIFY2(outcome.status.ok(), qPrintable(outcome.status.message()));
    QCOMPARE(outcome.written, QStringList{path});
    const QImage strip = decode(path);
    QCOMPARE(strip.size(), QSize(2240, 540));
    for (int n = 1; n <= 4; ++n) {
        const QImage part = strip.copy(QRect(QPoint((n - 1) * 560, 0), card));
        QVERIFY2(maxChannelDifference(part, rendered(model, n, ViewOptions(), card)) <= Tolerance,
                 qPrintable(QStringLiteral("card %1").arg(n)));
    }
    // The cards really differ, so the order is proven.
    QVERIFY(maxChannelDifference(rendered(model, 1, ViewOptions(), card), rendered(model, 2, ViewOptions(), card)) > 100);
}

void TestImageExport::stripRefusedBeforeDrawing()
{
    clearDir();
    int drawn = 0;
    const CardPicture counting = [&](int) {
        ++drawn;
        return QImage(850, 750, QImage::Format_RGB32);
    };
    const int fitting = MaxJpegDimension() / 850;
    QVERIFY(CheckStrip(fitting, QSize(850, 750)).ok());
    const ExportOutcome tooWide = ExportCardStrip(fitting + 1, QSize(850, 750), dir() + QStringLiteral("/wide.jpg"), counting);
    QVERIFY(!tooWide.status.ok());
    QVERIFY2(tooWide.status.message().contains(QString::number((fitting + 1) * 850)), qPrintable(tooWide.status.message()));
    const ExportOutcome none = ExportCardStrip(0, QSize(850, 750), dir() + QStringLiteral("/none.jpg"), counting);
    QCOMPARE(none.status.message(), QStringLiteral("There are no network cards to export."));
    QCOMPARE(drawn, 0);
    QVERIFY(filesInDir().isEmpty());
}

void TestImageExport::stopsAtFileThatCannotBeWritten()
{
    clearDir();
    // A folder named like the third picture.
    QVERIFY(QDir(dir()).mkdir(QStringLiteral("e3.jpg")));
    const ExportOutcome outcome = ExportCardFiles(3, dir() + QStringLiteral("/e.jpg"),
                                                  RenderedCards(m_ego, ViewOptions(), QSize(200, 150)));
    QVERIFY(!outcome.status.ok());
    QVERIFY2(outcome.status.message().startsWith(QStringLiteral("Cannot save \"e3.jpg\"")), qPrintable(outcome.status.message()));
    QCOMPARE(outcome.written.size(), 2);
    QCOMPARE(filesInDir(), (QStringList{QStringLiteral("e1.jpg"), QStringLiteral("e2.jpg")}));

    const Status noFolder = WriteJpegFile(rendered(m_ego, 1, ViewOptions(), QSize(200, 150)),
                                          dir() + QStringLiteral("/missing/map.jpg"));
    QVERIFY(!noFolder.ok());
    QVERIFY(noFolder.message().contains(QStringLiteral("map.jpg")));
}

// A picture the encoder refuses (libjpeg's own size limit, raised inside the library)
// leaves the previous file as it was and nothing beside it; the process goes on.
void TestImageExport::failedEncodeLeavesOldFile()
{
    clearDir();
    const QString path = dir() + QStringLiteral("/map.jpg");
    QVERIFY(WriteJpegFile(rendered(m_ego, 1, ViewOptions(), QSize(200, 150)), path).ok());
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();

    QImage tooWide(MaxJpegDimension() + 1, 2, QImage::Format_RGB32);
    tooWide.fill(Qt::white);
    QString why;
    QVERIFY(EncodeJpeg(tooWide, 100, &why).isEmpty());
    QVERIFY2(why.contains(QString::number(MaxJpegDimension())), qPrintable(why));
    const Status failed = WriteJpegFile(tooWide, path);
    QVERIFY(!failed.ok());
    QVERIFY(failed.message().startsWith(QStringLiteral("Cannot save \"map.jpg\"")));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), before);
    QCOMPARE(filesInDir(), QStringList{QStringLiteral("map.jpg")});
    // The encoder still works after the library's error.
    QVERIFY(!EncodeJpeg(rendered(m_ego, 2, ViewOptions(), QSize(64, 64)), 100).isEmpty());
}

void TestImageExport::cancelStopsAfterCurrentCard()
{
    clearDir();
    const ExportOutcome outcome = ExportCardFiles(
        3, dir() + QStringLiteral("/c.jpg"), RenderedCards(m_ego, ViewOptions(), QSize(100, 100)),
        [](int done, int) { return done < 2; });
    QVERIFY(outcome.cancelled);
    QVERIFY(outcome.status.ok());
    QCOMPARE(filesInDir(), (QStringList{QStringLiteral("c1.jpg"), QStringLiteral("c2.jpg")}));

    const ExportOutcome strip = ExportCardStrip(3, QSize(100, 100), dir() + QStringLiteral("/s.jpg"),
                                                RenderedCards(m_ego, ViewOptions(), QSize(100, 100)),
                                                [](int, int) { return false; });
    QVERIFY(strip.cancelled);
    QVERIFY(strip.written.isEmpty());
    QVERIFY(!QFile::exists(dir() + QStringLiteral("/s.jpg")));
}

// korvalo-cli render writes what the core writes, byte for byte.
void TestImageExport::cliWritesSamePictures()
{
    clearDir();
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto cli = [&](const QStringList &args) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(KORVALO_CLI),
                      QStringList{QStringLiteral("render"), QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego")} + args);
        process.waitForFinished(60000);
        return process.exitCode();
    };
    auto bytes = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QSize size(400, 300);
    const CardPicture picture = RenderedCards(m_ego, ViewOptions(), size);

    QCOMPARE(cli({dir() + QStringLiteral("/ego.jpg"), QStringLiteral("--all-cards"), QStringLiteral("--size"), QStringLiteral("400x300")}), 0);
    QCOMPARE(filesInDir(), (QStringList{QStringLiteral("ego1.jpg"), QStringLiteral("ego2.jpg"), QStringLiteral("ego3.jpg")}));
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(bytes(dir() + QStringLiteral("/ego%1.jpg").arg(n)), EncodeJpeg(picture(n), 100));

    QCOMPARE(cli({dir() + QStringLiteral("/strip.jpg"), QStringLiteral("--strip"), QStringLiteral("--size"), QStringLiteral("400x300")}), 0);
    QCOMPARE(bytes(dir() + QStringLiteral("/strip.jpg")), EncodeJpeg(DrawCardStrip(3, size, picture), 100));
    QCOMPARE(cli({dir() + QStringLiteral("/strip.png"), QStringLiteral("--strip"), QStringLiteral("--size"), QStringLiteral("400x300")}), 0);
    QCOMPARE(QImage(dir() + QStringLiteral("/strip.png")).size(), QSize(1200, 300));

    QCOMPARE(cli({dir() + QStringLiteral("/two.jpg"), QStringLiteral("--card"), QStringLiteral("2"), QStringLiteral("--size"), QStringLiteral("400x300")}), 0);
    QCOMPARE(bytes(dir() + QStringLiteral("/two.jpg")), EncodeJpeg(picture(2), 100));
    QCOMPARE(cli({dir() + QStringLiteral("/x.jpg"), QStringLiteral("--card"), QStringLiteral("2"), QStringLiteral("--strip")}), 2);
}

QTEST_MAIN(TestImageExport)
#include "tst_imageexport.moc"

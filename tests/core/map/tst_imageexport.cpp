#include "core/model/cards.h"
#include "core/egofile/egofile.h"
#include "core/map/imageexport.h"
#include "core/map/jpegwriter.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <jpeglib.h>

using namespace korvalo;

using namespace Qt::StringLiterals;

// Card pictures as JPEG files, checked by decoding what was written.
class TestImageExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void fileNames_data();
    void fileNames();
    void encodingKeepsFullColourResolution();
    void labelsOffMeansNoLabelsInFile();
    void allCardsWriteNumberedFiles();
    void stripStandsCardsLeftToRight();
    void stripRefusedBeforeDrawing();
    void failedEncodeLeavesOldFile();
    void cliWritesSamePictures();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    void clearDir() { QVERIFY(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(m_dir.path())); }
    QTemporaryDir m_dir;
    NetworkModel m_ego; // lindqvist.ego: three different cards
};

// Quality 100 with full-resolution colour stays within a few levels per channel (4 on
// these maps); chroma subsampling smears one-pixel coloured lines far beyond it.
constexpr int Tolerance = 8;

static QImage decode(const QString &path)
{
    return QImageReader(path, "jpeg").read().convertToFormat(QImage::Format_RGB32);
}

// The largest difference of one colour channel; -1 for pictures of different sizes.
static int maxChannelDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

static QImage rendered(const NetworkModel &model, int card, QSize size, const ViewOptions &view = {})
{
    return RenderedCards(model, view, size)(card);
}

void TestImageExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Result<NetworkModel> read = ReadEgoFile(QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego"));
    QVERIFY(read.ok());
    m_ego = read.value();
    QCOMPARE(m_ego.CardCount(), 3);
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

// Read back by libjpeg's own decoder: baseline, three components each sampled 1x1,
// quantisation tables of quality 100 (all ones); decoded, close to the drawn card.
void TestImageExport::encodingKeepsFullColourResolution()
{
    ViewOptions view;
    view.ColorSectors1 = view.ShowID1 = true;
    const QImage card = rendered(m_ego, 1, QSize(850, 750), view);
    const QString file = path(u"header.jpg"_s);
    QVERIFY(WriteJpegFile(card, file).ok());
    QVERIFY2(maxChannelDifference(decode(file), card) <= Tolerance, "decoded picture differs");

    FILE *in = std::fopen(QFile::encodeName(file).constData(), "rb");
    QVERIFY(in);
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, in);
    const int header = jpeg_read_header(&cinfo, TRUE);
    QList<int> facts{int(cinfo.image_width), int(cinfo.image_height), cinfo.num_components,
                     int(cinfo.jpeg_color_space), int(cinfo.progressive_mode)};
    for (int i = 0; i < cinfo.num_components; ++i)
        facts << cinfo.comp_info[i].h_samp_factor << cinfo.comp_info[i].v_samp_factor;
    int quantNotOne = 0;
    for (int t = 0; t < 2; ++t)
        for (int k = 0; k < DCTSIZE2; ++k)
            quantNotOne += !cinfo.quant_tbl_ptrs[t] || cinfo.quant_tbl_ptrs[t]->quantval[k] != 1;
    jpeg_destroy_decompress(&cinfo);
    std::fclose(in);

    QCOMPARE(header, JPEG_HEADER_OK);
    QCOMPARE(facts, (QList<int>{850, 750, 3, int(JCS_YCbCr), 0, 1, 1, 1, 1, 1, 1}));
    QCOMPARE(quantNotOne, 0);
}

void TestImageExport::labelsOffMeansNoLabelsInFile()
{
    const QSize size(850, 750);
    ViewOptions off;
    off.ShowLabels1 = false;
    const QImage withLabels = rendered(m_ego, 1, size), without = rendered(m_ego, 1, size, off);
    // Label pixels: dark with labels, light without.
    QList<QPoint> label;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            if (qGray(withLabels.pixel(x, y)) < 64 && qGray(without.pixel(x, y)) > 192)
                label << QPoint(x, y);
    QVERIFY(label.size() > 200);

    QVERIFY(WriteJpegFile(withLabels, path(u"on.jpg"_s)).ok());
    QVERIFY(WriteJpegFile(without, path(u"off.jpg"_s)).ok());
    const QImage fileOn = decode(path(u"on.jpg"_s)), fileOff = decode(path(u"off.jpg"_s));
    int darkOn = 0, darkOff = 0;
    for (const QPoint &p : std::as_const(label)) {
        darkOn += qGray(fileOn.pixel(p)) < 128;
        darkOff += qGray(fileOff.pixel(p)) < 128;
    }
    QVERIFY2(darkOn > label.size() * 9 / 10, qPrintable(QString::number(darkOn)));
    QCOMPARE(darkOff, 0);
}

void TestImageExport::allCardsWriteNumberedFiles()
{
    clearDir();
    NetworkModel model = m_ego;
    while (model.CardCount() < 12)
        QVERIFY(DuplicateCard(model, model.CardCount() - 2).ok());
    const ExportOutcome outcome = ExportCardFiles(12, path(u"x.jpg"_s), RenderedCards(model, {}, QSize(300, 200)));
    QVERIFY(outcome.status.ok() && !outcome.cancelled);
    QStringList expected;
    for (int n = 1; n <= 12; ++n)
        expected << path(u"x%1.jpg"_s.arg(n));
    QCOMPARE(outcome.written, expected);
    QCOMPARE(files().size(), 12); // and no temporary files
}

void TestImageExport::stripStandsCardsLeftToRight()
{
    NetworkModel model = m_ego;
    QVERIFY(DuplicateCard(model, 2).ok()); // card 4 = card 2
    const QSize card(560, 540);
    const ExportOutcome outcome = ExportCardStrip(4, card, path(u"strip.jpg"_s), RenderedCards(model, {}, card));
    QVERIFY2(outcome.status.ok(), qPrintable(outcome.status.message()));
    const QImage strip = decode(path(u"strip.jpg"_s));
    QCOMPARE(strip.size(), QSize(2240, 540));
    for (int n = 1; n <= 4; ++n)
        QVERIFY2(maxChannelDifference(strip.copy(QRect(QPoint((n - 1) * 560, 0), card)), rendered(model, n, card)) <= Tolerance,
                 qPrintable(u"card %1"_s.arg(n)));
    QVERIFY(maxChannelDifference(rendered(model, 1, card), rendered(model, 2, card)) > 100);
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
    const Status tooWide = ExportCardStrip(fitting + 1, QSize(850, 750), path(u"wide.jpg"_s), counting).status;
    QVERIFY2(tooWide.message().contains(QString::number((fitting + 1) * 850)), qPrintable(tooWide.message()));
    const Status none = ExportCardStrip(0, QSize(850, 750), path(u"none.jpg"_s), counting).status;
    QCOMPARE(none.message(), u"There are no network cards to export."_s);
    QCOMPARE(drawn, 0);
    QVERIFY(files().isEmpty());
}

// A picture the encoder refuses (libjpeg's own size limit, raised inside the library)
// leaves the previous file as it was and nothing beside it; the process goes on.
void TestImageExport::failedEncodeLeavesOldFile()
{
    clearDir();
    const QString file = path(u"map.jpg"_s);
    QVERIFY(WriteJpegFile(rendered(m_ego, 1, QSize(200, 150)), file).ok());
    QFile old(file);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray before = old.readAll();
    old.close();

    QImage tooWide(MaxJpegDimension() + 1, 2, QImage::Format_RGB32);
    tooWide.fill(Qt::white);
    const Status failed = WriteJpegFile(tooWide, file);
    QVERIFY2(failed.message().startsWith(u"Cannot save \"map.jpg\": "_s) && failed.message().contains(u"65500"_s),
             qPrintable(failed.message()));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), before);
    QCOMPARE(files(), QStringList{u"map.jpg"_s});
    QVERIFY(!EncodeJpeg(rendered(m_ego, 2, QSize(64, 64)), 100).isEmpty());
}

// korvalo-cli render writes what the core writes, byte for byte.
void TestImageExport::cliWritesSamePictures()
{
    clearDir();
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto cli = [&](const QString &out, const QString &option) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(KORVALO_CLI), {u"render"_s, QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego"),
                                                    path(out), option, u"--size"_s, u"400x300"_s});
        process.waitForFinished(60000);
        return process.exitCode();
    };
    auto bytes = [this](const QString &name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const CardPicture picture = RenderedCards(m_ego, {}, QSize(400, 300));

    QCOMPARE(cli(u"ego.jpg"_s, u"--all-cards"_s), 0);
    QCOMPARE(files(), (QStringList{u"ego1.jpg"_s, u"ego2.jpg"_s, u"ego3.jpg"_s}));
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(bytes(u"ego%1.jpg"_s.arg(n)), EncodeJpeg(picture(n), 100));
    QCOMPARE(cli(u"strip.jpg"_s, u"--strip"_s), 0);
    QCOMPARE(bytes(u"strip.jpg"_s), EncodeJpeg(DrawCardStrip(3, QSize(400, 300), picture), 100));
}

QTEST_MAIN(TestImageExport)
#include "tst_imageexport.moc"

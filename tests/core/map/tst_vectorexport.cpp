#include "builders.h"
#include "core/egofile/egofile.h"
#include "core/map/render.h"
#include "core/map/vectorexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cstdlib>

using namespace korvalo;
using namespace Qt::StringLiterals;

// The smooth picture of a card as SVG, PDF and raster at a device pixel ratio, held
// against the exact picture the hit test reads.
namespace {

const QSize MapSize(850, 750);

QImage exactPicture(const NetworkModel &model, int card, const ViewOptions &view)
{
    QImage image(MapSize, QImage::Format_RGB32);
    RenderCard(image, model, card, view);
    return image;
}

QImage rasterised(const QByteArray &svg)
{
    QSvgRenderer renderer(svg);
    QImage image(MapSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

// Pixels of `smooth` that differ from `exact` by more than `tolerance` in a channel, where
// `exact` is one colour all round (away from every edge: smoothing changes only edges).
int differencesAwayFromEdges(const QImage &exact, const QImage &smooth, int tolerance, QPoint *first = nullptr)
{
    constexpr int around = 3;
    int count = 0;
    for (int y = around; y < exact.height() - around; ++y) {
        for (int x = around; x < exact.width() - around; ++x) {
            const QRgb e = exact.pixel(x, y);
            bool flat = true;
            for (int dy = -around; dy <= around && flat; ++dy)
                for (int dx = -around; dx <= around && flat; ++dx)
                    flat = exact.pixel(x + dx, y + dy) == e;
            if (!flat)
                continue;
            const QRgb s = smooth.pixel(x, y);
            if (std::abs(qRed(e) - qRed(s)) > tolerance || std::abs(qGreen(e) - qGreen(s)) > tolerance
                || std::abs(qBlue(e) - qBlue(s)) > tolerance) {
                if (count++ == 0 && first)
                    *first = QPoint(x, y);
            }
        }
    }
    return count;
}

// The contents of the document's <text> elements, and of its <title>.
QStringList svgTexts(const QByteArray &svg, QString *title = nullptr)
{
    QStringList texts;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"text")
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == u"title" && title)
            *title = xml.readElementText();
    }
    return texts;
}

int pdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(u"/Type\\s*/Page(?![a-zA-Z])"_s);
    return int(QString::fromLatin1(pdf).count(page));
}

QByteArray utf16be(const QString &text)
{
    QByteArray bytes;
    for (QChar c : text) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xFF));
    }
    return bytes;
}

NetworkModel example(const QString &name)
{
    const Result<NetworkModel> read = ReadEgoFile(QStringLiteral(KORVALO_EXAMPLES "/") + name);
    if (!read)
        qFatal("cannot read the example %s", qPrintable(name));
    return read.value();
}

QStringList exampleNames()
{
    return QDir(QStringLiteral(KORVALO_EXAMPLES)).entryList({u"*.ego"_s}, QDir::Files, QDir::Name);
}

} // namespace

class TestVectorExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void svgMatchesTheExactPicture_data();
    void svgMatchesTheExactPicture();
    void smoothPictureAtTheDevicePixelRatio();
    void hiddenNamesLeaveNoNames();
    void pdfHasAPagePerCard();
    void failedWriteKeepsTheOldFile();
};

void TestVectorExport::svgMatchesTheExactPicture_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("card");
    for (const QString &name : exampleNames()) {
        const NetworkModel model = example(name);
        for (int card = 1; card <= model.CardCount(); ++card)
            QTest::addRow("%s card %d", qPrintable(name), card) << name << card;
    }
}

// Same geometry, colours and symbols: away from the edges the smooth picture is the exact
// one. Every label is text.
void TestVectorExport::svgMatchesTheExactPicture()
{
    QFETCH(QString, file);
    QFETCH(int, card);
    const NetworkModel model = example(file);
    ViewOptions view;
    view.ColorSectors1 = true;
    view.ShowEgoCard1 = true;
    const QByteArray svg = CardSvg(model, card, view, MapSize);
    const QImage exact = exactPicture(model, card, view);
    QPoint first;
    const int differences = differencesAwayFromEdges(exact, rasterised(svg), 24, &first);
    QVERIFY2(differences == 0, qPrintable(u"%1 pixels differ, the first at %2,%3"_s.arg(differences)
                                              .arg(first.x()).arg(first.y())));

    const QStringList texts = svgTexts(svg);
    const NetworkCard &c = model.card(card);
    QStringList expected{u"Ego"_s, CardTitle(model, card, false)};
    for (int i = 1; i <= c.NodeCount(); ++i)
        if (!c.Nodes[size_t(i)].Label.trimmed().isEmpty())
            expected << c.Nodes[size_t(i)].Label.trimmed();
    for (int s = 1; s <= c.SectorCount(); ++s)
        if (!c.Sectors[size_t(s)].SectorName.isEmpty())
            expected << c.Sectors[size_t(s)].SectorName;
    for (const QString &text : expected)
        QVERIFY2(texts.contains(text), qPrintable(u"no <text> \"%1\""_s.arg(text)));
}

// Smooth on a map image, at device pixel ratio 1 and 2: the map keeps its layout size, and
// brought back to it the picture is the exact one away from the edges.
void TestVectorExport::smoothPictureAtTheDevicePixelRatio()
{
    const NetworkModel model = example(exampleNames().first());
    ViewOptions view;
    view.ColorSectors1 = true;
    const QImage exact = exactPicture(model, 1, view);
    view.Smooth = true;
    for (int ratio : {1, 2}) {
        QImage sharp(MapSize * ratio, QImage::Format_RGB32);
        sharp.setDevicePixelRatio(ratio);
        RenderCard(sharp, model, 1, view);
        QCOMPARE(sharp.devicePixelRatio(), qreal(ratio));
        const QImage back = sharp.scaled(MapSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QCOMPARE(differencesAwayFromEdges(exact, back, 24), 0);
        // And it is smooth: edges have shades the exact picture does not know.
        QSet<QRgb> exactColours, sharpColours;
        for (int y = 0; y < MapSize.height(); ++y)
            for (int x = 0; x < MapSize.width(); ++x) {
                exactColours.insert(exact.pixel(x, y));
                sharpColours.insert(sharp.pixel(ratio * x, ratio * y));
            }
        QVERIFY(sharpColours.size() > 2 * exactColours.size());
    }
}

void TestVectorExport::hiddenNamesLeaveNoNames()
{
    NetworkModel model = oneCardModel(3);
    AddNode(model, 1, alter(0, 0.5f, 1, u"MH"_s, u"Maria Huber"_s));
    AddNode(model, 1, alter(120, 0.5f, 2, u"JK"_s, u"Jan Kowalski"_s));
    AddNode(model, 1, alter(240, 0.5f, 3, u"PL"_s));
    model.card(1).Nodes[2].Role = u"Jan's boss"_s;
    ViewOptions view;
    view.ShowEgoCard1 = true;
    view.ShowID1 = true;
    view.ShowRoles1 = true;
    view.HideNames = true;
    const QStringList names{u"Anna Berg"_s, u"Maria"_s, u"Jan"_s, u"MH"_s, u"JK"_s, u"PL"_s, u"Wave"_s};

    QString title;
    const QByteArray svg = CardSvg(model, 1, view, MapSize);
    const QStringList texts = svgTexts(svg, &title);
    for (const QString &name : names)
        QVERIFY2(!svg.contains(name.toUtf8()), qPrintable(name));
    for (const QString &number : {u"1"_s, u"2"_s, u"3"_s})
        QVERIFY(texts.contains(number));
    QVERIFY(texts.contains(u"Card 1"_s));
    QCOMPARE(title, u"Card 1"_s);

    // The PDF's text is in its fonts' glyphs; its title is in the open, as UTF-16.
    const QByteArray pdf = CardsPdf(model, {1}, view, MapSize);
    QVERIFY(pdf.startsWith("%PDF"));
    QVERIFY(pdf.contains(utf16be(u"Card 1"_s)));
    for (const QString &name : names) {
        // Two letters are found by chance in the compressed streams.
        if (name.size() > 4)
            QVERIFY2(!pdf.contains(utf16be(name)) && !pdf.contains(name.toLatin1()), qPrintable(name));
    }
    view.HideNames = false;
    QVERIFY(CardsPdf(model, {1}, view, MapSize).contains(utf16be(u"Anna Berg-Wave 1"_s)));
    QVERIFY(svgTexts(CardSvg(model, 1, view, MapSize)).contains(u"[JK] Jan Kowalski (Jan's boss)"_s));
}

void TestVectorExport::pdfHasAPagePerCard()
{
    const NetworkModel model = EgoWithCards(4);
    const ViewOptions view;
    const QByteArray all = CardsPdf(model, AllCards(model), view, MapSize);
    QCOMPARE(pdfPages(all), 4);
    QVERIFY(all.contains("/FontFile2")); // the fonts go with the document
    QCOMPARE(pdfPages(CardsPdf(model, {3}, view, MapSize)), 1);
    QVERIFY(CardsPdf(model, {}, view, MapSize).isEmpty());

    int told = 0;
    bool cancelled = false;
    const QByteArray stopped = CardsPdf(model, AllCards(model), view, MapSize,
                                        [&](int done, int total) { told = done; return done < 2 || total < 2; },
                                        &cancelled);
    QVERIFY(stopped.isEmpty());
    QVERIFY(cancelled);
    QCOMPARE(told, 2);
}

void TestVectorExport::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    const NetworkModel model = EgoWithCards(2);
    const QString path = dir.filePath(u"map.svg"_s);
    QVERIFY(WriteCardSvg(path, model, 1, ViewOptions(), MapSize));
    QVERIFY(QFile(path).size() > 0);
    QVERIFY(!WriteCardSvg(dir.filePath(u"missing/map.svg"_s), model, 1, ViewOptions(), MapSize));

    const QString pdfPath = dir.filePath(u"cards.pdf"_s);
    QFile old(pdfPath);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    const ExportOutcome stopped = WriteCardsPdf(pdfPath, model, AllCards(model), ViewOptions(), MapSize,
                                                [](int, int) { return false; });
    QVERIFY(stopped.cancelled);
    QCOMPARE(QFileInfo(pdfPath).size(), 3);
    const ExportOutcome written = WriteCardsPdf(pdfPath, model, AllCards(model), ViewOptions(), MapSize);
    QVERIFY(written.status);
    QCOMPARE(written.written, QStringList{pdfPath});
    QFile result(pdfPath);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(pdfPages(result.readAll()), 2);
}

QTEST_MAIN(TestVectorExport)
#include "tst_vectorexport.moc"

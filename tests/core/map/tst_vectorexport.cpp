#include "builders.h"
#include "core/egofile/egofile.h"
#include "core/map/render.h"
#include "core/map/vectorexport.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QStringEncoder>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace korvalo;
using namespace Qt::StringLiterals;

// The smooth picture of a card as SVG, PDF and raster at a device pixel ratio, held
// against the exact picture the hit test reads.
namespace {

const QSize MapSize(850, 750);

QImage picture(const NetworkModel &model, int card, const ViewOptions &view, int ratio = 1)
{
    QImage image(MapSize * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    RenderCard(image, model, card, view);
    return image;
}

// Pixels of `smooth` that differ from `exact` by more than 24 in a channel where `exact`
// is one colour all round (away from every edge: smoothing changes only edges, and text
// of another rasteriser may sit a pixel off).
int differencesAwayFromEdges(const QImage &exact, const QImage &smooth)
{
    constexpr int around = 3;
    int count = 0;
    for (int y = around; y < exact.height() - around; ++y)
        for (int x = around; x < exact.width() - around; ++x) {
            const QRgb e = exact.pixel(x, y), s = smooth.pixel(x, y);
            bool flat = true;
            for (int dy = -around; dy <= around && flat; ++dy)
                for (int dx = -around; dx <= around && flat; ++dx)
                    flat = exact.pixel(x + dx, y + dy) == e;
            count += flat && (std::abs(qRed(e) - qRed(s)) > 24 || std::abs(qGreen(e) - qGreen(s)) > 24
                              || std::abs(qBlue(e) - qBlue(s)) > 24);
        }
    return count;
}

// The contents of the document's <text> elements; its <title> into `title`.
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

NetworkModel example(const QString &name)
{
    const Result<NetworkModel> read = ReadEgoFile(QStringLiteral(KORVALO_EXAMPLES "/") + name);
    if (!read)
        qFatal("cannot read the example %s", qPrintable(name));
    return read.value();
}

} // namespace

class TestVectorExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Same geometry, colours and symbols: away from the edges the smooth pictures are the
    // exact one. Every label of the SVG is text.
    void smoothPicturesMatchTheExactOne_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("card");
        for (const QString &name : QDir(QStringLiteral(KORVALO_EXAMPLES)).entryList({u"*.ego"_s}, QDir::Files)) {
            for (int card = 1; card <= example(name).CardCount(); ++card)
                QTest::addRow("%s card %d", qPrintable(name), card) << name << card;
        }
    }
    void smoothPicturesMatchTheExactOne()
    {
        QFETCH(QString, file);
        QFETCH(int, card);
        const NetworkModel model = example(file);
        ViewOptions view;
        view.ColorSectors1 = true;
        view.ShowEgoCard1 = true;
        const QImage exact = picture(model, card, view);
        const QByteArray svg = CardSvg(model, card, view, MapSize);
        QImage drawn(MapSize, QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter painter(&drawn);
        QSvgRenderer(svg).render(&painter);
        painter.end();
        QCOMPARE(differencesAwayFromEdges(exact, drawn), 0);

        const QStringList texts = svgTexts(svg);
        const NetworkCard &c = model.card(card);
        QStringList expected{u"Ego"_s, CardTitle(model, card, false)};
        for (int i = 1; i <= c.NodeCount(); ++i)
            expected << c.Nodes[size_t(i)].Label.trimmed();
        for (int s = 1; s <= c.SectorCount(); ++s)
            expected << c.Sectors[size_t(s)].SectorName;
        for (const QString &text : expected)
            QVERIFY2(text.isEmpty() || texts.contains(text), qPrintable(u"no <text> \"%1\""_s.arg(text)));

        // On a map image at device pixel ratio 1 and 2 the map keeps its layout size:
        // brought back to it, the picture is the exact one; and it has shades on its edges.
        view.Smooth = true;
        for (int ratio : {1, 2}) {
            const QImage sharp = picture(model, card, view, ratio);
            QCOMPARE(sharp.devicePixelRatio(), qreal(ratio));
            QCOMPARE(differencesAwayFromEdges(exact, sharp.scaled(MapSize, Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation)), 0);
            QSet<QRgb> exactColours, sharpColours;
            for (int y = 0; y < MapSize.height(); ++y)
                for (int x = 0; x < MapSize.width(); ++x) {
                    exactColours.insert(exact.pixel(x, y));
                    sharpColours.insert(sharp.pixel(ratio * x, ratio * y));
                }
            QVERIFY(sharpColours.size() > 2 * exactColours.size());
        }
    }

    void hiddenNamesLeaveNoNames()
    {
        NetworkModel model = oneCardModel(3);
        AddNode(model, 1, alter(0, 0.5f, 1, u"MH"_s, u"Maria Huber"_s));
        AddNode(model, 1, alter(120, 0.5f, 2, u"JK"_s, u"Jan Kowalski"_s));
        model.card(1).Nodes[2].Role = u"Jan's boss"_s;
        ViewOptions view;
        view.ShowEgoCard1 = view.ShowID1 = view.ShowRoles1 = view.HideNames = true;
        QString title;
        const QByteArray svg = CardSvg(model, 1, view, MapSize);
        const QStringList texts = svgTexts(svg, &title);
        for (const char *name : {"Anna Berg", "Maria", "Jan", "MH", "JK", "Wave"})
            QVERIFY2(!svg.contains(name), name);
        QVERIFY(texts.contains(u"1"_s) && texts.contains(u"2"_s) && texts.contains(u"Card 1"_s));
        QCOMPARE(title, u"Card 1"_s);

        // The PDF's text is in its fonts' glyphs; its title is in the open, as UTF-16.
        auto utf16 = [](const QString &text) { return QByteArray(QStringEncoder(QStringEncoder::Utf16BE)(text)); };
        const QByteArray pdf = CardsPdf(model, {1}, view, MapSize);
        QVERIFY(pdf.contains(utf16(u"Card 1"_s)));
        for (const QString &name : {u"Anna Berg"_s, u"Maria Huber"_s, u"Jan Kowalski"_s, u"Jan's boss"_s})
            QVERIFY2(!pdf.contains(utf16(name)) && !pdf.contains(name.toLatin1()), qPrintable(name));
        view.HideNames = false;
        QVERIFY(CardsPdf(model, {1}, view, MapSize).contains(utf16(u"Anna Berg-Wave 1"_s)));
        QVERIFY(svgTexts(CardSvg(model, 1, view, MapSize)).contains(u"[JK] Jan Kowalski (Jan's boss)"_s));
    }

    // A page per card; a stopped export writes nothing and leaves the file that was there.
    void pdfHasAPagePerCard()
    {
        const NetworkModel model = EgoWithCards(4);
        const QByteArray all = CardsPdf(model, AllCards(model), ViewOptions(), MapSize);
        QCOMPARE(pdfPages(all), 4);
        QVERIFY(all.contains("/FontFile2")); // the fonts go with the document
        QCOMPARE(pdfPages(CardsPdf(model, {3}, ViewOptions(), MapSize)), 1);

        QTemporaryDir dir;
        const QString path = dir.filePath(u"cards.pdf"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        int told = 0;
        const ExportOutcome stopped = WriteCardsPdf(path, model, AllCards(model), ViewOptions(), MapSize,
                                                    [&](int done, int) { told = done; return done < 2; });
        QVERIFY(stopped.cancelled);
        QCOMPARE(told, 2);
        QCOMPARE(QFileInfo(path).size(), 3);
    }
};

QTEST_MAIN(TestVectorExport)
#include "tst_vectorexport.moc"

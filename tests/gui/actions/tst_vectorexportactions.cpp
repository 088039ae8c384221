#include "shellfixture.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace korvalo;
using namespace Qt::StringLiterals;

// File > Export > "SVG Current Card...", "PDF Current Card...", "PDF All Cards...".
namespace {

const QString Example = QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego");

struct ExportShell : Shell
{
    QTemporaryDir dir;

    ExportShell()
    {
        asker->fileNames.push_back(Example);
        trigger(u"Open1"_s);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void exportAs(const QString &item, const QString &name, std::optional<bool> hideNames = {})
    {
        asker->fileNames.push_back(path(name));
        if (hideNames)
            asker->options.push_back(*hideNames);
        trigger(item);
    }
};

int pdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(u"/Type\\s*/Page(?![a-zA-Z])"_s);
    return int(QString::fromLatin1(pdf).count(page));
}

} // namespace

class TestVectorExportActions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void svgOfTheCurrentCardHidesNamesWhenAsked()
    {
        ExportShell s;
        s.switchToCard(2);
        s.exportAs(u"SVGCurrentCard1"_s, u"card.svg"_s);
        QCOMPARE(s.asker->asked.last(), u"save: SVG (*.svg) [Hide names]"_s);
        const QByteArray named = s.read(u"card.svg"_s);
        const QString label = s.model.card(2).Nodes[1].Label;
        QVERIFY(named.contains(('>' + label + '<').toUtf8()));

        // Checked once, the box stays checked for the next export of the session.
        s.exportAs(u"SVGCurrentCard1"_s, u"hidden.svg"_s, true);
        s.exportAs(u"PDFCurrentCard1"_s, u"hidden.pdf"_s);
        const QByteArray hidden = s.read(u"hidden.svg"_s);
        QVERIFY(!hidden.isEmpty());
        QVERIFY(!hidden.contains(label.toUtf8()));
        QVERIFY(!hidden.contains("Lindqvist"));
        QVERIFY(hidden.contains(">1<"));
        QCOMPARE(pdfPages(s.read(u"hidden.pdf"_s)), 1);
        QVERIFY(s.asker->unexpected.isEmpty());
    }

    void pdfOfAllCardsHasAPageEach()
    {
        ExportShell s;
        s.exportAs(u"PDFAllCards1"_s, u"all.pdf"_s, false);
        QCOMPARE(pdfPages(s.read(u"all.pdf"_s)), s.model.CardCount());
        QVERIFY(s.asker->messages().isEmpty());
    }

    void nothingToExportIsSaid()
    {
        Shell s;
        s.trigger(u"PDFAllCards1"_s);
        s.trigger(u"SVGCurrentCard1"_s);
        QCOMPARE(s.asker->messages(), QStringList(2, u"message: There are no network cards to export."_s));
        QCOMPARE(s.asker->asked.size(), 2);
    }

    void failedWriteIsReported()
    {
        ExportShell s;
        s.exportAs(u"PDFCurrentCard1"_s, u"missing/card.pdf"_s);
        QCOMPARE(s.asker->messages().size(), 1);
        QVERIFY2(s.asker->messages().first().contains(u"card.pdf"_s), qPrintable(s.asker->messages().first()));
    }
};

QTEST_MAIN(TestVectorExportActions)
#include "tst_vectorexportactions.moc"

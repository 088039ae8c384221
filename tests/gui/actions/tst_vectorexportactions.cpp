#include "shellfixture.h"

#include <QRegularExpression>
#include <QTemporaryDir>

using namespace korvalo;
using namespace Qt::StringLiterals;

// File > Export > "SVG Current Card...", "PDF Current Card...", "PDF All Cards...".
class TestVectorExportActions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exportsHideNamesWhenAskedAndReportFailures()
    {
        Shell s;
        s.trigger(u"PDFAllCards1"_s); // nothing read yet
        QCOMPARE(s.asker->messages(), QStringList{u"message: There are no network cards to export."_s});

        QTemporaryDir dir;
        auto exportAs = [&](const QString &item, const QString &name, std::optional<bool> hideNames = {}) {
            s.asker->fileNames.push_back(dir.filePath(name));
            if (hideNames)
                s.asker->options.push_back(*hideNames);
            s.trigger(item);
            QFile file(dir.filePath(name));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        s.asker->fileNames.push_back(QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego"));
        s.trigger(u"Open1"_s);
        s.switchToCard(2);
        const QString label = s.model.card(2).Nodes[1].Label;
        QVERIFY(exportAs(u"SVGCurrentCard1"_s, u"card.svg"_s).contains(('>' + label + '<').toUtf8()));
        QCOMPARE(s.asker->asked.last(), u"save: SVG (*.svg) [Hide names]"_s);

        // Checked once, the box stays checked for the next export of the session.
        const QByteArray hidden = exportAs(u"SVGCurrentCard1"_s, u"hidden.svg"_s, true);
        QVERIFY(hidden.contains(">1<"));
        QVERIFY(!hidden.contains(label.toUtf8()) && !hidden.contains("Lindqvist"));
        static const QRegularExpression page(u"/Type\\s*/Page(?![a-zA-Z])"_s);
        const QByteArray one = exportAs(u"PDFCurrentCard1"_s, u"hidden.pdf"_s);
        QCOMPARE(QString::fromLatin1(one).count(page), 1);
        QVERIFY(!one.contains("Lindqvist"));
        const QByteArray all = exportAs(u"PDFAllCards1"_s, u"all.pdf"_s, false);
        QCOMPARE(QString::fromLatin1(all).count(page), s.model.CardCount());
        QCOMPARE(s.asker->messages().size(), 1);

        exportAs(u"PDFCurrentCard1"_s, u"missing/card.pdf"_s);
        QCOMPARE(s.asker->messages().size(), 2);
        QVERIFY2(s.asker->messages().last().contains(u"card.pdf"_s), qPrintable(s.asker->messages().last()));
        QVERIFY(s.asker->unexpected.isEmpty());
    }
};

QTEST_MAIN(TestVectorExportActions)
#include "tst_vectorexportactions.moc"

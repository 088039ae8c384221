#include "shellfixture.h"

#include "app/exportcommands.h"
#include "app/jpgviewer.h"
#include "app/mapwidget.h"
#include "app/cards.h"
#include "egofile/egofile.h"

#include <QDir>
#include <QImageReader>
#include <QMenu>
#include <QProgressDialog>
#include <QTimer>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// A decoded picture at quality 100 stays within a few levels of what was drawn.
int maxChannelDifference(const QImage &a, const QImage &b)
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

QImage decode(const QString &path)
{
    return QImageReader(path, "jpeg").read().convertToFormat(QImage::Format_RGB32);
}

struct ExportShell : Shell
{
    QTemporaryDir dir;

    ExportShell()
    {
        window.show();
        asker->fileNames.push_back(QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego"));
        trigger(u"Open1"_s);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    // Chooses `name` in the save dialog of the export item `item`.
    void exportAs(const QString &item, const QString &name)
    {
        asker->fileNames.push_back(path(name));
        trigger(item);
    }
    QImage map() const { return window.mapWidget()->image(); }
};

} // namespace

class TestExportCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void currentCardAsOnScreen();
    void allCardsAndStripSwitchCards();
    void fixExportSizeResizesWindowFirst();
    void withoutCardsNothingIsAsked();
    void tooWideStripOffersOneFilePerCard();
    void failedWriteIsReported();
    void longExportCanBeCancelled();
    void viewerReportsClickedPosition();
};

void TestExportCommands::currentCardAsOnScreen()
{
    ExportShell s;
    QVERIFY(s.child<QMenu>(u"Export1"_s)->menuAction()->isEnabled());
    for (const QString &item : {u"jpg2"_s, u"JPGAllCards1"_s, u"AllCardsin1JPG1"_s, u"FixExportSize1"_s, u"jpg1"_s})
        QVERIFY2(s.action(item)->isEnabled(), qPrintable(item));
    QVERIFY(!s.child<QMenu>(u"ImportGraphic1"_s)->menuAction()->isVisible());

    s.trigger(u"ShowLabels1"_s); // labels off: the file shows the current view
    s.exportAs(u"jpg2"_s, u"map"_s);
    QCOMPARE(s.files(), QStringList{u"map.jpg"_s});
    QCOMPARE(s.asker->asked, (QStringList{u"open: *.ego (*.ego)"_s, u"save: JPEG (*.jpg)"_s}));
    const QImage picture = decode(s.path(u"map.jpg"_s));
    QCOMPARE(picture.size(), s.window.mapWidget()->size());
    const int worst = maxChannelDifference(picture, s.map());
    QVERIFY2(worst >= 0 && worst <= 8, qPrintable(QString::number(worst)));
    QCOMPARE(s.model.CurrentCard, 1);

    // Cancel in the save dialog writes nothing.
    s.exportAs(u"jpg2"_s, QString());
    QCOMPARE(s.files(), QStringList{u"map.jpg"_s});
}

void TestExportCommands::allCardsAndStripSwitchCards()
{
    ExportShell s;
    s.exportAs(u"JPGAllCards1"_s, u"ego.jpg"_s);
    QCOMPARE(s.files(), (QStringList{u"ego1.jpg"_s, u"ego2.jpg"_s, u"ego3.jpg"_s}));
    // The last card is current, and the map and the card list show it.
    QCOMPARE(s.model.CurrentCard, 3);
    QCOMPARE(s.child<QComboBox>(u"CardCombo"_s)->currentIndex(), 3);
    QVERIFY(maxChannelDifference(decode(s.path(u"ego3.jpg"_s)), s.map()) <= 8);

    s.child<QComboBox>(u"CardCombo"_s)->setCurrentIndex(1);
    s.exportAs(u"AllCardsin1JPG1"_s, u"strip.JPG"_s);
    const QImage strip = decode(s.path(u"strip.JPG.jpg"_s));
    const QSize card = s.window.mapWidget()->size();
    QCOMPARE(strip.size(), QSize(3 * card.width(), card.height()));
    QVERIFY(maxChannelDifference(strip.copy(QRect(QPoint(2 * card.width(), 0), card)), s.map()) <= 8);
    QCOMPARE(s.model.CurrentCard, 3);
    QVERIFY(s.asker->messages().isEmpty());
}

void TestExportCommands::fixExportSizeResizesWindowFirst()
{
    ExportShell s;
    s.window.resize(700, 560);
    QVERIFY(!s.action(u"FixExportSize1"_s)->isChecked());
    s.exportAs(u"jpg2"_s, u"small.jpg"_s);
    QCOMPARE(s.window.size(), QSize(700, 560));

    s.trigger(u"FixExportSize1"_s);
    QVERIFY(s.action(u"FixExportSize1"_s)->isChecked());
    s.exportAs(u"jpg2"_s, u"fixed.jpg"_s);
    QCOMPARE(s.window.frameGeometry().size(), QSize(850, 750));
    const QImage picture = decode(s.path(u"fixed.jpg"_s));
    QCOMPARE(picture.size(), s.window.mapWidget()->size());
    QVERIFY(picture.width() > decode(s.path(u"small.jpg"_s)).width());
}

void TestExportCommands::withoutCardsNothingIsAsked()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    s.trigger(u"JPGAllCards1"_s);
    s.trigger(u"AllCardsin1JPG1"_s);
    QCOMPARE(s.asker->asked, (QStringList{u"message: There are no network cards to export."_s,
                                          u"message: There are no network cards to export."_s}));
}

void TestExportCommands::tooWideStripOffersOneFilePerCard()
{
    ExportShell s;
    // Three cards of a map wider than a third of JPEG's limit.
    s.window.resize(22400, 300);
    QVERIFY(s.window.mapWidget()->width() * 3 > 65500);
    s.asker->answers.push_back(Asker::Answer::No);
    s.exportAs(u"AllCardsin1JPG1"_s, u"wide.jpg"_s);
    QVERIFY(s.files().isEmpty());
    QCOMPARE(s.asker->asked.size(), 3);
    QVERIFY2(s.asker->asked[2].startsWith(u"yesNo: 3 cards side by side would make a picture"_s), qPrintable(s.asker->asked[2]));
    QVERIFY(s.asker->asked[2].contains(u"wide1.jpg, wide2.jpg"_s));

    s.asker->answers.push_back(Asker::Answer::Yes);
    s.exportAs(u"AllCardsin1JPG1"_s, u"wide.jpg"_s);
    QCOMPARE(s.files(), (QStringList{u"wide1.jpg"_s, u"wide2.jpg"_s, u"wide3.jpg"_s}));
    QVERIFY(s.asker->unexpected.isEmpty());
}

void TestExportCommands::failedWriteIsReported()
{
    ExportShell s;
    QVERIFY(QDir(s.dir.path()).mkdir(u"e2.jpg"_s));
    s.exportAs(u"JPGAllCards1"_s, u"e.jpg"_s);
    QCOMPARE(s.files(), QStringList{u"e1.jpg"_s});
    QCOMPARE(s.asker->messages().size(), 1);
    const QString message = s.asker->messages().first();
    QVERIFY2(message.startsWith(u"message: Cannot save \"e2.jpg\": a folder of that name exists."_s), qPrintable(message));
    QVERIFY2(message.endsWith(u"1 of 3 pictures were written (e1.jpg)."_s), qPrintable(message));
    QCOMPARE(s.model.CurrentCard, 2);
}

void TestExportCommands::longExportCanBeCancelled()
{
    QTemporaryDir dir;
    const QString big = dir.filePath(u"hundred.ego"_s);
    {
        NetworkModel model;
        QVERIFY(ReadEgoFile(model, QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego"), false).ok());
        while (model.CardCount() < MaxCards)
            QVERIFY(DuplicateCard(model, model.CardCount() - 2).ok());
        QVERIFY(WriteEgoFile(model, big).ok());
    }
    Shell s;
    s.window.show();
    s.window.resize(1200, 900);
    s.asker->fileNames.push_back(big);
    s.trigger(u"Open1"_s);
    QCOMPARE(s.model.CardCount(), MaxCards);

    // Press Cancel as soon as the progress dialog shows (after half a second).
    bool seen = false;
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
        auto *progress = s.window.findChild<QProgressDialog *>(u"ExportProgress"_s);
        if (progress && progress->isVisible() && !seen) {
            seen = true;
            progress->cancel();
        }
    });
    press.start(20);
    s.asker->fileNames.push_back(dir.filePath(u"c.jpg"_s));
    s.trigger(u"JPGAllCards1"_s);
    QVERIFY(seen);
    const QStringList written = QDir(dir.path()).entryList({u"*.jpg"_s}, QDir::Files, QDir::Name);
    QVERIFY2(written.size() > 0 && written.size() < MaxCards, qPrintable(QString::number(written.size())));
    QCOMPARE(s.asker->messages(),
             QStringList{u"message: The export was stopped. %1 of 100 pictures were written (c1.jpg to c%1.jpg)."_s
                             .arg(written.size())});
    QCOMPARE(s.model.CurrentCard, written.size());
}

void TestExportCommands::viewerReportsClickedPosition()
{
    ExportShell s;
    auto *viewer = s.window.findChild<JpgViewer *>(u"TFormJpg"_s);
    QVERIFY(viewer && viewer->isHidden());

    // Not a JPEG: reported, the window stays hidden.
    s.asker->fileNames.push_back(QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego"));
    s.trigger(u"jpg1"_s);
    QVERIFY(viewer->isHidden());
    QVERIFY2(s.asker->asked.last().startsWith(u"message: Cannot read \"lindqvist.ego\""_s), qPrintable(s.asker->asked.last()));

    s.exportAs(u"jpg2"_s, u"card.jpg"_s);
    s.asker->fileNames.push_back(s.path(u"card.jpg"_s));
    s.trigger(u"jpg1"_s);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->windowTitle(), u"Import JPG"_s);
    QCOMPARE(viewer->pictureControl()->picture().size(), s.window.mapWidget()->size());
    QTest::mouseRelease(viewer->pictureControl(), Qt::LeftButton, {}, QPoint(315, 207));
    QCOMPARE(s.asker->asked.last(), u"message: 315 207"_s);
    QCOMPARE(s.asker->asked.filter(u"open: "_s).last(), u"open: JPEG (*.jpg)"_s);
}

QTEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"

#include "shellfixture.h"

#include "core/model/cards.h"
#include "gui/windows/jpgviewer.h"
#include "gui/map/mapwidget.h"
#include "core/egofile/egofile.h"

#include <QDir>
#include <QImageReader>
#include <QMenu>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

using namespace korvalo;

using namespace Qt::StringLiterals;

namespace {

const QString Example = QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego");

// Whether a decoded quality-100 picture is what the map shows, within a few levels.
bool sameWithinJpeg(const QImage &file, const QImage &map)
{
    if (file.size() != map.size())
        return false;
    for (int y = 0; y < map.height(); ++y)
        for (int x = 0; x < map.width(); ++x) {
            const QRgb p = file.pixel(x, y), q = map.pixel(x, y);
            if (std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))}) > 8)
                return false;
        }
    return true;
}

QImage decode(const QString &path)
{
    return QImageReader(path, "jpeg").read().convertToFormat(QImage::Format_RGB32);
}

// The main window on screen with an ego read; pictures go into a fresh folder.
struct ExportShell : Shell
{
    QTemporaryDir dir;

    explicit ExportShell(const QString &ego = Example)
    {
        window.show();
        asker->fileNames.push_back(ego);
        trigger(u"Open1"_s);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
    void exportAs(const QString &item, const QString &name)
    {
        asker->fileNames.push_back(path(name));
        trigger(item);
    }
    // What the map shows (smooth or not): the pictures follow it.
    QImage map() const { return window.mapWidget()->shownImage(); }
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
    void allCardsAskOnceAboutExistingPictures();
    void tooWideStripOffersOneFilePerCard();
    void failedWriteIsReported();
    void longExportCanBeCancelled();
    void viewerReportsClickedPosition();
};

void TestExportCommands::currentCardAsOnScreen()
{
    ExportShell s;
    QVERIFY(s.child<QMenu>(u"Export1"_s)->menuAction()->isEnabled());
    QVERIFY(!s.child<QMenu>(u"ImportGraphic1"_s)->menuAction()->isVisible());
    s.trigger(u"ShowLabels1"_s); // the file shows the current view
    s.exportAs(u"jpg2"_s, u"map"_s);
    QCOMPARE(s.files(), QStringList{u"map.jpg"_s});
    QCOMPARE(s.asker->asked.last(), u"save: JPEG (*.jpg)"_s);
    QVERIFY(sameWithinJpeg(decode(s.path(u"map.jpg"_s)), s.map()));
    QCOMPARE(s.model.CurrentCard, 1);
}

void TestExportCommands::allCardsAndStripSwitchCards()
{
    ExportShell s;
    s.exportAs(u"JPGAllCards1"_s, u"ego.jpg"_s);
    QCOMPARE(s.files(), (QStringList{u"ego1.jpg"_s, u"ego2.jpg"_s, u"ego3.jpg"_s}));
    // The last card is current, and the map and the card list show it.
    QCOMPARE(s.child<QComboBox>(u"CardCombo"_s)->currentIndex(), 3);
    QVERIFY(sameWithinJpeg(decode(s.path(u"ego3.jpg"_s)), s.map()));

    s.child<QComboBox>(u"CardCombo"_s)->setCurrentIndex(1);
    s.exportAs(u"AllCardsin1JPG1"_s, u"strip.JPG"_s);
    const QImage strip = decode(s.path(u"strip.JPG.jpg"_s));
    const QSize card = s.window.mapWidget()->size();
    QCOMPARE(strip.size(), QSize(3 * card.width(), card.height()));
    QVERIFY(sameWithinJpeg(strip.copy(QRect(QPoint(2 * card.width(), 0), card)), s.map()));
    QCOMPARE(s.model.CurrentCard, 3);
    QVERIFY(s.asker->messages().isEmpty());
}

void TestExportCommands::fixExportSizeResizesWindowFirst()
{
    ExportShell s;
    s.window.resize(700, 560);
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

void TestExportCommands::allCardsAskOnceAboutExistingPictures()
{
    ExportShell s;
    QFile old(s.path(u"ego2.jpg"_s));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    s.asker->answers.push_back(Asker::Answer::No);
    s.exportAs(u"JPGAllCards1"_s, u"ego.jpg"_s);
    QCOMPARE(s.asker->asked.filter(u"yesNo"_s), QStringList{u"yesNo: \"ego2.jpg\" already exists. Do you want to replace it?"_s});
    QCOMPARE(s.files(), QStringList{u"ego2.jpg"_s});
    QCOMPARE(QFileInfo(s.path(u"ego2.jpg"_s)).size(), 3);

    s.asker->asked.clear();
    s.asker->answers.push_back(Asker::Answer::Yes);
    s.exportAs(u"JPGAllCards1"_s, u"ego.jpg"_s);
    QCOMPARE(s.files(), (QStringList{u"ego1.jpg"_s, u"ego2.jpg"_s, u"ego3.jpg"_s}));
    QVERIFY(QFileInfo(s.path(u"ego2.jpg"_s)).size() > 3);
    s.asker->answers.push_back(Asker::Answer::Yes);
    s.exportAs(u"JPGAllCards1"_s, u"ego.jpg"_s);
    QCOMPARE(s.asker->asked.filter(u"yesNo"_s),
             (QStringList{u"yesNo: \"ego2.jpg\" already exists. Do you want to replace it?"_s,
                          u"yesNo: 3 of the 3 pictures already exist (ego1.jpg, ego2.jpg, ego3.jpg). Do you want to replace them?"_s}));
    QVERIFY(s.asker->unexpected.isEmpty());
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
    s.window.resize(22400, 300); // three maps wider than JPEG allows
    s.asker->answers.push_back(Asker::Answer::Yes);
    s.exportAs(u"AllCardsin1JPG1"_s, u"wide.jpg"_s);
    const QString question = s.asker->asked.last();
    QVERIFY2(question.startsWith(u"yesNo: 3 cards side by side would make a picture"_s)
                 && question.contains(u"wide1.jpg, wide2.jpg"_s),
             qPrintable(question));
    QCOMPARE(s.files(), (QStringList{u"wide1.jpg"_s, u"wide2.jpg"_s, u"wide3.jpg"_s}));
}

void TestExportCommands::failedWriteIsReported()
{
    ExportShell s;
    QVERIFY(QDir(s.dir.path()).mkdir(u"e2.jpg"_s));
    s.exportAs(u"JPGAllCards1"_s, u"e.jpg"_s);
    QCOMPARE(s.files(), QStringList{u"e1.jpg"_s});
    QCOMPARE(s.asker->messages(), QStringList{u"message: Cannot save \"e2.jpg\": a folder of that name exists.\n"
                                              "1 of 3 pictures were written (e1.jpg)."_s});
    QCOMPARE(s.model.CurrentCard, 2);
}

void TestExportCommands::longExportCanBeCancelled()
{
    QTemporaryDir dir;
    const QString hundred = dir.filePath(u"hundred.ego"_s);
    {
        Result<NetworkModel> read = ReadEgoFile(Example);
        QVERIFY(read.ok());
        NetworkModel &model = read.value();
        while (model.CardCount() < MaxCards)
            QVERIFY(DuplicateCard(model, model.CardCount() - 2).ok());
        QVERIFY(WriteEgoFile(model, hundred).ok());
    }
    ExportShell s(hundred);
    QCOMPARE(s.model.CardCount(), MaxCards);
    // Large pictures, so that even a fast machine takes long enough for the progress to show.
    s.window.resize(2400, 2000);
    QTRY_VERIFY(s.map().width() > 2000);

    // Cancel is pressed as soon as the progress dialog shows.
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
        auto *progress = s.window.findChild<QProgressDialog *>(u"ExportProgress"_s);
        if (progress && progress->isVisible() && !progress->wasCanceled())
            progress->cancel();
    });
    press.start(20);
    s.exportAs(u"JPGAllCards1"_s, u"c.jpg"_s);
    const qsizetype written = s.files().size();
    QVERIFY2(written > 0 && written < MaxCards, qPrintable(QString::number(written)));
    QCOMPARE(s.asker->messages(),
             QStringList{u"message: The export was stopped. %1 of 100 pictures were written (c1.jpg to c%1.jpg)."_s.arg(written)});
}

void TestExportCommands::viewerReportsClickedPosition()
{
    ExportShell s;
    auto *viewer = s.window.findChild<JpgViewer *>(u"TFormJpg"_s);
    QVERIFY(viewer && viewer->isHidden());
    s.exportAs(u"jpg2"_s, u"card.jpg"_s);

    s.asker->fileNames.push_back(Example); // not a picture: reported, nothing shown
    s.trigger(u"jpg1"_s);
    QVERIFY(viewer->isHidden());
    QVERIFY2(s.asker->asked.last().startsWith(u"message: Cannot read \"lindqvist.ego\""_s), qPrintable(s.asker->asked.last()));

    s.asker->fileNames.push_back(s.path(u"card.jpg"_s));
    s.trigger(u"jpg1"_s);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->windowTitle(), u"Import JPG"_s);
    QCOMPARE(viewer->pictureControl()->picture().size(), s.window.mapWidget()->size());
    QTest::mouseRelease(viewer->pictureControl(), Qt::LeftButton, {}, QPoint(315, 207));
    QCOMPARE(s.asker->asked.last(), u"message: 315 207"_s);
}

QTEST_MAIN(TestExportCommands)
#include "tst_exportactions.moc"

#include "gui/map/mapwidget.h"
#include "gui/windows/manualwindow.h"
#include "shellfixture.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>

using namespace korvalo;

using namespace Qt::StringLiterals;

class TestManualWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void f1OpensTheManual();
    void f1InADialogOpensItsPage();
    void searchFindsAWord();
    void linksAndPicturesResolve();
    void quotedMenuPathsExist();

private:
    static ManualWindow *manualOf(Shell &s) { return s.window.findChild<ManualWindow *>(u"ManualWindow"_s); }
    static QString headingAtCursor(ManualWindow *manual)
    {
        return manual->findChild<QTextBrowser *>(u"ManualPage"_s)->textCursor().block().text();
    }
};

void TestManualWindow::f1OpensTheManual()
{
    Shell s;
    QVERIFY(!manualOf(s));
    QTest::keyClick(s.window.mapWidget(), Qt::Key_F1);
    ManualWindow *manual = manualOf(s);
    QVERIFY(manual);
    QVERIFY(manual->isVisible());
    QCOMPARE(manual->currentPage(), u"index"_s);
    // The contents list every page by the title the page gives itself.
    auto *contents = manual->findChild<QListWidget *>(u"Contents"_s);
    QCOMPARE(contents->count(), ManualWindow::pages().size());
    for (int row = 0; row < contents->count(); ++row) {
        const QString page = ManualWindow::pages().at(row);
        QVERIFY2(!ManualWindow::pageText(page).isEmpty(), qPrintable(page));
        QVERIFY2(contents->item(row)->text() != page, qPrintable(page + u" has no title"_s));
    }
    // Choosing a title shows its page.
    contents->setCurrentRow(2);
    Q_EMIT contents->itemClicked(contents->item(2));
    QCOMPARE(manual->currentPage(), ManualWindow::pages().at(2));
    // Help > Korvalo Manual goes back to the first page.
    s.trigger(u"KorvaloManual1"_s);
    QCOMPARE(manual->currentPage(), u"index"_s);
}

void TestManualWindow::f1InADialogOpensItsPage()
{
    Shell s;
    s.window.show();
    QWidget *egoDialog = s.window.egoDialog();
    egoDialog->show();
    QTest::keyClick(s.child<QLineEdit>(u"name"_s, egoDialog), Qt::Key_F1);
    ManualWindow *manual = manualOf(s);
    QVERIFY(manual && manual->isVisible());
    QCOMPARE(manual->currentPage(), u"interview"_s);
    QCOMPARE(headingAtCursor(manual), u"The ego"_s);
    // Every window of the program that the manual explains finds its heading there.
    const QList<QWidget *> windows = s.window.findChildren<QWidget *>();
    int explained = 0;
    for (QWidget *w : windows) {
        if (!w->isWindow() || w == manual || w->objectName().isEmpty())
            continue;
        const ManualPlace place = ManualPlaceFor(w->objectName());
        QVERIFY2(manual->showPlace(place), qPrintable(w->objectName() + u" -> "_s + place.page + u'#' + place.heading));
        if (!place.heading.isEmpty()) {
            QCOMPARE(headingAtCursor(manual).compare(place.heading, Qt::CaseInsensitive), 0);
            ++explained;
        }
    }
    QVERIFY(explained >= 5);
    QVERIFY(!manual->showPlace({u"interview"_s, u"No such heading"_s}));
}

void TestManualWindow::searchFindsAWord()
{
    Shell s;
    s.trigger(u"KorvaloManual1"_s);
    ManualWindow *manual = manualOf(s);
    auto *results = manual->findChild<QListWidget *>(u"SearchResults"_s);
    // Typed into the search field, as a reader would.
    auto *field = s.child<QLineEdit>(u"SearchField"_s, manual);
    field->setText(u"CLOCKWISE"_s);
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(results->count() >= 1);
    QCOMPARE(manual->currentPage(), results->item(0)->data(Qt::UserRole).toString());
    const QString selected = manual->findChild<QTextBrowser *>(u"ManualPage"_s)->textCursor().selectedText();
    QCOMPARE(selected.toLower(), u"clockwise"_s);
    // The map page, where angles are explained, holds the word most often.
    QCOMPARE(manual->currentPage(), u"map"_s);

    QCOMPARE(manual->search(u"Zyxwvut"_s), 0);
    QCOMPARE(results->count(), 1);
    QVERIFY(!(results->item(0)->flags() & Qt::ItemIsSelectable));
}

void TestManualWindow::linksAndPicturesResolve()
{
    // Every link between pages leads to a page, and every picture (drawn by korvalo-cli
    // at build time) is in the program.
    static const QRegularExpression link(u"(!?)\\[[^\\]]*\\]\\(([^)#]+)(#[^)]*)?\\)"_s);
    int pictures = 0;
    for (const QString &page : ManualWindow::pages()) {
        auto it = link.globalMatch(ManualWindow::pageText(page));
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            const QString target = m.captured(2);
            if (target.startsWith(u"http"_s))
                continue;
            if (m.captured(1) == u"!") {
                const QImage image(u":/manual/"_s + target);
                QVERIFY2(!image.isNull(), qPrintable(page + u": "_s + target));
                QVERIFY(image.width() > 100);
                ++pictures;
            } else {
                QVERIFY2(target.endsWith(u".md"_s), qPrintable(page + u": "_s + target));
                QVERIFY2(!ManualWindow::pageText(target.chopped(3)).isEmpty(), qPrintable(page + u": "_s + target));
            }
        }
    }
    QVERIFY(pictures >= 3);
}

void TestManualWindow::quotedMenuPathsExist()
{
    // The manual writes a menu path in bold, "**File > Export > JPG Current Card**"; each
    // must lead through the menus as built to an item with exactly those captions.
    Shell s;
    static const QRegularExpression bold(u"\\*\\*(.+?)\\*\\*(?!\\*)"_s);
    int paths = 0;
    QStringList missing;
    for (const QString &page : ManualWindow::pages()) {
        const QString text = ManualWindow::pageText(page).simplified();
        auto it = bold.globalMatch(text);
        while (it.hasNext()) {
            const QString path = it.next().captured(1);
            if (!path.contains(u" > "_s))
                continue;
            ++paths;
            QList<QAction *> items = s.window.menuBar()->actions();
            QAction *found = nullptr;
            for (const QString &caption : path.split(u" > "_s)) {
                found = nullptr;
                for (QAction *a : items) {
                    if (a->text().remove(u'&') == caption && a->isVisible())
                        found = a;
                }
                if (!found)
                    break;
                items = found->menu() ? found->menu()->actions() : QList<QAction *>();
            }
            if (!found) // a submenu may be quoted too ("File > Recent Files")
                missing << page + u": "_s + path;
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u'\n')));
    QVERIFY(paths >= 80);
}

QTEST_MAIN(TestManualWindow)
#include "tst_manualwindow.moc"

#include "shellfixture.h"

#include "builders.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"
#include "gui/windows/infowindows.h"
#include "gui/windows/jpgviewer.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

using namespace korvalo;
using namespace Qt::StringLiterals;

// Where windows open. Also run on a virtual X display under a window manager (the _x11
// variant), where frames and placement are real.
class TestWindowPlaces : public QObject
{
    Q_OBJECT
    QTemporaryDir m_settings;

    static QWidget *open(Shell &s, const QString &item, QWidget *window)
    {
        if (!s.model.hasCard(1))
            s.load(EgoWithCards(1)); // the node table shows a card
        s.trigger(item);
        if (!QTest::qWaitForWindowExposed(window))
            qFatal("the window did not appear");
        return window;
    }

    // The top-level windows from the bottom of the window manager's stack to its top.
    static QList<WId> stacking()
    {
        QProcess xprop;
        xprop.start(u"xprop"_s, {u"-root"_s, u"_NET_CLIENT_LIST_STACKING"_s});
        xprop.waitForFinished(10000);
        QList<WId> ids;
        const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
        for (const QString &word : out.mid(out.indexOf(u'#') + 1).split(u',', Qt::SkipEmptyParts))
            ids << word.trimmed().toULongLong(nullptr, 16);
        return ids;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A folder of its own: both variants of this test may run at the same time.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }

    void windowsOpenWhereTheyWereLeftAfterARestart()
    {
        const QPoint corner = QGuiApplication::primaryScreen()->availableGeometry().topLeft();
        {
            Shell s;
            QWidget *info = open(s, u"ShowInfoWindow1"_s, s.window.infoWindows()->info());
            QWidget *table = open(s, u"NodeTable1"_s, s.window.infoWindows()->table());
            info->resize(320, 210);
            info->move(corner + QPoint(260, 150));
            table->move(corner + QPoint(100, 200));
            QTRY_COMPARE(info->pos(), corner + QPoint(260, 150));
            QTRY_COMPARE(table->pos(), corner + QPoint(100, 200));
            info->close();
            // The table is still open when the program ends.
            QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));
        }
        Shell s;
        QWidget *info = open(s, u"ShowInfoWindow1"_s, s.window.infoWindows()->info());
        QTRY_COMPARE(info->pos(), corner + QPoint(260, 150));
        QCOMPARE(info->size(), QSize(320, 210));
        QTRY_COMPARE(open(s, u"NodeTable1"_s, s.window.infoWindows()->table())->pos(), corner + QPoint(100, 200));

        // A place no screen shows any more (a screen taken away) is not used.
        info->move(-20000, -20000);
        info->close();
        Shell again;
        info = open(again, u"ShowInfoWindow1"_s, again.window.infoWindows()->info());
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().intersects(info->frameGeometry()));
    }

    void thePictureViewerIs703By679WithItsFrame()
    {
        if (QGuiApplication::platformName() != u"xcb"_s)
            QSKIP("needs a window manager that draws frames");
        QTemporaryDir dir;
        QImage picture(200, 100, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(dir.filePath(u"p.jpg"_s)));
        Shell s;
        auto *viewer = s.window.findChild<JpgViewer *>(u"TFormJpg"_s);
        QVERIFY(viewer->load(dir.filePath(u"p.jpg"_s)));
        QTRY_VERIFY(viewer->frameGeometry().size() != viewer->size()); // framed
        QTRY_COMPARE(viewer->frameGeometry().size(), QSize(703, 679));
    }

    // A tool window (they all stay on top) over the main window's middle must not hide a
    // question the main window asks: the program would wait for an answer nobody sees.
    void questionsShowAboveToolWindows()
    {
        if (QGuiApplication::platformName() != u"xcb"_s)
            QSKIP("needs a window manager that stacks windows");
        Shell s;
        s.window.setAsker(std::make_unique<DialogAsker>(&s.window));
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        QWidget tool(&s.window, Qt::Window);
        SetUpToolWindow(&tool, u"Tool"_s, u"Tool"_s);
        tool.setGeometry(s.window.geometry());
        ShowInFront(&tool);
        QVERIFY(QTest::qWaitForWindowExposed(&tool));
        s.window.activateWindow();
        QTRY_VERIFY(s.window.isActiveWindow());

        // Each kind of question: a box, a text, a file.
        const std::function<void()> questions[] = {
            [&] { s.window.asker().yesNo(u"Replace?"_s); },
            [&] { s.window.asker().input(u"Name"_s, u"Name:"_s, QString()); },
            [&] { s.window.asker().openFileName(u"Ego Files (*.ego)"_s); },
        };
        for (const auto &question : questions) {
            int toolAt = -1, questionAt = -1;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                QWidget *box = QApplication::activeModalWidget();
                if (!box || !box->isVisible())
                    return;
                const QList<WId> stack = stacking();
                toolAt = int(stack.indexOf(tool.winId()));
                questionAt = int(stack.indexOf(box->winId()));
                if (questionAt < 0)
                    return; // not managed yet
                poll.stop();
                if (auto *dialog = qobject_cast<QDialog *>(box))
                    dialog->reject();
            });
            poll.start(100);
            question();
            QVERIFY(toolAt >= 0);
            QVERIFY2(questionAt > toolAt, "the question lies under the tool window");
        }
    }
};

QTEST_MAIN(TestWindowPlaces)
#include "tst_windowplaces.moc"

#include "core/egofile/egofile.h"
#include "builders.h"
#include "shellfixture.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

using namespace korvalo;

using namespace Qt::StringLiterals;

namespace {

// A drag of `files` over the window, as the desktop delivers it; true when the window
// takes it.
bool dragEnter(QWidget *window, const QStringList &files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    return enter.isAccepted();
}

// A drag of `file` that enters the window and ends on it.
void drop(QWidget *window, const QString &file)
{
    QVERIFY(dragEnter(window, {file}));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDropEvent event(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
    QVERIFY(event.isAccepted());
}

} // namespace

class TestFileDrop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void droppedEgoFileIsRead();
    void dropAsksToSaveChanges();
    void readRemembersItsFolder();

private:
    QString egoFile(const QString &dir, const QString &name);
    QTemporaryDir m_dir;
};

void TestFileDrop::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    QVERIFY(m_dir.isValid());
}

QString TestFileDrop::egoFile(const QString &dir, const QString &name)
{
    NetworkModel m = oneCardModel(4);
    m.ego.Name = name;
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(name + u".ego"_s);
    if (!WriteEgoFile(m, path))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestFileDrop::droppedEgoFileIsRead()
{
    Shell s;
    const QString path = egoFile(m_dir.path(), u"Dropped"_s);
    const QString text = m_dir.filePath(u"notes.txt"_s);
    QVERIFY(!dragEnter(&s.window, {text}));
    // Among several files the .ego file is the one taken, whatever the case of its suffix.
    const QString upper = m_dir.filePath(u"UPPER.EGO"_s);
    QVERIFY(QFile::copy(path, upper));
    QVERIFY(dragEnter(&s.window, {text, upper}));

    drop(&s.window, path);
    // Read once the drop has ended, never inside it.
    QVERIFY(s.session.CurrentFileName.isEmpty());
    QTRY_COMPARE(s.session.CurrentFileName, path);
    QCOMPARE(s.model.ego.Name, u"Dropped"_s);
    QVERIFY(s.asker->asked.isEmpty());
}

void TestFileDrop::dropAsksToSaveChanges()
{
    Shell s;
    s.load(oneCardModel(4));
    s.changeSomething();
    const QString path = egoFile(m_dir.path(), u"Second"_s);

    s.asker->answers = {Asker::Answer::Abort};
    drop(&s.window, path);
    QTRY_COMPARE(s.asker->asked.size(), 1);
    QCOMPARE(s.asker->asked.first(), u"yesNoAbort: Do you want to save the current Ego?"_s);
    QCoreApplication::processEvents();
    QCOMPARE(s.model.ego.Name, u"Anna Berg"_s); // kept, changes and all
    QVERIFY(s.window.document().isModified());

    s.asker->answers = {Asker::Answer::No};
    drop(&s.window, path);
    QTRY_COMPARE(s.model.ego.Name, u"Second"_s);
    QVERIFY(!s.window.document().isModified());
}

void TestFileDrop::readRemembersItsFolder()
{
    const QString folder = QDir(m_dir.path()).filePath(u"study"_s);
    const QString path = egoFile(folder, u"Studied"_s);
    {
        Shell s;
        s.asker->fileNames = {path};
        s.trigger(u"Open1"_s);
        QCOMPARE(s.session.CurrentFileName, path);
    }
    // A later run with no ego open starts File > Read in that folder.
    Shell later;
    later.trigger(u"Open1"_s);
    QCOMPARE(later.asker->asked, QStringList{u"open: Ego files (*.ego)"_s});
    QCOMPARE(QDir(later.asker->startFolder), QDir(folder));

    // A folder that has gone is not offered.
    QVERIFY(QDir(folder).removeRecursively());
    Shell gone;
    gone.trigger(u"Open1"_s);
    QVERIFY(gone.asker->startFolder.isEmpty());
}

QTEST_MAIN(TestFileDrop)
#include "tst_filedrop.moc"

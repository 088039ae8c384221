#include "gui/actions/fileactions.h"
#include "gui/shell/recoveryoffer.h"
#include "gui/dialogs/startchooser.h"
#include "core/edit/autosaver.h"
#include "core/edit/recovery.h"
#include "core/egofile/egofile.h"
#include "shellfixture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstdio>

using namespace korvalo;

using namespace Qt::StringLiterals;

// The program as a child process: `tst_recovery --child FILE [options]` opens a main
// window as main() does, with FILE named on the command line ("-" for none), and reports
// on standard output what happens.
//   --choose N      the answer to the next recovery question (Restore 0, Keep 1, Discard 2)
//   --change MEMO   after start, changes card 1's memo as an edit would
//   --dump PATH     writes the ego's file bytes to PATH after start (and after the change)
//   --exit          closes the window (answering No to saving) once a copy was written
//   --exit-when F   closes the window (answering No to saving) as soon as file F exists
// Lines: "asked: ..." per question, "started MODIFIED FILE", "written PATH".
namespace {

void say(const QString &line)
{
    // One line per report, whatever the text holds.
    std::fprintf(stdout, "%s\n", QString(line).replace(u'\n', u' ').toUtf8().constData());
    std::fflush(stdout);
}

void dump(const NetworkModel &model, const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(EgoFileBytes(model));
}

int childMain(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(2);
    const QString file = args.takeFirst();
    std::deque<int> choices;
    QString change, dumpPath, exitWhen;
    bool exitAfterWrite = false;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (option == u"--choose"_s)
            choices.push_back(args.takeFirst().toInt());
        else if (option == u"--change"_s)
            change = args.takeFirst();
        else if (option == u"--dump"_s)
            dumpPath = args.takeFirst();
        else if (option == u"--exit"_s)
            exitAfterWrite = true;
        else if (option == u"--exit-when"_s)
            exitWhen = args.takeFirst();
    }

    MainWindow window;
    auto scripted = std::make_unique<ScriptedAsker>();
    ScriptedAsker *asker = scripted.get();
    asker->choices = choices;
    asker->answers = {Asker::Answer::No};
    window.setAsker(std::move(scripted));
    window.show();
    window.startUp(file == u"-"_s ? QString() : file);

    QObject::connect(&window.recovery().autosaver(), &Autosaver::written, &window,
                     [&](bool ok, const QString &message) {
                         say(ok ? u"written "_s + window.recovery().autosaver().copyPath()
                                : u"failed "_s + message);
                         if (exitAfterWrite)
                             window.close();
                     });
    QTimer poll;
    if (!exitWhen.isEmpty()) {
        QObject::connect(&poll, &QTimer::timeout, &window, [&] {
            if (QFile::exists(exitWhen))
                window.close();
        });
        poll.start(50);
    }
    // After the start-up step that startUp() queued.
    QTimer::singleShot(0, &window, [&] {
        for (const QString &question : std::as_const(asker->asked))
            say(u"asked: "_s + question);
        say(u"started %1 %2"_s.arg(int(window.document().isModified())).arg(window.session().CurrentFileName));
        if (!change.isEmpty()) {
            ChangeCard(window.document(), 1, u"Change"_s, [&](NetworkModel &m) {
                m.card(1).CardMemo = change;
                return Status::success();
            });
        }
        if (!dumpPath.isEmpty())
            dump(window.document().model(), dumpPath);
    });
    return QApplication::exec();
}

// One child process and the lines it printed.
class Child
{
public:
    Child(const QProcessEnvironment &environment, const QStringList &args)
    {
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationFilePath(), QStringList{u"--child"_s} + args);
    }
    ~Child()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // Waits for a line starting with `prefix`; returns it, or a null string after 20 s.
    QString waitFor(const QString &prefix)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
                m_lines << line;
                if (line.startsWith(prefix))
                    return line;
            }
            if (m_process.state() == QProcess::NotRunning && !m_process.canReadLine())
                return QString();
            m_process.waitForReadyRead(100);
        }
        return QString();
    }
    QStringList asked() const { return m_lines.filter(u"asked: "_s); }
    // SIGKILL on Unix: no destructor, no clean-up.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool exitedCleanly()
    {
        return m_process.waitForFinished(20000) && m_process.exitStatus() == QProcess::NormalExit
            && m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
    QStringList m_lines;
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void killedProgramOffersItsWorkAtNextStart();
    void instancesKeepTheirOwnCopies();
    void copyFollowsTheDocument();
    void copiesAreSpacedByTheInterval();
    void restoreKeepAndDiscard();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Where the child processes keep their copies (this process uses Qt's test folders).
    QString childFolder() const { return path(u"data/tst_recovery/recovery"_s); }
    static QStringList filesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // anna.ego: an ego with two cards, written as Save writes it.
    QString annaFile();
    Child *child(const QStringList &args);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<Child>> m_children;
};

void TestRecovery::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    qputenv("KORVALO_AUTOSAVE_SECONDS", "0.3");
    QStandardPaths::setTestModeEnabled(true);
}

void TestRecovery::init()
{
    m_children.clear();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(RecoveryFolder()).removeRecursively());
}

QString TestRecovery::annaFile()
{
    NetworkModel m;
    SetupEgo(m, u"Anna"_s, u"1970"_s, 1, {}, {}, u"A1"_s);
    AddCard(m, u"t1"_s, 5, u"normal"_s, 2, u"Iris"_s, {}, u"first"_s);
    AddCard(m, u"t2"_s, 5, u"normal"_s, 2, {}, {}, u"second"_s);
    m.CurrentCard = 1;
    const QString file = path(u"anna.ego"_s);
    if (!WriteEgoFile(m, file))
        qFatal("cannot write anna.ego");
    return file;
}

Child *TestRecovery::child(const QStringList &args)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"KORVALO_AUTOSAVE_SECONDS"_s, u"0.3"_s);
    environment.insert(u"XDG_DATA_HOME"_s, path(u"data"_s));
    environment.insert(u"XDG_CONFIG_HOME"_s, path(u"config"_s));
    m_children.push_back(std::make_unique<Child>(environment, args));
    return m_children.back().get();
}

void TestRecovery::killedProgramOffersItsWorkAtNextStart()
{
    const QString anna = annaFile();
    const QByteArray annaBytes = contents(anna);

    Child *first = child({anna, u"--change"_s, u"typed before the battery died"_s, u"--dump"_s,
                          path(u"changed.bin"_s)});
    QCOMPARE(first->waitFor(u"started"_s), u"started 0 "_s + anna);
    const QString copy = first->waitFor(u"written"_s).mid(8);
    QVERIFY(copy.startsWith(childFolder()));
    first->kill();
    QCOMPARE(contents(anna), annaBytes); // the user's file was never touched
    QCOMPARE(contents(copy), contents(path(u"changed.bin"_s)));

    Child *second = child({u"-"_s, u"--choose"_s, u"0"_s, u"--dump"_s, path(u"restored.bin"_s)});
    QCOMPARE(second->waitFor(u"started"_s), u"started 1 "_s + anna);
    QCOMPARE(second->asked().size(), 1);
    QVERIFY(second->asked().first().contains(u"\"anna.ego\""_s));
    QVERIFY(second->asked().first().endsWith(u"[Restore|Keep for Later|Discard]"_s));
    // The dump is written as the start finishes: wait for it rather than race it.
    QTRY_COMPARE(contents(path(u"restored.bin"_s)), contents(path(u"changed.bin"_s)));

    // The restored copy is the second run's own now: a clean end removes it.
    second->kill();
    Child *third = child({anna, u"--choose"_s, u"0"_s, u"--change"_s, u"more"_s, u"--exit"_s});
    QVERIFY(!third->waitFor(u"written"_s).isEmpty());
    QVERIFY(third->exitedCleanly());
    QCOMPARE(third->asked().size(), 1);
    QCOMPARE(filesIn(childFolder()), QStringList());
}

void TestRecovery::instancesKeepTheirOwnCopies()
{
    const QString anna = annaFile();
    Child *a = child({anna, u"--change"_s, u"A"_s});
    Child *b = child({anna, u"--change"_s, u"B"_s, u"--exit-when"_s, path(u"b.quit"_s)});
    const QString copyA = a->waitFor(u"written"_s);
    const QString copyB = b->waitFor(u"written"_s);
    QVERIFY(!copyA.isEmpty() && !copyB.isEmpty() && copyA != copyB);

    // Both are running: a third program is offered nothing.
    Child *c = child({u"-"_s});
    QVERIFY(!c->waitFor(u"started"_s).isEmpty());
    QCOMPARE(c->asked(), QStringList());

    // A dies; the next start is offered A's copy only, and keeps it for later.
    a->kill();
    Child *d = child({u"-"_s, u"--choose"_s, u"1"_s});
    QVERIFY(!d->waitFor(u"started"_s).isEmpty());
    QCOMPARE(d->asked().size(), 1);
    d->kill();
    QVERIFY(QFile::exists(copyA.mid(8)));

    // B ends cleanly and takes only its own copy with it; A's is discarded at the next start.
    QFile quit(path(u"b.quit"_s));
    QVERIFY(quit.open(QIODevice::WriteOnly));
    quit.close();
    QVERIFY(b->exitedCleanly());
    QVERIFY(!QFile::exists(copyB.mid(8)));
    QVERIFY(QFile::exists(copyA.mid(8)));
    Child *e = child({u"-"_s, u"--choose"_s, u"2"_s});
    QVERIFY(!e->waitFor(u"started"_s).isEmpty());
    QCOMPARE(e->asked().size(), 1);
    QCOMPARE(filesIn(childFolder()), QStringList());
}

void TestRecovery::copyFollowsTheDocument()
{
    const QString anna = annaFile();
    Shell s;
    Autosaver &autosaver = s.window.recovery().autosaver();
    QSignalSpy written(&autosaver, &Autosaver::written);
    QVERIFY(s.window.fileCommands().readFile(anna, false));

    // Undo back to the file's state: nothing unsaved, no copy.
    s.changeSomething(u"one"_s);
    QVERIFY(written.wait(5000));
    const QString copy = autosaver.copyPath();
    QVERIFY(QFile::exists(copy));
    QCOMPARE(contents(copy), EgoFileBytes(s.model));
    const QJsonObject info =
        QJsonDocument::fromJson(contents(copy.chopped(4) + u".json"_s)).object();
    QCOMPARE(info.value(u"file"_s).toString(), anna);
    s.window.document().undoStack()->undo();
    autosaver.waitForWrites();
    QCOMPARE(filesIn(RecoveryFolder()).filter(u".ego"_s), QStringList());

    // Save, File > New and File > Read each remove it.
    const auto expectCopyGoneAfter = [&](const std::function<void()> &action) {
        s.changeSomething(u"again"_s + QString::number(written.size()));
        QVERIFY(written.wait(5000));
        QVERIFY(QFile::exists(autosaver.copyPath()));
        action();
        autosaver.waitForWrites();
        QCOMPARE(autosaver.copyPath(), QString());
        QCOMPARE(filesIn(RecoveryFolder()).filter(u".ego"_s), QStringList());
    };
    expectCopyGoneAfter([&] { s.trigger(u"Save1"_s); });
    expectCopyGoneAfter([&] {
        s.asker->answers = {Asker::Answer::No};
        s.asker->fileNames = {anna};
        s.trigger(u"Open1"_s);
    });
    expectCopyGoneAfter([&] {
        s.asker->answers = {Asker::Answer::No};
        s.trigger(u"New1"_s);
    });
    QCOMPARE(s.asker->unexpected, QStringList());
}

void TestRecovery::copiesAreSpacedByTheInterval()
{
    // A user who never pauses still gets copies, and never two started within the interval.
    qputenv("KORVALO_AUTOSAVE_SECONDS", "0.4");
    annaFile();
    Shell s;
    qputenv("KORVALO_AUTOSAVE_SECONDS", "0.3");
    QVERIFY(s.window.fileCommands().readFile(path(u"anna.ego"_s), false));
    Autosaver &autosaver = s.window.recovery().autosaver();
    QList<QDateTime> starts; // the time each copy records as written
    connect(&autosaver, &Autosaver::written, this, [&] {
        const QString info = autosaver.copyPath().chopped(4) + u".json"_s;
        const QDateTime written = QDateTime::fromString(
            QJsonDocument::fromJson(contents(info)).object().value(u"written"_s).toString(),
            Qt::ISODateWithMs);
        if (starts.isEmpty() || starts.last() != written)
            starts << written;
    });
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; clock.elapsed() < 2000; ++i) {
        s.changeSomething(QString::number(i));
        QTest::qWait(20);
    }
    autosaver.waitForWrites();
    QTest::qWait(50);
    QVERIFY2(starts.size() >= 2, qPrintable(QString::number(starts.size())));
    for (qsizetype i = 1; i < starts.size(); ++i)
        QVERIFY2(starts[i - 1].msecsTo(starts[i]) >= 400,
                 qPrintable(QString::number(starts[i - 1].msecsTo(starts[i]))));
}

void TestRecovery::restoreKeepAndDiscard()
{
    const QString anna = annaFile();
    const QString dataFolder = RecoveryFolder();
    // Copies of runs that died: anna with card 2's memo changed, and an ego never saved.
    Result<NetworkModel> read = ReadEgoFile(anna);
    NetworkModel changed = read.value();
    changed.card(2).CardMemo = u"recovered"_s;
    const QDateTime when = QDateTime::currentDateTimeUtc().addSecs(-60);
    RecoveryCopy annaCopy = NewRecoveryCopy(dataFolder).value();
    QVERIFY(WriteRecoveryCopy(annaCopy, changed, anna, when));
    annaCopy.lock.reset();
    NetworkModel fresh;
    SetupEgo(fresh, u"Berta"_s, {}, 0, {}, {}, {});
    RecoveryCopy bertaCopy = NewRecoveryCopy(dataFolder).value();
    QVERIFY(WriteRecoveryCopy(bertaCopy, fresh, QString(), when.addSecs(-60)));
    bertaCopy.lock.reset();

    {
        // Restored: the file's name, marked as changed, undo goes back to the file.
        Shell s;
        s.asker->choices = {0};
        s.window.startUp();
        // Until the copy is restored the model holds no card 2 to look at.
        QTRY_VERIFY(s.model.CardCount() >= 2 && s.model.card(2).CardMemo == u"recovered"_s);
        // Newest first; after a restore the other copy waits for the next start.
        QCOMPARE(s.asker->asked.size(), 1);
        QVERIFY(s.asker->asked[0].contains(u"Changes to \"anna.ego\""_s));
        QCOMPARE(s.session.CurrentFileName, anna);
        QVERIFY(s.window.document().isModified());
        QVERIFY(s.window.windowTitle().startsWith(u"anna.ego"_s));
        QCOMPARE(s.window.document().undoStack()->undoText(), u"Restore recovered changes"_s);
        s.window.document().undoStack()->undo();
        QCOMPARE(s.model, read.value());
        s.window.document().undoStack()->redo();
        QCOMPARE(s.model.card(2).CardMemo, u"recovered"_s);
        // Saved: the copy is gone, the file holds the work.
        s.trigger(u"Save1"_s);
        s.window.recovery().autosaver().waitForWrites();
        QCOMPARE(ReadEgoFile(anna).value().card(2).CardMemo, u"recovered"_s);
        QCOMPARE(filesIn(dataFolder).filter(u".ego"_s).size(), 1);
    }
    {
        // A copy that cannot be read is reported and kept; Berta's, named by its ego, is
        // discarded, and start-up goes on.
        QFile broken(dataFolder + u"/broken.ego"_s);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("<ego>not an ego");
        broken.close();
        Shell s;
        s.asker->choices = {0, 2};
        s.window.startUp();
        QTRY_VERIFY(s.window.startChooser()->isVisible());
        QCOMPARE(s.asker->messages().size(), 1);
        QVERIFY(s.asker->messages().first().contains(u"broken.ego"_s));
        QVERIFY(s.asker->asked.filter(u"choose: "_s).last().contains(u"the new ego \"Berta\""_s));
    }
    QCOMPARE(filesIn(dataFolder), QStringList{u"broken.ego"_s});
}

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return childMain(argc, argv);
    QApplication app(argc, argv);
    TestRecovery test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"

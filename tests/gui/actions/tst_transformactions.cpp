#include "shellfixture.h"

#include "gui/dialogs/changecolordialog.h"
#include "gui/shell/colorpanels.h"
#include "gui/map/mapwidget.h"
#include "gui/shell/menus.h"
#include "gui/actions/transformactions.h"
#include "core/egofile/egofile.h"
#include "core/map/transforms.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUndoStack>

#include <functional>

using namespace korvalo;

using namespace Qt::StringLiterals;

using Transform = std::function<int(NetworkCard &)>;
Q_DECLARE_METATYPE(Transform)

namespace {

// The example ego with the first two alters of card 1 sharing the ID "P1", so that
// every transform has something to do.
QString exampleCopy(const QTemporaryDir &dir)
{
    QFile source(QStringLiteral(KORVALO_TEST_DATA "/render/lindqvist.ego"));
    if (!source.open(QIODevice::ReadOnly))
        qFatal("cannot read the example ego");
    QByteArray bytes = source.readAll();
    const qsizetype second = bytes.indexOf("<ID>P2</ID>");
    bytes.replace(second, 11, "<ID>P1</ID>");
    const QString path = dir.filePath(u"example.ego"_s);
    QFile copy(path);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size())
        qFatal("cannot write the example copy");
    return path;
}

struct TransformShell : Shell
{
    QTemporaryDir dir;

    QUndoStack *history() { return window.document().undoStack(); }
    QImage map() { return window.mapWidget()->image(); }

    void showAndRead()
    {
        window.resize(900, 700);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("the main window did not become active");
        asker->fileNames.push_back(exampleCopy(dir));
        trigger(u"Open1"_s);
        asker->asked.clear();
        QCoreApplication::processEvents();
    }

    void keys(const QKeySequence &sequence) { QTest::keySequence(&window, sequence); }
};

} // namespace

class TestTransformCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void eachCommandIsOneStep_data();
    void eachCommandIsOneStep();
    void heldShortcutMakesOneStep();
    void maxDistanceAsksForANumber();
    void nothingHappensWithoutACard();
    void nodeColours();
    void switches();
    void cliWritesWhatTheMenusMake();
};

void TestTransformCommands::eachCommandIsOneStep_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Transform>("transform");
    auto turn = [](double degrees) {
        return Transform([degrees](NetworkCard &c) { return RotateCard(c, degrees); });
    };
    QTest::newRow("outmost node") << u"OutmostNode1"_s << QKeySequence(u"Ctrl+0"_s)
                                  << u"Outmost Node"_s << Transform(ProjectOutmostNode);
    QTest::newRow("mean to middle") << u"MeantoMiddle1"_s << QKeySequence() << u"Mean to Middle"_s
                                    << Transform(MeanToMiddle);
    QTest::newRow("zoom out") << u"ZoomOut1"_s << QKeySequence(u"Ctrl+9"_s) << u"Zoom Out"_s
                              << Transform(ZoomOut);
    QTest::newRow("zoom in") << u"ZoomIn1"_s << QKeySequence(u"Ctrl+8"_s) << u"Zoom In"_s
                             << Transform(ZoomIn);
    QTest::newRow("90 CW") << u"N90CW1"_s << QKeySequence() << u"Rotate 90° CW"_s << turn(90);
    QTest::newRow("90 CCW") << u"N90CCW1"_s << QKeySequence() << u"Rotate 90° CCW"_s << turn(-90);
    QTest::newRow("180") << u"N1801"_s << QKeySequence() << u"Rotate 180°"_s << turn(180);
    QTest::newRow("1 CW") << u"N1CW1"_s << QKeySequence(u"Ctrl+R"_s) << u"Rotate 1° CW"_s << turn(1);
    QTest::newRow("1 CCW") << u"N1CCW1"_s << QKeySequence(u"Ctrl+Shift+R"_s) << u"Rotate 1° CCW"_s
                           << turn(-1);
    QTest::newRow("mean distance for multiple ID")
        << u"MeanDistanceforMultipleID1"_s << QKeySequence() << u"Mean Distance for Multiple ID"_s
        << Transform(MeanDistanceForMultipleID);
}

void TestTransformCommands::eachCommandIsOneStep()
{
    QFETCH(QString, item);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, text);
    QFETCH(Transform, transform);
    TransformShell s;
    s.showAndRead();
    const NetworkModel original = s.model;
    const QImage before = s.map();
    QVERIFY(s.action(item)->isEnabled());

    if (shortcut.isEmpty())
        s.trigger(item);
    else
        s.keys(shortcut);
    QCOMPARE(s.history()->count(), 1);
    QCOMPARE(s.action(u"Undo1"_s)->text(), u"Undo "_s + text);
    NetworkCard expected = original.card(1);
    transform(expected);
    QCOMPARE(s.model.card(1), expected);
    for (int c = 2; c <= original.CardCount(); ++c)
        QCOMPARE(s.model.card(c), original.card(c));
    QTRY_VERIFY(s.map() != before);
    QVERIFY(s.window.isWindowModified());

    s.keys(QKeySequence(u"Ctrl+Z"_s));
    QCOMPARE(s.model, original);
    QTRY_COMPARE(s.map(), before);
    QVERIFY(!s.window.isWindowModified());
    s.keys(QKeySequence(u"Ctrl+Y"_s));
    QCOMPARE(s.model.card(1), expected);
    s.trigger(u"Undo1"_s);
    QCOMPARE(s.model, original);
    QVERIFY(s.asker->asked.filter(u"message"_s).isEmpty());
}

void TestTransformCommands::heldShortcutMakesOneStep()
{
    TransformShell s;
    s.showAndRead();
    const NetworkModel original = s.model;
    for (int i = 0; i < 5; ++i)
        s.keys(QKeySequence(u"Ctrl+R"_s));
    QCOMPARE(s.history()->count(), 1);
    NetworkCard turned = original.card(1);
    for (int i = 0; i < 5; ++i)
        RotateCard(turned, 1);
    QCOMPARE(s.model.card(1), turned);
    // Another command in between, or a pause, starts a new step.
    s.keys(QKeySequence(u"Ctrl+8"_s));
    s.keys(QKeySequence(u"Ctrl+R"_s));
    QCOMPARE(s.history()->count(), 3);
    QTest::qWait(700);
    s.keys(QKeySequence(u"Ctrl+R"_s));
    QCOMPARE(s.history()->count(), 4);
    for (int i = 0; i < 4; ++i)
        s.keys(QKeySequence(u"Ctrl+Z"_s));
    QCOMPARE(s.model, original);
}

void TestTransformCommands::maxDistanceAsksForANumber()
{
    TransformShell s;
    s.showAndRead();
    const NetworkModel original = s.model;
    const QString question = u"input: Set|Set Max Distance (recommended 0-1):|1"_s;

    // Typed with the other separator: said so, with an example in the one in use.
    s.asker->inputs = {u"0,8"_s};
    s.trigger(u"MaxDistance1"_s);
    QCOMPARE(s.asker->asked, (QStringList{question,
        u"message: \"0,8\" is not a number. Please enter the maximum distance as a number such as 0.8."_s}));
    QCOMPARE(s.model, original);
    QCOMPARE(s.history()->count(), 0);

    s.asker->asked.clear();
    s.session.DecimalSeparator = u',';
    s.asker->inputs = {u"0.8"_s, QString(), u"2"_s, u"-0,3"_s, u" 0,8 "_s};
    s.trigger(u"MaxDistance1"_s);
    QVERIFY(s.asker->messages().last().endsWith(u"such as 0,8."_s));
    s.trigger(u"MaxDistance1"_s); // Cancel
    s.trigger(u"MaxDistance1"_s); // nobody is that far out
    // A negative maximum would throw every alter through the ego: refused.
    s.trigger(u"MaxDistance1"_s);
    QCOMPARE(s.asker->asked.last(), u"message: The maximum distance cannot be negative (\"-0,3\"): it would move "
                                    "every node through the ego to the other side."_s);
    QCOMPARE(s.model, original);
    QCOMPARE(s.history()->count(), 0);
    QCOMPARE(s.asker->messages().size(), 2);

    s.trigger(u"MaxDistance1"_s);
    QCOMPARE(s.history()->count(), 1);
    QCOMPARE(s.history()->text(0), u"Max Distance"_s);
    NetworkCard clamped = original.card(1);
    QCOMPARE(ClampDistances(clamped, 0.8f), 4); // F3, W2, C3 and X1 are farther out
    QCOMPARE(s.model.card(1), clamped);
    s.trigger(u"Undo1"_s);
    QCOMPARE(s.model, original);
    QVERIFY(s.asker->unexpected.isEmpty());
}

void TestTransformCommands::nothingHappensWithoutACard()
{
    Shell s;
    s.createEgo(u"Anna"_s);
    QUndoStack *history = s.window.document().undoStack();
    const QStringList items = {u"OutmostNode1"_s, u"MeantoMiddle1"_s, u"ZoomOut1"_s, u"ZoomIn1"_s,
                               u"N90CW1"_s, u"N1CCW1"_s, u"MaxDistance1"_s,
                               u"MeanDistanceforMultipleID1"_s};
    // No card, then a card without nodes: no step, and no question without a card.
    for (int round = 0; round < 2; ++round) {
        const int steps = history->count();
        s.asker->inputs = {u"0.5"_s};
        for (const QString &item : items)
            s.trigger(item);
        s.trigger(u"Change2"_s);
        s.child<QPushButton>(u"Button3"_s, s.window.transformCommands()->colorDialog())->click();
        QCOMPARE(history->count(), steps);
        QCOMPARE(s.asker->asked.size(), round);
        s.addCard(u"t1"_s);
    }
}

void TestTransformCommands::nodeColours()
{
    TransformShell s;
    s.showAndRead();
    const NetworkModel original = s.model;
    s.window.switchToCard(2);
    s.keys(QKeySequence(u"Ctrl+R"_s)); // a step on another card first
    const NetworkModel card2Turned = s.model;
    s.window.switchToCard(1);

    s.trigger(u"Change2"_s);
    ChangeColorDialog *dialog = s.window.transformCommands()->colorDialog();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QCOMPARE(dialog->objectName(), u"TFormChangeColor"_s);
    QCOMPARE(dialog->windowTitle(), u"Change Node Color"_s);
    auto panel = [&](int n) { return s.child<ColorPanel>(u"Panel%1"_s.arg(n), dialog); };
    auto change = s.child<QPushButton>(u"Button3"_s, dialog);
    QCOMPARE(panel(1)->accessibleName(), u"Color from: red"_s);
    QCOMPARE(panel(9)->accessibleName(), u"Color to: teal"_s);

    // Red to red, as the window opens: nothing to do.
    QVERIFY(panel(1)->isChosen() && panel(16)->isChosen());
    QTest::mouseClick(change, Qt::LeftButton);
    QCOMPARE(s.history()->count(), 1);

    // Yellow to blue.
    QTest::mouseClick(panel(2), Qt::LeftButton);
    QTest::mouseClick(panel(14), Qt::LeftButton);
    QVERIFY(!panel(1)->isChosen() && !panel(16)->isChosen());
    QCOMPARE(dialog->fromColor(), 2);
    QCOMPARE(dialog->toColor(), 3);
    QTest::mouseClick(change, Qt::LeftButton);
    QCOMPARE(s.history()->count(), 2);
    QCOMPARE(s.history()->text(1), u"Change Node Color"_s);
    NetworkCard recoloured = original.card(1);
    QCOMPARE(RecolorNodes(recoloured, 2, 3), 1);
    QCOMPARE(s.model.card(1), recoloured);
    QCOMPARE(s.model.card(2), card2Turned.card(2));
    QCOMPARE(s.model.card(3), original.card(3));
    QVERIFY(dialog->isVisible());

    // The leftmost lower panel makes red the target again; blue back to red.
    QTest::mouseClick(panel(3), Qt::LeftButton);
    QTest::mouseClick(panel(16), Qt::LeftButton);
    QCOMPARE(dialog->toColor(), 1);
    QTest::mouseClick(change, Qt::LeftButton);
    QCOMPARE(s.history()->count(), 3);
    QCOMPARE(RecolorNodes(recoloured, 3, 1), 3);
    QCOMPARE(s.model.card(1), recoloured);

    // Undo works from the colour window too.
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTest::keySequence(dialog, QKeySequence(u"Ctrl+Z"_s));
    QTest::keySequence(dialog, QKeySequence(u"Ctrl+Z"_s));
    QCOMPARE(s.model.Cards, card2Turned.Cards);

    // "Ignore" hides the window; the choices stay for the next time.
    QTest::mouseClick(s.child<QPushButton>(u"Button2"_s, dialog), Qt::LeftButton);
    QVERIFY(dialog->isHidden());
    s.trigger(u"Change2"_s);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->fromColor(), 3);
    QCOMPARE(dialog->toColor(), 1);
}

// Layout > "Fix Distance" / "Fix Angle" reach the editor state the node drag reads;
// Analysis > Map > "Sex" switches off with a second click, not only through "None".
void TestTransformCommands::switches()
{
    TransformShell s;
    s.showAndRead();
    for (auto [item, flag] : {std::pair{u"FixDistance1"_s, &EditorState::FixDistance},
                              std::pair{u"FixAngle1"_s, &EditorState::FixAngle}}) {
        QVERIFY(s.action(item)->isEnabled() && !(s.editor.*flag));
        s.trigger(item);
        QVERIFY(s.action(item)->isChecked() && s.editor.*flag);
        s.trigger(item);
        QVERIFY(!(s.editor.*flag));
    }

    const QImage own = s.map();
    s.trigger(u"Sex1"_s);
    QTRY_VERIFY(s.map() != own);
    s.trigger(u"Sex1"_s);
    QVERIFY(!s.action(u"Sex1"_s)->isChecked());
    QTRY_COMPARE(s.map(), own);
    QCOMPARE(s.history()->count(), 0);
}

// korvalo-cli transform gives byte for byte the file that the menu commands and File >
// Save as... give, applying its operations in the order written.
void TestTransformCommands::cliWritesWhatTheMenusMake()
{
    TransformShell s;
    s.showAndRead();
    const QString input = s.dir.filePath(u"example.ego"_s);
    s.trigger(u"N90CW1"_s);
    s.keys(QKeySequence(u"Ctrl+Shift+R"_s));
    s.keys(QKeySequence(u"Ctrl+8"_s));
    s.asker->inputs = {u"0.8"_s};
    s.trigger(u"MaxDistance1"_s);
    s.trigger(u"MeanDistanceforMultipleID1"_s);
    s.trigger(u"Change2"_s);
    ChangeColorDialog *dialog = s.window.transformCommands()->colorDialog();
    QTest::mouseClick(s.child<ColorPanel>(u"Panel2"_s, dialog), Qt::LeftButton);
    QTest::mouseClick(s.child<ColorPanel>(u"Panel14"_s, dialog), Qt::LeftButton);
    QTest::mouseClick(s.child<QPushButton>(u"Button3"_s, dialog), Qt::LeftButton);
    s.trigger(u"MeantoMiddle1"_s);
    s.keys(QKeySequence(u"Ctrl+0"_s));
    s.keys(QKeySequence(u"Ctrl+9"_s));
    QCOMPARE(s.history()->count(), 9);
    s.asker->fileNames.push_back(s.dir.filePath(u"menus.ego"_s));
    s.trigger(u"Saveas1"_s);
    QVERIFY(s.asker->unexpected.isEmpty());

    struct Run
    {
        int exitCode;
        QByteArray stdErr;
        QByteArray file;
    };
    auto cli = [&](const QStringList &options) {
        const QString out = s.dir.filePath(u"cli.ego"_s);
        QFile::remove(out);
        QProcess process;
        process.start(QStringLiteral(KORVALO_CLI), QStringList{u"transform"_s, input, out} + options);
        process.waitForFinished(60000);
        QFile file(out);
        file.open(QIODevice::ReadOnly);
        return Run{process.exitCode(), process.readAllStandardError(), file.readAll()};
    };
    auto read = [](const QByteArray &bytes) { return ReadEgoBytes(bytes, u"ego"_s).value(); };
    const QStringList ops = {u"rotate=90"_s,       u"rotate=-1"_s,        u"zoom-in"_s,
                             u"max-distance=0.8"_s, u"mean-multiple-id"_s, u"recolor=2:3"_s,
                             u"mean-to-middle"_s,   u"outmost"_s,          u"zoom-out"_s};
    QFile menus(s.dir.filePath(u"menus.ego"_s));
    QVERIFY(menus.open(QIODevice::ReadOnly));
    const QByteArray fromMenus = menus.readAll();
    const Run one = cli(QStringList{u"--card"_s, u"1"_s} + ops);
    QCOMPARE(one.stdErr, QByteArray());
    QCOMPARE(one.exitCode, 0);
    QCOMPARE(one.file, fromMenus);
    // In another order the same operations give another card.
    QVERIFY(cli(QStringList(ops.rbegin(), ops.rend())).file != fromMenus);

    // --card all: card 1 as the menus left it, and the later cards changed as well.
    const NetworkModel all = read(cli(QStringList{u"--card"_s, u"all"_s} + ops).file);
    QFile in(input);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const NetworkModel original = read(in.readAll());
    QCOMPARE(all.card(1), read(fromMenus).card(1));
    for (int c = 2; c <= all.CardCount(); ++c)
        QVERIFY(all.card(c) != original.card(c));

    // Refusals name what is wrong and write nothing.
    const struct
    {
        QStringList options;
        int exitCode;
        QString named;
    } refused[] = {
        {{u"shrink"_s}, 2, u"\"shrink\""_s},
        {{u"rotate=720"_s}, 2, u"\"rotate=720\""_s},
        {{u"max-distance=0,8"_s}, 2, u"\"max-distance=0,8\""_s},
        {{u"max-distance=-0.3"_s}, 2, u"\"max-distance=-0.3\""_s},
        {{u"recolor=0:3"_s}, 2, u"\"recolor=0:3\""_s},
        {{}, 2, u"an operation (OP) is missing"_s},
        {{u"--card"_s, u"9"_s, u"outmost"_s}, 1, u"no network card 9"_s},
    };
    for (const auto &[options, exitCode, named] : refused) {
        const Run run = cli(options);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.stdErr.startsWith("korvalo-cli transform: ") && run.stdErr.contains(named.toUtf8()),
                 run.stdErr.constData());
        QVERIFY(run.file.isEmpty());
    }
}

QTEST_MAIN(TestTransformCommands)
#include "tst_transformactions.moc"

#include "gui/windows/infowindows.h"
#include "shellfixture.h"

#include <QFile>
#include <QMenu>

using namespace korvalo;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The golden report of korvalo-cli as the lines the info window should gain.
QStringList goldenLines(const QString &analysis)
{
    QString text = QString::fromUtf8(readAll(QStringLiteral(KORVALO_TEST_DATA "/analysis/berg-%1.txt").arg(analysis)));
    text.chop(1); // the last line end
    return text.split(u'\n');
}

struct AnalysisShell : Shell
{
    // File > Read of the three-card fixture.
    void readBerg()
    {
        asker->fileNames.push_back(QStringLiteral(KORVALO_TEST_DATA "/analysis/berg.ego"));
        trigger(QStringLiteral("Open1"));
        QCOMPARE(model.CardCount(), 3);
    }

    QStringList infoLines() const { return window.infoWindows()->info()->lines(); }

    // Triggers a menu item; returns the lines it added to the info window.
    QStringList run(const QString &item)
    {
        const qsizetype before = infoLines().size();
        trigger(item);
        return infoLines().mid(before);
    }
};

} // namespace

class TestAnalysisCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void menuItemsWriteTheReports_data();
    void menuItemsWriteTheReports();
    void strongTieDialog();
    void refusalsAndNoCurrentCard();
    void currentCardAndSeparator();
};

void TestAnalysisCommands::menuItemsWriteTheReports_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("analysis");
    QTest::newRow("Distances to Ego") << QStringLiteral("DistancestoEgo1") << QStringLiteral("distances-to-ego");
    QTest::newRow("Strong/Weak Ties > Count") << QStringLiteral("Number1") << QStringLiteral("strong-ties");
    QTest::newRow("Strong/Weak Ties > Proportional") << QStringLiteral("StrongWeakTies1")
                                                     << QStringLiteral("strong-ties-ratio");
    QTest::newRow("ID Continuity*") << QStringLiteral("IDContinuity1") << QStringLiteral("id-continuity");
    QTest::newRow("Number of Sectors*") << QStringLiteral("NumberofSectors1") << QStringLiteral("number-of-sectors");
    QTest::newRow("Sector Sizes*") << QStringLiteral("SectorSize1") << QStringLiteral("sector-sizes");
    QTest::newRow("Number of Nodes*") << QStringLiteral("NumberofNodes1") << QStringLiteral("sector-node-counts");
    QTest::newRow("Dominant Sector*") << QStringLiteral("DominantSector1") << QStringLiteral("dominant-sector");
    QTest::newRow("Different IDs") << QStringLiteral("DifferentIDs1") << QStringLiteral("different-ids");
    QTest::newRow("Info: Current Card") << QStringLiteral("DifferentIDsinCurrentCard1")
                                        << QStringLiteral("different-ids-card");
    QTest::newRow("Info: All Cars") << QStringLiteral("Ego2") << QStringLiteral("different-ids-all");
}

// Every item, reached through its enabled menus, writes the same lines as korvalo-cli.
void TestAnalysisCommands::menuItemsWriteTheReports()
{
    QFETCH(QString, item);
    QFETCH(QString, analysis);
    AnalysisShell s;
    s.readBerg();
    QAction *action = s.action(item);
    QVERIFY(action->isEnabled());
    for (auto *menu = qobject_cast<QMenu *>(action->parent()); menu; menu = qobject_cast<QMenu *>(menu->parent()))
        QVERIFY2(menu->menuAction()->isEnabled(), qPrintable(menu->title()));
    s.asker->inputs.push_back(QStringLiteral("2")); // only the strong-tie items ask
    QCOMPARE(s.run(item), goldenLines(analysis));
    QVERIFY(s.window.infoWindows()->info()->isVisible());
    QCOMPARE(s.asker->unexpected, QStringList());
}

void TestAnalysisCommands::strongTieDialog()
{
    AnalysisShell s;
    s.readBerg();
    // Card 1 has 5 circles: with 9 strong circles every alter lies inside the outermost.
    s.asker->inputs.push_back(QStringLiteral(" 9 "));
    QCOMPARE(s.run(QStringLiteral("Number1")), QStringList{QStringLiteral("Number of Strong Ties (k=9): 21")});
    QCOMPARE(s.asker->asked.last(), QStringLiteral("input: Strong/Weak Ties|Number of Strong Circles:|2"));

    // Not a whole number: said in the program's words, nothing printed.
    for (const QString &item : {QStringLiteral("Number1"), QStringLiteral("StrongWeakTies1")}) {
        s.asker->inputs.push_back(QStringLiteral("2.5"));
        QCOMPARE(s.run(item), QStringList());
        QCOMPARE(s.asker->asked.last(), QStringLiteral("message: \"2.5\" is not a whole number of circles!"));
    }
    // Cancel prints nothing and asks nothing more.
    const qsizetype asked = s.asker->asked.size();
    s.asker->inputs.push_back(QString());
    QCOMPARE(s.run(QStringLiteral("StrongWeakTies1")), QStringList());
    QCOMPARE(s.asker->asked.size(), asked + 1);
    QCOMPARE(s.asker->unexpected, QStringList());
}

void TestAnalysisCommands::refusalsAndNoCurrentCard()
{
    AnalysisShell s;
    s.createEgo(QStringLiteral("Nobody"));
    QCOMPARE(s.model.CurrentCard, 0);
    // Without a current card the current-card items do nothing and ask nothing.
    for (const QString &item : {QStringLiteral("DistancestoEgo1"), QStringLiteral("Number1"),
                                QStringLiteral("StrongWeakTies1"), QStringLiteral("DifferentIDsinCurrentCard1")}) {
        QCOMPARE(s.run(item), QStringList());
    }
    QCOMPARE(s.asker->asked, QStringList());

    // One card: the continuity refuses through the one door and prints nothing.
    s.addCard(QStringLiteral("First"));
    QCOMPARE(s.run(QStringLiteral("IDContinuity1")), QStringList());
    QCOMPARE(s.asker->messages(), QStringList{QStringLiteral("message: Error: Not enough Cards!")});
    // An empty card still gets its lines, with nothing to count.
    QCOMPARE(s.run(QStringLiteral("DistancestoEgo1")), QStringList());
    QCOMPARE(s.run(QStringLiteral("Ego2")),
             (QStringList{QString(), QStringLiteral("Number of different IDs in all cards: 0")}));
    s.asker->inputs.push_back(QStringLiteral("2"));
    QCOMPARE(s.run(QStringLiteral("StrongWeakTies1")), QStringList{QStringLiteral("0.00")});
}

// The current card is the one shown; the decimal separator of the session is used.
void TestAnalysisCommands::currentCardAndSeparator()
{
    AnalysisShell s;
    s.readBerg();
    s.window.switchToCard(3);
    s.session.DecimalSeparator = u',';
    QCOMPARE(s.run(QStringLiteral("DistancestoEgo1")),
             (QStringList{QString(), QStringLiteral("Average Node Distance to Ego:"), QStringLiteral("0,75 Everyone"),
                          QStringLiteral("0,75 ALL")}));
    QCOMPARE(s.run(QStringLiteral("DifferentIDsinCurrentCard1")),
             (QStringList{QString(), QStringLiteral("Number of different IDs in current card: 11")}));
}

QTEST_MAIN(TestAnalysisCommands)
#include "tst_analysisactions.moc"

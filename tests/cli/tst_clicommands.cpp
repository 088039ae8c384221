#include <QProcess>
#include <QRegularExpression>
#include <QTest>

// The sub-commands korvalo-cli lists are the ones it runs.
class TestCliCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyListedCommandRuns();
    void unknownCommandsAreUsageErrors();

private:
    struct Run
    {
        int exitCode;
        QByteArray out;
        QByteArray err;
    };
    static Run cli(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(KORVALO_CLI), args);
        if (!p.waitForFinished(30000))
            qFatal("korvalo-cli did not finish");
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }
};

void TestCliCommands::everyListedCommandRuns()
{
    const Run overview = cli({QStringLiteral("--help")});
    QCOMPARE(overview.exitCode, 0);
    QStringList names;
    static const QRegularExpression entry(QStringLiteral("^  ([a-z-]+) "), QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch &m : entry.globalMatch(QString::fromUtf8(overview.out)))
        names << m.captured(1);
    QVERIFY(names.contains(QStringLiteral("resave")));
    for (const QString &name : names) {
        const Run help = cli({name, QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        // Its own help, headed by how it is called.
        QVERIFY2(help.out.startsWith("Usage: korvalo-cli " + name.toUtf8() + ' '), help.out.left(80).constData());
        QCOMPARE(help.err, QByteArray());
    }
}

void TestCliCommands::unknownCommandsAreUsageErrors()
{
    const Run unknown = cli({QStringLiteral("resaev"), QStringLiteral("a.ego")});
    QCOMPARE(unknown.exitCode, 2);
    QCOMPARE(unknown.err, QByteArray("korvalo-cli: unknown command \"resaev\" (korvalo-cli --help lists them)\n"));
    const Run none = cli({});
    QCOMPARE(none.exitCode, 2);
    QVERIFY(none.err.startsWith("Usage: korvalo-cli COMMAND"));
    QCOMPARE(none.out, QByteArray());
}

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_clicommands.moc"

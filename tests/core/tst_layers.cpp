#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <set>

using namespace Qt::StringLiterals;

// The folders are the layers: nothing under src/core may reach up into the shell or use
// Qt Widgets, so the core builds and runs without a window system (korvalo-cli, the
// GUI-off build).
class TestLayers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void coreUsesNoShellAndNoWidgets();
    void headersHaveNoUsingDirective();
};

namespace {

// The class headers Qt Widgets installs (QWidget, QDialog, ...); empty when this build has
// no Qt Widgets, and then the module's own prefix still catches an include.
std::set<QString> widgetHeaders()
{
    std::set<QString> names;
#ifdef KORVALO_QTWIDGETS_DIR
    const QDir dir(QStringLiteral(KORVALO_QTWIDGETS_DIR));
    for (const QString &name : dir.entryList(QDir::Files))
        if (name.startsWith(u'Q') && !name.contains(u'.'))
            names.insert(name);
#endif
    return names;
}

QStringList sourcesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, {u"*.h"_s, u"*.cpp"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

} // namespace

void TestLayers::coreUsesNoShellAndNoWidgets()
{
    const std::set<QString> widgets = widgetHeaders();
    const QRegularExpression include(uR"(^\s*#\s*include\s*[<"]([^>"]+)[>"])"_s,
                                     QRegularExpression::MultilineOption);
    const QStringList files = sourcesUnder(QStringLiteral(KORVALO_SOURCE_DIR "/core"));
    QVERIFY(files.size() > 50);
    QStringList faults;
    for (const QString &path : files) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        auto matches = include.globalMatch(text);
        while (matches.hasNext()) {
            const QString header = matches.next().captured(1);
            const QString base = header.section(u'/', -1);
            if (header.startsWith(u"gui/"_s) || header.startsWith(u"QtWidgets"_s)
                || (!header.contains(u'/') && widgets.count(base) > 0))
                faults << path.mid(int(qstrlen(KORVALO_SOURCE_DIR)) + 1) + u": "_s + header;
        }
    }
    QCOMPARE(faults, QStringList());
}

void TestLayers::headersHaveNoUsingDirective()
{
    const QRegularExpression usingDirective(uR"(^\s*using\s+namespace\s)"_s,
                                            QRegularExpression::MultilineOption);
    QStringList faults;
    for (const QString &path : sourcesUnder(QStringLiteral(KORVALO_SOURCE_DIR))) {
        if (!path.endsWith(u".h"_s))
            continue;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (usingDirective.match(QString::fromUtf8(file.readAll())).hasMatch())
            faults << path;
    }
    QCOMPARE(faults, QStringList());
}

QTEST_GUILESS_MAIN(TestLayers)
#include "tst_layers.moc"

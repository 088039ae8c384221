#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int status = -1;
    QString output; // standard output and error together
};

// Runs a program to its end; a program that is not there fails with its name.
Run run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000)) {
        r.output = program + u" cannot be started"_s;
        return r;
    }
    p.waitForFinished(300000);
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.output = QString::fromLocal8Bit(p.readAll());
    return r;
}

const QString appId = u"org.example.korvalo.Korvalo"_s;
const int iconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// What an installed Korvalo consists of, relative to its prefix.
QStringList installedFiles()
{
    QStringList files = {u"bin/korvalo"_s,
                         u"bin/korvalo-cli"_s,
                         u"share/applications/"_s + appId + u".desktop"_s,
                         u"share/metainfo/"_s + appId + u".metainfo.xml"_s,
                         u"share/mime/packages/korvalo.xml"_s,
                         u"share/icons/hicolor/scalable/apps/korvalo.svg"_s,
                         u"share/man/man1/korvalo.1"_s,
                         u"share/man/man1/korvalo-cli.1"_s};
    for (int size : iconSizes)
        files << u"share/icons/hicolor/%1x%1/apps/korvalo.png"_s.arg(size);
    return files;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void installTree();
    void debianPackage();
};

void TestInstall::installTree()
{
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    const Run install = run(QStringLiteral(KORVALO_CMAKE),
                            {u"--install"_s, QStringLiteral(KORVALO_BUILD_DIR), u"--prefix"_s, prefix.path()});
    QVERIFY2(install.status == 0, qPrintable(install.output));
    const QDir tree(prefix.path());
    for (const QString &file : installedFiles())
        QVERIFY2(tree.exists(file), qPrintable(file));

    // The installed program runs from there.
    const Run version = run(tree.filePath(u"bin/korvalo-cli"_s), {u"--version"_s});
    QCOMPARE(version.status, 0);
    QVERIFY2(version.output.startsWith(u"korvalo-cli "_s), qPrintable(version.output));

    // Each icon is drawn at the size its folder promises.
    for (int size : iconSizes) {
        const QImage icon(tree.filePath(u"share/icons/hicolor/%1x%1/apps/korvalo.png"_s.arg(size)));
        QCOMPARE(icon.size(), QSize(size, size));
    }

    // The desktop's own tools accept the entry and the metadata (Debian packages
    // desktop-file-utils and appstream-util).
    const Run desktop = run(u"desktop-file-validate"_s, {tree.filePath(u"share/applications/"_s + appId + u".desktop"_s)});
    QVERIFY2(desktop.status == 0 && !desktop.output.contains(u"error:"_s), qPrintable(desktop.output));
    const Run metainfo = run(u"appstream-util"_s, {u"validate-relax"_s, u"--nonet"_s,
                                                    tree.filePath(u"share/metainfo/"_s + appId + u".metainfo.xml"_s)});
    QVERIFY2(metainfo.status == 0, qPrintable(metainfo.output));

    // The MIME database built from the tree gives *.ego to Korvalo's type, and the
    // desktop entry opens that type.
    const Run mime = run(u"update-mime-database"_s, {tree.filePath(u"share/mime"_s)});
    QVERIFY2(mime.status == 0, qPrintable(mime.output));
    QFile globs(tree.filePath(u"share/mime/globs2"_s));
    QVERIFY(globs.open(QIODevice::ReadOnly));
    QVERIFY(globs.readAll().contains(":application/x-korvalo-ego:*.ego"));
    QFile entry(tree.filePath(u"share/applications/"_s + appId + u".desktop"_s));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QByteArray entryText = entry.readAll();
    QVERIFY(entryText.contains("\nMimeType=application/x-korvalo-ego;"));
    QVERIFY(entryText.contains("\nIcon=korvalo\n"));
}

void TestInstall::debianPackage()
{
    QTemporaryDir out;
    QVERIFY(out.isValid());
    const Run cpack = run(QStringLiteral(KORVALO_CPACK),
                          {u"-G"_s, u"DEB"_s, u"--config"_s, QStringLiteral(KORVALO_BUILD_DIR "/CPackConfig.cmake"),
                           u"-B"_s, out.path()});
    QVERIFY2(cpack.status == 0, qPrintable(cpack.output));
    const QStringList debs = QDir(out.path()).entryList({u"korvalo_" KORVALO_PACKAGE_VERSION "_*.deb"_s}, QDir::Files);
    QVERIFY2(debs.size() == 1, qPrintable(QDir(out.path()).entryList().join(u' ')));
    const QString deb = QDir(out.path()).filePath(debs.first());

    const Run contents = run(u"dpkg-deb"_s, {u"-c"_s, deb});
    QCOMPARE(contents.status, 0);
    for (const QString &file : installedFiles())
        QVERIFY2(contents.output.contains(u" ./usr/"_s + file + u'\n'), qPrintable(file));

    // The libraries come from the binaries themselves; the window system plugin is named.
    const Run depends = run(u"dpkg-deb"_s, {u"-f"_s, deb, u"Depends"_s});
    QCOMPARE(depends.status, 0);
    for (const QString &package : {u"libqt6widgets6"_s, u"libqt6network6"_s, u"libc6"_s, u"qt6-qpa-plugins"_s})
        QVERIFY2(depends.output.contains(package), qPrintable(depends.output));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"

#include "gui/shell/mainwindow.h"
#include "core/egofile/platformfile.h"

#include <QApplication>
#include <QIcon>

using namespace korvalo;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvalo"));
    // The desktop entry the window belongs to, and its icon: the installed theme's, or the
    // program's own copy when it runs from its build folder.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.korvalo.Korvalo"));
    QIcon own;
    for (int size : {32, 64, 256})
        own.addFile(QStringLiteral(":/icons/%1x%1/korvalo.png").arg(size));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("korvalo"), own));

    MainWindow window(std::make_shared<Document>());
    window.show();
    // An .ego file named on the command line (a double click on the file) is read at
    // once instead of offering the start chooser.
    const QStringList args = DecodedArguments(argc, argv); // names the system spells in any bytes
    window.startUp(args.size() > 1 ? args.at(1) : QString());
    return QApplication::exec();
}

#include "gui/shell/mainwindow.h"
#include "core/egofile/platformfile.h"

#include <QApplication>

using namespace korvalo;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvalo"));

    MainWindow window(std::make_shared<Document>());
    window.show();
    // An .ego file named on the command line (a double click on the file) is read at
    // once instead of offering the start chooser.
    const QStringList args = DecodedArguments(argc, argv); // names the system spells in any bytes
    window.startUp(args.size() > 1 ? args.at(1) : QString());
    return QApplication::exec();
}

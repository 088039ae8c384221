#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvalo"));

    NetworkModel model;
    MainWindow window(model);
    window.show();
    return QApplication::exec();
}

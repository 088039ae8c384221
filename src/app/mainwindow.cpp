#include "app/mainwindow.h"

MainWindow::MainWindow(NetworkModel &model, QWidget *parent)
    : QMainWindow(parent), m_model(model)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Korvalo"));
    resize(1100, 800);
}

#include "app/mainwindow.h"

#include <QTest>

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void title();
};

void TestMainWindow::title()
{
    NetworkModel model;
    MainWindow window(model);
    QCOMPARE(window.windowTitle(), QStringLiteral("Korvalo"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

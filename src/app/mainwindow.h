#pragma once

#include "model/networkmodel.h"

#include <QMainWindow>

// The main window: menus, tool bar, side panel and the map of the current card.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(NetworkModel &model, QWidget *parent = nullptr);

private:
    NetworkModel &m_model;
};

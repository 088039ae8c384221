#pragma once

#include "map/imageexport.h"
#include "model/networkmodel.h"

#include <QObject>

class JpgViewer;
class MainWindow;
class QAction;

// File > Export (pictures of the cards as JPEG files) and Card > Import Graphic > "-jpg".
// Hooks itself into those menu items of the main window. A picture is the map as the main
// window draws it: the card made current through the card switch, at the map's size, with
// the current view switches, whether the window is visible or not.
class ExportCommands : public QObject
{
    Q_OBJECT
public:
    ExportCommands(MainWindow &main, NetworkModel &model);

    // "JPG Current Card", "JPG All Cards", "JPG All Cards in 1 JPG": ask for a file name,
    // then write. Failures and stops are reported through the main window's asker.
    void exportCurrentCard();
    void exportAllCards();
    void exportStrip();
    // With "Fix Export Size" checked, the main window becomes 850 x 750 pixels (outer
    // size) and its map follows at once; otherwise nothing happens.
    void applyFixedExportSize();

    JpgViewer *viewer() const { return m_viewer; }

private:
    QString askJpegName();
    QSize mapSize() const;
    // The map of card n as the main window shows it after the card switch.
    QImage cardPicture(int card);
    void writeCardFiles(const QString &baseName);
    void reportStopped(const ExportOutcome &outcome, int total);

    MainWindow &m_main;
    NetworkModel &m_model;
    QAction *m_fixSize = nullptr;
    JpgViewer *m_viewer;
};

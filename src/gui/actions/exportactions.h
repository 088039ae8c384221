#pragma once

#include "gui/shell/shellcontext.h"
#include "core/map/imageexport.h"

#include <QObject>

#include <functional>

class QAction;

namespace korvalo {

class JpgViewer;

// File > Export (pictures of the cards as JPEG files) and Card > Import Graphic > "-jpg".
// Binds those menu items. A picture is the map as the main window draws it: the card made
// current through the card switch, drawn at the map's size with the view the main window
// draws with (`view`), whether the window is visible or not.
class ExportActions : public QObject
{
    Q_OBJECT
public:
    ExportActions(const ShellContext &shell, std::function<ViewOptions()> view);

    // "JPG Current Card", "JPG All Cards", "JPG All Cards in 1 JPG": ask for a file name,
    // then write. Failures and stops are reported through the main window's asker.
    void exportCurrentCard();
    void exportAllCards();
    void exportStrip();
    // With "Fix Export Size" checked, the shell's window becomes 850 x 750 pixels (outer
    // size) and its map follows at once; otherwise nothing happens.
    void applyFixedExportSize();

    JpgViewer *viewer() const { return m_viewer; }

private:
    // Offers the ego file's name with ".jpg" in the next save dialog.
    void suggestJpegName();
    QString askJpegName();
    // Says in the status bar which pictures were written, as a save says which file.
    void reportWritten(const QStringList &written);
    // For the exports of every card: says so when there is no card, else asks for the
    // file name and fixes the export size; empty when there is nothing to write. With
    // `perCard` the name only stands for the cards' files, and no question is asked about it.
    QString askAllCardsName(bool perCard);
    QSize mapSize() const;
    // The map of card n as the main window shows it after the card switch.
    QImage cardPicture(int card);
    // Asks once about the pictures that exist already, then writes them all.
    void writeCardFiles(const QString &baseName);
    void reportStopped(const ExportOutcome &outcome, int total);

    ShellContext m_shell;
    std::function<ViewOptions()> m_view;
    QAction *m_fixSize;
    JpgViewer *m_viewer;
};

} // namespace korvalo

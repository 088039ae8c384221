#include "gui/windows/historywindow.h"

#include "gui/dialogs/toolwindow.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace korvalo {

HistoryWindow::HistoryWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    SetUpToolWindow(this, QStringLiteral("TForm10"), QStringLiteral("Korvalo History"));
    auto *memo = new QPlainTextEdit(this);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setPlainText(QStringLiteral(
        "Version " KORVALO_VERSION "\n"
        "- Undo and redo of every change; the title marks unsaved changes.\n"
        "- Drawing with the mouse: nodes, lines and sectors, with their dialogs.\n"
        "- Selection, copying to this or the next card, editing from the keyboard.\n"
        "- Transform menu: projection, zoom, rotation, distances, node colours.\n"
        "- Analyses of distances, ties, sectors, IDs and ID continuity.\n"
        "- JPEG export of one card, all cards or a strip of all cards.\n"
        "- Import of nodes and lines from xlsx, ods, csv and xls files.\n"
        "- Recovery copies of unsaved work, recent files.\n"
        "- Ego files in Windows-1252 or UTF-8, checked by reading them back before they\n"
        "  replace the old file.\n"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memo);
    resize(460, 360);
}

} // namespace korvalo

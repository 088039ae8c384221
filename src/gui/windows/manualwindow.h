#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace korvalo {

class Menus;

// Where the manual explains a window: a page of the manual ("map" for map.md) and, when
// not its top, the text of a heading on it.
struct ManualPlace
{
    QString page;
    QString heading;
};

// The page that explains the window (dialog or info window) with that object name; the
// manual's first page for a window it does not know.
ManualPlace ManualPlaceFor(const QString &windowObjectName);

// The manual, read from the program's resources (Markdown pages under :/manual/), with its
// contents on one tab and a search over all pages on the other. Nothing is fetched from
// the network.
class ManualWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ManualWindow(QWidget *parent = nullptr);

    // The pages in the manual's order, by name ("index", "map", ...), and a page's title
    // (its first heading).
    static QStringList pages();
    static QString pageTitle(const QString &page);
    // A page's Markdown text; empty for a page that does not exist.
    static QString pageText(const QString &page);

    // Shows the page, scrolled to the heading when one is given. False when the page or
    // the heading does not exist (the page, or the first page, is shown then all the same).
    bool showPlace(const ManualPlace &place);
    QString currentPage() const;

    // Lists the pages that hold `words` (ignoring letter case) on the search tab, most hits
    // first, and shows the first of them with the first hit selected. Returns how many
    // pages hold it.
    int search(const QString &words);

private:
    void showSearchHit(int row);
    void followSource();

    QTabWidget *m_tabs;
    QListWidget *m_contents;
    QLineEdit *m_searchField;
    QListWidget *m_results;
    QTextBrowser *m_browser;
    QString m_searched;
};

// Help > "Korvalo Manual" and the F1 key: in the main window the manual opens on its
// first page, in a dialog or info window on the page that explains it. Owns the manual
// window (made when first wanted).
class ManualHelp : public QObject
{
    Q_OBJECT
public:
    ManualHelp(Menus &menus, QWidget *mainWindow);

    // Shows the manual at the place explaining `window` (a top-level window of the program).
    void showFor(const QWidget *window);
    ManualWindow *window();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_mainWindow;
    ManualWindow *m_window = nullptr;
};

} // namespace korvalo

#pragma once

#include <QSize>

#include <functional>

class QWidget;

namespace korvalo {


class Asker;
class Document;
class Menus;

// What the windows of the shell are handed instead of the main window: the document,
// the one door for questions, the menu items, the window they belong to and the size the
// map is drawn at.
struct ShellContext
{
    Document &document;
    std::function<Asker &()> asker;
    Menus &menus;
    QWidget *window;
    std::function<QSize()> mapSize;
};

} // namespace korvalo

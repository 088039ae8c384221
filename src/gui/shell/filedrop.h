#pragma once

#include <QObject>

class QMainWindow;

namespace korvalo {

class FileActions;

// An .ego file dropped on the main window is read as File > Read reads it, after the
// question whether to save the open ego's changes. Other files are not taken.
class FileDrop : public QObject
{
    Q_OBJECT
public:
    FileDrop(QMainWindow *window, FileActions &files);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FileActions &m_files;
};

} // namespace korvalo

#pragma once

#include "gui/shell/shellcontext.h"

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

namespace korvalo {


class FileActions;

// File > "Recent Files": the ego files last read or saved, newest first, kept in the
// user's settings between runs.
class RecentFiles : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxFiles = 8;

    // Fills the menu "RecentFiles1" and follows every read and save of `files`.
    RecentFiles(const ShellContext &context, FileActions &files, QObject *parent = nullptr);

    QStringList files() const;
    // Puts path at the top of the list (once), dropping the oldest beyond MaxFiles.
    void add(const QString &path);
    void clear();
    // Reads the file as File > Read does, after the same question about unsaved changes.
    // A file that no longer exists is reported and leaves the list.
    void open(const QString &path);

private:
    void store(const QStringList &files);
    void rebuildMenu();

    ShellContext m_context;
    QMenu *m_menu;
    QAction *m_separator = nullptr;
    FileActions &m_files;
};

} // namespace korvalo

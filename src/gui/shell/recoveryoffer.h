#pragma once

#include "gui/shell/shellcontext.h"

#include <QObject>

namespace korvalo {


class Autosaver;
class FileActions;

// Recovery copies in the shell: keeps the copy of the open ego while it has unsaved
// changes, and at start offers the copies that runs which did not end cleanly left
// behind.
class RecoveryOffer : public QObject
{
    Q_OBJECT
public:
    RecoveryOffer(const ShellContext &context, FileActions &files, QObject *parent = nullptr);

    // Asks about each copy left behind, newest first, naming its file and when it was
    // written: restore it, keep it for later, or discard it. After one was restored the
    // others are kept for the next start. True when a copy was restored.
    bool offerLeftovers();

    Autosaver &autosaver() const { return *m_autosaver; }

private:
    ShellContext m_context;
    FileActions &m_files;
    Autosaver *m_autosaver;
    QString m_folder;
};

} // namespace korvalo

#pragma once

#include "core/analysis/studyexport.h"
#include "gui/shell/shellcontext.h"

#include <QObject>
#include <QString>

#include <optional>

namespace korvalo {

class Asker;

// Asks whether an export carries the names and memos ("Include names and memos"): Yes
// includes them, No leaves their columns empty, Abort (or closing the box) exports nothing.
std::optional<StudyExportOptions> AskStudyExportOptions(Asker &asker);

// Whether the tables may be written into folder: asks before replacing tables that are
// there already.
bool MayWriteTables(Asker &asker, const QString &folder);

// File > Export > "Tables for R/Python..." and "GraphML...": the open ego, every card, as
// it is in memory (unsaved changes included). Binds those menu items.
class StudyExportActions : public QObject
{
    Q_OBJECT
public:
    explicit StudyExportActions(const ShellContext &shell);

    // Asks about names and memos, then for a folder, and writes the three tables there.
    void exportTables();
    // Asks about names and memos, then for a file name, and writes the GraphML file.
    void exportGraphML();

private:
    // Says so and returns false when the ego holds no card.
    bool hasCards();
    // The ego's key when it has no EgoID: its file's name, or "ego" before it has one.
    QString fallbackID() const;

    ShellContext m_shell;
};

} // namespace korvalo

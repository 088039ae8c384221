#pragma once

#include <QStringList>

namespace korvalo {


// Each command takes its own arguments (without the command name) and returns the
// process exit status. Messages go to standard error, info lines to standard output.
int runResave(const QStringList &args);
int runRender(const QStringList &args);
int runReport(const QStringList &args);
int runTransform(const QStringList &args);
int runSheetDump(const QStringList &args);
int runImportNodes(const QStringList &args);
int runImportLines(const QStringList &args);

} // namespace korvalo

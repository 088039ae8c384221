#pragma once

#include <QStringList>

#include <array>

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
int runMergeUnsure(const QStringList &args);
int runPlausibility(const QStringList &args);
int runAggregate(const QStringList &args);
int runMeasures(const QStringList &args);
int runCheckUpdate(const QStringList &args);
int runExportTables(const QStringList &args);
int runExportGraphML(const QStringList &args);
int runCompare(const QStringList &args);

// A sub-command as "korvalo-cli --help" lists it and main() runs it.
struct CliCommand
{
    const char *name;
    // The arguments after the name; a line break goes on under the first argument.
    const char *synopsis;
    const char *summary;
    int (*run)(const QStringList &args);
    // Drawing needs fonts, hence a QGuiApplication; the others make do with the core.
    bool drawsPictures = false;
};

// Every sub-command, in the order of the overview. A new sub-command is one more entry.
inline constexpr std::array<CliCommand, 15> CliCommands{{
    {"resave", "IN.ego OUT.ego [--decimal-separator C]",
     "Reads an ego file and writes it again as File > Save does.", runResave},
    {"render",
     "IN.ego OUT.png|OUT.jpg [--card N | --all-cards | --strip]\n"
     "[--size WxH] [--mode sectors] [--view NAME=on|off ...]\n"
     "| FOLDER --all-cards|--grid --out PATH",
     "Draws network cards into PNG or JPEG pictures.", runRender, true},
    {"report",
     "IN.ego|FOLDER... --analysis NAME [--card N] [--strong-circles K]\n"
     "[--mode long|short] [--format lines|tsv] [--jobs N] [--decimal-separator C]",
     "Prints the lines of an analysis for each file (--help for the names).", runReport},
    {"transform", "IN.ego OUT.ego [--card N|all] OP...",
     "Applies Transform menu commands (rotate=90, zoom-in, ...) in order.", runTransform},
    {"sheet-dump", "FILE [--sheet N]", "Prints the table around A1 of a worksheet (xlsx, ods, csv, xls).",
     runSheetDump},
    {"import-nodes", "IN.ego OUT.ego --sheet FILE [--card N] [--skip R] [--id C] ...",
     "Adds the alters of a table as nodes (--help lists the columns).", runImportNodes},
    {"import-lines", "IN.ego OUT.ego --sheet FILE [--card N] [--node-a C] [--node-b C] ...",
     "Adds the lines of an edge list.", runImportLines},
    {"merge-unsure", "IN.ego OUT.ego", "Renames the nodes of each unsure node merger to one ID.",
     runMergeUnsure},
    {"plausibility", "IN.ego|FOLDER...", "Lists IDs used with different labels or letter case.",
     runPlausibility},
    {"aggregate", "IN.ego OUT.ego [--card N]", "Adds a card summing up card N by sector and colour.",
     runAggregate},
    {"measures", "IN... [--card N] [--by-sector] [--attribute sex|sector|role|color]\n"
     "[--format tsv|csv]",
     "Prints the ego-network measures of every card (a folder for its files).", runMeasures},
    {"check-update", "[--url URL] [--timeout-ms N]",
     "Says whether a newer version of Korvalo is available (nothing is downloaded).", runCheckUpdate},
    {"export-tables", "IN... --out DIR [--include-private] [--jobs N]",
     "Writes egos.csv, alters.csv and aaties.csv of a study for R (egor) and Python.", runExportTables},
    {"export-graphml", "IN... OUT.graphml [--card N|all] [--include-private]",
     "Writes the cards of ego files as GraphML, one graph per card.", runExportGraphML},
    {"compare", "IN.ego [--cards K M] [--format text|tsv] [--picture OUT.jpg|OUT.png]\n"
     "| IN.ego --alters | IN.ego|FOLDER... --all [--format text|tsv]",
     "Shows who was kept, lost and new between two cards, or between consecutive cards.", runCompare, true},
}};

} // namespace korvalo

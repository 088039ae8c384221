#pragma once

#include "core/sheets/workbook.h"
#include "core/model/networkmodel.h"

#include <QStringList>

#include <vector>

// Turning a table of a worksheet (normally Sheet::currentRegion()) into nodes or lines for
// a network card. The functions only compute: they return what to add and what to tell
// the user, row by row, and change nothing. Apply*Import() adds a computed result to the
// card it was computed for. A result with an error adds nothing at all. The node import
// is in nodeimport.cpp, the line import in lineimport.cpp, what they share in
// importrows.cpp.

namespace korvalo {

struct ImportMessage
{
    enum Kind { Error, Warning, Note };
    Kind kind = Error;
    int row = 0;     // worksheet row (header rows counted); 0 for the whole table
    QString column;  // header of the column at fault, empty when none
    QString text;    // the complete line for the info window
};

// Column headers of a table: the texts of its first row trimmed, "(Column i)" for an
// empty one. Column i of the table is headers[i - 1].
QStringList ColumnHeaders(const Sheet &sheet, const CellRange &table);

// Column numbers count from 1 within the table; 0 means not mapped ("<auto>" or
// "<ignore>").
struct NodeImportOptions
{
    int rowsToIgnore = 1; // rows at the top that are not data; the headers are row 1
    int id = 0, label = 0, role = 0, sex = 0, human = 0, distance = 0, groupSize = 0, color = 0,
        symbol = 0, nodeSize = 0, memo1 = 0, memo2 = 0, lineValue = 0, lineColor = 0;
    QString notHumanText = QStringLiteral("no"); // a Human cell with this text: not human
    bool circleMode = false; // the Distance column holds circle numbers
    int circles = 3;         // of the card, for circleMode
    QChar decimalSeparator = u'.';
};

// What every import tells besides what it adds.
struct ImportOutcome
{
    std::vector<ImportMessage> messages;
    int rowsRead = 0;
    // True when no message is an error.
    bool ok() const;
    int errorCount() const;
};

struct NodeImportResult : ImportOutcome
{
    std::vector<Node> nodes;  // appended in this order
    std::vector<Line> lines;  // from the ego (A = 0) to the new nodes, numbered as they
                              // will be once appended to the card
    bool projectOutmost = false; // a Distance beyond 1.2: the card is projected afterwards
    // "N nodes added." and "N lines added."
    QStringList summary() const;
};

NodeImportResult ImportNodes(const Sheet &sheet, const CellRange &table, const NodeImportOptions &options,
                             const NetworkCard &card);
// Appends nodes and lines and projects the card ("Outmost Node") when asked. False, with
// the card unchanged, when the result holds an error or no longer fits the card.
bool ApplyNodeImport(NetworkCard &card, const NodeImportResult &result);

struct LineImportOptions
{
    int rowsToIgnore = 1;
    int nodeA = 1, nodeB = 2; // columns naming the two ends
    bool byId = false;        // match node IDs (and the ego's EgoID) instead of labels (Name)
    int value = 0, color = 0; // 0: value 1, colour 0
    bool ignoreEgo = false;   // rows touching the ego add no line
    QChar decimalSeparator = u'.';
};

struct LineImportResult : ImportOutcome
{
    std::vector<Line> lines;
    std::vector<int> lineRows; // the worksheet row of each line
    QStringList summary() const; // "N lines added."
};

LineImportResult ImportLines(const Sheet &sheet, const CellRange &table, const LineImportOptions &options,
                             const NetworkCard &card, const Ego &ego);
bool ApplyLineImport(NetworkCard &card, const LineImportResult &result);

} // namespace korvalo

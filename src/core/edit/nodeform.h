#pragma once

#include "core/model/networkmodel.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

namespace korvalo {

class Document;

// The node and line dialogs without their widgets: what they are prepared with, how
// Save checks their fields and turns them into one history step. The dialogs are
// modeless, so the card can change while one is open; each form remembers what it was
// opened for, and Save refuses (changing nothing) when that is no longer there.

inline const QString FormAdd = QStringLiteral("add");
inline const QString FormModify = QStringLiteral("modify");

// The symbol pictures of the node dialog, in order: none, "flash", "triangle", "box",
// "diamond". A stored Symbol that is none of these shows no picture marked.
inline constexpr int SymbolUnknown = -1;
QString SymbolName(int choice);       // "" for 0 and for anything out of range
int SymbolChoice(const QString &symbol); // SymbolUnknown for another text

struct NodeForm
{
    QString todo = FormAdd; // "add" or "modify"
    // What a "modify" form was opened for: the card, the node's number and the node as
    // it was then.
    int card = 0;
    int node = 0;
    Node original;

    QString ID, Label, Role;
    QString Sex = QStringLiteral("undefined");
    // "Human:" chosen (1) or "Non-Human:" (0); -1 when preparing leaves the buttons as
    // they are (a node whose Human is neither word).
    int Human = 1;
    QString Distance; // as typed, with the session's decimal separator or a point
    bool Group = false;
    // The group size field; when preparing, nothing leaves the field as it is.
    std::optional<QString> GroupSize;
    int Color = 1;  // palette index of the marked panel, 0 = none marked
    int Symbol = 0; // 0..4, or SymbolUnknown: keep `original.Symbol`
    QString NodeSize = QStringLiteral("normal");
    QString Memo1, Memo2;
};

// A right click at `pos` in "Add Nodes." mode: empty ID and Label, the sector's name as
// Role and its colour (red without sectors), the distance of the click with 3 decimals.
NodeForm PrepareNodeAdd(const NetworkCard &card, QPoint pos, QSize mapSize, QChar decimalSeparator);
// "Modify" on node `node` of card number `cardNumber`.
NodeForm PrepareNodeModify(const NetworkCard &card, int cardNumber, int node,
                           QChar decimalSeparator);

// Checks the fields in the dialog's order and saves: "add" appends a node to the current
// card at the angle of `newNodePos` (a distance above 1.25 writes a warning line to the
// session's info sink), "modify" rewrites the node the form was opened for. A failure
// carries the message to show; nothing is stored then. An empty group size of a group
// is set to "0" in the form before it is refused, as the dialog shows it.
Status SaveNodeForm(Document &document, NodeForm &form, QPoint newNodePos, QSize mapSize);

// A distance field's text as a number: the session's separator or a point, blanks
// around it allowed. Nothing when it is not a finite number.
std::optional<float> ParseDistance(const QString &text, QChar decimalSeparator);

struct LineForm
{
    QString todo = FormAdd;
    int card = 0;
    // "add": the two ends; "modify": the line's number and the line as it was.
    int a = 0, b = 0;
    Node nodeA, nodeB; // the ends as they were
    int line = 0;
    Line original;
    QString labelA, labelB; // the ends' labels, "Ego" for node 0
};

// After the second end was picked on the map.
LineForm PrepareLineAdd(const NetworkCard &card, int cardNumber, int a, int b);
// "Modify" on line `line`.
LineForm PrepareLineModify(const NetworkCard &card, int cardNumber, int line);

// The label the line dialog and the read-outs show for a line end.
QString EndLabel(const NetworkCard &card, int node);

// The line dialog's colour panels 1..8 stand for palette 1..6, 0 (silver: gray) and 8.
int LineColorOfPanel(int panel);

// Adds the line or changes the line's value and colour, as one history step. Refused
// (nothing stored) when the ends or the line are no longer what the form was opened for.
Status SaveLineForm(Document &document, const LineForm &form, int value, int lineColor);

} // namespace korvalo

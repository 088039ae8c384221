#pragma once

#include "core/model/networkmodel.h"

#include <QChar>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The measures researchers report for every ego network, computed per card. A card's
// network is its alters and the lines between alters; the ego counts as tied to every
// alter, so lines that touch the ego add nothing. A pair of alters is tied once however
// many lines join it; a line from a node to itself and a line of size 0 are no tie. Every
// node counts as one position, whatever its ID, Size (a group is one position) or Human
// value. A measure that is not defined for a card is empty (std::nullopt), never 0.
// docs/measures.md gives the definitions and their references.

namespace korvalo {

// The alter attribute the composition measures (EI, Blau, IQV, entropy) group by.
enum class MeasureAttribute { Sex, Sector, Role, Color };

// "sex", "sector", "role", "color" (or "colour"), any case; nothing for another word.
std::optional<MeasureAttribute> MeasureAttributeFromName(const QString &name);
QString MeasureAttributeName(MeasureAttribute attribute);

struct CardMeasures
{
    int size = 0; // alters
    int ties = 0; // distinct alter pairs joined by a line
    std::optional<double> density;
    std::optional<int> components;
    std::optional<int> isolates;
    std::optional<double> degreeCentralization;
    std::optional<double> effectiveSize;
    std::optional<double> efficiency;
    std::optional<double> constraint;
    std::optional<double> eiEgoAlter;
    std::optional<double> eiAlterAlter;
    std::optional<double> blau;
    std::optional<double> iqv;
    std::optional<double> entropy;
    // What a reader of the numbers should know, in the program's words (an ID that
    // stands on several nodes).
    QStringList warnings;
};

// All measures of card `card` (its number, for the warnings) of the ego `ego`.
CardMeasures MeasureCard(const Ego &ego, const NetworkCard &card, int cardNumber,
                         MeasureAttribute attribute = MeasureAttribute::Sex);

// One sector of a card; alters belong to the sector their angle lies in.
struct SectorMeasures
{
    int sector = 0; // 1..SectorCount
    QString name;
    int alters = 0;
    int tiesInside = 0; // ties with both ends in the sector
    std::optional<double> density; // of the ties inside; none below two alters
    // Ties with one end in the sector and the other outside it, as a share of all ties
    // with an end in it; none when no tie touches the sector.
    std::optional<double> crossingShare;
};

// One entry per sector of the card, in table order; empty for a card without sectors.
std::vector<SectorMeasures> MeasureSectors(const NetworkCard &card);

// --- Tables -------------------------------------------------------------------------

// The columns of the card table and the sector table, as korvalo-cli writes their
// headers and the window heads its columns.
QStringList CardMeasureColumns();
QStringList SectorMeasureColumns();

// A row of each table: integers as they are, reals with three decimals and `separator`,
// "NA" for a measure that is not defined.
QStringList CardMeasureRow(const QString &egoID, int card, const CardMeasures &measures,
                           QChar separator = u'.');
QStringList SectorMeasureRow(const QString &egoID, int card, const SectorMeasures &measures,
                             QChar separator = u'.');

// The value with three decimals, or "NA".
QString FormatMeasure(const std::optional<double> &value, QChar separator = u'.');

// One line of a delimited table, without the line break. With ',' (CSV) a cell holding
// a comma, a quote or a line break is quoted and its quotes doubled; with a tab (TSV)
// tabs and line breaks in a cell become blanks, so that every row stays one line.
QString DelimitedLine(const QStringList &cells, QChar delimiter);

// The rows of every card of one ego, its ID first (or, when it has none, `fallbackID`).
// `onlyCard` > 0 keeps that card alone (no rows when the ego has no such card).
std::vector<QStringList> EgoMeasureRows(const NetworkModel &model, const QString &fallbackID,
                                        MeasureAttribute attribute, bool bySector, int onlyCard,
                                        QStringList *warnings = nullptr, QChar separator = u'.');

} // namespace korvalo

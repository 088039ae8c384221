#pragma once

#include "core/map/render.h"
#include "core/model/status.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

namespace korvalo {

// Pictures of network cards as JPEG files (quality 100): one card, every card into its own
// file, or every card side by side in one picture. The functions here do not choose the
// cards' pictures themselves: a CardPicture source draws card n (from 1) as it should
// appear, so that the main window can make each card current first and the command-line
// tool can draw straight from a file.

using CardPicture = std::function<QImage(int card)>;
// Told after each card (done counts from 1); answering false stops the export there.
using ExportProgress = std::function<bool(int done, int total)>;

// The name a picture is saved under: `chosen` unless it already ends in exactly ".jpg"
// (letter case counts) gets ".jpg" appended, so "map.JPG" becomes "map.JPG.jpg".
QString JpegFileName(const QString &chosen);

// The file of card n in a one-file-per-card export: the base name (after JpegFileName)
// without its last four characters, then n, then ".jpg": "ego.jpg" gives "ego3.jpg".
QString CardJpegFileName(const QString &baseName, int card);

// A source that draws card n of `model` with RenderCard at `size` pixels with the given
// view switches. The model must outlive the source.
CardPicture RenderedCards(const NetworkModel &model, const ViewOptions &view, QSize size);

// The size of the strip of `cards` cards of `cardSize` each, cards left to right.
QSize StripSize(int cards, QSize cardSize);

// Refuses, before anything is drawn, a strip that could not be written: no cards at all,
// or a picture wider than a JPEG can be (MaxJpegDimension()). The message says why and
// how wide the strip would be.
Status CheckStrip(int cards, QSize cardSize);

// What a multi-card export achieved: the files written (in card order), whether the user
// stopped it, and the failure that ended it (ok when none).
struct ExportOutcome
{
    QStringList written;
    bool cancelled = false;
    Status status = Status::success();
};

// Writes cards 1..cards to CardJpegFileName(baseName, n), one after the other. Stops at the
// first file that cannot be written (the files before it stay) or when `progress` says so.
ExportOutcome ExportCardFiles(int cards, const QString &baseName, const CardPicture &picture,
                              const ExportProgress &progress = {});

// Cards 1..cards side by side, left to right, each `cardSize` pixels (a picture of another
// size is cut or padded with white). A null image when there is no card, the memory does
// not suffice, or `progress` stopped it; `cancelled` (when given) tells the last apart.
QImage DrawCardStrip(int cards, QSize cardSize, const CardPicture &picture,
                     const ExportProgress &progress = {}, bool *cancelled = nullptr);

// Draws the strip of cards 1..cards (DrawCardStrip) and writes it to `path`. Checked first
// with CheckStrip. Cancelled through `progress`, it writes nothing.
ExportOutcome ExportCardStrip(int cards, QSize cardSize, const QString &path,
                              const CardPicture &picture, const ExportProgress &progress = {});

} // namespace korvalo

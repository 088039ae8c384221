#pragma once

#include "core/analysis/study.h"
#include "core/map/render.h"

#include <QSize>
#include <QString>

namespace korvalo {

// Pictures of a whole study: every card of every ego file as a JPEG of its own, or one
// grid picture with a row per file. Drawing and encoding run on the study walk's worker
// threads; files are written on the delivering thread, in file order.

// The name of card n's picture in a study folder: the ego's Name, "-", the card's ID and
// ".jpg". Characters that would leave the folder or that file systems refuse become "_".
QString StudyCardPictureName(const NetworkModel &model, int card);

struct StudyPictureResult
{
    StudyWalkResult walk;              // files that could not be read, cancel
    std::vector<StudyFailure> written; // pictures written (path, empty message)
    std::vector<StudyFailure> refused; // pictures that could not be written, and why
};

// Every card of every file into outFolder, StudyCardPictureName each; a name met twice in
// one run gets " (2)", " (3)", ... so that no picture of the run replaces another.
StudyPictureResult ExportStudyCards(const QStringList &files, const QString &outFolder, const ViewOptions &view,
                                    QSize cardSize, const StudyWalkOptions &walk);

// Cards 1..3 of each file side by side, one row per file, into one JPEG at path. Refused
// before anything is drawn when the picture would be too tall for a JPEG.
StudyPictureResult ExportStudyGrid(const QStringList &files, const QString &path, const ViewOptions &view,
                                   QSize cardSize, const StudyWalkOptions &walk);

} // namespace korvalo

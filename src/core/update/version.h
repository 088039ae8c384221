#pragma once

#include <QString>
#include <QVersionNumber>

namespace korvalo {

// The program's own version, the one number the build sets (major.minor.patch).
QVersionNumber OwnVersion();

// Reads a version as the update server announces it, surrounding blanks removed:
// "3.1.0" (dotted, as the build numbers it), "3.01" (as users read it: the minor and patch
// digits after the point) or "301" (the same as a plain number: the last two digits are
// minor and patch). Anything else (letters, empty parts, no digits) gives a null version.
QVersionNumber ParseAnnouncedVersion(const QString &text);

// The version as users read it: 3.0.1 reads "3.01"; a minor or patch above 9 is written
// dotted ("3.12.0") so that it cannot be misread.
QString DisplayVersion(const QVersionNumber &version);

} // namespace korvalo

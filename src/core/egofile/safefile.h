#pragma once

#include "core/model/largebuffer.h"
#include "core/model/status.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <string_view>

namespace korvalo {

// Writes data to a temporary file beside path, flushes it to disk, lets `check` look at
// what is now on disk (an empty answer accepts it), and only then moves it over path
// (see SaveFile: a link is saved through, a read-only file is refused). On any failure
// the file at path is left as it was and nothing else stays behind. The message of a
// failure is the part after "Cannot save "name": ".
// The check gets the written file's bytes in pieces, in order, then gives its verdict.
struct WrittenFileCheck
{
    std::function<void(std::string_view piece)> consume;
    std::function<QString()> verdict;
    explicit operator bool() const { return bool(verdict); }
};
Status ReplaceFileSafely(const QString &path, std::string_view data, const WrittenFileCheck &check = {});

// Lines as a text file: each line followed by CR LF, in Windows-1252 when every
// character fits, otherwise in UTF-8 (as ego files are written).
TextBuffer TextFileBytes(const QStringList &lines);

} // namespace korvalo

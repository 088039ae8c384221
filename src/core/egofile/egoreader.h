#pragma once

#include "core/egofile/egofile.h"

#include <string_view>

namespace korvalo {

// For the ego file code itself: the writer's read-back check reads the written file as it
// comes off the disk, joined by LineJoiner (linejoin.h).

// Reads a file's joined lines (LineJoiner) as ReadEgoFile reads a file.
Result<NetworkModel> ReadJoinedLines(std::string_view joined, const QString &displayName,
                                     const ReadOptions &options = {});

} // namespace korvalo

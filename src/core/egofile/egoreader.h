#pragma once

#include "core/egofile/egofile.h"

#include <string_view>

namespace korvalo {

// For the ego file code itself: the writer's read-back check reads the written file with
// these.

// Reads a file's text as ReadEgoFile reads a file.
Result<NetworkModel> ReadEgoText(std::string_view text, const QString &displayName,
                                 const ReadOptions &options = {});

// Reads a file's joined lines (LineJoiner) as ReadEgoFile reads a file.
// `layoutTried`: ReadEgoText has found the text not in the writer's own layout.
Result<NetworkModel> ReadJoinedLines(std::string_view joined, const QString &displayName,
                                     const ReadOptions &options = {}, bool layoutTried = false);

} // namespace korvalo

#pragma once

#include "core/model/largebuffer.h"

#include <QString>

#include <string>
#include <string_view>

namespace korvalo {

// Text encodings of ego files. Older files are Windows-1252; files holding characters
// outside it are written as UTF-8. A file is read as UTF-8 when its bytes are valid
// UTF-8, otherwise as Windows-1252.

bool IsValidUtf8(std::string_view bytes);
QString DecodeEgoText(std::string_view bytes, bool utf8);

// The narrowest character set that holds every character of a text.
enum class Charset { Ascii, Windows1252, Unicode };
Charset CharsetOf(const QString &text);
// True when every character of text has a Windows-1252 byte.
bool FitsWindows1252(const QString &text);

// Appends text in UTF-8 or in Windows-1252 (which the caller checked it fits).
void AppendEgoText(TextBuffer &out, const QString &text, bool utf8);

} // namespace korvalo

#pragma once

#include "core/model/largebuffer.h"
#include "core/model/networkmodel.h"
#include "core/model/result.h"

#include <QByteArray>
#include <QString>

#include <string_view>

namespace korvalo {

// The .ego file: a tag-based text that looks like XML but is written and read by plain
// substring search (no escaping, no attributes).

// Value of the first "<name>...</name>" in text; `rest` receives the text after the
// closing tag (trimmed of blanks). Without both tags the value is empty and rest is text.
std::string_view ExtractTagValue(std::string_view text, std::string_view name,
                                 std::string_view *rest = nullptr);

// How a file is read: the decimal separator its reals use, where the distance warnings
// go (none when the sink is null), and where notes about the reading go (a file read with
// the other decimal separator; none when null).
struct ReadOptions
{
    QChar DecimalSeparator = u'.';
    InfoSink warnings;
    InfoSink notes;
};

// Reads the file at path into a new model holding the ego and all its cards, card 1
// current. On failure the message names the file, the record, the field and the
// offending text; warnings and notes reach their sinks only when the whole file was read.
// Numbers are read with options.DecimalSeparator; a file that fails only because its
// numbers are written with "." or "," instead is read with that one, and a note says
// so. What is not a regular file, or is larger than MaxEgoFileSize, is refused before it
// is read (see ReadWholeFile).
Result<NetworkModel> ReadEgoFile(const QString &path, const ReadOptions &options = {});

// The same from bytes already in memory; `displayName` is used in messages.
Result<NetworkModel> ReadEgoBytes(const QByteArray &bytes, const QString &displayName,
                                  const ReadOptions &options = {});

// Writes the whole model to path, always with '.' as decimal separator. The file is
// written beside the target, read back and compared with what the reader would make of
// the model (the field tables of egofields.h), and only then moved over the target (see
// SaveFile: links are saved through, read-only files refused): on failure the previous
// file is intact and the message says why.
Status WriteEgoFile(const NetworkModel &model, const QString &path);

// The file's bytes for the model, in Windows-1252 when every character fits and the
// bytes would not be taken for UTF-8, otherwise UTF-8.
TextBuffer EgoFileText(const NetworkModel &model);
QByteArray EgoFileBytes(const NetworkModel &model);

} // namespace korvalo

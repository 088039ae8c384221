#pragma once

#include "model/largebuffer.h"
#include "model/networkmodel.h"

#include <QByteArray>
#include <QString>

#include <string_view>

// The .ego file: a tag-based text that looks like XML but is written and read by plain
// substring search (no escaping, no attributes).

// Value of the first "<name>...</name>" in text; `rest` receives the text after the
// closing tag (trimmed of blanks). Without both tags the value is empty and rest is text.
std::string_view ExtractTagValue(std::string_view text, std::string_view name,
                                 std::string_view *rest = nullptr);

// Reads the file at path into the model, replacing the ego and all cards, and makes
// card 1 current. Info lines (distance warnings when warn is set) reach the model's
// sink. The read happens into a fresh model: on failure the model, including
// CurrentFileName, is left exactly as it was, and the message names the file, the
// record, the field and the offending text. On success CurrentFileName is path.
// Numbers are read with the model's DecimalSeparator; a file that fails only because its
// numbers are written with "." or "," instead is read with that one, and an info line
// says so. The model's DecimalSeparator is not changed. What is not a regular file, or is
// larger than MaxEgoFileSize, is refused before it is read (see ReadWholeFile).
Status ReadEgoFile(NetworkModel &model, const QString &path, bool warn);

// The same from bytes already in memory; `displayName` is used in messages.
Status ReadEgoBytes(NetworkModel &model, const QByteArray &bytes, const QString &displayName,
                    bool warn);

// Writes the whole model to path. The file is written beside the target, read back and
// compared with what the reader would make of the model (the field tables of
// egofields.h), and only then moved over the target (see SaveFile: links are saved
// through, read-only files refused): on failure the previous file is intact and the
// message says why. Sets the model's decimal separator back to
// '.'. CurrentFileName is not touched.
Status WriteEgoFile(NetworkModel &model, const QString &path);

// The file's bytes for the model, in Windows-1252 when every character fits and the
// bytes would not be taken for UTF-8, otherwise UTF-8.
TextBuffer EgoFileText(const NetworkModel &model);
QByteArray EgoFileBytes(const NetworkModel &model);

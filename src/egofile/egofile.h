#pragma once

#include "model/largebuffer.h"
#include "model/networkmodel.h"
#include "model/result.h"

#include <QByteArray>
#include <QString>

#include <string_view>

// The .ego file: a tag-based text that looks like XML but is written and read by plain
// substring search (no escaping, no attributes).

// Value of the first "<name>...</name>" in text; `rest` receives the text after the
// closing tag (trimmed of blanks). Without both tags the value is empty and rest is text.
std::string_view ExtractTagValue(std::string_view text, std::string_view name,
                                 std::string_view *rest = nullptr);

// How a file is read: the decimal separator its reals use, and where the distance
// warnings go (none when the sink is null).
struct ReadOptions
{
    QChar DecimalSeparator = u'.';
    InfoSink warnings;
};

// Reads the file at path into a new model holding the ego and all its cards, card 1
// current. On failure the message names the file, the record, the field and the
// offending text; warnings reach the sink only when the whole file was read.
Result<NetworkModel> ReadEgoFile(const QString &path, const ReadOptions &options = {});

// The same from bytes already in memory; `displayName` is used in messages.
Result<NetworkModel> ReadEgoBytes(const QByteArray &bytes, const QString &displayName,
                                  const ReadOptions &options = {});

// Writes the whole model to path, always with '.' as decimal separator. The file is
// written beside the target, read back and compared with the model, and only then moved
// over the target: on failure the previous file is intact and the message says why.
Status WriteEgoFile(const NetworkModel &model, const QString &path);

// The file's bytes for the model, in Windows-1252 when every character fits, otherwise
// UTF-8.
TextBuffer EgoFileText(const NetworkModel &model);
QByteArray EgoFileBytes(const NetworkModel &model);

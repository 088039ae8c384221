#pragma once

#include "core/model/status.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace korvalo {

// Pictures of the maps as JPEG files. The encoder is libjpeg(-turbo) itself: the map's thin
// coloured lines and small labels need full-resolution colour (4:4:4), which Qt's own JPEG
// writer cannot be told to keep.

// The widest or tallest picture the encoder accepts, in pixels. The JPEG format stores
// sizes in 16 bits; libjpeg stops a little short of that.
int MaxJpegDimension();

// Encodes `image` as a baseline colour JPEG: accurate integer DCT, the given quality
// (1..100), no chroma subsampling. Any image format is accepted; an alpha channel is
// dropped. A picture wider or higher than MaxJpegDimension() is refused. On failure the result is empty and `error` (when given) says why in the
// program's own words; the library never ends the process.
QByteArray EncodeJpeg(const QImage &image, int quality, QString *error = nullptr);

// Encodes `image` and writes it to `path` through a temporary file beside it that is moved
// over `path` only when complete: a failed write never leaves a half-written picture under
// that name, and an existing file is replaced without a question. The message of a failure
// names the file and the reason.
Status WriteJpegFile(const QImage &image, const QString &path, int quality = 100);

} // namespace korvalo

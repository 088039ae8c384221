#pragma once

#include <QLocale>
#include <QString>

// What the two implementations of platformfile.h (platformfile_posix.cpp and
// platformfile_qt.cpp) say alike.

namespace korvalo::platformfile {

inline QString TooLarge(qint64 size, qint64 maxSize)
{
    const auto sizeText = [](qint64 bytes) {
        return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
    };
    return QStringLiteral("the file is %1 large, more than any ego file can be (%2).")
        .arg(sizeText(size), sizeText(maxSize));
}

// The temporary file a save writes before it replaces the file.
inline QString TemporaryName(const QString &fileName)
{
    return fileName + QStringLiteral(".korvalo-save.tmp");
}

} // namespace korvalo::platformfile

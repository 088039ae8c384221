#include "core/update/version.h"

#include <QStringList>

namespace korvalo {

QVersionNumber OwnVersion()
{
    return QVersionNumber::fromString(QStringLiteral(KORVALO_VERSION_NUMBER));
}

namespace {

bool allDigits(QStringView text)
{
    if (text.isEmpty() || text.size() > 9) // nine digits still fit an int
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

QVersionNumber ParseAnnouncedVersion(const QString &text)
{
    const QStringList parts = text.trimmed().split(u'.');
    for (const QString &part : parts) {
        if (!allDigits(part))
            return {};
    }
    if (parts.size() == 1) {
        const int number = parts.first().toInt();
        return QVersionNumber(number / 100, number / 10 % 10, number % 10);
    }
    if (parts.size() == 2 && parts.at(1).size() == 2) {
        const int minorPatch = parts.at(1).toInt();
        return QVersionNumber(parts.at(0).toInt(), minorPatch / 10, minorPatch % 10);
    }
    QList<int> segments;
    for (const QString &part : parts)
        segments << part.toInt();
    return QVersionNumber(segments);
}

QString DisplayVersion(const QVersionNumber &version)
{
    const int minor = version.minorVersion();
    const int patch = version.microVersion();
    if (minor <= 9 && patch <= 9 && version.segmentCount() <= 3)
        return QStringLiteral("%1.%2%3").arg(version.majorVersion()).arg(minor).arg(patch);
    return version.toString();
}

} // namespace korvalo

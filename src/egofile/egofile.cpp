#include "egofile/egofile.h"

std::string_view ExtractTagValue(std::string_view text, std::string_view, std::string_view *rest)
{
    if (rest)
        *rest = text;
    return {};
}

Status ReadEgoFile(NetworkModel &, const QString &, bool)
{
    return Status::failure(QStringLiteral("Reading ego files is not available yet."));
}

Status ReadEgoBytes(NetworkModel &, const QByteArray &, const QString &, bool)
{
    return Status::failure(QStringLiteral("Reading ego files is not available yet."));
}

Status WriteEgoFile(NetworkModel &, const QString &)
{
    return Status::failure(QStringLiteral("Writing ego files is not available yet."));
}

QByteArray EgoFileBytes(const NetworkModel &)
{
    return {};
}

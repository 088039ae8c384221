#include "egofile/safefile.h"

#include "egofile/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

Status ReplaceFileSafely(const QString &path, std::string_view data, const WrittenFileCheck &check)
{
    const QFileInfo target(path);
    auto refuse = [&](const QString &why) {
        return Status::failure(QStringLiteral("Cannot save \"%1\": %2").arg(target.fileName(), why));
    };
    if (target.isDir())
        return refuse(QStringLiteral("a folder of that name exists."));

    QTemporaryFile temp(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.tmp").arg(target.fileName())));
    if (!temp.open())
        return refuse(QStringLiteral("no file can be created in \"%1\" (%2).")
                          .arg(QDir::toNativeSeparators(target.absolutePath()), temp.errorString()));
    if (temp.write(data.data(), qint64(data.size())) != qint64(data.size()) || !temp.flush()
        || ::fsync(temp.handle()) != 0)
        return refuse(QStringLiteral("writing failed (%1). The previous file is unchanged.").arg(temp.errorString()));

    uchar *mapped = nullptr;
    if (check) {
        QByteArray written;
        mapped = temp.size() > 0 ? temp.map(0, temp.size()) : nullptr;
        if (mapped) {
            written = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), qsizetype(temp.size()));
        } else {
            if (!temp.seek(0))
                return refuse(QStringLiteral("the written file cannot be read back (%1).").arg(temp.errorString()));
            written = temp.readAll();
        }
        const QString problem = check(written);
        if (!problem.isEmpty())
            return refuse(problem + QStringLiteral(" The previous file is unchanged."));
    }

    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (target.exists())
        permissions = target.permissions();
    temp.setPermissions(permissions);
    if (mapped)
        temp.unmap(mapped);
    temp.close();
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return refuse(QStringLiteral("the file cannot be replaced (%1). The previous file is unchanged.")
                          .arg(QString::fromLocal8Bit(std::strerror(errno))));
    temp.setAutoRemove(false);
    return Status::success();
}

TextBuffer TextFileBytes(const QStringList &lines)
{
    Charset widest = Charset::Ascii;
    for (const QString &line : lines)
        widest = std::max(widest, CharsetOf(line));
    auto text = [&lines](bool utf8) {
        TextBuffer out;
        for (const QString &line : lines) {
            AppendEgoText(out, line, utf8);
            out += "\r\n";
        }
        return out;
    };
    // As ego files: Windows-1252 bytes that would be taken for UTF-8 are written as UTF-8.
    if (widest == Charset::Windows1252) {
        TextBuffer out = text(false);
        if (!IsValidUtf8(out))
            return out;
    }
    return text(widest != Charset::Ascii);
}

// The calls of platformfile.h through Qt's file classes alone, for systems without the
// POSIX calls and for builds with KORVALO_PORTABLE_FILES. CMake builds this file or
// platformfile_posix.cpp.

#include "core/egofile/platformfile.h"

#include "core/egofile/platformfile_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

namespace korvalo {

using platformfile::TemporaryName;
using platformfile::TooLarge;

namespace {

constexpr qint64 PieceSize = qint64(1) << 20;

// Reads an open file from its current position to its end in pieces; `expected` is
// how much there should be.
QString readPieces(QFile &file, qint64 expected, const std::function<void(std::string_view)> &consume)
{
    std::vector<char> buffer(size_t(std::min<qint64>(std::max<qint64>(expected, 1), PieceSize)));
    qint64 total = 0;
    for (;;) {
        const qint64 got = file.read(buffer.data(), qint64(buffer.size()));
        if (got < 0)
            return file.errorString() + u'.';
        if (got == 0)
            break;
        total += got;
        if (total > expected)
            break;
        consume(std::string_view(buffer.data(), size_t(got)));
    }
    if (total != expected)
        return QStringLiteral("the file changed while it was read; try again.");
    return {};
}

} // namespace

QString ReadFileInPieces(const QString &path, const std::function<void(qint64 size)> &start,
                         const std::function<void(std::string_view piece)> &consume, qint64 maxSize)
{
    const QFileInfo info(path);
    if (info.exists() && info.isDir())
        return QStringLiteral("it is a folder.");
    if (info.exists() && !info.isFile())
        return QStringLiteral("it is not a regular file.");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot open: %1.").arg(file.errorString());
    const qint64 size = file.size();
    if (size > maxSize)
        return TooLarge(size, maxSize);
    start(size);
    return readPieces(file, size, consume);
}

QString ReadWholeFile(const QString &path, TextBuffer &bytes, qint64 maxSize)
{
    TextBuffer data;
    const QString error = ReadFileInPieces(
        path, [&data](qint64 size) { data.reserve(size_t(size)); },
        [&data](std::string_view piece) { data.append(piece); }, maxSize);
    if (error.isEmpty())
        bytes = std::move(data);
    return error;
}

// The data goes to a temporary file of our own, which can be read back (QSaveFile's
// cannot). Qt has no public call that moves a file over another, so commit() copies the
// checked bytes through a QSaveFile, which replaces the target in one step.
struct SaveFile::Handle
{
    QFile temp;
    qint64 written = 0;
};

SaveFile::SaveFile(const QString &target) : m_target(target), m_handle(new Handle)
{
    const QFileInfo info(target);
    m_resolved = info.isSymLink() ? info.symLinkTarget() : target;
    m_temp = TemporaryName(m_resolved);
    m_handle->temp.setFileName(m_temp);
}

SaveFile::~SaveFile()
{
    m_handle->temp.close();
    if (m_created)
        QFile::remove(m_temp);
    delete m_handle;
}

QString SaveFile::open()
{
    const QFileInfo info(m_resolved);
    if (info.isDir())
        return QStringLiteral("a folder of that name exists.");
    if (info.exists() && !info.isFile())
        return QStringLiteral("it is not a regular file.");
    // Write permission bits, not only isWritable(): an administrator may write anything,
    // but a file someone marked read-only is kept.
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & anyWrite)))
        return QStringLiteral("the file is read-only.");
    m_targetExists = info.exists();
    // A leftover of a save that was cut short goes first.
    QFile::remove(m_temp);
    // Unbuffered, so that a full disk shows at the write with the system's reason.
    if (!m_handle->temp.open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered))
        return QStringLiteral("no file can be created in \"%1\" (%2).")
            .arg(QDir::toNativeSeparators(info.absolutePath()), m_handle->temp.errorString());
    m_created = true;
    return {};
}

QString SaveFile::writeAndSync(std::string_view data)
{
    QFile &temp = m_handle->temp;
    // A write cut short gives no reason; the next one, which fails, does.
    const char *p = data.data();
    qint64 left = qint64(data.size());
    while (left > 0) {
        const qint64 n = temp.write(p, left);
        if (n <= 0)
            return QStringLiteral("writing failed (%1).").arg(temp.errorString());
        p += n;
        left -= n;
        m_handle->written += n;
    }
    if (!temp.flush())
        return QStringLiteral("writing failed (%1).").arg(temp.errorString());
    return {};
}

QString SaveFile::readBack(const std::function<void(std::string_view piece)> &consume)
{
    QFile &temp = m_handle->temp;
    if (!temp.seek(0))
        return QStringLiteral("the written file cannot be read back (%1).").arg(temp.errorString());
    const QString error = readPieces(temp, m_handle->written, consume);
    if (!error.isEmpty())
        return QStringLiteral("the written file cannot be read back (%1)").arg(error.chopped(1)) + u'.';
    return {};
}

QString SaveFile::commit()
{
    QFile &temp = m_handle->temp;
    QSaveFile out(m_resolved);
    if (!out.open(QIODevice::WriteOnly))
        return QStringLiteral("the file cannot be replaced (%1).").arg(out.errorString());
    QString copyError;
    if (!temp.seek(0)) {
        copyError = temp.errorString() + u'.';
    } else {
        copyError = readPieces(temp, m_handle->written, [&out](std::string_view piece) {
            out.write(piece.data(), qint64(piece.size()));
        });
    }
    if (!copyError.isEmpty()) {
        out.cancelWriting();
        return QStringLiteral("the written file cannot be read back (%1)").arg(copyError.chopped(1)) + u'.';
    }
    if (!out.commit())
        return QStringLiteral("the file cannot be replaced (%1).").arg(out.errorString());
    m_committed = true;
    if (!m_targetExists)
        QFile::setPermissions(m_resolved, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return {};
}

QString DecodeFileName(const QByteArray &name)
{
    return QFile::decodeName(name);
}

QByteArray EncodeFileName(const QString &name)
{
    return QFile::encodeName(name);
}

QStringList DecodedArguments(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

const char *FindBytes(const char *bytes, std::size_t size, const char *needle, std::size_t needleSize)
{
    const char *end = bytes + size;
    const char *hit = std::search(bytes, end, std::boyer_moore_horspool_searcher(needle, needle + needleSize));
    return hit == end && needleSize > 0 ? nullptr : hit;
}

void *AllocateLargeBlock(std::size_t bytes)
{
    return std::malloc(bytes);
}

void FreeLargeBlock(void *p, std::size_t)
{
    std::free(p);
}

} // namespace korvalo

// The calls of platformfile.h on POSIX systems (Linux, macOS): a file cut short by another
// program, a FIFO or a device cannot hang or crash the reader, and a save reaches the disk
// before it replaces the old file. CMake builds this file or platformfile_qt.cpp.

#include "core/egofile/platformfile.h"

#include "core/egofile/platformfile_p.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvalo {

using platformfile::TemporaryName;
using platformfile::TooLarge;

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Reads exactly `size` bytes unless the file ends first; the count read, or -1 (errno set).
qint64 readFully(int fd, char *into, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, into + done, size_t(std::min<qint64>(size - done, qint64(1) << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

constexpr qint64 PieceSize = qint64(1) << 20;

QString readOpenFile(int fd, qint64 maxSize, const std::function<void(qint64)> &start,
                     const std::function<void(std::string_view)> &consume)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return systemError(errno) + u'.';
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("it is a folder.");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("it is not a regular file.");
    if (st.st_size > maxSize)
        return TooLarge(st.st_size, maxSize);
    start(st.st_size);
    std::vector<char> buffer(size_t(std::min<qint64>(std::max<qint64>(st.st_size, 1), PieceSize)));
    qint64 total = 0;
    for (;;) {
        const qint64 got = readFully(fd, buffer.data(), qint64(buffer.size()));
        if (got < 0)
            return systemError(errno) + u'.';
        if (got == 0)
            break;
        total += got;
        if (total > st.st_size)
            break;
        consume(std::string_view(buffer.data(), size_t(got)));
    }
    if (total != st.st_size)
        return QStringLiteral("the file changed while it was read; try again.");
    return {};
}

QString readOpenFile(int fd, TextBuffer &bytes, qint64 maxSize)
{
    TextBuffer data;
    const QString error = readOpenFile(
        fd, maxSize, [&data](qint64 size) { data.reserve(size_t(size)); },
        [&data](std::string_view piece) { data.append(piece); });
    if (error.isEmpty())
        bytes = std::move(data);
    return error;
}

QByteArray directoryOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// The end of a chain of symbolic links, as bytes; the path itself when it is no link.
QByteArray resolveLinks(QByteArray path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(path.constData(), buf, sizeof buf);
        if (n <= 0 || size_t(n) >= sizeof buf)
            return path;
        QByteArray link(buf, qsizetype(n));
        path = link.startsWith('/') ? link : directoryOf(path) + '/' + link;
    }
    return path;
}

} // namespace

struct SaveFile::Handle
{
    int fd = -1;
    QByteArray temp;
    QByteArray resolved;
};

namespace {

// Non-blocking, so that opening a FIFO does not wait for a writer.
int openForReading(const QString &path)
{
    return ::open(EncodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

} // namespace

QString ReadWholeFile(const QString &path, TextBuffer &bytes, qint64 maxSize)
{
    const int fd = openForReading(path);
    if (fd < 0)
        return QStringLiteral("cannot open: %1.").arg(systemError(errno));
    const QString error = readOpenFile(fd, bytes, maxSize);
    ::close(fd);
    return error;
}

QString ReadFileInPieces(const QString &path, const std::function<void(qint64 size)> &start,
                         const std::function<void(std::string_view piece)> &consume, qint64 maxSize)
{
    const int fd = openForReading(path);
    if (fd < 0)
        return QStringLiteral("cannot open: %1.").arg(systemError(errno));
    const QString error = readOpenFile(fd, maxSize, start, consume);
    ::close(fd);
    return error;
}

SaveFile::SaveFile(const QString &target) : m_target(target), m_handle(new Handle)
{
    m_handle->resolved = resolveLinks(EncodeFileName(target));
    m_resolved = DecodeFileName(m_handle->resolved);
    const qsizetype slash = m_handle->resolved.lastIndexOf('/');
    const QByteArray name = m_handle->resolved.mid(slash + 1);
    m_handle->temp = m_handle->resolved.left(slash + 1) + EncodeFileName(TemporaryName(DecodeFileName(name)));
    m_temp = DecodeFileName(m_handle->temp);
}

SaveFile::~SaveFile()
{
    if (m_handle->fd >= 0)
        ::close(m_handle->fd);
    if (m_created && !m_committed)
        ::unlink(m_handle->temp.constData());
    delete m_handle;
}

QString SaveFile::open()
{
    struct stat st;
    if (::stat(m_handle->resolved.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return QStringLiteral("a folder of that name exists.");
        if (!S_ISREG(st.st_mode))
            return QStringLiteral("it is not a regular file.");
        // Write permission bits, not access(): an administrator may write anything, but
        // a file someone marked read-only is kept.
        if ((st.st_mode & 0222) == 0 || ::access(m_handle->resolved.constData(), W_OK) != 0)
            return QStringLiteral("the file is read-only.");
        m_targetExists = true;
        m_targetMode = st.st_mode & 07777;
    }
    // A leftover of a save that was cut short goes first; creating anew keeps a link
    // planted under that name from being followed.
    ::unlink(m_handle->temp.constData());
    m_handle->fd = ::open(m_handle->temp.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_handle->fd < 0) {
        const int error = errno;
        return QStringLiteral("no file can be created in \"%1\" (%2).")
            .arg(DecodeFileName(directoryOf(m_handle->resolved)), systemError(error));
    }
    m_created = true;
    return {};
}

QString SaveFile::writeAndSync(std::string_view data)
{
    const char *p = data.data();
    size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(m_handle->fd, p, std::min<size_t>(left, size_t(1) << 30));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return QStringLiteral("writing failed (%1).").arg(systemError(errno));
        }
        p += n;
        left -= size_t(n);
    }
    // A full disk may only show here, when the data is really written.
    if (::fsync(m_handle->fd) != 0)
        return QStringLiteral("writing failed (%1).").arg(systemError(errno));
    return {};
}

QString SaveFile::readBack(const std::function<void(std::string_view piece)> &consume)
{
    if (::lseek(m_handle->fd, 0, SEEK_SET) != 0)
        return QStringLiteral("the written file cannot be read back (%1).").arg(systemError(errno));
    const QString error = readOpenFile(m_handle->fd, std::numeric_limits<qint64>::max(), [](qint64) {}, consume);
    if (!error.isEmpty())
        return QStringLiteral("the written file cannot be read back (%1)").arg(error.chopped(1)) + u'.';
    return {};
}

QString SaveFile::commit()
{
    ::fchmod(m_handle->fd, m_targetExists ? m_targetMode : 0644);
    const int fd = m_handle->fd;
    m_handle->fd = -1;
    if (::close(fd) != 0)
        return QStringLiteral("writing failed (%1).").arg(systemError(errno));
    if (::rename(m_handle->temp.constData(), m_handle->resolved.constData()) != 0)
        return QStringLiteral("the file cannot be replaced (%1).").arg(systemError(errno));
    m_committed = true;
    // The new name must reach the disk too, or a crash could bring back the old file.
    const int dir = ::open(directoryOf(m_handle->resolved).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

QString DecodeFileName(const QByteArray &name)
{
    QString out;
    out.reserve(name.size());
    const auto *s = reinterpret_cast<const unsigned char *>(name.constData());
    const qsizetype n = name.size();
    qsizetype i = 0;
    while (i < n) {
        // The longest valid UTF-8 sequence from here, else one byte escaped.
        int len = 0;
        const unsigned char c = s[i];
        if (c < 0x80)
            len = 1;
        else if (c >= 0xC2 && c <= 0xDF)
            len = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            len = 3;
        else if (c >= 0xF0 && c <= 0xF4)
            len = 4;
        bool valid = len > 0 && i + len <= n;
        for (int k = 1; valid && k < len; ++k)
            valid = (s[i + k] & 0xC0) == 0x80;
        if (valid && len >= 3) {
            const QString decoded = QString::fromUtf8(name.constData() + i, len);
            valid = decoded.size() >= 1 && !decoded.contains(QChar::ReplacementCharacter)
                    && !(len == 3 && decoded.at(0).isSurrogate());
            if (valid) {
                out += decoded;
                i += len;
                continue;
            }
        }
        if (valid && len <= 2) {
            out += QString::fromUtf8(name.constData() + i, len);
            i += len;
            continue;
        }
        out += QChar(char16_t(0xDC00 + c));
        ++i;
    }
    return out;
}

QByteArray EncodeFileName(const QString &name)
{
    QByteArray out;
    out.reserve(name.size());
    qsizetype run = 0; // start of the text not yet encoded
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        const bool escaped = c >= 0xDC80 && c <= 0xDCFF
                             && (i == 0 || !QChar::isHighSurrogate(name.at(i - 1).unicode()));
        if (escaped) {
            out += QStringView(name).mid(run, i - run).toUtf8();
            out += char(c - 0xDC00);
            run = i + 1;
        }
    }
    out += QStringView(name).mid(run).toUtf8();
    return out;
}

QStringList DecodedArguments(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << DecodeFileName(QByteArray(argv[i]));
    return args;
}

const char *FindBytes(const char *bytes, std::size_t size, const char *needle, std::size_t needleSize)
{
    return static_cast<const char *>(::memmem(bytes, size, needle, needleSize));
}

void *AllocateLargeBlock(std::size_t bytes)
{
    void *p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
#ifdef MADV_HUGEPAGE
    ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
    return p;
}

void FreeLargeBlock(void *p, std::size_t bytes)
{
    ::munmap(p, bytes);
}

} // namespace korvalo

#pragma once

#include "core/model/largebuffer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <string_view>

namespace korvalo {

// What the ego file code needs from the operating system, in one place: whole-file
// reads, saving beside a file and moving over it, file names as the system spells them,
// and big blocks of memory. POSIX systems get the system calls (platformfile_posix.cpp: a
// file cut short by another program, a FIFO or a device cannot hang or crash the reader,
// and a save reaches the disk); elsewhere, or with the CMake option
// KORVALO_PORTABLE_FILES, Qt's file classes do the same work (platformfile_qt.cpp).
// Nothing else in the core calls the system directly.

// The largest file the reader takes; an ego at capacity is about 60 MB.
inline constexpr qint64 MaxEgoFileSize = 1000 * 1000 * 1000;

// Reads the whole file at path into `bytes`. Refuses, without blocking and before
// reading, what is not a regular file (a folder, a device, a FIFO) and a file larger
// than maxSize; refuses a file whose size changes while it is read. Returns an empty
// text on success, otherwise the reason, to follow "Cannot read "name": " (the reason
// of a file that cannot be opened starts with "cannot open: ").
QString ReadWholeFile(const QString &path, TextBuffer &bytes, qint64 maxSize = MaxEgoFileSize);
// The same in pieces of at most a megabyte: `start` learns the file's size once it is
// accepted, then `consume` gets the pieces in order. On failure the pieces handed out so
// far are to be dropped.
QString ReadFileInPieces(const QString &path, const std::function<void(qint64 size)> &start,
                         const std::function<void(std::string_view piece)> &consume,
                         qint64 maxSize = MaxEgoFileSize);

// A file being saved. The data goes to a temporary file beside the target, named
// "<name>.korvalo-save.tmp" so that a person knows what it is; a leftover of an earlier
// save of the same file that was cut short is removed first. A symbolic link is saved
// through: the temporary file lies beside the link's target, which is replaced, and the
// link stays. Only commit() replaces the target; until then it is untouched, and the
// destructor removes the temporary file unless commit() succeeded. Every step returns an
// empty text on success, otherwise the reason in the system's words, to follow
// "Cannot save "name": ".
class SaveFile
{
public:
    explicit SaveFile(const QString &target);
    ~SaveFile();
    SaveFile(const SaveFile &) = delete;
    SaveFile &operator=(const SaveFile &) = delete;

    // Refuses a folder or a read-only file at the target, then creates the temporary file.
    QString open();
    // Writes all of data and flushes it to the disk.
    QString writeAndSync(std::string_view data);
    // What is on the disk now, in pieces of at most a megabyte.
    QString readBack(const std::function<void(std::string_view piece)> &consume);
    // Gives the temporary file the target's permissions (a new file: rw-r--r--), moves it
    // over the target and flushes the folder.
    QString commit();

    // The file that will be replaced: the target, or the end of its chain of links.
    QString resolvedTarget() const { return m_resolved; }
    QString temporaryPath() const { return m_temp; }

private:
    QString m_target;
    QString m_resolved;
    QString m_temp;
    bool m_targetExists = false;
    unsigned m_targetMode = 0644;
    bool m_created = false;
    bool m_committed = false;
    struct Handle;
    Handle *m_handle = nullptr;
};

// File names as the system spells them. With the POSIX calls a name is bytes: valid UTF-8
// is decoded as such, and every other byte becomes U+DC80 + byte, which EncodeFileName
// turns back into the same byte, so that every name reaches its file again. With Qt's
// file classes these are QFile::decodeName/encodeName.
QString DecodeFileName(const QByteArray &name);
QByteArray EncodeFileName(const QString &name);
// The program's arguments decoded as file names (argv[0] included).
QStringList DecodedArguments(int argc, char **argv);

// The first occurrence of needle in the bytes, or null. glibc's memmem skips ahead by up
// to the needle's length, which matters in a text where every tenth byte is a '<'.
const char *FindBytes(const char *bytes, std::size_t size, const char *needle, std::size_t needleSize);

// AllocateLargeBlock and FreeLargeBlock (model/largebuffer.h) are defined here as well.

} // namespace korvalo

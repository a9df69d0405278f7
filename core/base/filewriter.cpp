#include "filewriter.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileWriter {

namespace {

// The descriptor a path names when it is one of this process's own streams;
// -1 otherwise. Opening /dev/stdout anew would truncate a file the shell
// opened for appending, and renaming over it would cut the link to the
// shell's redirection, so these are written through the open descriptor.
int streamDescriptor(const QString& path)
{
    if (path == QLatin1String("-") || path == QLatin1String("/dev/stdout"))
        return STDOUT_FILENO;
    if (path == QLatin1String("/dev/stderr"))
        return STDERR_FILENO;
    for (const QLatin1String prefix : {QLatin1String("/dev/fd/"), QLatin1String("/proc/self/fd/")}) {
        if (!path.startsWith(prefix))
            continue;
        bool ok = false;
        const int fd = path.mid(prefix.size()).toInt(&ok, 10);
        return ok && fd >= 0 ? fd : -1;
    }
    return -1;
}

// Every byte, or the errno of the failure. A short write is not the end:
// the next write() says why it was short (EFBIG, ENOSPC).
int writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                // A non-blocking pipe that is full: wait until it drains.
                pollfd pfd{fd, POLLOUT, 0};
                if (::poll(&pfd, 1, -1) < 0 && errno != EINTR)
                    return errno;
                continue;
            }
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        p += n;
        left -= n;
    }
    return 0;
}

Status straight(const QByteArray& native, const QByteArray& bytes)
{
    // No O_CREAT: the path exists and is not a regular file; if it has just
    // vanished, a regular file must not appear in its place by this road.
    const int fd = ::open(native.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {errno};
    int error = writeAll(fd, bytes);
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return {error};
}

// The file a path finally names, following symbolic links; the path itself
// when it is no link. A dangling link names the file it would create.
QByteArray resolveLinks(const QByteArray& native)
{
    QByteArray current = native;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.constData(), target.data(), size_t(target.size()));
        if (n <= 0)
            return current;
        target.truncate(n);
        if (!target.startsWith('/')) {
            const qsizetype slash = current.lastIndexOf('/');
            target = (slash < 0 ? QByteArray() : current.left(slash + 1)) + target;
        }
        current = target;
    }
    return current;
}

QByteArray folderOf(const QByteArray& native)
{
    const qsizetype slash = native.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : native.left(slash);
}

Status replace(const QByteArray& target, const QByteArray& bytes, const struct stat* old)
{
    const QByteArray folder = folderOf(target);
    const QByteArray name = target.mid(target.lastIndexOf('/') + 1);
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "/." + name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // A new file gets the mode the umask gives any new file.
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, old ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            return {errno};
    }
    if (fd < 0)
        return {EEXIST};
    if (old) {
        // Only root may give a file away; for anyone else this fails and the
        // new file is theirs, as it would be after any editor's save.
        const int owned = ::fchown(fd, old->st_uid, old->st_gid);
        Q_UNUSED(owned);
        // After the owner: a change of owner clears the set-id bits.
        const int moded = ::fchmod(fd, old->st_mode & 07777);
        Q_UNUSED(moded);
    }
    int error = writeAll(fd, bytes);
    struct stat written;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error == 0 && (::fstat(fd, &written) != 0 || written.st_size != bytes.size()))
        error = EIO;   // the file system lost bytes it said it took
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error == 0 && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.constData());
        return {error};
    }
    // The rename itself is only durable once the folder is synced.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace

Status write(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return {ENOENT};
    const int stream = streamDescriptor(path);
    if (stream >= 0)
        return {writeAll(stream, bytes)};
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            if (S_ISDIR(st.st_mode))
                return {EISDIR};
            return straight(native, bytes);
        }
        return replace(resolveLinks(native), bytes, &st);
    }
    if (errno != ENOENT)
        return {errno};
    return replace(resolveLinks(native), bytes, nullptr);
}

Status checkWritable(const QString& path)
{
    if (path.isEmpty())
        return {ENOENT};
    if (streamDescriptor(path) >= 0)
        return {};
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return {EISDIR};
        if (!S_ISREG(st.st_mode))
            return {::access(native.constData(), W_OK) == 0 ? 0 : errno};
    } else if (errno != ENOENT) {
        return {errno};
    }
    const QByteArray folder = folderOf(resolveLinks(native));
    struct stat dir;
    if (::stat(folder.constData(), &dir) != 0)
        return {errno};
    if (!S_ISDIR(dir.st_mode))
        return {ENOTDIR};
    return {::access(folder.constData(), W_OK | X_OK) == 0 ? 0 : errno};
}

Status openPipe(const QString& path, int* fd)
{
    *fd = -1;
    if (path.isEmpty() || streamDescriptor(path) >= 0)
        return {};
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0 || !S_ISFIFO(st.st_mode))
        return {};
    const int opened = ::open(native.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (opened < 0)
        return {errno};
    // Blocking from here on: writeAll() waits for a full pipe either way.
    const int flags = ::fcntl(opened, F_GETFL);
    if (flags >= 0)
        ::fcntl(opened, F_SETFL, flags & ~O_NONBLOCK);
    *fd = opened;
    return {};
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

}

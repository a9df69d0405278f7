#pragma once
// Helpers for tests of failed saves: a file-size limit as `ulimit -f` sets
// it, and device nodes that stand in for /dev/null and /dev/full.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// While it lives, no file of this process may grow past `bytes`. A write
// that would is cut short by the kernel (a real short write, as on a full
// disk) and the next one fails with EFBIG; SIGXFSZ is ignored so that the
// failure is reported rather than ending the test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_signal);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_saved{};
    void (*m_signal)(int) = nullptr;
    bool m_ok = false;
};

// A character device that behaves as `real` (1,3 as /dev/null, 1,7 as
// /dev/full). Root gets a node of the same numbers made in `dir`, so that a
// writer that wrongly renames over it can only harm the copy; anyone else
// gets the real device, which a normal user cannot remove. Empty when root
// may not make device nodes here.
inline QString deviceStandIn(const QString& dir, const QString& real, unsigned major, unsigned minor)
{
    if (::geteuid() != 0)
        return real;
    const QString path = dir + QStringLiteral("/") + real.section(u'/', -1);
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(major, minor)) != 0)
        return {};
    return path;
}

struct NodeId {
    dev_t dev = 0;
    ino_t ino = 0;
    mode_t mode = 0;
    bool operator==(const NodeId&) const = default;
};

inline NodeId nodeId(const QString& path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {st.st_dev, st.st_ino, st.st_mode};
}

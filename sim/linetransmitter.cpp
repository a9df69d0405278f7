#include "linetransmitter.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
// A line nobody reads for this long drops what it could not send, as a
// cable with no radio program on the other end does.
constexpr int GiveUpMs = 50;
}

LineTransmitter::~LineTransmitter()
{
    stop();
}

std::int64_t LineTransmitter::nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void LineTransmitter::start(int fd)
{
    stop();
    m_fd = fd;
    m_stopping = false;
    m_thread = std::thread([this] { run(); });
}

void LineTransmitter::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_fd = -1;
}

void LineTransmitter::send(const QByteArray& bytes, std::int64_t dueNs)
{
    if (bytes.isEmpty())
        return;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        // Bytes leave in order: nothing overtakes what was queued before it.
        if (!m_queue.empty() && dueNs < m_queue.back().dueNs)
            dueNs = m_queue.back().dueNs;
        m_queue.push_back(Item{dueNs, bytes});
    }
    m_wake.notify_all();
}

void LineTransmitter::run()
{
    // The kernel may otherwise let a timed wait run 50 us late; a byte's
    // time is 1042 us.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_stopping)
            return;
        if (m_queue.empty()) {
            m_wake.wait(lock);
            continue;
        }
        const std::int64_t due = m_queue.front().dueNs;
        const std::int64_t now = nowNs();
        if (due > now) {
            m_wake.wait_for(lock, std::chrono::nanoseconds(due - now));
            continue;
        }
        const QByteArray bytes = m_queue.front().bytes;
        m_queue.pop_front();
        lock.unlock();
        writeAll(bytes);
        lock.lock();
    }
}

void LineTransmitter::writeAll(const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, GiveUpMs) > 0)
                continue;
        }
        return;   // the line is gone, or nobody reads it
    }
}

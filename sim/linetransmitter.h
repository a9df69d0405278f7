#pragma once
#include <QByteArray>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

// The simulated radio's sending side: bytes are put on the line (the
// pseudo-terminal's master) at the moment they are due, by a thread of their
// own, so that what the program sees keeps the radio's timing to a fraction
// of a millisecond whatever the radio's event loop is busy with.
class LineTransmitter {
public:
    LineTransmitter() = default;
    ~LineTransmitter();
    LineTransmitter(const LineTransmitter&) = delete;
    LineTransmitter& operator=(const LineTransmitter&) = delete;

    // Starts sending to `fd` (non-blocking); stop() before the fd closes.
    void start(int fd);
    // Drops what is still due and waits for the thread to end.
    void stop();

    // The monotonic clock the due times count on, in nanoseconds.
    static std::int64_t nowNs();
    // Puts `bytes` on the line at `dueNs` (at once when it has passed), after
    // everything queued before them.
    void send(const QByteArray& bytes, std::int64_t dueNs);

private:
    struct Item {
        std::int64_t dueNs;
        QByteArray bytes;
    };
    void run();
    void writeAll(const QByteArray& bytes);

    int m_fd = -1;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Item> m_queue;
    bool m_stopping = false;
};

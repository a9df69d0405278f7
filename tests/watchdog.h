#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// Ends the process with a report when an armed task runs past its limit: a
// hang then names the transfer that hung instead of waiting for the test
// runner's timeout. The thread sleeps until the nearest deadline.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit) : m_limit(limit), m_thread([this] { run(); }) {}
    ~Watchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    void arm(int lane, const std::string& what)
    {
        {
            std::lock_guard lock(m_mutex);
            m_armed[lane] = {std::chrono::steady_clock::now() + m_limit, what};
        }
        m_wake.notify_all();
    }
    void disarm(int lane)
    {
        std::lock_guard lock(m_mutex);
        m_armed.erase(lane);
    }

private:
    struct Task {
        std::chrono::steady_clock::time_point deadline;
        std::string what;
    };

    void run()
    {
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            if (m_armed.empty()) {
                m_wake.wait(lock);
                continue;
            }
            auto nearest = m_armed.begin();
            for (auto it = m_armed.begin(); it != m_armed.end(); ++it)
                if (it->second.deadline < nearest->second.deadline)
                    nearest = it;
            const auto deadline = nearest->second.deadline;
            if (std::chrono::steady_clock::now() < deadline) {
                m_wake.wait_until(lock, deadline);
                continue;
            }
            std::fprintf(stderr, "HANG: lane %d did not finish within %lld s: %s\n", nearest->first,
                         static_cast<long long>(m_limit.count()), nearest->second.what.c_str());
            std::fflush(stderr);
            std::abort();
        }
    }

    const std::chrono::seconds m_limit;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::map<int, Task> m_armed;
    bool m_stop = false;
    std::thread m_thread;
};

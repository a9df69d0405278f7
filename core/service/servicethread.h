#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "service/serviceops.h"

class CommLog;
class QThread;
class SerialLink;

// One alignment-window operation (read, adjust, aging, calibration, squelch)
// on a thread of its own, with a serial link of its own made there, so the
// window goes on painting and answering while the radio talks, and no event
// loop nests in the window's. The end comes back as finished() on the
// thread that started it; what the work filled in besides its outcome it
// keeps in what its closure holds, read after finished().
class ServiceThread : public QObject {
    Q_OBJECT
public:
    using Work = std::function<Service::Outcome(SerialLink&)>;

    struct Link {
        QString device;
        bool singlePort = false;
        CommLog* log = nullptr;   // every frame, when set (thread-safe)
    };

    explicit ServiceThread(QObject* parent = nullptr);
    // Waits for an operation that runs: a radio is never left mid-way.
    ~ServiceThread() override;

    // Runs `work` on a link to link.device; false while one runs.
    bool start(const Link& link, Work work);
    bool isRunning() const { return m_running; }
    void wait();
    const Service::Outcome& outcome() const { return m_outcome; }

signals:
    void finished();

private:
    std::unique_ptr<QThread> m_thread;
    bool m_running = false;
    Service::Outcome m_outcome;
};

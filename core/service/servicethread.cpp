#include "servicethread.h"

#include <QThread>

#include "radio/seriallink.h"

ServiceThread::ServiceThread(QObject* parent) : QObject(parent) {}

ServiceThread::~ServiceThread()
{
    wait();
}

bool ServiceThread::start(const Link& link, Work work)
{
    if (m_running)
        return false;
    wait();
    m_running = true;
    m_thread.reset(QThread::create([this, link, work = std::move(work)] {
        // Made on this thread, so the port's notifications arrive on the
        // event loop that waits for them here.
        SerialLink serial;
        serial.setDevice(link.device);
        serial.setSinglePort(link.singlePort);
        serial.setLog(link.log);
        m_outcome = work(serial);
        serial.close();
    }));
    connect(m_thread.get(), &QThread::finished, this, [this] {
        m_running = false;
        emit finished();
    });
    m_thread->start();
    return true;
}

void ServiceThread::wait()
{
    if (m_thread)
        m_thread->wait();
}

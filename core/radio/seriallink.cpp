#include "seriallink.h"

#include "radio/commlog.h"
#include "radio/cables.h"
#include "base/hex.h"
#include "base/textids.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A file, a folder or a device such as /dev/null given as the port: the
// system's complaint ("Inappropriate ioctl for device") would not say so.
bool isTerminal(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return true;   // nothing known; the system's own reason stands
    if (!S_ISCHR(st.st_mode))
        return false;
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool tty = ::isatty(fd) == 1;
    ::close(fd);
    return tty;
}

// QSerialPort reports a busy device (lock file held, or TIOCEXCL) and a
// device the user may not open with the same PermissionError; only the
// file's own access rights tell them apart.
Result openFailureReason(const QString& path, QSerialPort::SerialPortError error, const QString& qtText)
{
    if (path.isEmpty())
        return Result::fail(TextId::PortNoDevice);
    if (const Result advice = Cables::openFailureAdvice(path); !advice.ok())
        return advice;
    if (!QFileInfo::exists(path) || error == QSerialPort::DeviceNotFoundError)
        return Result::fail(TextId::PortNoSuchDevice, {path});
    if (error != QSerialPort::PermissionError && !isTerminal(path))
        return Result::fail(TextId::PortNotSerial, {path});
    if (error == QSerialPort::PermissionError)
        return Result::fail(TextId::PortInUse, {path});
    return Result::fail(TextId::PortOpenFailed, {path, qtText});
}

void configure(QSerialPort& port)
{
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
}

} // namespace

SerialLink::SerialLink(QObject* parent)
    : QObject(parent), m_port(new QSerialPort(this))
{
    m_clock.start();
    connect(m_port, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, &SerialLink::onError);
}

SerialLink::~SerialLink()
{
    if (m_port->isOpen())
        m_port->close();
}

void SerialLink::setDevice(const QString& path)
{
    m_device = path;
}

QString SerialLink::device() const
{
    return m_device;
}

bool SerialLink::open()
{
    if (m_port->isOpen())
        m_port->close();
    m_failed = false;
    m_failure = Result::success();
    if (m_device.isEmpty()) {
        m_failure = openFailureReason(m_device, QSerialPort::NoError, {});
        return false;
    }
    m_port->setPortName(m_device);
    configure(*m_port);
    m_opening = true;
    const bool ok = m_port->open(QIODevice::ReadWrite);
    m_opening = false;
    if (!ok) {
        m_failure = openFailureReason(m_device, m_port->error(), m_port->errorString());
        m_port->clearError();
        return false;
    }
    // Whatever the line collected before we opened belongs to nobody.
    m_port->clear(QSerialPort::AllDirections);
    return true;
}

void SerialLink::close()
{
    if (m_port->isOpen())
        m_port->close();
}

bool SerialLink::isOpen() const
{
    return m_port->isOpen();
}

Result SerialLink::failure() const
{
    return m_failure;
}

bool SerialLink::failed() const
{
    return m_failed;
}

void SerialLink::setSinglePort(bool on)
{
    m_singlePort = on;
}

bool SerialLink::singlePort() const
{
    return m_singlePort;
}

void SerialLink::sendHex(const QString& hex)
{
    const QByteArray bytes = Hex::toBytes(hex);
    // A malformed frame is never put on the line, and no echo is awaited for it.
    if (bytes.size() * 2 != hex.size()) {
        m_echo = 0;
        m_failure = Result::fail(TextId::FrameMalformed, {m_device, hex});
        return;
    }
    m_echo = m_singlePort ? int(hex.size()) : 0;
    m_sentBytes = int(bytes.size());
    m_receivedSinceSend = 0;
    m_firstReplyNs = -1;
    m_sentAtNs = m_clock.nsecsElapsed();
    if (!m_port->isOpen() || bytes.isEmpty())
        return;
    if (m_log)
        m_log->sent(m_device, bytes);
    m_port->write(bytes);
    // QSerialPort only queues; without a flush the bytes would wait for the
    // next turn of the event loop. tcdrain then waits until the driver has
    // sent them (a pseudo-terminal returns at once), so the wait for the
    // answer starts when the frame is on its way.
    if (m_port->isOpen() && m_port->flush()) {
        const int fd = int(m_port->handle());
        if (fd >= 0 && ::isatty(fd))
            ::tcdrain(fd);
    }
}

bool SerialLink::replyCameTooSoon() const
{
    // Counted from before the bytes were handed to the port, so a genuine
    // answer can never be judged early; only one that could not have been
    // an answer is.
    return m_firstReplyNs >= 0 && m_firstReplyNs < m_sentAtNs + (m_sentBytes + 1) * ByteNs;
}

int SerialLink::replyBytes() const
{
    const int echo = m_singlePort ? m_sentBytes : 0;
    return std::max(0, m_receivedSinceSend - echo);
}

const QString& SerialLink::receiveText() const
{
    return m_receive;
}

void SerialLink::clearReceive()
{
    m_receive.clear();
}

void SerialLink::consumeReceived(int digits)
{
    m_receive.remove(0, std::min<qsizetype>(digits, m_receive.size()));
}

QString SerialLink::drain()
{
    if (m_port->isOpen()) {
        // Bytes the device holds are taken in first, so that whatever watches
        // the received bytes (the log, the caller) sees them too.
        // (waitForReadyRead delivers them through readyRead; what it leaves
        // in the port's buffer is taken here.)
        if (m_port->bytesAvailable() == 0)
            m_port->waitForReadyRead(0);
        if (m_port->isOpen() && m_port->bytesAvailable() > 0)
            onReadyRead();
        if (m_port->isOpen())
            m_port->clear(QSerialPort::Input);
    }
    // An echo still waiting for a reply byte to follow it is our own frame.
    QString dropped = m_receive;
    if (m_echo != 0 && m_singlePort)
        dropped.remove(0, std::min<qsizetype>(m_echo, dropped.size()));
    m_receive.clear();
    return dropped;
}

int SerialLink::echoCount() const
{
    return m_echo;
}

bool SerialLink::waitSatisfied(int count) const
{
    return m_failed || (m_echo == 0 && m_receive.size() >= count);
}

void SerialLink::aSysDelay(int count, int ms)
{
    if (ms <= 0)
        return;
    QElapsedTimer clock;
    clock.start();

    QEventLoop loop;
    m_waits.append(Wait{&loop, count});
    // Bytes already waiting are delivered first, as the event pump would.
    loop.processEvents(QEventLoop::AllEvents);
    const qint64 left = ms - clock.elapsed();
    if (!waitSatisfied(count) && left > 0) {
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        deadline.start(int(left));
        loop.exec();
        // A process woken late finds the deadline and the bytes that arrived
        // meanwhile due together, and the deadline may come first: what the
        // line already holds belongs to this wait. (Twice: a radio on this
        // same event loop sends in the first pass, the line delivers in the
        // second.)
        if (!waitSatisfied(count)) {
            loop.processEvents(QEventLoop::AllEvents);
            loop.processEvents(QEventLoop::AllEvents);
        }
    }
    m_waits.removeLast();
    // An outer wait may have been satisfied while this one ran.
    if (!m_waits.isEmpty() && waitSatisfied(m_waits.last().count))
        m_waits.last().loop->quit();
}

void SerialLink::wakeWaits()
{
    if (!m_waits.isEmpty() && waitSatisfied(m_waits.last().count))
        m_waits.last().loop->quit();
}

void SerialLink::setLogStep(const QString& step)
{
    if (m_log)
        m_log->setStep(m_device, step);
}

Result SerialLink::probe(const QString& path)
{
    if (path.isEmpty())
        return openFailureReason(path, QSerialPort::NoError, {});
    QSerialPort port;
    port.setPortName(path);
    if (!port.open(QIODevice::ReadWrite))
        return openFailureReason(path, port.error(), port.errorString());
    port.close();
    return Result::success();
}

void SerialLink::onReadyRead()
{
    const QByteArray bytes = m_port->readAll();
    if (bytes.isEmpty())
        return;
    if (m_log)
        m_log->received(m_device, bytes);
    m_receivedSinceSend += int(bytes.size());
    if (m_firstReplyNs < 0 && replyBytes() > 0)
        m_firstReplyNs = m_clock.nsecsElapsed();
    m_receive += Hex::fromBytes(bytes);
    // The echo goes only once a reply byte follows it, so a receive text
    // holding nothing but the echo still shows it.
    if (m_echo != 0 && m_singlePort && m_receive.size() > m_echo) {
        m_receive.remove(0, m_echo);
        m_echo = 0;
    }
    emit received();
    wakeWaits();
}

void SerialLink::onError()
{
    const QSerialPort::SerialPortError error = m_port->error();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    // Open failures are reported by open() itself.
    if (m_opening || m_failed || !m_port->isOpen())
        return;
    // A vanished device keeps raising the same error for as long as the port
    // stays open, so the first one ends it.
    m_failed = true;
    // A pulled cable shows as a resource error or as "Inappropriate ioctl for
    // device" (the line is no terminal any more); neither tells the user why.
    const bool pulled = error == QSerialPort::ResourceError || m_port->errorString().contains(QLatin1String("ioctl"));
    if (pulled)
        m_failure = Result::fail(TextId::LinkLost, QStringList{m_device});
    else
        m_failure = Result::fail(TextId::LinkFailed, QStringList{m_device, m_port->errorString()});
    m_port->close();
    m_port->clearError();
    emit portError(m_failure);
    wakeWaits();
}

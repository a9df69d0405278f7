#include "simradio.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// 10 bits (start, 8 data, stop) at 9600 baud.
constexpr qint64 ByteNs = 10LL * 1000000000LL / 9600;

const QByteArray HandshakeName = QByteArrayLiteral("TAVRIN");
const QByteArray HandshakeAnswer = QByteArrayLiteral("tavrin");

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

quint8 at(const QByteArray& b, int i)
{
    return quint8(b[i]);
}

} // namespace

SimRadio::SimRadio(QObject* parent)
    : QObject(parent),
      m_resync(new QTimer(this)),
      m_mem(freshImage()),
      m_readings(bytes({0x79, 0x79, 0x79, 0x79}))
{
    m_resync->setSingleShot(true);
    connect(m_resync, &QTimer::timeout, this, &SimRadio::onResyncTimeout);
}

SimRadio::~SimRadio()
{
    stop();
}

bool SimRadio::start(QString* error)
{
    stop();
    auto fail = [&](const QString& what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(strerror(errno)));
        return false;
    };
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0)
        return fail(QStringLiteral("cannot open a pseudo-terminal"));
    char name[256];
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        const int saved = errno;
        ::close(master);
        errno = saved;
        return fail(QStringLiteral("cannot set up the pseudo-terminal"));
    }
    // Holding the slave open keeps the master from reporting a hang-up (and
    // waking us without end) while no program has the port open, and lets us
    // make the line raw before any program sees it.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        const int saved = errno;
        ::close(master);
        errno = saved;
        return fail(QStringLiteral("cannot open %1").arg(QString::fromLocal8Bit(name)));
    }
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(slave, TCSANOW, &tio);
    }

    m_master = master;
    m_slave = slave;
    m_path = QString::fromLocal8Bit(name);
    m_readNotifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SimRadio::onReadable);
    m_tx.start(master);

    m_in.clear();
    m_mode = Mode::Idle;
    m_rxDoneNs = m_txFreeNs = 0;
    resetCounters();
    return true;
}

void SimRadio::stop()
{
    // The notifiers may be the ones whose signal is running right now.
    if (m_readNotifier) {
        m_readNotifier->setEnabled(false);
        m_readNotifier->deleteLater();
        m_readNotifier = nullptr;
    }
    m_resync->stop();
    m_tx.stop();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

bool SimRadio::isRunning() const
{
    return m_master >= 0;
}

QString SimRadio::devicePath() const
{
    return m_path;
}

void SimRadio::setEcho(bool on)
{
    m_echo = on;
}

void SimRadio::setPacing(bool on)
{
    m_pacing = on;
}

void SimRadio::setFaults(const Faults& f)
{
    m_faults = f;
}

void SimRadio::setSilent(bool on)
{
    m_silent = on;
    m_in.clear();
}

void SimRadio::resetCounters()
{
    m_frames = 0;
    m_handshakes = 0;
    m_written.clear();
    m_log.clear();
}

void SimRadio::setBusyReplies(int n)
{
    m_busyReplies = qMax(0, n);
}

void SimRadio::setCalibrationReadings(const QByteArray& four)
{
    m_readings = four.left(4);
    while (m_readings.size() < 4)
        m_readings.append(char(0));
}

void SimRadio::setResyncTimeout(int ms)
{
    m_resyncMs = qMax(1, ms);
}

void SimRadio::sendRaw(const QByteArray& raw)
{
    if (!isRunning())
        return;
    m_tx.send(raw, LineTransmitter::nowNs());
}

void SimRadio::sendAnswer(const QByteArray& bytes)
{
    queueReply(bytes);
}

int SimRadio::framesReceived() const
{
    return m_frames;
}

QList<int> SimRadio::writtenAddresses() const
{
    return m_written;
}

QList<QByteArray> SimRadio::receivedFrames() const
{
    return m_log;
}

void SimRadio::onReadable()
{
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0 && m_silent)
            continue;   // nobody there to hear it
        if (n > 0) {
            const QByteArray chunk(buf, n);
            if (m_echo)
                m_tx.send(chunk, LineTransmitter::nowNs());
            for (char b : chunk) {
                receiveByte(b);
                if (!isRunning())
                    return;
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;   // EAGAIN: all read. Nothing else can happen while we hold the slave.
    }
    if (m_in.isEmpty())
        m_resync->stop();
    else
        m_resync->start(m_resyncMs);
}

void SimRadio::onResyncTimeout()
{
    m_in.clear();
}

void SimRadio::receiveByte(char b)
{
    // The pseudo-terminal hands a frame over at once; on the radio's line
    // each byte takes its time.
    m_rxDoneNs = qMax(LineTransmitter::nowNs(), m_rxDoneNs) + ByteNs;
    m_in.append(b);
    for (;;) {
        const int status = frameStatus();
        if (status == 0)
            return;
        if (status < 0) {
            // Not a frame this radio knows: look for one from the next byte.
            m_in.remove(0, 1);
            if (m_in.isEmpty())
                return;
            continue;
        }
        const QByteArray frame = m_in.left(status);
        m_in.remove(0, status);
        handleFrame(frame);
        if (!isRunning() || m_in.isEmpty())
            return;
    }
}

// The length of the frame at the front of m_in; 0 while it is still
// incomplete; -1 when the front byte starts no frame the radio accepts now.
int SimRadio::frameStatus() const
{
    const QByteArray& b = m_in;
    const int n = int(b.size());
    // Checks the bytes that have arrived against the expected ones.
    auto matches = [&](int from, const QByteArray& expect) {
        for (int i = 0; i < expect.size() && from + i < n; ++i)
            if (b[from + i] != expect[i])
                return false;
        return true;
    };
    auto need = [&](int length) { return n >= length ? length : 0; };

    const quint8 cmd = at(b, 0);
    if (cmd == 0x02) {
        if (n < 2)
            return 0;
        if (at(b, 1) == 0x06)
            return matches(2, HandshakeName) ? need(8) : -1;
        return matches(1, HandshakeName) ? need(7) : -1;
    }
    if (cmd == 0x64) {
        if (n < 2)
            return 0;
        if (at(b, 1) == 0x6F)
            return 2;
        if (at(b, 1) != 0x01)
            return -1;
        if (n < 3)
            return 0;
        return at(b, 2) == 0x6F ? 3 : -1;
    }
    if (m_mode == Mode::Programming) {
        if (cmd != 0x52 && cmd != 0x57)
            return -1;
        if (n < 4)
            return 0;
        if (at(b, 3) != 0x08)
            return -1;
        return cmd == 0x52 ? 4 : need(12);
    }
    if (m_mode == Mode::Service) {
        int length = -1;
        switch (cmd) {
        case 0x06: length = 0; break;   // are you ready
        case 0x56: length = 8; break;   // aging
        case 0x55: length = 3; break;   // calibration
        case 0x57: length = 3; break;   // store a byte
        default: return -1;
        }
        if (n < 2)
            return 0;
        if (at(b, 1) != length)
            return -1;
        return need(2 + length);
    }
    return -1;
}

void SimRadio::handleFrame(const QByteArray& frame)
{
    ++m_frames;
    m_log.append(frame);
    if (m_frames == m_faults.closeAfterFrames) {
        closeLine();
        return;
    }
    if (at(frame, 0) == 0x02 && m_handshakes++ < m_faults.ignoreHandshakes)
        return;
    if (m_frames == m_faults.noReplyToFrame)
        return;
    QByteArray reply = replyTo(frame);
    if (!reply.isEmpty() && m_frames == m_faults.corruptReplyToFrame)
        reply[0] = char(~at(reply, 0));
    queueReply(reply);
}

QByteArray SimRadio::replyTo(const QByteArray& frame)
{
    const quint8 cmd = at(frame, 0);
    const bool refuse = m_frames == m_faults.refuseWriteFrame;
    if (cmd == 0x02) {
        m_busyCmd = -1;
        if (at(frame, 1) == 0x06) {
            m_mode = Mode::Service;
            return bytes({0x06, 0x06}) + HandshakeAnswer + bytes({0x16});
        }
        m_mode = Mode::Programming;
        return bytes({0x06}) + HandshakeAnswer;
    }
    if (cmd == 0x64) {
        m_mode = Mode::Idle;
        return {};
    }
    if (m_mode == Mode::Programming) {
        const int address = (at(frame, 1) << 8) | at(frame, 2);
        if (cmd == 0x52) {
            ensureMemory();
            QByteArray reply = frame.left(4);
            reply[0] = char(0x57);
            for (int i = 0; i < 8; ++i)
                reply.append(m_mem[(address + i) & 0xFFFF]);
            return reply;
        }
        if (refuse)
            return bytes({0x15});
        if (address != m_faults.forgetWritesAt)
            store(address, frame.mid(4, 8));
        m_written.append(address);
        return bytes({0x06});
    }
    const QByteArray done = bytes({0x06, 0x00, 0x06});
    if (cmd == 0x55) {
        QByteArray reading = bytes({0x54}) + m_readings;
        reading.append(QByteArray(20 - reading.size(), char(0)));
        return serviceReply(cmd, reading);
    }
    if (cmd == 0x57) {
        if (refuse)
            return bytes({0x15, 0x00, 0x15});
        const QByteArray reply = serviceReply(cmd, done);
        if (reply == done) {
            const int storeAt = (at(frame, 2) << 8) | at(frame, 3);
            store(storeAt, frame.mid(4, 1));
        }
        return reply;
    }
    return serviceReply(cmd, done);
}

// A service command is answered "busy" the configured number of times in a
// row before its real answer.
QByteArray SimRadio::serviceReply(quint8 cmd, const QByteArray& answer)
{
    if (int(cmd) != m_busyCmd) {
        m_busyCmd = cmd;
        m_busyLeft = m_busyReplies;
    }
    if (m_busyLeft > 0) {
        --m_busyLeft;
        return bytes({0x09, 0x00, 0x09});
    }
    return answer;
}

void SimRadio::store(int address, const QByteArray& data)
{
    ensureMemory();
    for (int i = 0; i < data.size(); ++i)
        m_mem[(address + i) & 0xFFFF] = data[i];
    emit memoryChanged(address, int(data.size()));
}

void SimRadio::queueReply(const QByteArray& reply)
{
    if (reply.isEmpty() || !isRunning())
        return;
    // The answer starts once the request has fully arrived; its first byte
    // is on the program's side a byte time later.
    qint64 due = qMax(m_txFreeNs, m_rxDoneNs) + ByteNs;
    if (m_pacing) {
        for (char b : reply) {
            m_tx.send(QByteArray(1, b), due);
            m_txFreeNs = due;
            due += ByteNs;
        }
    } else {
        m_tx.send(reply, due);
        m_txFreeNs = due;
    }
    if (m_frames == m_faults.strayAfterReplyToFrame) {
        const qint64 after = m_faults.strayDelayUs > 0 ? m_faults.strayDelayUs * 1000LL : ByteNs;
        m_txFreeNs += after;
        m_tx.send(QByteArray(1, char(0x06)), m_txFreeNs);
    }
}

void SimRadio::closeLine()
{
    stop();
    emit lineClosed();
}

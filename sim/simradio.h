#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include "linetransmitter.h"

class QSocketNotifier;
class QTimer;

// A simulated radio on a pseudo-terminal. It speaks the radio's side of the
// programming protocol and of the service protocol over a 64 KiB memory
// image. Tests use it in-process; rq300-sim runs it as a program.
//
// It lives on the thread that calls start(): a socket notifier and timers on
// that thread's event loop do all its work. On the main thread of a test that
// is enough, because SerialLink::aSysDelay runs the same event loop while it
// waits. It also works moved to a QThread of its own (call start() there).
class SimRadio : public QObject {
    Q_OBJECT
public:
    // Faults to inject. Frame numbers count every frame the radio has
    // received since start() (or resetCounters()), from 1; -1 means never.
    struct Faults {
        int noReplyToFrame = -1;        // swallow frame k without a reply
        int corruptReplyToFrame = -1;   // answer frame k with a damaged reply
        int refuseWriteFrame = -1;      // answer write frame k with something other than ACK
        int ignoreHandshakes = 0;       // the first n handshakes get no answer
        int closeAfterFrames = -1;      // close the line after frame k (cable pulled)
        // Answer frame k as usual, then send one stray 06 more, this many
        // microseconds after the answer's last byte (0: the next byte time).
        int strayAfterReplyToFrame = -1;
        int strayDelayUs = 0;
        // Acknowledge programming writes of this record address (an 8-byte
        // half) but keep the memory as it was: a radio whose store failed.
        int forgetWritesAt = -1;
    };

    static constexpr int MemorySize = 65536;

    explicit SimRadio(QObject* parent = nullptr);
    ~SimRadio() override;

    bool start(QString* error = nullptr);    // opens the pseudo-terminal
    void stop();
    bool isRunning() const;
    // The device the program opens; after stop() the device it was.
    QString devicePath() const;

    void setEcho(bool on);       // single-wire cable: every byte comes back
    // The radio never answers a frame before the frame has reached it at
    // 9600 8N1 (and its answer's first byte has had its byte time); with
    // pacing its answer's bytes also follow each other at that pace,
    // without it they come all at once.
    void setPacing(bool on);
    void setFaults(const Faults& f);
    void resetCounters();
    // A radio switched off or unplugged while the cable stays: every frame
    // is taken off the line and none is answered.
    void setSilent(bool on);
    bool isSilent() const { return m_silent; }

    // Service protocol: every service command (06 00, aging, calibration,
    // store) is first answered "busy" (09 00 09) this many times in a row.
    void setBusyReplies(int n);
    // The four battery readings a calibration reply carries.
    void setCalibrationReadings(const QByteArray& four);
    // A partial frame is dropped after this long without a byte, so the radio
    // finds the next frame after garbage on the line.
    void setResyncTimeout(int ms);

    // Puts bytes on the line at once, as if the radio had sent them.
    void sendRaw(const QByteArray& bytes);
    // Sends bytes as the answer to the last frame received, no sooner than
    // the radio could answer it.
    void sendAnswer(const QByteArray& bytes);

    // A fresh radio: model record, band 400-470MHz, identity records set.
    static QByteArray freshImage();
    // A few channels in the channel records, for a first read to show.
    static void addSampleChannels(QByteArray& image);
    QByteArray& memory();                    // 65536 bytes
    const QByteArray& memory() const;
    // The image file is 65536 bytes of raw memory. A file of another size is
    // refused and the memory stays as it was.
    bool loadImage(const QString& path, QString* error = nullptr);
    bool saveImage(const QString& path, QString* error = nullptr) const;

    int framesReceived() const;
    // Address of every write frame the radio acknowledged, in order.
    QList<int> writtenAddresses() const;
    // Every complete frame received, in order (handshakes and end frames too).
    QList<QByteArray> receivedFrames() const;

signals:
    // A write changed the memory (a programming write or a service store).
    void memoryChanged(int address, int length);
    // The line was closed by the closeAfterFrames fault.
    void lineClosed();

private:
    enum class Mode { Idle, Programming, Service };
    void onReadable();
    void onResyncTimeout();
    void receiveByte(char b);
    int frameStatus() const;
    void handleFrame(const QByteArray& frame);
    QByteArray replyTo(const QByteArray& frame);
    QByteArray serviceReply(quint8 cmd, const QByteArray& done);
    void store(int address, const QByteArray& bytes);
    void queueReply(const QByteArray& bytes);
    void closeLine();
    void ensureMemory();

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QSocketNotifier* m_readNotifier = nullptr;
    QTimer* m_resync;
    LineTransmitter m_tx;

    QByteArray m_mem;
    QByteArray m_in;                // bytes of a frame still arriving
    qint64 m_rxDoneNs = 0;          // when the last received byte finished arriving
    qint64 m_txFreeNs = 0;          // when the last scheduled byte finishes leaving

    bool m_echo = false;
    bool m_pacing = false;
    bool m_silent = false;
    Faults m_faults;
    int m_frames = 0;
    int m_handshakes = 0;
    QList<int> m_written;
    QList<QByteArray> m_log;
    Mode m_mode = Mode::Idle;
    int m_busyReplies = 0;
    int m_busyLeft = 0;
    int m_busyCmd = -1;
    QByteArray m_readings;
    int m_resyncMs = 100;
};

#pragma once
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include "base/result.h"

class CommLog;
class QEventLoop;
class QSerialPort;

// The link to the radio's programming cable: 9600 8N1, frames given as hex
// text, every received byte appended to the receive text as two upper-case
// hex digits, and the echo of a single-wire cable removed.
class SerialLink : public QObject {
    Q_OBJECT
public:
    explicit SerialLink(QObject* parent = nullptr);
    ~SerialLink() override;

    // The device the next open uses (COMn mapped to a path by PortMap).
    void setDevice(const QString& path);
    QString device() const;

    bool open();                 // false with failure() on failure
    void close();
    bool isOpen() const;
    // The last failure: which device and why (for example a permission the
    // user lacks and the group that gives it), as a text id with values.
    Result failure() const;
    // True once the port failed while open (cable pulled); cleared by open().
    bool failed() const;

    void setSinglePort(bool on);
    bool singlePort() const;

    // SendHex: the frame as hex digit pairs, either case. The bytes are
    // handed to the port at once.
    void sendHex(const QString& hex);
    const QString& receiveText() const;
    void clearReceive();
    // Takes the first `digits` hex digits off the receive text (an answer
    // judged), leaving whatever followed it for the next exchange to find.
    void consumeReceived(int digits);
    // Drops whatever the line still holds: the receive text and the bytes
    // that have arrived but not yet been delivered. Called before a frame is
    // sent, so that nothing left over is taken for its answer. Returns what
    // was dropped beyond a pending echo, as hex: bytes nobody asked for.
    QString drain();
    int echoCount() const;

    // One byte at 9600 8N1: a start bit, eight data bits and a stop bit.
    static constexpr qint64 ByteNs = 10LL * 1000000000LL / 9600;
    // True when the first byte after the last frame's echo arrived before the
    // radio could have answered it: the radio cannot reply before it has the
    // whole frame, and its reply's first byte takes a byte time of its own.
    // Such a byte belongs to something earlier (a stray), not to this frame.
    bool replyCameTooSoon() const;
    // Bytes received since the last frame was sent, beyond its echo.
    int replyBytes() const;

    // aSysDelay: waits on the event loop (no busy polling) until the receive
    // text holds at least `count` hex digits with no echo pending, `ms`
    // milliseconds have passed, or the port failed. A wait of 0 ms returns at
    // once without processing events.
    void aSysDelay(int count, int ms);

    // Every frame sent and every byte received also goes to this log, under
    // the step last named; nullptr (the default) logs nothing.
    void setLog(CommLog* log) { m_log = log; }
    CommLog* log() const { return m_log; }
    void setLogStep(const QString& step);

    // Probes a device as the port window does: opens it exclusively for
    // reading and writing and closes it at once. Success, or why it cannot
    // be opened.
    static Result probe(const QString& path);

signals:
    // The port failed while open; it has been closed already.
    void portError(const Result& why);
    // Bytes were appended to the receive text (after any echo removal).
    void received();

private:
    // A wait that is running; waits nest when an event handled inside one
    // starts another, and each keeps its own count.
    struct Wait {
        QEventLoop* loop;
        int count;
    };
    void onReadyRead();
    void onError();
    bool waitSatisfied(int count) const;
    void wakeWaits();

    QSerialPort* m_port;
    QString m_device;
    QString m_receive;
    int m_echo = 0;
    bool m_singlePort = false;
    bool m_failed = false;
    bool m_opening = false;
    Result m_failure;
    QList<Wait> m_waits;
    CommLog* m_log = nullptr;

    // The last frame sent and what has come back since, for judging the
    // answer by the wire's own timing.
    QElapsedTimer m_clock;
    qint64 m_sentAtNs = 0;
    int m_sentBytes = 0;
    int m_receivedSinceSend = 0;
    qint64 m_firstReplyNs = -1;
};

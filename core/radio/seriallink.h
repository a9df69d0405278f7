#pragma once
#include <QList>
#include <QObject>
#include <QString>

#include "setup/result.h"

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
    // Drops whatever the line still holds: the receive text and the bytes
    // that have arrived but not yet been delivered. Called before a frame is
    // sent, so that nothing left over is taken for its answer.
    void drain();
    int echoCount() const;

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

    static QString bytesToHex(const QByteArray& bytes);
    static QByteArray hexToBytes(const QString& hex);

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
};

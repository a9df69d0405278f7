#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

#include "base/result.h"

// The communication log a user sends with a bug report: every frame sent to
// and received from a radio, with the milliseconds since the log started,
// the device and the step of the transfer it belongs to.
//
//   # RQ-300 communication log
//   # started 2026-12-08 19:10:00.123 UTC by rq300-cli
//   #     ms  device     step        dir  bytes (hex; ** = not shown)
//         0  /dev/ttyUSB0  handshake  TX  02 54 41 56 52 49 4E
//        41  /dev/ttyUSB0  handshake  RX  06 74 61 76 72 69 6E
//
// The data bytes of the user name and programming password records are
// masked in both directions: in a write, in the reply to a read, and in the
// echo of a single-wire cable. Bytes received are gathered into one line
// until the next frame is sent, the step changes or the log is written.
//
// The serial link feeds it (SerialLink::setLog); the transfer engine names
// the steps. Several links may share one log from several threads.
class CommLog {
public:
    CommLog();
    ~CommLog();
    CommLog(const CommLog&) = delete;
    CommLog& operator=(const CommLog&) = delete;

    // Starts a new log that write() puts in `path` (replacing that file).
    void start(const QString& path, const QString& program);
    QString path() const;

    void sent(const QString& device, const QByteArray& bytes);
    void received(const QString& device, const QByteArray& bytes);
    void setStep(const QString& device, const QString& step);

    // The log as far as it goes.
    QString text();
    // Writes the whole log to its file, complete or not at all. Fails with
    // TextId::CommLogWriteFailed, the path and the reason.
    Result write();

    // The bytes as the log shows them: hex pairs, masked bytes as "**".
    // `afterSecretRead`: the frame answers a read of a masked record, so
    // everything after the first four bytes is hidden even when the reply
    // is garbled.
    static QString shown(const QByteArray& bytes, bool afterSecretRead = false);

private:
    struct Pending {
        QByteArray bytes;
        qint64 at = 0;
        quint64 order = 0;         // ties of `at` keep the order the replies began in
        bool secretRead = false;   // the last frame sent asked for a masked record
    };
    void line(qint64 ms, const QString& device, const QString& dir, const QString& bytes);
    void flushReceived(const QString& device);
    quint64 m_began = 0;

    QMutex m_mutex;
    QString m_path;
    QElapsedTimer m_clock;
    QStringList m_lines;
    qint64 m_size = 0;
    bool m_truncated = false;
    QHash<QString, QString> m_steps;      // by device
    QHash<QString, Pending> m_pending;    // by device
};

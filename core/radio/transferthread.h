#pragma once
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

#include "base/packstrings.h"
#include "document/documentdata.h"
#include "radio/identity.h"
#include "radio/safetransfer.h"

class CommLog;
class QThread;

// One read, write or identity query of a radio on a thread of its own, with
// its backup and verify steps (SafeTransfer). The thread that starts it (a
// window's, or the command-line tool's) goes on running: progress, each
// identity record as it arrives and the end come back to it as signals. No
// event loop nests inside another, and nothing the window owns is touched
// from the transfer's thread: the transfer works on copies (its own serial
// link, document, identity fields and settings), and the result says what
// to take back.
class TransferThread : public QObject {
    Q_OBJECT
public:
    enum class Kind { Read, Write, Info };

    // Everything the transfer needs, copied when it starts.
    struct Request {
        Kind kind = Kind::Read;
        QString device;                 // the port's device path
        DocumentData data;              // the document the transfer starts from
        QChar separator = u'.';         // of the document's frequency and tone cells
        RadioIdentity identity;         // the user name to write, if any
        PackStrings texts = PackStrings::builtIn();   // the active language
        int channelCount = 32;
        bool singlePort = false;
        bool stampFactoryDate = false;
        QString adminName;
        SafeTransfer::Options options;  // backup and verify (not for Info)
        CommLog* log = nullptr;         // every frame, when set (thread-safe)
    };

    // What came of it.
    struct Outcome {
        SafeTransfer::Outcome safe;     // safe.transfer: the engine's outcome
        DocumentData data;              // the document afterwards (a read's result)
        RadioIdentity identity;         // the identity fields afterwards
        bool modelSelected = false;     // the model check selected the first model
        QString bandSelected;           // a successful read selected this band
        bool ok() const { return safe.ok(); }
    };

    explicit TransferThread(QObject* parent = nullptr);
    ~TransferThread() override;

    // Starts the transfer; false while another one of this object runs.
    bool start(const Request& request);
    bool isRunning() const { return m_running; }
    // Ends a transfer that has not written a record yet before its next
    // frame (nothing is written then); one that writes runs to its end.
    void requestStop() { m_stop = true; }
    // Waits for the transfer to end (at exit; a write then finishes).
    void wait();

    // The last outcome, valid once finished() was emitted.
    const Outcome& outcome() const { return m_outcome; }

signals:
    void progress(int value, int maximum);
    void identityChanged(const RadioIdentity& identity);
    void finished();

private:
    void run(const Request& request);

    std::unique_ptr<QThread> m_thread;
    bool m_running = false;
    std::atomic<bool> m_stop{false};
    Outcome m_outcome;
};

#pragma once
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "base/packstrings.h"
#include "base/result.h"
#include "document/documentdata.h"
#include "files/fleetreport.h"
#include "radio/safetransfer.h"

class CommLog;
class QThread;
class SerialLink;

// The user name each radio of a batch gets: the radio's own (unchanged), one
// name for all, or a name with a counter, where the run of '#' becomes the
// number padded to as many digits: "FLT-###" from 1 gives FLT-001,
// FLT-002, ...
class UserPattern {
public:
    enum class Mode { Unchanged, Fixed, Counter };
    static constexpr int MaxLength = 7;   // the radio's user record

    static UserPattern unchanged() { return {}; }
    static UserPattern fixed(const QString& name);
    static UserPattern counter(const QString& pattern, int first = 1);

    Mode mode() const { return m_mode; }
    int first() const { return m_first; }
    // The name for the radio numbered `number` (the fixed name, or empty
    // when unchanged).
    QString name(int number) const;
    // Why the names cannot be written (no counter in a pattern, the first
    // name too long or not storable); success when they can.
    Result check() const;

private:
    Mode m_mode = Mode::Unchanged;
    QString m_text;
    int m_first = 1;
};

// Hands out the names of a batch across ports, in the order the radios
// answer: the first radio found gets the first number.
class FleetNaming {
public:
    explicit FleetNaming(UserPattern pattern) : m_pattern(std::move(pattern)), m_next(m_pattern.first()) {}
    const UserPattern& pattern() const { return m_pattern; }
    // The next radio's name; empty when the radios keep their own.
    QString next();

private:
    UserPattern m_pattern;
    std::mutex m_lock;
    int m_next;
};

// One port of a batch, on a thread of its own: it waits for a radio to
// answer the handshake (asking about twice a second, the port opened anew
// whenever it was lost, as an unplugged USB cable's device vanishes, and a
// missing device looked for ten times a second), writes
// it with backup and verify (SafeTransfer), and then, keeping going, waits
// until that radio is gone (no answer, or its device vanished) before it
// waits for the next. A stop ends the waiting; a radio being written is
// finished first.
class FleetStation : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Waiting, Checking, BackingUp, Writing, Verifying, Done, Failed, Stopped };

    struct Settings {
        QString port;                   // as the user named it, for the report
        QString device;
        DocumentData data;              // what every radio gets
        QChar separator = u'.';
        PackStrings texts = PackStrings::builtIn();
        int channelCount = 32;
        bool singlePort = false;
        bool stampFactoryDate = false;
        QString adminName;
        SafeTransfer::Options options;
        bool keepGoing = true;          // false: one radio, then the station ends
        int pollMs = 500;               // between two handshakes while waiting
        CommLog* log = nullptr;
    };

    // One radio the station programmed.
    struct Radio {
        QDateTime found;                // when it answered the handshake
        QDateTime finished;
        QString user;                   // the name written, or the radio's own
        SafeTransfer::Outcome outcome;
        bool ok() const { return outcome.ok(); }
    };

    explicit FleetStation(std::shared_ptr<FleetNaming> naming, QObject* parent = nullptr);
    ~FleetStation() override;

    bool start(const Settings& settings);
    bool isRunning() const { return m_running; }
    void requestStop();
    void wait();

    // The reason a radio failed, as one line in the language of `texts`
    // ("records: no acknowledgement for ...").
    static QString failureText(const SafeTransfer::Outcome& outcome, const PackStrings& texts);

signals:
    // percent: of the step under way (writing), else 0.
    void stateChanged(FleetStation::State state, int percent);
    void radioFound(const QString& user);
    void radioFinished(const FleetStation::Radio& radio);
    // The port's device is there but cannot be opened (in use, no
    // permission): why, while it lasts; success once it opens again.
    void portProblem(const Result& why);
    void finished();

private:
    enum class Presence { Answered, Silent, Missing };
    void run(const Settings& s);
    bool waitFor(SerialLink& link, const Settings& s, bool present);
    Presence answers(SerialLink& link, const Settings& s);
    Radio program(const Settings& s);
    bool pause(int ms);

    std::shared_ptr<FleetNaming> m_naming;
    std::unique_ptr<QThread> m_thread;
    bool m_running = false;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop = false;
    Result m_problem;   // on the station's thread: the last open failure told
};

// A batch over several ports at once: one station per port, the counter of
// user names shared, each radio's line appended to the report as it
// finishes, and the count of radios done and failed per port and in all.
// Lives on the thread that starts it (a window's, the command-line tool's).
class FleetRun : public QObject {
    Q_OBJECT
public:
    struct Port {
        QString name;     // "COM3" or the path given
        QString device;
    };
    struct Settings {
        QList<Port> ports;
        FleetStation::Settings common;   // port and device are set per station
        UserPattern user;
        QString reportPath;              // empty: no report
    };
    // What one port shows.
    struct Row {
        QString port;
        FleetStation::State state = FleetStation::State::Idle;
        int percent = 0;
        QString user;          // of the radio under way or last done
        QString reason;        // why the last radio failed
        QString portProblem;   // why the port cannot be opened now, while it cannot
        qint64 lastMs = -1;    // how long the last radio took
        int done = 0;
        int failed = 0;
        bool running = false;
    };

    explicit FleetRun(QObject* parent = nullptr);
    ~FleetRun() override;

    // Checks the names and the document, then starts every port. Nothing
    // starts when it fails.
    Result start(const Settings& settings);
    bool isRunning() const;
    // Radios in progress finish; waiting ends.
    void requestStop();
    void wait();

    const QList<Row>& rows() const { return m_rows; }
    int done() const;
    int failed() const;

    // The report line of one radio, in the language of `texts`.
    static FleetReport::Line reportLine(const QString& port, const FleetStation::Radio& radio,
                                        const SafeTransfer::Options& options, const PackStrings& texts);

signals:
    void rowChanged(int row);
    void radioFinished(int row, const FleetReport::Line& line);
    // A line could not be added to the report (the radio itself is done).
    void reportFailed(const Result& why);
    void finished();

private:
    void stationFinished(int row);

    Settings m_settings;
    QList<Row> m_rows;
    std::vector<std::unique_ptr<FleetStation>> m_stations;
    int m_running = 0;
};

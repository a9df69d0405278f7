#pragma once
#include <QString>
#include <QStringList>

#include "document/alignmentvalues.h"
#include "base/result.h"

class SerialLink;

// The alignment window's conversations with the radio over the serial link.
// A whole operation checks the port, opens it, makes its handshake, does its
// work, sends the end command 64 01 6F and closes the port again, whatever
// happened on the way. Each tells how it went and, if not, why. The record
// reads and writes and the programming handshake are those of RadioProtocol,
// with its reply checks.
namespace Service {

struct Outcome {
    // Failed: the talk with the radio broke down (no answer, a wrong one, a
    // lost line). Refused: the talk went as it should, but what the radio
    // holds or measured, or what the window gave, stops the operation; the
    // cable is not to blame.
    enum class Status { Ok, PortUnavailable, Failed, Refused };
    Status status = Status::Ok;
    Result reason;   // success when nothing failed

    bool ok() const { return status == Status::Ok; }
    static Outcome success() { return {}; }
    static Outcome failed(const Result& why) { return {Status::Failed, why}; }
    static Outcome refused(const Result& why) { return {Status::Refused, why}; }
    static Outcome portUnavailable(const Result& why) { return {Status::PortUnavailable, why}; }
};

// A radio that answers 09 00 09 ("busy") more often than this in a row is
// taken as stuck; the operation fails instead of waiting for ever.
constexpr int MaxBusyReplies = 50;

// What the adjust writes: the model record, the band record and the three
// alignment records.
struct AdjustInput {
    QString modelId;          // 16 hex digits, the model selected in the main window
    QString band;             // the band selected in the main window, ddd-dddMHz
    AlignmentValues values;
};
// Success when everything can be written; otherwise names what cannot.
Result checkAdjustInput(const AdjustInput& in);

struct ReadResult {
    QString band;             // the band text read; empty if the record was not reached
    int bandIndex = -1;       // its entry in the band list; -1 for an unset band
};

struct CalibrationResult {
    // None: no readings came. Stored: the value is within the range and the
    // radio took it. OutOfRange: computed, never sent (the outcome is Refused).
    enum class Verdict { None, Stored, OutOfRange };
    int v = -1;               // the value computed from the readings; -1 if none came
    Verdict verdict = Verdict::None;
};
// The range a calibration value must lie in to be stored.
constexpr int CalibrationLow = 64;
constexpr int CalibrationHigh = 112;

// Whole operations on the device at `device`.
// `values` starts as the window's values; the read changes those it has read
// even when a later step fails.
Outcome readAlignment(SerialLink& link, const QString& device, const QStringList& bandList,
                      AlignmentValues& values, ReadResult& result);
// Refuses (Refused, nothing sent, the port not touched) when checkAdjustInput finds fault.
Outcome adjust(SerialLink& link, const QString& device, const AdjustInput& in);
Outcome aging(SerialLink& link, const QString& device);
Outcome calibrate(SerialLink& link, const QString& device, CalibrationResult& result);
Outcome squelch(SerialLink& link, const QString& device);

// The read/write window's initialise command runs the adjust without the end
// command, on the connection its transfer then uses. This closes the link,
// pauses 250 ms, opens it again on its device, waits for the radio as the
// adjust does, and writes the model, band and alignment records. The link is
// left open whatever the radio answered; only a port that cannot be opened
// or that fails on the way leaves it closed. Input is checked before the
// link is touched.
Outcome initialiseAdjust(SerialLink& link, const AdjustInput& in);

// Steps, for an open link.
Outcome programmingHandshake(SerialLink& link);
// pollMs: the wait for each reply to 06 00 (100 ms, 80 for the squelch).
// settle: after a failed attempt wait a further 170 ms (aging, calibration).
Outcome serviceHandshake(SerialLink& link, int pollMs, bool settle);
// Handshake and the five record writes, no end command.
Outcome adjustOnOpenLink(SerialLink& link, const AdjustInput& in);

}

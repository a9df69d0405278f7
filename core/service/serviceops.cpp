#include "serviceops.h"
#include "base/hex.h"

#include <QEventLoop>
#include <QTimer>

#include "document/band.h"
#include "radio/codecs.h"
#include "radio/protocol.h"
#include "radio/seriallink.h"
#include "base/textids.h"

namespace Service {

namespace {

const QString Name = Hex::fromBytes("TAVRIN");
const QString Answer = Hex::fromBytes("tavrin");
const QString ServiceHello = QStringLiteral("0206") + Name;
const QString ServiceAnswer = QStringLiteral("0606") + Answer + QStringLiteral("16");
const QString Ready = QStringLiteral("0600");
const QString Busy = QStringLiteral("090009");
const QString Done = QStringLiteral("060006");
const QString EndFrame = QStringLiteral("64016F");
// 'V', 8 bytes: 455.675 MHz twice as BCD in units of 10 Hz.
const QString AgingFrame = QStringLiteral("56084556750045567500");
const QString ReadingsFrame = QStringLiteral("5503079010");
const QString StorePrefix = QStringLiteral("570301BE");

constexpr int HandshakeAttempts = 3;
constexpr int HandshakeMs = 100;
constexpr int WriteMs = 100;

QString exchange(SerialLink& link, const QString& frame, int digits, int ms)
{
    return RadioProtocol(link).exchange(frame, digits, ms);
}

// A lost line explains every later silence better than the silence does.
Outcome failure(SerialLink& link, const Result& why)
{
    const Result port = RadioProtocol(link).portProblem();
    return Outcome::failed(port ? why : port);
}

// The record an alignment operation reads or writes, for messages.
QString recordAt(int address)
{
    return QStringLiteral("0x") + RadioProtocol::addressHex(address);
}

// Sends `frame` again for as long as the radio answers busy; `reply` holds the
// answer that ended it, empty when the radio said nothing (each caller
// judges that). False when the radio never stopped being busy.
bool whileBusy(SerialLink& link, const QString& frame, int digits, int ms, QString& reply)
{
    for (int sent = 0; sent <= MaxBusyReplies; ++sent) {
        reply = exchange(link, frame, digits, ms);
        if (reply != Busy)
            return true;
    }
    return false;
}

Outcome stayedBusy(const QString& frame)
{
    return Outcome::failed(Result::fail(TextId::ServiceStayedBusy, {frame, QString::number(MaxBusyReplies)}));
}

void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

Outcome readRecord(SerialLink& link, int address, int ms, QByteArray& data)
{
    link.setLogStep(QStringLiteral("records"));
    const Result r = RadioProtocol(link).readRecord(address, ms, recordAt(address), data);
    return r ? Outcome::success() : failure(link, r);
}

Outcome writeRecord(SerialLink& link, int address, const QByteArray& eight)
{
    link.setLogStep(QStringLiteral("records"));
    const Result r = RadioProtocol(link).writeRecord(address, eight, WriteMs, recordAt(address));
    return r ? Outcome::success() : failure(link, r);
}

// The link's own reason when it cannot be opened.
Result portReason(const Result& problem)
{
    return Result::because(TextId::PortError, problem);
}

// The port check of every operation, then the port opened and the radio
// given its time. Nothing is sent here.
Outcome openPort(SerialLink& link, const QString& device, int digits, int ms)
{
    link.close();
    const Result problem = SerialLink::probe(device);
    if (!problem)
        return Outcome::portUnavailable(portReason(problem));
    link.setDevice(device);
    if (!link.open())
        return Outcome::portUnavailable(portReason(link.failure()));
    link.clearReceive();
    link.aSysDelay(digits, ms);
    return Outcome::success();
}

struct Waits {
    int openDigits, openMs, endDigits, endMs;
};

// Opens, runs the body, and ends with the end command and the port closed,
// whatever the body did.
template <class Body>
Outcome whole(SerialLink& link, const QString& device, Waits w, Body body)
{
    // The communication log names the step each frame belongs to.
    link.setLogStep(QStringLiteral("port"));
    Outcome out = openPort(link, device, w.openDigits, w.openMs);
    if (out.ok()) {
        out = body();
        link.setLogStep(QStringLiteral("end"));
        exchange(link, EndFrame, w.endDigits, w.endMs);
    }
    link.close();
    return out;
}

bool isHexId(const QString& id)
{
    if (id.size() != 16)
        return false;
    return Hex::toBytes(id).size() == 8;
}

} // namespace

Result checkAdjustInput(const AdjustInput& in)
{
    if (!isHexId(in.modelId))
        return Result::fail(TextId::ServiceNoModel);
    if (in.band.isEmpty())
        return Result::fail(TextId::ServiceNoBand);
    if (!Band::isWellFormed(in.band))
        return Result::fail(TextId::ServiceBadBand, {in.band});
    return in.values.checkAll();
}

Outcome programmingHandshake(SerialLink& link)
{
    link.setLogStep(QStringLiteral("handshake"));
    const Result r = RadioProtocol(link).handshake(HandshakeAttempts, HandshakeMs);
    return r ? Outcome::success() : failure(link, r);
}

Outcome serviceHandshake(SerialLink& link, int pollMs, bool settle)
{
    link.setLogStep(QStringLiteral("service"));
    bool answered = false;
    QString reply;
    for (int attempt = 0; attempt < 3 && !answered && !link.failed(); ++attempt) {
        reply = exchange(link, ServiceHello, 18, 100);
        answered = reply == ServiceAnswer;
        if (!answered && settle)
            link.aSysDelay(6, 170);
    }
    if (!answered) {
        // A cable that echoes, not ticked as single-wire: the hello itself
        // comes back, and only a hint at the cable helps.
        if (reply.startsWith(ServiceHello))
            return failure(link, Result::fail(TextId::HandshakeEcho, {RadioProtocol::quoted(reply)}));
        return failure(link, Result::fail(TextId::ServiceNoAnswer, {reply}));
    }
    if (!whileBusy(link, Ready, 6, pollMs, reply))
        return stayedBusy(Ready);
    if (reply != Done)
        return failure(link, Result::fail(TextId::ServiceNotReady, {reply}));
    return Outcome::success();
}

Outcome adjustOnOpenLink(SerialLink& link, const AdjustInput& in)
{
    if (Result problem = checkAdjustInput(in); !problem)
        return Outcome::refused(Result::because(TextId::ServiceBadInput, problem));
    Outcome out = programmingHandshake(link);
    if (!out.ok())
        return out;
    const Codec::Encoded band = Codec::encodeBand(in.band);
    if (!band.ok())
        return Outcome::refused(Result::because(TextId::ServiceBadInput, band.error));
    const QList<QPair<int, QByteArray>> records = {
        {Codec::ModelAddr, Hex::toBytes(in.modelId)},
        {Codec::BandAddr, band.bytes},
        {AlignmentValues::FrequencyRecord, in.values.record(AlignmentValues::FrequencyRecord)},
        {AlignmentValues::DeviationRecord, in.values.record(AlignmentValues::DeviationRecord)},
        {AlignmentValues::ModRecord, in.values.record(AlignmentValues::ModRecord)},
    };
    for (const auto& [address, bytes] : records) {
        out = writeRecord(link, address, bytes);
        if (!out.ok())
            return out;
    }
    return Outcome::success();
}

Outcome readAlignment(SerialLink& link, const QString& device, const QStringList& bandList,
                      AlignmentValues& values, ReadResult& result)
{
    result = ReadResult{};
    return whole(link, device, {6, 800, 0, 150}, [&]() -> Outcome {
        Outcome out = programmingHandshake(link);
        if (!out.ok())
            return out;
        QByteArray data;
        out = readRecord(link, Codec::BandAddr, 150, data);
        if (!out.ok())
            return out;
        result.band = Codec::decodeBand(data);
        // A new radio has no band yet; its values are still worth reading.
        if (result.band != QLatin1String(Band::Unset)) {
            result.bandIndex = int(bandList.indexOf(result.band));
            if (result.bandIndex < 0)
                return Outcome::refused(Result::fail(TextId::ServiceBandNotInList, {result.band}));
        }
        for (int address : {AlignmentValues::FrequencyRecord, AlignmentValues::DeviationRecord,
                            AlignmentValues::ModRecord}) {
            out = readRecord(link, address, 180, data);
            if (!out.ok())
                return out;
            values.setFromRecord(address, data);
        }
        return Outcome::success();
    });
}

Outcome adjust(SerialLink& link, const QString& device, const AdjustInput& in)
{
    // Refused before the port is touched: a half-written radio is worse than none.
    if (Result problem = checkAdjustInput(in); !problem)
        return Outcome::refused(Result::because(TextId::ServiceBadInput, problem));
    return whole(link, device, {6, 800, 6, 70}, [&] { return adjustOnOpenLink(link, in); });
}

Outcome aging(SerialLink& link, const QString& device)
{
    return whole(link, device, {12, 250, 6, 80}, [&]() -> Outcome {
        Outcome out = serviceHandshake(link, 100, true);
        if (!out.ok())
            return out;
        QString reply;
        if (!whileBusy(link, AgingFrame, 6, 150, reply))
            return stayedBusy(AgingFrame);
        // Whatever the radio answers besides busy starts the aging; silence
        // does not (a radio switched off or unplugged after the handshake).
        if (reply.isEmpty())
            return failure(link, Result::fail(TextId::AgingNoAnswer, {AgingFrame}));
        if (link.failed())
            return Outcome::failed(RadioProtocol(link).portProblem());
        return Outcome::success();
    });
}

Outcome calibrate(SerialLink& link, const QString& device, CalibrationResult& result)
{
    result = CalibrationResult{};
    return whole(link, device, {12, 250, 6, 80}, [&]() -> Outcome {
        Outcome out = serviceHandshake(link, 100, true);
        if (!out.ok())
            return out;
        QString reply;
        if (!whileBusy(link, ReadingsFrame, 40, 180, reply))
            return stayedBusy(ReadingsFrame);
        // 'T' and four readings at least; fewer would be averaged out of thin air.
        if (!reply.startsWith(QLatin1String("54")) || reply.size() < 10)
            return failure(link, Result::fail(TextId::ServiceNoReadings, {reply}));
        const QByteArray readings = Hex::toBytes(reply.mid(2, 8));
        int sum = 0;
        for (char r : readings)
            sum += quint8(r);
        result.v = sum / 4 - 33;
        if (result.v < CalibrationLow || result.v > CalibrationHigh) {
            result.verdict = CalibrationResult::Verdict::OutOfRange;
            return Outcome::refused(Result::fail(TextId::CalibrationOutOfRange,
                                                 {QString::number(result.v), QString::number(CalibrationLow),
                                                  QString::number(CalibrationHigh)}));
        }
        const QString store = StorePrefix + QStringLiteral("%1").arg(result.v, 2, 16, QChar(u'0')).toUpper();
        if (!whileBusy(link, store, 6, 80, reply))
            return stayedBusy(store);
        if (reply != Done)
            return failure(link, Result::fail(TextId::ServiceStoreRefused, {reply}));
        result.verdict = CalibrationResult::Verdict::Stored;
        return Outcome::success();
    });
}

Outcome squelch(SerialLink& link, const QString& device)
{
    return whole(link, device, {6, 800, 6, 70}, [&] { return serviceHandshake(link, 80, false); });
}

Outcome initialiseAdjust(SerialLink& link, const AdjustInput& in)
{
    if (Result problem = checkAdjustInput(in); !problem)
        return Outcome::refused(Result::because(TextId::ServiceBadInput, problem));
    link.close();
    pause(250);
    if (!link.open())
        return Outcome::portUnavailable(portReason(link.failure()));
    link.clearReceive();
    link.aSysDelay(6, 800);
    return adjustOnOpenLink(link, in);
}

}

#include "serviceops.h"

#include <QEventLoop>
#include <QTimer>

#include "document/band.h"
#include "radio/codecs.h"
#include "radio/seriallink.h"

namespace Service {

namespace {

const QString Name = SerialLink::bytesToHex("TAVRIN");
const QString Answer = SerialLink::bytesToHex("tavrin");
const QString ProgHello = QStringLiteral("02") + Name;
const QString ProgAnswer = QStringLiteral("06") + Answer;
const QString ServiceHello = QStringLiteral("0206") + Name;
const QString ServiceAnswer = QStringLiteral("0606") + Answer + QStringLiteral("16");
const QString Ready = QStringLiteral("0600");
const QString Busy = QStringLiteral("090009");
const QString Done = QStringLiteral("060006");
const QString Ack = QStringLiteral("06");
const QString EndFrame = QStringLiteral("64016F");
// 'V', 8 bytes: 455.675 MHz twice as BCD in units of 10 Hz.
const QString AgingFrame = QStringLiteral("56084556750045567500");
const QString ReadingsFrame = QStringLiteral("5503079010");
const QString StorePrefix = QStringLiteral("570301BE");

constexpr int CalibrationLow = 64;
constexpr int CalibrationHigh = 112;

QString hex4(int address)
{
    return QStringLiteral("%1").arg(address, 4, 16, QChar(u'0')).toUpper();
}

QString exchange(SerialLink& link, const QString& frame, int digits, int ms)
{
    link.clearReceive();
    link.sendHex(frame);
    link.aSysDelay(digits, ms);
    return link.receiveText();
}

// A lost line explains every later silence better than the silence does.
Outcome failure(const SerialLink& link, const QString& why)
{
    return Outcome::failed(link.failed() ? link.errorString() : why);
}

QString shown(const QString& reply)
{
    return reply.isEmpty() ? QStringLiteral("no reply") : QStringLiteral("reply %1").arg(reply);
}

// Sends `frame` again for as long as the radio answers busy; `reply` holds the
// answer that ended it. False when the radio never stopped being busy.
bool whileBusy(SerialLink& link, const QString& frame, int digits, int ms, QString& reply)
{
    for (int sent = 0; sent <= MaxBusyReplies; ++sent) {
        reply = exchange(link, frame, digits, ms);
        if (reply != Busy)
            return true;
    }
    return false;
}

Outcome stayedBusy(const QString& what)
{
    return Outcome::failed(QStringLiteral("the radio answered busy to %1 more than %2 times")
                               .arg(what)
                               .arg(MaxBusyReplies));
}

void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A data reply: 'W', address, length, then the 8 data bytes.
bool readRecord(SerialLink& link, int address, int ms, QByteArray& data)
{
    const QString reply = exchange(link, QStringLiteral("52") + hex4(address) + QStringLiteral("08"), 24, ms);
    if (!reply.startsWith(QLatin1String("57")) || reply.size() < 24)
        return false;
    data = SerialLink::hexToBytes(reply.mid(8, 16));
    return data.size() == 8;
}

Outcome writeRecord(SerialLink& link, int address, const QByteArray& eight)
{
    const QString frame =
        QStringLiteral("57") + hex4(address) + QStringLiteral("08") + SerialLink::bytesToHex(eight);
    const QString reply = exchange(link, frame, 2, 100);
    if (reply != Ack)
        return failure(link, QStringLiteral("the write of %1 was not acknowledged (%2)")
                                 .arg(hex4(address), shown(reply)));
    return Outcome::success();
}

// The port check of every operation, then the port opened and the radio
// given its time. Nothing is sent here.
Outcome openPort(SerialLink& link, const QString& device, int digits, int ms)
{
    link.close();
    const QString problem = SerialLink::probe(device);
    if (!problem.isEmpty())
        return Outcome::portUnavailable(problem);
    link.setDevice(device);
    if (!link.open())
        return Outcome::portUnavailable(link.errorString());
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
    Outcome out = openPort(link, device, w.openDigits, w.openMs);
    if (out.ok()) {
        out = body();
        exchange(link, EndFrame, w.endDigits, w.endMs);
    }
    link.close();
    return out;
}

bool isHexId(const QString& id)
{
    if (id.size() != 16)
        return false;
    return SerialLink::hexToBytes(id).size() == 8;
}

} // namespace

QString checkAdjustInput(const AdjustInput& in)
{
    if (!isHexId(in.modelId))
        return QStringLiteral("没有选择机型。");
    if (in.band.isEmpty())
        return QStringLiteral("没有选择频段。");
    if (!Band::isWellFormed(in.band))
        return QStringLiteral("所选频段 \"%1\" 无效，应为 ddd-dddMHz 的形式。").arg(in.band);
    return in.values.checkAll();
}

Outcome programmingHandshake(SerialLink& link)
{
    QString reply;
    for (int attempt = 0; attempt < 3 && !link.failed(); ++attempt) {
        reply = exchange(link, ProgHello, 14, 100);
        if (reply == ProgAnswer)
            return Outcome::success();
    }
    return failure(link, QStringLiteral("no answer to the handshake (%1)").arg(shown(reply)));
}

Outcome serviceHandshake(SerialLink& link, int pollMs, bool settle)
{
    bool answered = false;
    QString reply;
    for (int attempt = 0; attempt < 3 && !answered && !link.failed(); ++attempt) {
        reply = exchange(link, ServiceHello, 18, 100);
        answered = reply == ServiceAnswer;
        if (!answered && settle)
            link.aSysDelay(6, 170);
    }
    if (!answered)
        return failure(link, QStringLiteral("no answer to the service handshake (%1)").arg(shown(reply)));
    if (!whileBusy(link, Ready, 6, pollMs, reply))
        return stayedBusy(QStringLiteral("the service handshake"));
    if (reply != Done)
        return failure(link, QStringLiteral("the radio did not get ready (%1)").arg(shown(reply)));
    return Outcome::success();
}

Outcome adjustOnOpenLink(SerialLink& link, const AdjustInput& in)
{
    const QString problem = checkAdjustInput(in);
    if (!problem.isEmpty())
        return Outcome::failed(problem);
    Outcome out = programmingHandshake(link);
    if (!out.ok())
        return out;
    const Codec::Encoded band = Codec::encodeBand(in.band);
    if (!band.ok())
        return Outcome::failed(band.error);
    const QList<QPair<int, QByteArray>> records = {
        {Codec::ModelAddr, SerialLink::hexToBytes(in.modelId)},
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
        if (!readRecord(link, Codec::BandAddr, 150, data))
            return failure(link, QStringLiteral("no data reply to the read of the band record"));
        result.band = Codec::decodeBand(data);
        // A new radio has no band yet; its values are still worth reading.
        if (result.band != QLatin1String(Band::Unset)) {
            result.bandIndex = int(bandList.indexOf(result.band));
            if (result.bandIndex < 0)
                return Outcome::failed(QStringLiteral("the radio's band %1 is not in the band list").arg(result.band));
        }
        for (int address : {AlignmentValues::FrequencyRecord, AlignmentValues::DeviationRecord,
                            AlignmentValues::ModRecord}) {
            if (!readRecord(link, address, 180, data))
                return failure(link, QStringLiteral("no data reply to the read of %1").arg(hex4(address)));
            values.setFromRecord(address, data);
        }
        return Outcome::success();
    });
}

Outcome adjust(SerialLink& link, const QString& device, const AdjustInput& in)
{
    // Refused before the port is touched: a half-written radio is worse than none.
    const QString problem = checkAdjustInput(in);
    if (!problem.isEmpty())
        return Outcome::failed(problem);
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
            return stayedBusy(QStringLiteral("the aging command"));
        // The radio's answer to the aging command itself means nothing more.
        if (link.failed())
            return Outcome::failed(link.errorString());
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
            return stayedBusy(QStringLiteral("the voltage reading"));
        // 'T' and four readings at least; fewer would be averaged out of thin air.
        if (!reply.startsWith(QLatin1String("54")) || reply.size() < 10)
            return failure(link, QStringLiteral("no voltage readings (%1)").arg(shown(reply)));
        const QByteArray readings = SerialLink::hexToBytes(reply.mid(2, 8));
        int sum = 0;
        for (char r : readings)
            sum += quint8(r);
        result.v = sum / 4 - 33;
        if (result.v < CalibrationLow || result.v > CalibrationHigh) {
            result.label = QStringLiteral("Fail !");
            return Outcome::success();
        }
        const QString store = StorePrefix + QStringLiteral("%1").arg(result.v, 2, 16, QChar(u'0')).toUpper();
        if (!whileBusy(link, store, 6, 80, reply))
            return stayedBusy(QStringLiteral("storing the calibration"));
        if (reply != Done)
            return failure(link, QStringLiteral("storing the calibration was refused (%1)").arg(shown(reply)));
        result.label = QStringLiteral("OK !");
        return Outcome::success();
    });
}

Outcome squelch(SerialLink& link, const QString& device)
{
    return whole(link, device, {6, 800, 6, 70}, [&] { return serviceHandshake(link, 80, false); });
}

Outcome initialiseAdjust(SerialLink& link, const AdjustInput& in)
{
    const QString problem = checkAdjustInput(in);
    if (!problem.isEmpty())
        return Outcome::failed(problem);
    link.close();
    pause(250);
    if (!link.open())
        return Outcome::portUnavailable(link.errorString());
    link.clearReceive();
    link.aSysDelay(6, 800);
    return adjustOnOpenLink(link, in);
}

}

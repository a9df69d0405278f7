#pragma once
#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include "document/documentdata.h"
#include "document/frequency.h"
#include "document/optionlists.h"
#include "document/settingkeys.h"
#include "document/tonelist.h"
#include "radio/codecs.h"
#include "base/packstrings.h"
#include "sim/simradio.h"
#include "channelcells.h"

// The pieces of the fault soak: which fault a transfer meets and what its
// outcome must be, random documents to write, and the checks of the radio's
// memory against a document.
namespace Soak {

// A read or write of this test sends the same frames: the handshake (1),
// seven identity and check reads (2-8), 64 channel halves (9-72), the option
// block and timer record (73-75), the end frame (76). No user, date or
// password record is written: the document and state never ask for one. A
// write of a document that holds no records of a radio first reads the
// option block and timer record it writes over: three frames more, after
// the checks.
constexpr int DataFrames = 75;
constexpr int FirstRecordWrite = 9;
constexpr int BaseReads = 3;

enum class Fault {
    None,
    NoReply,           // frame k gets no answer
    CorruptReply,      // frame k gets a damaged answer
    RefusedWrite,      // write frame k is answered with something other than ACK
    ClosedLine,        // the cable is pulled after frame k
    DroppedHandshakes, // the first n handshakes go unanswered
    UnexpectedEcho,    // the cable echoes, the program was not told so
    EchoCable,         // the cable echoes and single-port mode is on: no fault
    Count
};

inline const char* faultName(Fault f)
{
    static const char* names[] = {"none", "no reply", "corrupted reply", "refused write", "closed line",
                                  "dropped handshakes", "unexpected echo", "echo cable (single-port on)"};
    return names[int(f)];
}

struct Plan {
    Fault fault = Fault::None;
    int frame = -1;        // NoReply, CorruptReply, RefusedWrite, ClosedLine
    int handshakes = 0;    // DroppedHandshakes
    bool expectOk = true;

    SimRadio::Faults simFaults() const
    {
        SimRadio::Faults f;
        switch (fault) {
        case Fault::NoReply: f.noReplyToFrame = frame; break;
        case Fault::CorruptReply: f.corruptReplyToFrame = frame; break;
        case Fault::RefusedWrite: f.refuseWriteFrame = frame; break;
        case Fault::ClosedLine: f.closeAfterFrames = frame; break;
        case Fault::DroppedHandshakes: f.ignoreHandshakes = handshakes; break;
        default: break;
        }
        return f;
    }
    bool echo() const { return fault == Fault::UnexpectedEcho || fault == Fault::EchoCable; }
    bool singlePort() const { return fault == Fault::EchoCable; }
    QString describe() const
    {
        QString s = QString::fromLatin1(faultName(fault));
        if (frame > 0)
            s += QStringLiteral(" at frame %1").arg(frame);
        if (fault == Fault::DroppedHandshakes)
            s += QStringLiteral(" x%1").arg(handshakes);
        return s;
    }
};

// One transfer in five meets no fault; the rest one fault each. A frame
// fault sometimes falls after the last frame, where it never happens.
inline Plan planFor(QRandomGenerator& rng, bool write, bool readsBase)
{
    Plan p;
    if (rng.bounded(5) == 0)
        return p;
    const int extra = write && readsBase ? BaseReads : 0;
    const int DataFrames = Soak::DataFrames + extra;
    const int FirstRecordWrite = Soak::FirstRecordWrite + extra;
    p.fault = Fault(1 + rng.bounded(int(Fault::Count) - 1));
    const bool pastTheEnd = rng.bounded(10) == 0;
    const int frame = pastTheEnd ? DataFrames + 2 + rng.bounded(20) : 1 + rng.bounded(DataFrames);
    switch (p.fault) {
    case Fault::NoReply:
    case Fault::CorruptReply:
        p.frame = frame;
        // A lost or damaged handshake reply is tried again.
        p.expectOk = frame == 1 || frame > DataFrames;
        break;
    case Fault::RefusedWrite:
        p.frame = frame;
        p.expectOk = !write || frame < FirstRecordWrite || frame > DataFrames;
        break;
    case Fault::ClosedLine:
        // Past the end the line would close on the end frame, where nothing
        // is awaited; keep it inside the transfer.
        p.frame = 1 + rng.bounded(DataFrames);
        p.expectOk = false;
        break;
    case Fault::DroppedHandshakes:
        p.handshakes = 1 + rng.bounded(5);
        p.expectOk = p.handshakes < 4;
        break;
    case Fault::UnexpectedEcho:
        p.expectOk = false;
        break;
    default:
        break;
    }
    return p;
}

template<typename T>
const T& pick(QRandomGenerator& rng, const QList<T>& list)
{
    return list[rng.bounded(int(list.size()))];
}

// A frequency of the band 400-470MHz on the 5 kHz or 6.25 kHz raster.
inline QString randomFrequency(QRandomGenerator& rng, QChar sep)
{
    const qint64 step = rng.bounded(2) ? 500 : 625;
    const qint64 steps = (47000000 - 40000000) / step;
    return Frequency::format(40000000 + step * rng.bounded(int(steps)), sep);
}

// A document with random channels and optional features, every value one the
// editors can produce. `base` gives the lists, band and words.
inline DocumentData randomDocument(QRandomGenerator& rng, const DocumentData& base, const ValueWords& w, QChar sep)
{
    DocumentData d = base;
    const QStringList tones = ToneList::entries(w.off, sep);
    const QStringList offOn = {w.off, w.on};
    for (int row = 1; row <= DocumentData::ChannelCount; ++row) {
        d.clearChannel(row);
        if (rng.bounded(3) == 0)
            continue;
        setCellOf(d, row, 1, randomFrequency(rng, sep));
        setCellOf(d, row, 2, pick(rng, tones));
        if (rng.bounded(5) != 0)
            setCellOf(d, row, 3, rng.bounded(2) ? cellOf(d, row, 1) : randomFrequency(rng, sep));
        setCellOf(d, row, 4, pick(rng, tones));
        setCellOf(d, row, 5, rng.bounded(2) ? w.high : w.low);
        setCellOf(d, row, 6, rng.bounded(2) ? w.wide : w.narrow);
        for (int col : {7, 8, 9, 11})
            setCellOf(d, row, col, pick(rng, offOn));
        setCellOf(d, row, 10, pick(rng, QStringList{w.off, w.on, w.comp, w.scrambler}));
    }
    for (const QString& key : OptionLists::choiceKeys())
        if (key != Key::Model)
            d.setChoice(key, rng.bounded(int(OptionLists::entries(key).size())));
    for (const QString& key : d.flagKeys())
        if (key != Key::WriteNewPassword)
            d.setFlag(key, rng.bounded(2));
    const QString dtmf = QStringLiteral("0123456789ABCD*#");
    QString code;
    for (int i = rng.bounded(5); i > 0; --i)
        code += dtmf[rng.bounded(int(dtmf.size()))];
    d.setText(Key::EndDtmf, code);
    d.setNumber(Key::LeaseDays, rng.bounded(256));
    d.setNumber(Key::LeaseHours, rng.bounded(24));
    d.setNumber(Key::LeaseMinutes, 10 * rng.bounded(6));
    return d;
}

// What a whole read of `memory` makes of `before`: the band of the radio
// selected, every channel, the timer record and the option block decoded.
inline DocumentData decodedImage(const DocumentData& before, const QByteArray& memory)
{
    DocumentData d = before;
    const QString band = Codec::decodeBand(memory.mid(Codec::BandAddr, 8));
    const int index = int(d.bands().indexOf(band));
    if (index >= 0)
        d.setChoice(Key::Band, index);
    for (int n = 1; n <= DocumentData::ChannelCount; ++n)
        d.setChannel(n, Codec::decodeChannel(memory.mid(Codec::channelAddress(n), 16)));
    Codec::decodeTimer(memory.mid(Codec::TimerAddr, 8), d);
    Codec::decodeOptions(memory.mid(Codec::OptionAddr, 16), d);
    // And the records themselves, as read.
    RadioImage image;
    QList<int> addresses = {Codec::OptionAddr, Codec::OptionAddr + 8, Codec::TimerAddr, Codec::FactoryDateAddr,
                            Codec::UserAddr, Codec::PasswordAddr, Codec::SaleDateAddr, Codec::AdminAddr,
                            Codec::ModelAddr, Codec::BandAddr};
    for (int a = Codec::channelAddress(1); a < Codec::channelAddress(DocumentData::ChannelCount + 1); a += 8)
        addresses << a;
    for (int a : addresses)
        image.set(a, memory.mid(a, 8));
    d.setImage(image);
    return d;
}

// Radio memory as another tool or a damaged radio may leave it: random bytes
// in the option block, the timer record and every channel record.
inline void scrambleRecords(QRandomGenerator& rng, QByteArray& memory)
{
    auto scramble = [&](int from, int length) {
        for (int i = from; i < from + length; ++i)
            memory[i] = char(rng.bounded(256));
    };
    scramble(Codec::OptionAddr, 24);
    scramble(Codec::channelAddress(1), 16 * DocumentData::ChannelCount);
}

// Empty when every record a write sends can be encoded from `d`.
inline QString encodeProblem(const DocumentData& d)
{
    for (int n = 1; n <= DocumentData::ChannelCount; ++n) {
        const Codec::Encoded e = Codec::encodeChannel(d.channel(n), n);
        if (!e.ok())
            return e.error.text(PackStrings::builtIn());
    }
    const Codec::Encoded options = Codec::encodeOptions(d, DocumentData::ChannelCount);
    if (!options.ok())
        return options.error.text(PackStrings::builtIn());
    return Codec::encodeTimer(d).error.text(PackStrings::builtIn());
}

// Empty when the radio's channel records, option block and timer record are
// the ones `d` encodes; otherwise the first difference.
// After a write: the radio holds every record the write sent, byte for
// byte, and its records decode to the document's values (a write keeps the
// radio's own bits where the document has nothing to say).
inline QString imageDifference(const DocumentData& d, const QByteArray& memory, const RadioImage& written)
{
    for (int address : written.addresses())
        if (memory.mid(address, 8) != written.record(address))
            return QStringLiteral("record %1: radio %2, sent %3")
                .arg(address, 4, 16)
                .arg(QString::fromLatin1(memory.mid(address, 8).toHex()), QString::fromLatin1(written.record(address).toHex()));
    DocumentData radio = d;
    auto differs = [&](const QString& what, const Codec::Encoded& have, const Codec::Encoded& want) {
        if (!want.ok())
            return QStringLiteral("%1 cannot be encoded: %2").arg(what, want.error.text(PackStrings::builtIn()));
        if (!have.ok() || have.bytes != want.bytes)
            return QStringLiteral("%1: radio %2, document %3")
                .arg(what, QString::fromLatin1(have.bytes.toHex()), QString::fromLatin1(want.bytes.toHex()));
        return QString();
    };
    for (int n = 1; n <= DocumentData::ChannelCount; ++n) {
        radio.setChannel(n, Codec::decodeChannel(memory.mid(Codec::channelAddress(n), 16)));
        const QString diff = differs(QStringLiteral("channel %1").arg(n), Codec::encodeChannel(radio.channel(n), n),
                                     Codec::encodeChannel(d.channel(n), n));
        if (!diff.isEmpty())
            return diff;
    }
    Codec::decodeOptions(memory.mid(Codec::OptionAddr, 16), radio);
    Codec::decodeTimer(memory.mid(Codec::TimerAddr, 8), radio);
    QString diff = differs(QStringLiteral("option block"), Codec::encodeOptions(radio, DocumentData::ChannelCount),
                           Codec::encodeOptions(d, DocumentData::ChannelCount));
    if (diff.isEmpty())
        diff = differs(QStringLiteral("timer record"), Codec::encodeTimer(radio), Codec::encodeTimer(d));
    return diff;
}

}

#include "transferengine.h"
#include "base/hex.h"

#include <QDateTime>
#include <QList>

#include "codecs.h"
#include "document/band.h"
#include "document/frequency.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "document/valuenames.h"
#include "identity.h"
#include "protocol.h"
#include "seriallink.h"
#include "writecheck.h"
#include "radio/transfercontext.h"
#include "base/textids.h"

namespace {

constexpr int HandshakeAttempts = 4;

// Time allowed for each reply, in milliseconds.
constexpr int PauseMs = 150;
constexpr int HandshakeMs = 150;
constexpr int SlowReadMs = 180;     // sale date and administrator records
constexpr int ReadMs = 150;
constexpr int ChannelReadMs = 100;
constexpr int ChannelWriteMs = 200;
constexpr int WriteMs = 100;
constexpr int EndMs = 70;

// Clears the running mark however the transfer ends.
struct RunningMark {
    bool& running;
    TransferContext& state;
    RunningMark(bool& r, TransferContext& s) : running(r), state(s)
    {
        running = true;
        state.setRadioBusy(true);
    }
    ~RunningMark()
    {
        running = false;
        state.setRadioBusy(false);
    }
};

}

struct TransferEngine::Prepared {
    QByteArray user;       // empty: not written
    QByteArray admin;
    QByteArray password;   // empty: not written
    // Encoded over the radio's records once they are known.
    QList<QByteArray> channels;
    QByteArray options;
    QByteArray timer;
};

TransferEngine::TransferEngine(SerialLink& link, SettingsDocument& doc, RadioIdentity& identity,
                               TransferContext& state, QObject* parent)
    : QObject(parent), m_link(link), m_doc(doc), m_identity(identity), m_state(state)
{
}

TransferEngine::Outcome TransferEngine::read()
{
    return run(Mode::Read);
}

TransferEngine::Outcome TransferEngine::write()
{
    return run(Mode::Write);
}

TransferEngine::Outcome TransferEngine::info()
{
    return run(Mode::Info);
}

TransferEngine::Outcome TransferEngine::run(Mode mode)
{
    if (m_running || m_state.radioBusy()) {
        Outcome busy;
        busy.failedStep = Outcome::Step::Busy;
        busy.reason = Result::fail(TextId::RadioBusy);
        return busy;
    }
    RunningMark mark(m_running, m_state);
    m_out = Outcome();
    m_lastWritten.clear();
    const RadioImage target = m_target;
    m_target = RadioImage();
    m_count = std::clamp(m_state.channelCount, 1, int(DocumentData::ChannelCount));
    m_maximum = m_count * 5 + 20;
    m_value = 0;

    Prepared prepared;
    if (mode == Mode::Write && !prepareWrite(prepared))
        return m_out;
    if (stopAsked())
        return m_out;

    m_link.setSinglePort(m_state.singlePort);
    if (!reopenPort())
        return m_out;   // nothing can be sent on a port that is not open
    emit progress(m_value, m_maximum);

    const bool checks = mode != Mode::Info;
    if (handshake() && readIdentity(checks, checks)) {
        if (mode == Mode::Read)
            readBranch();
        else if (mode == Mode::Write)
            writeBranch(target, prepared);
    }
    endStep();
    return m_out;
}

// The document is judged before anything is sent; the identity records a
// write may send depend on nothing the radio holds, so they are made now.
bool TransferEngine::prepareWrite(Prepared& p)
{
    enter(Outcome::Step::Encode);
    const DocumentData& data = m_doc.data();
    const QList<Result> problems =
        WriteCheck::problems(data, m_doc.decimalSeparator(), m_count, m_identity, m_state.adminName);
    if (!problems.isEmpty())
        return fail(m_step, WriteCheck::reason(problems));
    if (m_identity.writeUser)
        p.user = Codec::encodeName(m_identity.userToWrite).bytes;
    p.admin = Codec::encodeName(m_state.adminName).bytes;
    if (data.flag(Key::WriteNewPassword))
        p.password = Codec::encodePassword(data.text(Key::NewPassword)).bytes;
    return true;
}

// Channels, option block and timer record over `base`, the records they
// replace (the document's own image first, where it has one).
bool TransferEngine::encodeRecords(const RadioImage& base, Prepared& p)
{
    enter(Outcome::Step::Encode);
    const DocumentData& data = m_doc.data();
    const RadioImage& own = data.image();
    auto baseOf = [&](int address, bool pair) {
        const QByteArray mine = pair ? own.pair(address) : own.record(address);
        if (!mine.isEmpty())
            return mine;
        return pair ? base.pair(address) : base.record(address);
    };
    auto cannot = [this](const Result& why) { return fail(m_step, Result::because(TextId::CannotEncode, why)); };
    for (int n = 1; n <= m_count; ++n) {
        const Codec::Encoded ch = Codec::encodeChannelOver(data.channel(n), n, baseOf(Codec::channelAddress(n), true));
        if (!ch.ok())
            return cannot(ch.error);
        p.channels.append(ch.bytes);
    }
    const Codec::Encoded options = Codec::encodeOptionsOver(data, m_count, baseOf(Codec::OptionAddr, true));
    if (!options.ok())
        return cannot(options.error);
    p.options = options.bytes;
    const Codec::Encoded timer = Codec::encodeTimerOver(data, baseOf(Codec::TimerAddr, false));
    if (!timer.ok())
        return cannot(timer.error);
    p.timer = timer.bytes;
    return true;
}

bool TransferEngine::reopenPort()
{
    enter(Outcome::Step::Port);
    // Leftovers of an earlier exchange would cut the pauses short; the radio
    // needs them whole to take the new connection.
    m_link.close();
    m_link.clearReceive();
    m_link.aSysDelay(6, PauseMs);
    if (!m_link.open())
        return fail(m_step, Result::because(TextId::PortError, m_link.failure()));
    m_link.clearReceive();
    m_link.aSysDelay(6, PauseMs);
    return !portFailed();
}

bool TransferEngine::handshake()
{
    enter(Outcome::Step::Handshake);
    if (stopAsked())
        return false;
    const Result r = RadioProtocol(m_link).handshake(HandshakeAttempts, HandshakeMs);
    if (!r)
        return fail(r.textId == TextId::PortError || r.textId == TextId::PortNotOpen ? Outcome::Step::Port : m_step, r);
    return true;
}

bool TransferEngine::readIdentity(bool checkPassword, bool checkModel)
{
    enter(Outcome::Step::Identity);
    QByteArray data;
    const struct { int address; int ms; int what; QString RadioIdentity::*field; bool date; } records[] = {
        {Codec::SaleDateAddr, SlowReadMs, TextId::RecordSaleDate, &RadioIdentity::saleDate, true},
        {Codec::AdminAddr, SlowReadMs, TextId::RecordAdmin, &RadioIdentity::admin, false},
        {Codec::FactoryDateAddr, ReadMs, TextId::RecordFactoryDate, &RadioIdentity::factoryDate, true},
        {Codec::UserAddr, ReadMs, TextId::RecordUser, &RadioIdentity::user, false},
    };
    for (const auto& r : records) {
        if (!readRecord(r.address, r.ms, recordName(r.what), data))
            return false;
        m_identity.*r.field = r.date ? Codec::decodeDate(data) : Codec::decodeName(data);
        emit identityChanged();
    }

    if (checkPassword) {
        enter(Outcome::Step::Password);
        if (!readRecord(Codec::PasswordAddr, ReadMs, recordName(TextId::RecordPassword), data))
            return false;
        // An erased record (length F) holds no password, so a mismatch there
        // is a plain failure rather than a password error.
        const bool radioHasPassword = Codec::passwordLength(data) != 0xF;
        if (m_doc.text(Key::Password) != Codec::passwordDigits(data)) {
            m_out.passwordError = radioHasPassword;
            return fail(m_step, Result::fail(radioHasPassword ? TextId::PasswordMismatch : TextId::PasswordErased));
        }
    }

    enter(Outcome::Step::Model);
    if (!readRecord(Codec::ModelAddr, ReadMs, recordName(TextId::RecordModel), data))
        return false;
    m_out.radioModel = Hex::fromBytes(data);
    if (checkModel) {
        if (m_out.radioModel != Codec::ModelId)
            return fail(m_step, Result::fail(TextId::ModelMismatch, {m_out.radioModel}));
        if (m_doc.choice(Key::Model) != 0) {
            m_doc.setChoice(Key::Model, 0);
            emit modelSelected();
        }
        emit progress(m_value, m_maximum);
    }

    enter(Outcome::Step::Band);
    if (!readRecord(Codec::BandAddr, ReadMs, recordName(TextId::RecordBand), data))
        return false;
    m_out.radioBand = Codec::decodeBand(data);
    return true;
}

bool TransferEngine::readBranch()
{
    DocumentData copy = m_doc.data();
    const QString band = m_out.radioBand;
    bool bandFound = false;
    if (band != QLatin1String(Band::Unset)) {
        const int index = int(m_doc.bandList().indexOf(band));
        if (index < 0)
            return fail(Outcome::Step::Band, Result::fail(TextId::BandNotInList, {band}));
        copy.setChoice(Key::Band, index);
        bandFound = true;
        m_identity.model = m_doc.options(Key::Model).value(copy.choice(Key::Model));
        m_identity.band = band;
        emit identityChanged();
    }

    enter(Outcome::Step::Records);
    QByteArray first, second;
    for (int n = 1; n <= m_count; ++n) {
        const int address = Codec::channelAddress(n);
        if (!readRecord(address, ChannelReadMs, channelHalf(n, false), first)
            || !readRecord(address + 8, ChannelReadMs, channelHalf(n, true), second))
            return false;
        copy.setChannel(n, Codec::decodeChannel(first + second));
        advance(5);
    }
    if (!readRecord(Codec::TimerAddr, ReadMs, recordName(TextId::RecordTimer), first))
        return false;
    Codec::decodeTimer(first, copy);
    if (!readRecord(Codec::OptionAddr, ReadMs, recordName(TextId::RecordOptionsFirstHalf), first)
        || !readRecord(Codec::OptionAddr + 8, ReadMs, recordName(TextId::RecordOptionsSecondHalf), second))
        return false;
    Codec::decodeOptions(first + second, copy);
    advance(5);

    copy.setImage(m_out.image);
    m_doc.replace(copy);
    if (bandFound)
        emit bandSelected(band);
    return true;
}

bool TransferEngine::writeBranch(const RadioImage& target, Prepared& p)
{
    const QString band = m_out.radioBand;
    if (band == QLatin1String(Band::Unset))
        return fail(Outcome::Step::Band, Result::fail(TextId::BandUnset));
    if (m_doc.selectedBand().isEmpty())
        return fail(Outcome::Step::Band, Result::fail(TextId::NoBandSelected, {band}));
    if (band != m_doc.selectedBand())
        return fail(Outcome::Step::Band, Result::fail(TextId::BandNotSelected, {band, m_doc.selectedBand()}));

    enter(Outcome::Step::Records);
    // What the radio holds where the document may not say everything: read
    // now unless the document or the read before the write brought it.
    RadioImage base = target;
    base.merge(m_out.image);
    const RadioImage& own = m_doc.data().image();
    QByteArray data;
    for (int address : {Codec::OptionAddr, Codec::OptionAddr + 8, Codec::TimerAddr}) {
        if (own.contains(address) || base.contains(address))
            continue;
        if (!readRecord(address, ReadMs, Codec::recordName(address).text(m_state.texts), data))
            return false;
        base.set(address, data);
    }
    if (!encodeRecords(base, p))
        return false;
    enter(Outcome::Step::Records);
    if (stopAsked())
        return false;

    if (!p.user.isEmpty() && !writeRecord(Codec::UserAddr, p.user, WriteMs, recordName(TextId::RecordUser)))
        return false;
    if (m_state.adminName != m_identity.admin) {
        const QByteArray now = Codec::encodeDate(QDateTime::currentDateTime());
        if (!writeRecord(Codec::SaleDateAddr, now, WriteMs, recordName(TextId::RecordSaleDate))
            || !writeRecord(Codec::AdminAddr, p.admin, WriteMs, recordName(TextId::RecordAdmin)))
            return false;
    }
    if (m_state.stampFactoryDate
        && !writeRecord(Codec::FactoryDateAddr, Codec::encodeDate(QDateTime::currentDateTime()), WriteMs,
                        recordName(TextId::RecordFactoryDate)))
        return false;
    if (!p.password.isEmpty()
        && !writeRecord(Codec::PasswordAddr, p.password, WriteMs, recordName(TextId::RecordPassword)))
        return false;

    for (int n = 1; n <= m_count; ++n) {
        const int address = Codec::channelAddress(n);
        const QByteArray& rec = p.channels[n - 1];
        if (!writeRecord(address, rec.left(8), ChannelWriteMs, channelHalf(n, false))
            || !writeRecord(address + 8, rec.mid(8), ChannelWriteMs, channelHalf(n, true)))
            return false;
        advance(5);
    }
    if (!writeRecord(Codec::OptionAddr, p.options.left(8), WriteMs, recordName(TextId::RecordOptionsFirstHalf))
        || !writeRecord(Codec::OptionAddr + 8, p.options.mid(8), WriteMs,
                        recordName(TextId::RecordOptionsSecondHalf)))
        return false;
    advance(5);
    if (!writeRecord(Codec::TimerAddr, p.timer, WriteMs, recordName(TextId::RecordTimer)))
        return false;
    advance(5);
    return true;
}

void TransferEngine::enter(Outcome::Step step)
{
    m_step = step;
    m_link.setLogStep(stepName(step));
}

namespace {

// Each step's word in the communication log, and its name for a user.
struct StepNames {
    TransferEngine::Outcome::Step step;
    const char* logWord;
    int text;
};

using Step = TransferEngine::Outcome::Step;
constexpr StepNames Steps[] = {
    {Step::None, "done", TextId::StepDone},
    {Step::Busy, "busy", TextId::StepBusy},
    {Step::Encode, "encode", TextId::StepEncode},
    {Step::Port, "port", TextId::StepPort},
    {Step::Handshake, "handshake", TextId::StepHandshake},
    {Step::Identity, "identity", TextId::StepIdentity},
    {Step::Password, "password", TextId::StepPassword},
    {Step::Model, "model", TextId::StepModel},
    {Step::Band, "band", TextId::StepBand},
    {Step::Records, "records", TextId::StepRecords},
    {Step::Stopped, "stopped", TextId::StepStopped},
};

const StepNames& namesOf(Step step)
{
    for (const StepNames& n : Steps)
        if (n.step == step)
            return n;
    return Steps[0];
}

} // namespace

QString TransferEngine::stepName(Outcome::Step step)
{
    return QString::fromLatin1(namesOf(step).logWord);
}

QString TransferEngine::stepName(Outcome::Step step, const PackStrings& texts)
{
    return Result::named(namesOf(step).text).text(texts);
}

void TransferEngine::endStep()
{
    m_link.setLogStep(QStringLiteral("end"));
    // After a write, a byte on the line now means the last acknowledgement
    // may have answered something else.
    const Result end = RadioProtocol(m_link).end(EndMs, m_lastWritten);
    if (m_out.ok() && !end)
        fail(Outcome::Step::Records, end);
    if (m_out.ok() && m_link.failed())
        fail(Outcome::Step::Port, Result::because(TextId::PortError, m_link.failure()));
    if (m_out.ok()) {
        m_value = m_maximum;
        emit progress(m_value, m_maximum);
    }
}

bool TransferEngine::readRecord(int address, int ms, const QString& what, QByteArray& data)
{
    if (portFailed() || stopAsked())
        return false;
    const Result r = RadioProtocol(m_link).readRecord(address, ms, what, data);
    if (r)
        m_out.image.set(address, data);
    return r ? true : !portFailed() && fail(m_step, r);
}

bool TransferEngine::writeRecord(int address, const QByteArray& data, int ms, const QString& what)
{
    if (portFailed())
        return false;
    const Result r = RadioProtocol(m_link).writeRecord(address, data, ms, what);
    if (r) {
        m_out.written.set(address, data);
        m_lastWritten = what;
    }
    return r ? true : !portFailed() && fail(m_step, r);
}

bool TransferEngine::stopAsked()
{
    // Once a record is written, the rest follow: a radio left half written
    // is worse than a signal handled two seconds late.
    if (!m_stop || !m_out.written.isEmpty() || !m_stop())
        return false;
    fail(Outcome::Step::Stopped, Result::fail(TextId::InterruptedNothing));
    return true;
}

// Records are named in the engine's language, so that a failure reads as one
// sentence whichever front end shows it.
QString TransferEngine::recordName(int textId, int channel) const
{
    Result name = Result::fail(textId);
    if (channel > 0)
        name.args << QString::number(channel);
    return name.text(m_state.texts);
}

QString TransferEngine::channelHalf(int n, bool second) const
{
    return recordName(second ? TextId::RecordChannelSecondHalf : TextId::RecordChannelFirstHalf, n);
}

bool TransferEngine::portFailed()
{
    const Result r = RadioProtocol(m_link).portProblem();
    if (r)
        return false;
    fail(Outcome::Step::Port, r);
    return true;
}

bool TransferEngine::fail(Outcome::Step step, const Result& reason)
{
    // The first failure is the one that counts.
    if (m_out.ok()) {
        m_out.failedStep = step;
        m_out.reason = reason;
    }
    return false;
}

void TransferEngine::advance(int by)
{
    m_value = std::min(m_value + by, m_maximum);
    emit progress(m_value, m_maximum);
}

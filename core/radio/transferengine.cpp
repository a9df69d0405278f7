#include "transferengine.h"

#include <QDateTime>
#include <QList>

#include "codecs.h"
#include "setup/appstate.h"
#include "document/band.h"
#include "document/settingkeys.h"
#include "document/settingsdocument.h"
#include "identity.h"
#include "seriallink.h"

namespace {

const QString HandshakeFrame = QStringLiteral("02544156524" "94E");   // 0x02 "TAVRIN"
const QString HandshakeReply = QStringLiteral("0674617672696E");      // 0x06 "tavrin"
const QString EndFrame = QStringLiteral("646F");
const QString Ack = QStringLiteral("06");

// Time allowed for each reply, in milliseconds.
constexpr int PauseMs = 150;
constexpr int HandshakeMs = 150;
constexpr int SlowReadMs = 180;     // sale date and administrator records
constexpr int ReadMs = 150;
constexpr int ChannelReadMs = 100;
constexpr int ChannelWriteMs = 200;
constexpr int WriteMs = 100;
constexpr int EndMs = 70;

QString addressHex(int address)
{
    return QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
}

QString half(int n, bool second)
{
    return QStringLiteral("channel %1 %2 half").arg(n).arg(second ? QStringLiteral("second")
                                                                  : QStringLiteral("first"));
}

// Clears the running mark however the transfer ends.
struct RunningMark {
    bool& running;
    AppState& state;
    RunningMark(bool& r, AppState& s) : running(r), state(s)
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
    QList<QByteArray> channels;
    QByteArray options;
    QByteArray timer;
    QByteArray user;       // empty: not written
    QByteArray admin;
    QByteArray password;   // empty: not written
};

TransferEngine::TransferEngine(SerialLink& link, SettingsDocument& doc, RadioIdentity& identity,
                               AppState& state, QObject* parent)
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
        busy.reason = QStringLiteral("another radio operation is running");
        return busy;
    }
    RunningMark mark(m_running, m_state);
    m_out = Outcome();
    m_count = std::clamp(m_state.channelCount, 1, int(DocumentData::ChannelCount));
    m_maximum = m_count * 5 + 20;
    m_value = 0;

    Prepared prepared;
    if (mode == Mode::Write && !prepareWrite(prepared))
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
            writeBranch(prepared);
    }
    endStep();
    return m_out;
}

// Every record a write may send, encoded before the first frame.
bool TransferEngine::prepareWrite(Prepared& p)
{
    enter(Outcome::Step::Encode);
    const DocumentData& data = m_doc.data();
    for (int n = 1; n <= m_count; ++n) {
        const Codec::Encoded ch = Codec::encodeChannel(data, n, m_doc.words());
        if (!ch.ok())
            return fail(m_step, ch.error);
        p.channels.append(ch.bytes);
    }
    const Codec::Encoded options = Codec::encodeOptions(data, m_count);
    if (!options.ok())
        return fail(m_step, options.error);
    p.options = options.bytes;
    const Codec::Encoded timer = Codec::encodeTimer(data);
    if (!timer.ok())
        return fail(m_step, timer.error);
    p.timer = timer.bytes;
    if (m_identity.writeUser) {
        const Codec::Encoded user = Codec::encodeName(m_identity.userToWrite);
        if (!user.ok())
            return fail(m_step, QStringLiteral("user name: ") + user.error);
        p.user = user.bytes;
    }
    const Codec::Encoded admin = Codec::encodeName(m_state.adminName);
    if (!admin.ok())
        return fail(m_step, QStringLiteral("administrator name: ") + admin.error);
    p.admin = admin.bytes;
    if (data.flag(Key::WriteNewPassword)) {
        const Codec::Encoded pw = Codec::encodePassword(data.text(Key::NewPassword));
        if (!pw.ok())
            return fail(m_step, Codec::settingName(Key::NewPassword) + QStringLiteral(": ") + pw.error);
        p.password = pw.bytes;
    }
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
        return fail(m_step, QStringLiteral("port error: ") + m_link.errorString());
    m_link.clearReceive();
    m_link.aSysDelay(6, PauseMs);
    return !portFailed();
}

bool TransferEngine::handshake()
{
    enter(Outcome::Step::Handshake);
    QString last;
    for (int attempt = 1; attempt <= 4; ++attempt) {
        m_link.clearReceive();
        m_link.sendHex(HandshakeFrame);
        m_link.aSysDelay(int(HandshakeReply.size()), HandshakeMs);
        if (portFailed())
            return false;
        last = m_link.receiveText();
        if (last == HandshakeReply)
            return true;
    }
    if (last.isEmpty())
        return fail(m_step, QStringLiteral("no reply to the handshake"));
    return fail(m_step, QStringLiteral("a wrong reply to the handshake (%1)").arg(last));
}

bool TransferEngine::readIdentity(bool checkPassword, bool checkModel)
{
    enter(Outcome::Step::Identity);
    QByteArray data;
    const struct { int address; int ms; const char* what; QString RadioIdentity::*field; bool date; } records[] = {
        {Codec::SaleDateAddr, SlowReadMs, "the sale date record", &RadioIdentity::saleDate, true},
        {Codec::AdminAddr, SlowReadMs, "the administrator record", &RadioIdentity::admin, false},
        {Codec::FactoryDateAddr, ReadMs, "the factory date record", &RadioIdentity::factoryDate, true},
        {Codec::UserAddr, ReadMs, "the user record", &RadioIdentity::user, false},
    };
    for (const auto& r : records) {
        if (!readRecord(r.address, r.ms, QString::fromLatin1(r.what), data))
            return false;
        m_identity.*r.field = r.date ? Codec::decodeDate(data) : Codec::decodeName(data);
        emit identityChanged();
    }

    if (checkPassword) {
        enter(Outcome::Step::Password);
        if (!readRecord(Codec::PasswordAddr, ReadMs, QStringLiteral("the password record"), data))
            return false;
        // An erased record (length F) holds no password, so a mismatch there
        // is a plain failure rather than a password error.
        const bool radioHasPassword = Codec::passwordLength(data) != 0xF;
        if (m_doc.text(Key::Password) != Codec::passwordDigits(data)) {
            m_out.passwordError = radioHasPassword;
            return fail(m_step, radioHasPassword
                                    ? QStringLiteral("password does not match")
                                    : QStringLiteral("the radio's password record is erased"));
        }
    }

    enter(Outcome::Step::Model);
    if (!readRecord(Codec::ModelAddr, ReadMs, QStringLiteral("the model record"), data))
        return false;
    m_out.radioModel = SerialLink::bytesToHex(data);
    if (checkModel) {
        if (m_out.radioModel != Codec::ModelId)
            return fail(m_step, QStringLiteral("model record does not match (the radio holds %1)")
                                    .arg(m_out.radioModel));
        if (m_doc.choice(Key::Model) != 0) {
            m_doc.setChoice(Key::Model, 0);
            emit modelSelected();
        }
        emit progress(m_value, m_maximum);
    }

    enter(Outcome::Step::Band);
    if (!readRecord(Codec::BandAddr, ReadMs, QStringLiteral("the band record"), data))
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
            return fail(Outcome::Step::Band, QStringLiteral("band %1 of the radio is not in the band list").arg(band));
        copy.setChoice(Key::Band, index);
        bandFound = true;
        m_identity.model = copy.choiceText(Key::Model);
        m_identity.band = band;
        emit identityChanged();
    }

    enter(Outcome::Step::Records);
    const ValueWords words = m_doc.words();
    const QChar sep = m_doc.decimalSeparator();
    QByteArray first, second;
    for (int n = 1; n <= m_count; ++n) {
        const int address = Codec::channelAddress(n);
        if (!readRecord(address, ChannelReadMs, half(n, false), first)
            || !readRecord(address + 8, ChannelReadMs, half(n, true), second))
            return false;
        Codec::decodeChannel(first + second, n, copy, words, sep);
        advance(5);
    }
    if (!readRecord(Codec::TimerAddr, ReadMs, QStringLiteral("the timer and DTMF record"), first))
        return false;
    Codec::decodeTimer(first, copy);
    if (!readRecord(Codec::OptionAddr, ReadMs, QStringLiteral("the option block first half"), first)
        || !readRecord(Codec::OptionAddr + 8, ReadMs, QStringLiteral("the option block second half"), second))
        return false;
    Codec::decodeOptions(first + second, copy);
    advance(5);

    m_doc.replace(copy);
    if (bandFound)
        emit bandSelected(band);
    return true;
}

bool TransferEngine::writeBranch(const Prepared& p)
{
    const QString band = m_out.radioBand;
    if (band == QLatin1String(Band::Unset))
        return fail(Outcome::Step::Band, QStringLiteral("the radio has no band set"));
    if (band != m_doc.selectedBand())
        return fail(Outcome::Step::Band, QStringLiteral("band %1 of the radio is not the selected band %2")
                                             .arg(band, m_doc.selectedBand().isEmpty()
                                                            ? QStringLiteral("(none)")
                                                            : m_doc.selectedBand()));

    enter(Outcome::Step::Records);
    if (!p.user.isEmpty() && !writeRecord(Codec::UserAddr, p.user, WriteMs, QStringLiteral("the user record")))
        return false;
    if (m_state.adminName != m_identity.admin) {
        const QByteArray now = Codec::encodeDate(QDateTime::currentDateTime());
        if (!writeRecord(Codec::SaleDateAddr, now, WriteMs, QStringLiteral("the sale date record"))
            || !writeRecord(Codec::AdminAddr, p.admin, WriteMs, QStringLiteral("the administrator record")))
            return false;
    }
    if (m_state.stampFactoryDate
        && !writeRecord(Codec::FactoryDateAddr, Codec::encodeDate(QDateTime::currentDateTime()), WriteMs,
                        QStringLiteral("the factory date record")))
        return false;
    if (!p.password.isEmpty()
        && !writeRecord(Codec::PasswordAddr, p.password, WriteMs, QStringLiteral("the password record")))
        return false;

    for (int n = 1; n <= m_count; ++n) {
        const int address = Codec::channelAddress(n);
        const QByteArray& rec = p.channels[n - 1];
        if (!writeRecord(address, rec.left(8), ChannelWriteMs, half(n, false))
            || !writeRecord(address + 8, rec.mid(8), ChannelWriteMs, half(n, true)))
            return false;
        advance(5);
    }
    if (!writeRecord(Codec::OptionAddr, p.options.left(8), WriteMs, QStringLiteral("the option block first half"))
        || !writeRecord(Codec::OptionAddr + 8, p.options.mid(8), WriteMs,
                        QStringLiteral("the option block second half")))
        return false;
    advance(5);
    if (!writeRecord(Codec::TimerAddr, p.timer, WriteMs, QStringLiteral("the timer and DTMF record")))
        return false;
    advance(5);
    return true;
}

void TransferEngine::enter(Outcome::Step step)
{
    m_step = step;
    m_link.setLogStep(stepName(step));
}

QString TransferEngine::stepName(Outcome::Step step)
{
    using Step = Outcome::Step;
    switch (step) {
    case Step::None: return QStringLiteral("done");
    case Step::Busy: return QStringLiteral("busy");
    case Step::Encode: return QStringLiteral("encode");
    case Step::Port: return QStringLiteral("port");
    case Step::Handshake: return QStringLiteral("handshake");
    case Step::Identity: return QStringLiteral("identity");
    case Step::Password: return QStringLiteral("password");
    case Step::Model: return QStringLiteral("model");
    case Step::Band: return QStringLiteral("band");
    case Step::Records: return QStringLiteral("records");
    }
    return QStringLiteral("transfer");
}

void TransferEngine::endStep()
{
    m_link.setLogStep(QStringLiteral("end"));
    // The receive text is deliberately not cleared: nothing is judged here.
    if (m_link.isOpen()) {
        m_link.sendHex(EndFrame);
        m_link.aSysDelay(4, EndMs);
    }
    if (m_out.ok() && m_link.failed())
        fail(Outcome::Step::Port, QStringLiteral("port error: ") + m_link.errorString());
    if (m_out.ok()) {
        m_value = m_maximum;
        emit progress(m_value, m_maximum);
    }
}

bool TransferEngine::readRecord(int address, int ms, const QString& what, QByteArray& data)
{
    if (portFailed())
        return false;
    const QString header = QStringLiteral("57") + addressHex(address) + QStringLiteral("08");
    m_link.clearReceive();
    m_link.sendHex(QStringLiteral("52") + addressHex(address) + QStringLiteral("08"));
    m_link.aSysDelay(24, ms);
    if (portFailed())
        return false;
    const QString reply = m_link.receiveText();
    // Only a whole reply for this very address counts: a late reply to an
    // earlier request must not land in this record.
    if (reply.size() == 24 && reply.startsWith(header)) {
        data = SerialLink::hexToBytes(reply.mid(8));
        return true;
    }
    if (reply.isEmpty())
        return fail(m_step, QStringLiteral("no reply to the read of %1").arg(what));
    if (reply.size() < 24 && header.startsWith(reply.left(8)))
        return fail(m_step, QStringLiteral("the reply to the read of %1 is incomplete (%2 of 12 bytes)")
                                .arg(what)
                                .arg(reply.size() / 2));
    if (reply.startsWith(QLatin1String("57")) && reply.size() >= 8 && !reply.startsWith(header))
        return fail(m_step, QStringLiteral("the reply to the read of %1 is for address %2")
                                .arg(what, reply.mid(2, 4)));
    return fail(m_step, QStringLiteral("a wrong reply to the read of %1 (%2)").arg(what, reply.left(48)));
}

bool TransferEngine::writeRecord(int address, const QByteArray& data, int ms, const QString& what)
{
    if (portFailed())
        return false;
    m_link.clearReceive();
    m_link.sendHex(QStringLiteral("57") + addressHex(address) + QStringLiteral("08")
                   + SerialLink::bytesToHex(data));
    m_link.aSysDelay(int(Ack.size()), ms);
    if (portFailed())
        return false;
    const QString reply = m_link.receiveText();
    if (reply == Ack)
        return true;
    if (reply.isEmpty())
        return fail(m_step, QStringLiteral("no acknowledgement for %1").arg(what));
    return fail(m_step, QStringLiteral("no acknowledgement for %1 (the radio answered %2)").arg(what, reply.left(48)));
}

bool TransferEngine::portFailed()
{
    if (m_link.failed())
        fail(Outcome::Step::Port, QStringLiteral("port error: ") + m_link.errorString());
    else if (!m_link.isOpen())
        fail(Outcome::Step::Port, QStringLiteral("port error: the port is not open"));
    else
        return false;
    return true;
}

bool TransferEngine::fail(Outcome::Step step, const QString& reason)
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

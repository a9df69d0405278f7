#include "protocol.h"
#include "base/hex.h"

#include "seriallink.h"
#include "base/textids.h"

namespace {

const QString HandshakeFrame = QStringLiteral("02") + Hex::fromBytes("TAVRIN");
const QString HandshakeReply = QStringLiteral("06") + Hex::fromBytes("tavrin");
const QString EndFrame = QStringLiteral("646F");
const QString Ack = QStringLiteral("06");
constexpr int DataReplyDigits = 24;   // 'W', address, 08, 8 data bytes

} // namespace

QString RadioProtocol::quoted(const QString& reply)
{
    constexpr int Max = 48;
    return reply.size() > Max ? reply.left(Max) + QStringLiteral("...") : reply;
}

QString RadioProtocol::answer() const
{
    if (m_link.singlePort() && m_link.replyBytes() == 0)
        return {};
    return m_link.receiveText();
}

QString RadioProtocol::addressHex(int address)
{
    return QStringLiteral("%1").arg(address & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper();
}

Result RadioProtocol::portProblem() const
{
    if (m_link.failed())
        return Result::because(TextId::PortError, m_link.failure());
    if (!m_link.isOpen())
        return Result::fail(TextId::PortNotOpen);
    return Result::success();
}

QString RadioProtocol::exchange(const QString& frame, int digits, int ms)
{
    m_link.drain();
    m_link.sendHex(frame);
    m_link.aSysDelay(digits, ms);
    return answer();
}

Result RadioProtocol::handshake(int attempts, int ms)
{
    QString last;
    bool echoed = false;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        if (Result port = portProblem(); !port)
            return port;
        // Our own frame among what came late to an earlier attempt is an
        // echo too: on a busy machine the echo of one attempt can be left for
        // the next while the reply of the one before is taken as this one's.
        if (const QString stale = m_link.drain(); stale.contains(HandshakeFrame)) {
            last = stale;
            echoed = true;
            break;
        }
        m_link.sendHex(HandshakeFrame);
        m_link.aSysDelay(int(HandshakeReply.size()), ms);
        last = answer();
        if (Result port = portProblem(); !port)
            return port;
        if (last.contains(HandshakeFrame)) {
            echoed = true;
            break;
        }
        // A reply sooner than the radio could have sent one is the late
        // answer to an earlier attempt, not to this one.
        if (last == HandshakeReply && !m_link.replyCameTooSoon()) {
            m_link.consumeReceived(int(HandshakeReply.size()));
            return Result::success();
        }
    }
    // Our own frame back: a cable that echoes, not ticked as one.
    if (echoed)
        return Result::fail(TextId::HandshakeEcho, {quoted(last)});
    if (last.isEmpty())
        return Result::fail(TextId::HandshakeNoReply);
    return Result::fail(TextId::HandshakeWrongReply, {quoted(last)});
}

Result RadioProtocol::readRecord(int address, int ms, const QString& what, QByteArray& data)
{
    if (Result port = portProblem(); !port)
        return port;
    if (const QString stray = m_link.drain(); !stray.isEmpty())
        return Result::fail(TextId::StrayBeforeFrame, {what, quoted(stray)});
    const QString header = QStringLiteral("57") + addressHex(address) + QStringLiteral("08");
    m_link.sendHex(QStringLiteral("52") + addressHex(address) + QStringLiteral("08"));
    m_link.aSysDelay(DataReplyDigits, ms);
    const QString reply = answer();
    if (Result port = portProblem(); !port)
        return port;
    if (!reply.isEmpty() && m_link.replyCameTooSoon())
        return Result::fail(TextId::ReplyTooSoon, {what, quoted(reply)});
    // Only a whole reply for this very address counts: a late reply to an
    // earlier request, or another record's bytes, must not land in this one.
    if (reply.size() == DataReplyDigits && reply.startsWith(header)) {
        data = Hex::toBytes(reply.mid(8));
        m_link.consumeReceived(DataReplyDigits);
        return Result::success();
    }
    if (reply.isEmpty())
        return Result::fail(TextId::ReadNoReply, {what});
    if (reply.size() < DataReplyDigits && header.startsWith(reply.left(8)))
        return Result::fail(TextId::ReadIncomplete, {what, QString::number(reply.size() / 2)});
    if (reply.startsWith(QLatin1String("57")) && reply.size() >= 8 && !reply.startsWith(header))
        return Result::fail(TextId::ReadForeignAddress, {what, reply.mid(2, 4)});
    return Result::fail(TextId::ReadWrongReply, {what, quoted(reply)});
}

Result RadioProtocol::writeRecord(int address, const QByteArray& data, int ms, const QString& what)
{
    if (Result port = portProblem(); !port)
        return port;
    // A byte nobody asked for, after the last answer, would otherwise be
    // taken for this frame's acknowledgement.
    if (const QString stray = m_link.drain(); !stray.isEmpty())
        return Result::fail(TextId::StrayBeforeFrame, {what, quoted(stray)});
    m_link.sendHex(QStringLiteral("57") + addressHex(address) + QStringLiteral("08") + Hex::fromBytes(data));
    m_link.aSysDelay(int(Ack.size()), ms);
    const QString reply = answer();
    if (Result port = portProblem(); !port)
        return port;
    if (reply.isEmpty())
        return Result::fail(TextId::WriteNoAck, {what});
    if (m_link.replyCameTooSoon())
        return Result::fail(TextId::ReplyTooSoon, {what, quoted(reply)});
    // An acknowledgement followed by a refusal was no acknowledgement of this
    // frame. Another 06 after it stays on the line: the next frame, or the
    // end, finds it and fails, since the radio may have ignored that frame.
    for (qsizetype i = 0; i < reply.size(); i += 2)
        if (reply.mid(i, 2) != Ack)
            return Result::fail(TextId::WriteWrongReply, {what, quoted(reply)});
    m_link.consumeReceived(int(Ack.size()));
    return Result::success();
}

Result RadioProtocol::end(int ms, const QString& lastWritten)
{
    if (!m_link.isOpen())
        return Result::success();
    QString stray = m_link.drain();
    m_link.sendHex(EndFrame);
    // After a read nothing is judged, so nothing is waited for either (the
    // bytes have left: sendHex drains the port).
    if (lastWritten.isEmpty())
        return Result::success();
    m_link.aSysDelay(int(EndFrame.size()), ms);
    stray += m_link.drain();
    if (stray.isEmpty())
        return Result::success();
    return Result::fail(TextId::StrayAfterLast, {lastWritten, quoted(stray)});
}

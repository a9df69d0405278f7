#include "protocol.h"

#include "seriallink.h"
#include "setup/textids.h"

namespace {

const QString HandshakeFrame = QStringLiteral("02") + SerialLink::bytesToHex("TAVRIN");
const QString HandshakeReply = QStringLiteral("06") + SerialLink::bytesToHex("tavrin");
const QString EndFrame = QStringLiteral("646F");
const QString Ack = QStringLiteral("06");
constexpr int DataReplyDigits = 24;   // 'W', address, 08, 8 data bytes

// A reply quoted in a message: enough to recognise, never a screenful.
QString quoted(const QString& reply)
{
    constexpr int Max = 48;
    return reply.size() > Max ? reply.left(Max) + QStringLiteral("...") : reply;
}

} // namespace

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
    return m_link.receiveText();
}

Result RadioProtocol::handshake(int attempts, int ms)
{
    QString last;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        if (Result port = portProblem(); !port)
            return port;
        last = exchange(HandshakeFrame, int(HandshakeReply.size()), ms);
        if (Result port = portProblem(); !port)
            return port;
        if (last == HandshakeReply)
            return Result::success();
    }
    if (last.isEmpty())
        return Result::fail(TextId::HandshakeNoReply);
    return Result::fail(TextId::HandshakeWrongReply, {quoted(last)});
}

Result RadioProtocol::readRecord(int address, int ms, const QString& what, QByteArray& data)
{
    if (Result port = portProblem(); !port)
        return port;
    const QString header = QStringLiteral("57") + addressHex(address) + QStringLiteral("08");
    const QString reply =
        exchange(QStringLiteral("52") + addressHex(address) + QStringLiteral("08"), DataReplyDigits, ms);
    if (Result port = portProblem(); !port)
        return port;
    // Only a whole reply for this very address counts: a late reply to an
    // earlier request, or another record's bytes, must not land in this one.
    if (reply.size() == DataReplyDigits && reply.startsWith(header)) {
        data = SerialLink::hexToBytes(reply.mid(8));
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
    QString reply = exchange(QStringLiteral("57") + addressHex(address) + QStringLiteral("08")
                                 + SerialLink::bytesToHex(data),
                             int(Ack.size()), ms);
    // An acknowledgement followed by more bytes is no acknowledgement: the
    // extra byte would otherwise be taken for the answer to the next frame,
    // and every later reply judged against the wrong record.
    if (reply == Ack) {
        m_link.aSysDelay(int(Ack.size()) + 1, AckQuietMs);
        reply = m_link.receiveText();
    }
    if (Result port = portProblem(); !port)
        return port;
    if (reply == Ack)
        return Result::success();
    if (reply.isEmpty())
        return Result::fail(TextId::WriteNoAck, {what});
    return Result::fail(TextId::WriteWrongReply, {what, quoted(reply)});
}

void RadioProtocol::end(int ms)
{
    if (!m_link.isOpen())
        return;
    // Nothing is judged here, so what the line still holds may stay.
    m_link.sendHex(EndFrame);
    m_link.aSysDelay(int(EndFrame.size()), ms);
}

#pragma once
#include <QByteArray>
#include <QString>

#include "setup/result.h"

class SerialLink;

// The programming protocol's exchanges with the radio, one at a time, over an
// open serial link: the handshake, a record read, a record write and the end
// frame. The transfer engine, the initialise command and the alignment
// operations all talk to the radio through here, so every reply passes the
// same checks:
//  - whatever is still on the line from an earlier exchange is dropped before
//    a frame is sent, so it is never taken for the answer to this one;
//  - a data reply is exactly 12 bytes, 'W' and the very address asked;
//  - an acknowledgement is exactly one 06 with nothing after it for a few
//    byte times.
// A failure names the record by the `what` the caller gives (already in the
// user's language) and the reply as hex, as a Result.
class RadioProtocol {
public:
    explicit RadioProtocol(SerialLink& link) : m_link(link) {}

    // 02 "TAVRIN" until the reply is exactly 06 "tavrin", at most `attempts`
    // times, each waiting `ms` for the reply.
    Result handshake(int attempts, int ms);
    // 'R' address 08; `data` gets the 8 bytes only when the reply passes.
    Result readRecord(int address, int ms, const QString& what, QByteArray& data);
    // 'W' address 08 and the 8 bytes of `data`; the radio must acknowledge.
    Result writeRecord(int address, const QByteArray& data, int ms, const QString& what);
    // 64 6F; no answer is expected or judged.
    void end(int ms);

    // One raw exchange for frames of other sets (the service commands): the
    // line drained, the frame sent, a wait for `digits` hex digits or `ms`.
    // Returns what arrived.
    QString exchange(const QString& frame, int digits, int ms);

    // What the last failure saw, e.g. the port's own complaint; a lost line
    // explains every later silence better than the silence does.
    Result portProblem() const;

    static QString addressHex(int address);

    // The time an acknowledgement must stand alone: a little over three byte
    // times at 9600 8N1, where one byte takes 1.04 ms.
    static constexpr int AckQuietMs = 4;

private:
    SerialLink& m_link;
};

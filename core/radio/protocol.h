#pragma once
#include <QByteArray>
#include <QString>

#include "base/result.h"

class SerialLink;

// The programming protocol's exchanges with the radio, one at a time, over an
// open serial link: the handshake, a record read, a record write and the end
// frame. The transfer engine, the initialise command and the alignment
// operations all talk to the radio through here, so every reply passes the
// same checks:
//  - a reply can only come once the radio has the whole frame: a byte that
//    arrives sooner (judged by the frame's own wire time at 9600 8N1) is a
//    stray and fails the frame;
//  - a byte still on the line from before, that nobody asked for, fails the
//    frame about to be sent (a record read or write; the handshake, which is
//    tried again anyway, and the service frames just drop it);
//  - a data reply is exactly 12 bytes, 'W' and the very address asked;
//  - an acknowledgement is one 06; a byte after it fails the frame when it
//    is a refusal, and the next frame (or the end) when it is another 06.
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
    // 64 6F; the radio never answers it. After writes, `lastWritten` names
    // the last record acknowledged: the end waits `ms`, and a byte on the
    // line before or during that wait means that acknowledgement may have
    // been a stray, and the end fails naming it. Without it nothing is
    // judged and nothing waited for.
    Result end(int ms, const QString& lastWritten = {});

    // One raw exchange for frames of other sets (the service commands): the
    // line drained, the frame sent, a wait for `digits` hex digits or `ms`.
    // Returns what arrived.
    QString exchange(const QString& frame, int digits, int ms);

    // What the last failure saw, e.g. the port's own complaint; a lost line
    // explains every later silence better than the silence does.
    Result portProblem() const;

    static QString addressHex(int address);
    // A reply quoted in a message: enough to recognise, never a screenful.
    static QString quoted(const QString& reply);

private:
    // What came back for the last frame: the receive text, or nothing when
    // a single-wire cable gave back only our own frame (its echo is no answer).
    QString answer() const;

    SerialLink& m_link;
};

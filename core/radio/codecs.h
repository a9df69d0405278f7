#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

#include "document/channel.h"
#include "base/result.h"

class DocumentData;

// The radio's memory records and how each value is coded, as pure functions
// between bytes and the values of the settings document. No I/O happens here.
//
// Decoders take the record's bytes and never fail: a value that the radio
// codes in a way no setting can show leaves that setting empty or unselected,
// as the radio's own tools do. Encoders refuse what they cannot code and say
// which value is at fault, so that a malformed frame is never built.
//
// Names are single-byte characters; bytes above 0x7F are taken as Latin-1.
namespace Codec {

// What an encoder produced: the record, or why it cannot be made.
struct Encoded {
    QByteArray bytes;
    Result error;   // success when `bytes` holds the record
    bool ok() const { return error.ok(); }
};

// Record addresses (8 bytes each unless said otherwise).
constexpr int OptionAddr = 0x4000;       // 16 bytes, two halves
constexpr int TimerAddr = 0x4010;
constexpr int FactoryDateAddr = 0x4040;
constexpr int UserAddr = 0x4048;
constexpr int PasswordAddr = 0x4050;
constexpr int SaleDateAddr = 0x4060;
constexpr int AdminAddr = 0x4068;
constexpr int ModelAddr = 0x4070;
constexpr int BandAddr = 0x4078;
// Channel n (1 .. 32): 16 bytes from 0x4070 + 16 n.
constexpr int channelAddress(int n) { return 0x4070 + 16 * n; }
// The record at `address` as messages name it ("channel 5 second half",
// "the option block first half"), a text id with its values.
Result recordName(int address);

// The model record of the one model of the list ("KQ-" and five code bytes).
inline const QString ModelId = QStringLiteral("4B512D195A18FF06");
QByteArray modelRecord();

// Frequency: 4 bytes BCD in units of 10 Hz. nullopt when a nibble is not a
// decimal digit (an erased or foreign record).
// In hertz.
std::optional<qint64> decodeFrequency(const QByteArray& four);
// Whole tens of hertz, at most eight digits of them.
Encoded encodeFrequency(qint64 hz);

// Tone code: 2 bytes, type nibble then a 12-bit value.
Tone decodeTone(const QByteArray& two);
// A CTCSS value above twelve bits, or a DCS code above 0777, is refused.
Encoded encodeTone(const Tone& tone);

// Date: 14 BCD digits yyyymmddhhmmss then FF; the display copies the digits.
QString decodeDate(const QByteArray& eight);
QByteArray encodeDate(const QDateTime& when);

// Name: up to 7 single-byte characters, FF padding, the length in byte 7.
QString decodeName(const QByteArray& eight);
// A longer name keeps its first 7 characters; characters beyond Latin-1
// cannot be stored.
Encoded encodeName(const QString& name);

// Password: digits one per nibble, F padding, the digit count in the last
// nibble. The stored count nibble; 0xF for an erased record.
int passwordLength(const QByteArray& eight);
// The first `passwordLength` hex digits of the record, as the check compares them.
QString passwordDigits(const QByteArray& eight);
// Up to 12 decimal digits; "*" and "#" cannot be stored in a nibble.
Encoded encodePassword(const QString& digits);

// DTMF digit: "0"-"9", "A"-"D", "*", "#" <-> 0 .. 15; -1 for any other character.
int dtmfCode(QChar c);
QChar dtmfChar(int code);

// Band record: upper edge then lower edge, each as three BCD digits and a 0.
QString decodeBand(const QByteArray& eight);
// The record the alignment window writes: the 4-byte code twice.
Encoded encodeBand(const QString& band);

// Channel record (16 bytes) <-> a channel; unused when the receive
// frequency is not a number.
Channel decodeChannel(const QByteArray& sixteen);
// The record of channel `row`. A cell that names no value is refused, each
// named: channel 5, transmit tone: "D9" is not a tone
Encoded encodeChannel(const Channel& ch, int row);

// The record channel `row` of the document makes when it is written over
// `base`, the 16 bytes the radio holds there (empty: not known). Every field
// whose value the document holds as `base` has it keeps base's bits, so a
// record written back unchanged is the very record read, and the bits no
// setting shows keep what the radio holds; a changed field takes the
// document's code. A channel the document leaves empty is erased (16 FF)
// unless the radio's record is empty already.
Encoded encodeChannelOver(const Channel& ch, int row, const QByteArray& base);

// Option block (16 bytes at 0x4000).
void decodeOptions(const QByteArray& sixteen, DocumentData& data);
// `channelCount` goes into byte 0. A choice that a read left unselected is
// written with the code that was read (DocumentData::unlistedCode).
Encoded encodeOptions(const DocumentData& data, int channelCount);

// The option block written over the radio's own (see encodeChannelOver); a
// value the document does not carry (DocumentData::carries) keeps base's.
Encoded encodeOptionsOver(const DocumentData& data, int channelCount, const QByteArray& base);

// Timer and DTMF record (8 bytes at 0x4010): lease time, DTMF duration and
// the end-of-transmission DTMF code.
void decodeTimer(const QByteArray& eight, DocumentData& data);
Encoded encodeTimer(const DocumentData& data);
Encoded encodeTimerOver(const DocumentData& data, const QByteArray& base);

}

#include "codecs.h"

#include "base/hex.h"
#include "base/valuewords.h"


#include "document/documentdata.h"
#include "document/wordcells.h"
#include "document/frequency.h"
#include "document/band.h"
#include "document/settingkeys.h"
#include "document/valuenames.h"
#include "base/textids.h"

namespace Codec {
namespace {

// Missing bytes read as erased memory, so a short buffer can never be read
// past its end.
int byteAt(const QByteArray& b, int i)
{
    return i >= 0 && i < b.size() ? quint8(b[i]) : 0xFF;
}

bool isDigit(QChar c, char highest = '9')
{
    return c.unicode() >= '0' && c.unicode() <= ushort(highest);
}

Encoded fail(int id, QStringList values = {})
{
    return Encoded{{}, Result::fail(id, std::move(values))};
}

Encoded fail(const Result& why)
{
    return Encoded{{}, why};
}

// A setting's own problem, the setting named in the active language.
Encoded failSetting(int id, const QString& key, QStringList values = {})
{
    return fail(Result::because(id, Result::named(ValueNames::settingId(key)), std::move(values)));
}

Encoded done(const QByteArray& bytes)
{
    return Encoded{bytes, {}};
}

// One field of a record: the bits it occupies in each byte, and the setting
// it holds when that setting may be missing from the document.
struct Bits {
    int byte;
    int mask;
};
struct Field {
    std::vector<Bits> bits;
    QString key;   // empty: always carried
};

// `fresh` is the document's encoding, `baseFresh` the encoding of what
// `base` decodes to. A field equal in both holds the radio's value: base's
// bits stay. So do the bits no field covers, and the fields of settings the
// document does not carry.
QByteArray over(const QByteArray& fresh, const QByteArray& baseFresh, const QByteArray& base,
                const std::vector<Field>& fields, const DocumentData* data = nullptr)
{
    QByteArray out = base;
    for (const Field& f : fields) {
        bool same = true;
        for (const Bits& b : f.bits)
            same = same && (fresh[b.byte] & b.mask) == (baseFresh[b.byte] & b.mask);
        if (same || (!f.key.isEmpty() && data && !data->carries(f.key)))
            continue;
        for (const Bits& b : f.bits)
            out[b.byte] = char((out[b.byte] & ~b.mask) | (fresh[b.byte] & b.mask));
    }
    return out;
}

std::vector<Bits> wholeBytes(int from, int count)
{
    std::vector<Bits> bits;
    for (int i = from; i < from + count; ++i)
        bits.push_back({i, 0xFF});
    return bits;
}


}

QByteArray modelRecord()
{
    return Hex::toBytes(ModelId);
}

Result recordName(int address)
{
    if (address >= channelAddress(1) && address < channelAddress(DocumentData::ChannelCount + 1)) {
        const int n = (address - channelAddress(1)) / 16 + 1;
        const bool second = (address - channelAddress(n)) >= 8;
        return Result::fail(second ? TextId::RecordChannelSecondHalf : TextId::RecordChannelFirstHalf,
                            {QString::number(n)});
    }
    struct Named { int address; int id; };
    static const Named names[] = {
        {OptionAddr, TextId::RecordOptionsFirstHalf}, {OptionAddr + 8, TextId::RecordOptionsSecondHalf},
        {TimerAddr, TextId::RecordTimer}, {FactoryDateAddr, TextId::RecordFactoryDate},
        {UserAddr, TextId::RecordUser}, {PasswordAddr, TextId::RecordPassword},
        {SaleDateAddr, TextId::RecordSaleDate}, {AdminAddr, TextId::RecordAdmin},
        {ModelAddr, TextId::RecordModel}, {BandAddr, TextId::RecordBand}};
    for (const Named& n : names)
        if (n.address == address)
            return Result::fail(n.id);
    return Result::verbatim(QStringLiteral("0x%1").arg(address, 4, 16, QLatin1Char('0')).toUpper().replace(u'X', u'x'));
}

// ---- frequency ---------------------------------------------------------

std::optional<qint64> decodeFrequency(const QByteArray& four)
{
    qint64 tens = 0;
    for (int i = 0; i < 4; ++i) {
        const int b = byteAt(four, i);
        const int hi = b >> 4, lo = b & 0xF;
        if (hi > 9 || lo > 9)
            return std::nullopt;
        tens = tens * 100 + hi * 10 + lo;
    }
    return tens * 10;
}

Encoded encodeFrequency(qint64 hz)
{
    if (hz < 0 || hz % 10 != 0 || hz / 10 > 99999999)
        return fail(TextId::NotAFrequency, {QString::number(hz / 1e6, 'f', 6)});
    return done(Hex::toBytes(QStringLiteral("%1").arg(hz / 10, 8, 10, QLatin1Char('0'))));
}

// ---- tone --------------------------------------------------------------

Tone decodeTone(const QByteArray& two)
{
    const int b0 = byteAt(two, 0), b1 = byteAt(two, 1);
    const int type = b0 >> 4;
    const int value = (b0 & 0xF) << 8 | b1;
    if (type == 1)
        return Tone::ctcss(value);
    if (type == 2 || type == 3)
        return Tone::dcs(value & 0777, type == 3);
    return Tone::off();
}

Encoded encodeTone(const Tone& tone)
{
    int type = 0xF, value = 0;
    switch (tone.kind) {
    case Tone::Kind::Off: break;
    case Tone::Kind::Ctcss:
        // The value has twelve bits beside the type.
        if (tone.value < 0 || tone.value > 0xFFF)
            return fail(TextId::ToneTooHigh,
                        {QString::number(tone.value / 10) + u'.' + QString::number(tone.value % 10)});
        type = 1;
        value = tone.value;
        break;
    case Tone::Kind::Dcs:
        if (tone.value < 0 || tone.value > 0777)
            return fail(TextId::NotATone, {QString::number(tone.value, 8)});
        type = tone.inverted ? 3 : 2;
        value = tone.value;
        break;
    }
    QByteArray out(2, '\0');
    out[0] = char(type << 4 | value >> 8);
    out[1] = char(value & 0xFF);
    return done(out);
}

// ---- date, name, password ------------------------------------------------

QString decodeDate(const QByteArray& eight)
{
    QByteArray b = eight.left(8);
    while (b.size() < 8)
        b.append(char(0xFF));
    const QString d = Hex::fromBytes(b);
    return d.mid(0, 4) + u'-' + d.mid(4, 2) + u'-' + d.mid(6, 2) + QStringLiteral("  ") + d.mid(8, 2)
           + u':' + d.mid(10, 2) + u':' + d.mid(12, 2);
}

QByteArray encodeDate(const QDateTime& when)
{
    return Hex::toBytes(when.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral("FF"));
}

QString decodeName(const QByteArray& eight)
{
    const int n = std::min(byteAt(eight, 7) & 0xF, 7);
    QString out;
    for (int i = 0; i < n; ++i)
        out.append(QChar(byteAt(eight, i)));
    return out;
}

Encoded encodeName(const QString& name)
{
    const QString t = name.left(7);
    QByteArray out;
    for (QChar c : t) {
        if (c.unicode() > 0xFF)
            return fail(TextId::NameCharacter, {name, QString(c)});
        out.append(char(c.unicode()));
    }
    const int n = int(out.size());
    out.append(QByteArray(7 - n, char(0xFF)));
    out.append(char(n));
    return done(out);
}

int passwordLength(const QByteArray& eight)
{
    return byteAt(eight, 7) & 0xF;
}

QString passwordDigits(const QByteArray& eight)
{
    QByteArray b = eight.left(8);
    while (b.size() < 8)
        b.append(char(0xFF));
    return Hex::fromBytes(b).left(passwordLength(b));
}

Encoded encodePassword(const QString& digits)
{
    if (digits.contains(u'*') || digits.contains(u'#'))
        return fail(TextId::PasswordStarHash);
    if (digits.size() > 12)
        return fail(TextId::PasswordTooLong);
    for (QChar c : digits)
        if (!isDigit(c))
            return fail(TextId::PasswordDigitsOnly);
    QString hex = digits + QString(15 - digits.size(), u'F');
    hex += QString::number(digits.size(), 16).toUpper();
    return done(Hex::toBytes(hex));
}

// ---- DTMF, band ----------------------------------------------------------

int dtmfCode(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'D')
        return u - 'A' + 10;
    if (u == '*')
        return 14;
    if (u == '#')
        return 15;
    return -1;
}

QChar dtmfChar(int code)
{
    static const char chars[] = "0123456789ABCD*#";
    return QChar::fromLatin1(chars[code & 0xF]);
}

QString decodeBand(const QByteArray& eight)
{
    QByteArray b = eight.left(4);
    while (b.size() < 4)
        b.append(char(0xFF));
    const QString h = Hex::fromBytes(b);
    return h.mid(4, 3) + u'-' + h.mid(0, 3) + QStringLiteral("MHz");
}

Encoded encodeBand(const QString& band)
{
    if (!Band::isWellFormed(band))
        return fail(TextId::NotABand, {band});
    const QByteArray code = Hex::toBytes(band.mid(4, 3) + u'0' + band.mid(0, 3) + u'0');
    return done(code + code);
}

// ---- channel record ------------------------------------------------------

Channel decodeChannel(const QByteArray& rec)
{
    const std::optional<qint64> rx = decodeFrequency(rec.mid(0, 4));
    if (!rx)
        return Channel();
    Channel ch = Channel::withValues(*rx);
    ch.txHz = decodeFrequency(rec.mid(4, 4));
    ch.rxTone = decodeTone(rec.mid(8, 2));
    ch.txTone = decodeTone(rec.mid(10, 2));
    const int b13 = byteAt(rec, 13), b14 = byteAt(rec, 14);
    ch.power = b14 & 0x80 ? Power::High : Power::Low;
    ch.bandwidth = b14 & 0x40 ? Bandwidth::Wide : Bandwidth::Narrow;
    ch.scan = !(b13 & 0x01);
    ch.busyLock = !(b14 & 0x10);
    ch.tailElimination = b14 & 0x01;
    ch.compander = b13 & 0x02 ? Compander::Off : Compander::On;
    ch.pttId = b13 & 0x08;
    return ch;
}

namespace {

// The words a word column may hold, by their pack ids, for the message that
// names what the column takes.
Result wordChoice(int col)
{
    std::vector<Result> words;
    for (Word w : ValueWordTable::wordsOfColumn(col))
        words.push_back(Result::named(wordTextId(w)));
    return Result::fail(words.size() == 4 ? TextId::FourWords : TextId::TwoWords, {}, std::move(words));
}

}

Encoded encodeChannel(const Channel& ch, int row)
{
    if (!ch.exists())
        return done(QByteArray(16, char(0xFF)));

    // Every cell is looked at, so that a refusal names all that is wrong
    // with the channel at once.
    std::vector<Result> problems;
    auto bad = [row, &problems](int col, const Result& why) {
        problems.push_back(Result::fail(TextId::ChannelValueProblem, {QString::number(row)},
                                        {Result::named(ValueNames::columnId(col)), why}));
    };
    // A cell that names no value: the text as it stands, and what the column takes.
    auto unnamed = [&](int col) {
        const QString t = *ch.text[col];
        if (col <= Column::TxTone)
            bad(col, Result::fail(col % 2 ? TextId::NotAFrequency : TextId::NotATone, {t}));
        else
            bad(col, Result::fail(TextId::NotOneOf, {t}, {wordChoice(col)}));
    };
    auto field = [&](int col, const Encoded& e, int size) {
        if (!ch.holdsValue(col)) {
            unnamed(col);
            return QByteArray(size, char(0xFF));
        }
        if (!e.ok())
            bad(col, e.error);
        return e.ok() ? e.bytes : QByteArray(size, char(0xFF));
    };

    QByteArray out;
    out += field(Column::RxFrequency, encodeFrequency(ch.rxHz), 4);
    out += ch.txHz || !ch.holdsValue(Column::TxFrequency) ? field(Column::TxFrequency, encodeFrequency(ch.txHz.value_or(0)), 4)
                                                           : QByteArray(4, char(0xFF));
    // An empty tone cell is no tone, as a channel being made has it.
    for (int col : {Column::RxTone, Column::TxTone}) {
        const Tone& t = col == Column::RxTone ? ch.rxTone : ch.txTone;
        if (ch.text[col] && ch.text[col]->trimmed().isEmpty())
            out += encodeTone(Tone::off()).bytes;
        else
            out += field(col, encodeTone(t), 2);
    }
    for (int col = Column::Power; col < Column::Count; ++col)
        if (!ch.holdsValue(col))
            unnamed(col);
    if (!problems.empty())
        return fail(problems.size() == 1 ? problems.front() : Result::lines(problems));

    const int b13 = 0xF4 | (ch.scan ? 0 : 0x01) | (ch.compander == Compander::Off ? 0x02 : 0) | (ch.pttId ? 0x08 : 0);
    const int b14 = 0x2E | (ch.power == Power::High ? 0x80 : 0) | (ch.bandwidth == Bandwidth::Wide ? 0x40 : 0)
                    | (ch.busyLock ? 0 : 0x10) | (ch.tailElimination ? 0x01 : 0);
    const qint64 tx = ch.txHz.value_or(-1);
    const int b15 = ch.rxHz == tx ? 0xFC : ch.rxHz > tx ? 0xFD : 0xFE;
    out.append(char(0xFF));
    out.append(char(b13));
    out.append(char(b14));
    out.append(char(b15));
    return done(out);
}

Encoded encodeChannelOver(const Channel& ch, int row, const QByteArray& base)
{
    const Encoded fresh = encodeChannel(ch, row);
    if (!fresh.ok() || base.size() != 16)
        return fresh;
    const Channel radio = decodeChannel(base);
    if (!radio.exists())
        // An empty record carries nothing worth keeping: a new channel gets
        // the usual bits, and a channel still empty stays as the radio has it.
        return ch.exists() ? fresh : done(base);
    if (!ch.exists())
        return fresh;   // erased
    const Encoded baseFresh = encodeChannel(radio, row);
    if (!baseFresh.ok())
        return fresh;
    static const std::vector<Field> fields = {
        {wholeBytes(0, 4), {}},  {wholeBytes(4, 4), {}},  {wholeBytes(8, 2), {}}, {wholeBytes(10, 2), {}},
        {{{13, 0x01}}, {}},      {{{13, 0x02}}, {}},      {{{13, 0x08}}, {}},      {{{14, 0x10}}, {}},
        {{{14, 0x40}}, {}},      {{{14, 0x80}}, {}},      {{{14, 0x01}}, {}},      {wholeBytes(15, 1), {}},
    };
    return done(over(fresh.bytes, baseFresh.bytes, base, fields));
}

// ---- option block --------------------------------------------------------

namespace {

// The position of a choice, or the code a read left in it; a choice that
// has neither, or a code too large for its bits, adds to `problems`.
int choiceCode(const DocumentData& data, const QString& key, int highest, std::vector<Result>& problems)
{
    int code = data.choice(key);
    if (code < 0)
        code = data.unlistedCode(key);
    if (code < 0) {
        problems.push_back(failSetting(TextId::NothingSelected, key).error);
        return 0;
    }
    if (code > highest) {
        problems.push_back(failSetting(TextId::CodeDoesNotFit, key, {QString::number(code)}).error);
        return 0;
    }
    return code;
}

void setChoiceOrCode(DocumentData& data, const QString& key, int pos, int code)
{
    data.setChoice(key, pos);
    if (data.choice(key) < 0)
        data.setUnlistedCode(key, code);
}

}

void decodeOptions(const QByteArray& rec, DocumentData& d)
{
    const int save = std::clamp(byteAt(rec, 2), 15, 60);
    d.setChoice(Key::SaveRatio, save / 15 - 1);
    d.setChoice(Key::Volume, byteAt(rec, 3) & 0xF);
    d.setChoice(Key::Squelch, (byteAt(rec, 4) & 0xF) % 10);
    d.setChoice(Key::Voice, (byteAt(rec, 5) & 0xF) % 3);

    const int b6 = byteAt(rec, 6);
    d.setFlag(Key::EndTone, b6 & 0x10);
    d.setFlag(Key::KeyBeep, b6 & 0x20);
    d.setFlag(Key::Alarm, b6 & 0x40);
    d.setFlag(Key::PowerOnTone, b6 & 0x80);
    d.setFlag(Key::LowBatteryTone, b6 & 0x01);
    d.setFlag(Key::Lease, b6 & 0x02);
    d.setFlag(Key::BatterySave, b6 & 0x04);
    d.setFlag(Key::TinyPower, b6 & 0x08);

    const int b8 = byteAt(rec, 8);
    d.setFlag(Key::VoxRxInhibit, b8 & 0x10);
    d.setChoice(Key::ScanResume, b8 & 0x20 ? 1 : 0);
    d.setFlag(Key::TxInhibit, !(b8 & 0x40));

    d.setChoice(Key::AutoPowerOff, byteAt(rec, 9) & 0xF);
    d.setChoice(Key::TimeOut, (byteAt(rec, 10) & 0xF) % 13);
    const int vox = byteAt(rec, 11) & 0xF;
    d.setChoice(Key::VoxLevel, vox >= 8 ? 4 : vox);
    const int delay = byteAt(rec, 12) & 0xF;
    d.setChoice(Key::VoxDelay, delay >= 4 ? 2 : delay);

    const QString keys[3][2] = {{Key::TopLong, Key::TopShort},
                                {Key::P1Long, Key::P1Short},
                                {Key::P2Long, Key::P2Short}};
    for (int i = 0; i < 3; ++i) {
        const int b = byteAt(rec, 13 + i);
        setChoiceOrCode(d, keys[i][0], b >> 4, b >> 4);
        setChoiceOrCode(d, keys[i][1], b & 0xF, b & 0xF);
    }
}

Encoded encodeOptions(const DocumentData& d, int channelCount)
{
    std::vector<Result> problems;
    auto code = [&](const QString& key, int highest) { return choiceCode(d, key, highest, problems); };
    QByteArray out(16, '\0');
    out[0] = char(channelCount & 0xFF);
    out[1] = 0;
    out[2] = char((code(Key::SaveRatio, 3) + 1) * 15);
    out[3] = char(code(Key::Volume, 15));
    out[4] = char(code(Key::Squelch, 15));
    out[5] = char(code(Key::Voice, 15));
    int b6 = 0;
    b6 |= d.flag(Key::EndTone) ? 0x10 : 0;
    b6 |= d.flag(Key::KeyBeep) ? 0x20 : 0;
    b6 |= d.flag(Key::Alarm) ? 0x40 : 0;
    b6 |= d.flag(Key::PowerOnTone) ? 0x80 : 0;
    b6 |= d.flag(Key::LowBatteryTone) ? 0x01 : 0;
    b6 |= d.flag(Key::Lease) ? 0x02 : 0;
    b6 |= d.flag(Key::BatterySave) ? 0x04 : 0;
    b6 |= d.flag(Key::TinyPower) ? 0x08 : 0;
    out[6] = char(b6);
    out[7] = char(0xFF);
    int b8 = 0x8F;
    b8 |= d.flag(Key::VoxRxInhibit) ? 0x10 : 0;
    b8 |= code(Key::ScanResume, 1) == 1 ? 0x20 : 0;
    b8 |= d.flag(Key::TxInhibit) ? 0 : 0x40;
    out[8] = char(b8);
    out[9] = char(code(Key::AutoPowerOff, 15));
    out[10] = char(code(Key::TimeOut, 15));
    out[11] = char(code(Key::VoxLevel, 15));
    out[12] = char(code(Key::VoxDelay, 15));
    out[13] = char(code(Key::TopLong, 15) << 4 | code(Key::TopShort, 15));
    out[14] = char(code(Key::P1Long, 15) << 4 | code(Key::P1Short, 15));
    out[15] = char(code(Key::P2Long, 15) << 4 | code(Key::P2Short, 15));
    if (!problems.empty())
        return fail(problems.size() == 1 ? problems.front() : Result::lines(problems));
    return done(out);
}

Encoded encodeOptionsOver(const DocumentData& d, int channelCount, const QByteArray& base)
{
    const Encoded fresh = encodeOptions(d, channelCount);
    if (!fresh.ok() || base.size() != 16)
        return fresh;
    DocumentData radio;
    decodeOptions(base, radio);
    const Encoded baseFresh = encodeOptions(radio, channelCount);
    if (!baseFresh.ok())
        return fresh;
    static const std::vector<Field> fields = {
        {wholeBytes(0, 1), {}},
        {wholeBytes(2, 1), Key::SaveRatio}, {wholeBytes(3, 1), Key::Volume},
        {wholeBytes(4, 1), Key::Squelch},   {wholeBytes(5, 1), Key::Voice},
        {{{6, 0x10}}, Key::EndTone},        {{{6, 0x20}}, Key::KeyBeep},
        {{{6, 0x40}}, Key::Alarm},          {{{6, 0x80}}, Key::PowerOnTone},
        {{{6, 0x01}}, Key::LowBatteryTone}, {{{6, 0x02}}, Key::Lease},
        {{{6, 0x04}}, Key::BatterySave},    {{{6, 0x08}}, Key::TinyPower},
        {{{8, 0x10}}, Key::VoxRxInhibit},   {{{8, 0x20}}, Key::ScanResume},
        {{{8, 0x40}}, Key::TxInhibit},
        {wholeBytes(9, 1), Key::AutoPowerOff}, {wholeBytes(10, 1), Key::TimeOut},
        {wholeBytes(11, 1), Key::VoxLevel},    {wholeBytes(12, 1), Key::VoxDelay},
        {{{13, 0xF0}}, Key::TopLong},       {{{13, 0x0F}}, Key::TopShort},
        {{{14, 0xF0}}, Key::P1Long},        {{{14, 0x0F}}, Key::P1Short},
        {{{15, 0xF0}}, Key::P2Long},        {{{15, 0x0F}}, Key::P2Short},
    };
    return done(over(fresh.bytes, baseFresh.bytes, base, fields, &d));
}

// ---- timer and DTMF record -----------------------------------------------

void decodeTimer(const QByteArray& rec, DocumentData& d)
{
    int v = byteAt(rec, 0) << 8 | byteAt(rec, 1);
    d.setNumber(Key::LeaseMinutes, (v % 6) * 10);
    v /= 6;
    d.setNumber(Key::LeaseHours, v % 24);
    d.setNumber(Key::LeaseDays, v / 24);

    const int duration = byteAt(rec, 2);
    // Integer division truncates toward zero, as the position's integer part does.
    setChoiceOrCode(d, Key::DtmfTime, (duration - 20) / 4, duration);

    const int n = byteAt(rec, 3) & 0xF;
    QString code;
    if (n < 5)
        for (int i = 0; i < n; ++i)
            code.append(dtmfChar(byteAt(rec, 4 + i) & 0xF));
    d.setText(Key::EndDtmf, code);
}

Encoded encodeTimer(const DocumentData& d)
{
    const int lease = d.number(Key::LeaseDays) * 144 + d.number(Key::LeaseHours) * 6
                      + d.number(Key::LeaseMinutes) / 10;
    int duration = d.choice(Key::DtmfTime);
    if (duration >= 0)
        duration = duration * 4 + 20;
    else
        duration = d.unlistedCode(Key::DtmfTime);
    if (duration < 0 || duration > 0xFF)
        return failSetting(TextId::NothingSelected, Key::DtmfTime);

    const QString code = d.text(Key::EndDtmf);
    if (code.size() > 4)
        return failSetting(TextId::DtmfTooLong, Key::EndDtmf, {code});
    QByteArray out(8, '\0');
    out[0] = char(lease >> 8 & 0xFF);
    out[1] = char(lease & 0xFF);
    out[2] = char(duration);
    out[3] = char(code.size());
    for (int i = 0; i < code.size(); ++i) {
        const int c = dtmfCode(code[i]);
        if (c < 0)
            return failSetting(TextId::NotDtmfDigit, Key::EndDtmf, {QString(code[i])});
        out[4 + i] = char(c);
    }
    return done(out);
}

Encoded encodeTimerOver(const DocumentData& d, const QByteArray& base)
{
    const Encoded fresh = encodeTimer(d);
    if (!fresh.ok() || base.size() != 8)
        return fresh;
    DocumentData radio;
    decodeTimer(base, radio);
    const Encoded baseFresh = encodeTimer(radio);
    if (!baseFresh.ok())
        return fresh;
    static const std::vector<Field> fields = {
        {wholeBytes(0, 2), Key::LeaseDays},
        {wholeBytes(2, 1), Key::DtmfTime},
        {wholeBytes(3, 5), Key::EndDtmf},
    };
    return done(over(fresh.bytes, baseFresh.bytes, base, fields, &d));
}

}

#include <QByteArray>

#include "document/band.h"
#include "document/channeltext.h"
#include "document/documentdata.h"
#include "radio/codecs.h"
#include "base/packstrings.h"

// Replies from the radio, decoded as every kind of record. What a decoder
// shows, the encoder takes back: a channel, the option block or the timer
// record read from any bytes can be written again, and reading what was
// written shows the same values. Byte 0 of the input picks the decimal
// separator and the language of the value words.
namespace {

const ValueWords Chinese{QStringLiteral("禁用"), QStringLiteral("启用"), QStringLiteral("高功率"),
                         QStringLiteral("低功率"), QStringLiteral("宽带"), QStringLiteral("窄带"),
                         QStringLiteral("压扩"), QStringLiteral("扰频")};
const ValueWords English{QStringLiteral("OFF"), QStringLiteral("ON"), QStringLiteral("High"),
                         QStringLiteral("Low"), QStringLiteral("Wide"), QStringLiteral("Narrow"),
                         QStringLiteral("Comp"), QStringLiteral("scrambler")};

void check(bool good)
{
    if (!good)
        __builtin_trap();
}

// A refusal says why with a text every language has (the built-in one is
// beneath every pack), and names what it speaks of with texts too.
bool explained(const Result& r)
{
    if (r.ok() || !PackStrings::builtIn().contains(r.textId))
        return false;
    for (const Result& d : r.details)
        if (!explained(d))
            return false;
    return true;
}

void channel(const QByteArray& rec, const ValueWords& w, QChar sep)
{
    static const DocumentData fresh;
    DocumentData d = fresh;
    d.setChannel(7, Codec::decodeChannel(rec));
    if (!d.channelExists(7)) {
        for (int c = 1; c < DocumentData::Cols; ++c)
            check(ChannelText::cell(d.channel(7), c, w, sep).isEmpty());
        return;
    }
    // Every cell a read fills names a value.
    for (int c = 1; c < DocumentData::Cols; ++c)
        check(d.channel(7).holdsValue(c));
    const Codec::Encoded e = Codec::encodeChannel(d.channel(7), 7);
    check(e.ok() && e.bytes.size() == 16);
    check(e.bytes.left(4) == rec.left(4));   // a receive frequency that reads is exact
    DocumentData again = fresh;
    again.setChannel(7, Codec::decodeChannel(e.bytes));
    check(again == d);
}

void options(const QByteArray& rec)
{
    static const DocumentData fresh;
    DocumentData d = fresh;
    Codec::decodeOptions(rec, d);
    const Codec::Encoded e = Codec::encodeOptions(d, DocumentData::ChannelCount);
    check(e.ok() && e.bytes.size() == 16);
    DocumentData again = fresh;
    Codec::decodeOptions(e.bytes, again);
    check(again == d);
}

void timer(const QByteArray& rec)
{
    static const DocumentData fresh;
    DocumentData d = fresh;
    Codec::decodeTimer(rec, d);
    const Codec::Encoded e = Codec::encodeTimer(d);
    check(e.ok() && e.bytes.size() == 8);
    DocumentData again = fresh;
    Codec::decodeTimer(e.bytes, again);
    check(again == d);
}

void identity(const QByteArray& rec)
{
    const QString name = Codec::decodeName(rec);
    check(name.size() <= 7);
    const Codec::Encoded n = Codec::encodeName(name);
    check(n.ok() && Codec::decodeName(n.bytes) == name);

    check(Codec::decodeDate(rec).size() == 20);

    const QString band = Codec::decodeBand(rec);
    check(band.size() == 10);
    const Codec::Encoded b = Codec::encodeBand(band);
    check(b.ok() == Band::isWellFormed(band));
    check(b.ok() ? Codec::decodeBand(b.bytes) == band : explained(b.error));

    const QString digits = Codec::passwordDigits(rec);
    check(digits.size() == Codec::passwordLength(rec));
    const Codec::Encoded p = Codec::encodePassword(digits);
    if (p.ok())
        check(Codec::passwordDigits(p.bytes) == digits);
    else
        check(explained(p.error));
}

// Texts as a settings file or a CSV may hand them to the encoders: refused
// with a reason, or coded so that decoding and coding again is stable.
void texts(const QString& t, const ValueWords& w, QChar sep)
{
    if (const std::optional<Tone> tone = ChannelText::parseTone(t, w)) {
        const Codec::Encoded e = Codec::encodeTone(*tone);
        check(e.ok() ? e.bytes.size() == 2 : explained(e.error));
        if (e.ok())
            check(Codec::encodeTone(Codec::decodeTone(e.bytes)).bytes == e.bytes);
        // What the table shows reads back as the same tone.
        if (tone->kind != Tone::Kind::Off)
            check(ChannelText::parseTone(ChannelText::tone(*tone, w.off, sep), w) == tone);
    }
    if (const std::optional<qint64> hz = ChannelText::parseFrequency(t)) {
        const Codec::Encoded e = Codec::encodeFrequency(*hz);
        check(e.ok() && Codec::decodeFrequency(e.bytes) == hz);
        check(ChannelText::parseFrequency(ChannelText::frequency(*hz, sep)) == hz);
    }
    const Codec::Encoded p = Codec::encodePassword(t);
    check(p.ok() ? Codec::passwordDigits(p.bytes) == t : explained(p.error));
    const Codec::Encoded n = Codec::encodeName(t);
    check(n.ok() ? Codec::decodeName(n.bytes) == t.left(7) : explained(n.error));
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QChar sep = data[0] & 1 ? u',' : u'.';
    const ValueWords& words = data[0] & 2 ? English : Chinese;
    const QByteArray rec(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (data[0] & 4) {
        texts(QString::fromUtf8(rec), words, sep);
        return 0;
    }
    // Short replies read as erased memory; both halves of a 16-byte record.
    channel(rec.left(16), words, sep);
    options(rec.left(16));
    timer(rec.left(8));
    identity(rec.left(8));
    return 0;
}

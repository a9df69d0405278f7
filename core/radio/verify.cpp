#include "verify.h"

#include "document/docdiff.h"
#include "document/documentdata.h"
#include "radio/codecs.h"
#include "setup/textids.h"

namespace Verify {

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

// The date display "yyyy-MM-dd  hh:mm:ss" of a record that was written now.
bool dateWithin(const QString& shown, const QDateTime& from, const QDateTime& to)
{
    const QDateTime t = QDateTime::fromString(shown, QStringLiteral("yyyy-MM-dd  HH:mm:ss"));
    // The radio keeps whole seconds; the stamp was taken during the write.
    return t.isValid() && t >= from.addSecs(-2) && t <= to.addSecs(2);
}

QString storedName(const QString& name)
{
    return Codec::decodeName(Codec::encodeName(name).bytes);
}

}

QByteArray channelMask()
{
    // Byte 12, the high nibble and bit 2 of byte 13, bits 1-3 and 5 of byte
    // 14 and the shift code in byte 15 are never read.
    return bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x0B, 0xD1, 0x00});
}

QByteArray optionMask()
{
    // Byte 0 (the channel count), 1 and 7 are not read; of byte 8 only bits
    // 4 to 6, of the list bytes only the low nibble.
    return bytes({0x00, 0x00, 0xFF, 0x0F, 0x0F, 0x0F, 0xFF, 0x00, 0x70, 0x0F, 0x0F, 0x0F, 0x0F, 0xFF, 0xFF, 0xFF});
}

QByteArray timerMask()
{
    return QByteArray(8, char(0xFF));
}

bool sameMasked(const QByteArray& a, const QByteArray& b, const QByteArray& mask)
{
    if (a.size() != b.size() || a.size() != mask.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if ((a[i] & mask[i]) != (b[i] & mask[i]))
            return false;
    return true;
}

QList<Result> compare(const DocumentData& written, const DocumentData& readBack, const ValueWords& words,
                      int channelCount, const Written& id, const RadioIdentity& readId)
{
    using DocDiff::Wording;
    QList<Result> lines;
    auto differs = [](const Codec::Encoded& a, const Codec::Encoded& b, const QByteArray& mask) {
        // A record read back that no longer encodes is as wrong as a changed one.
        return a.ok() != b.ok() || (a.ok() && !sameMasked(a.bytes, b.bytes, mask));
    };
    for (int n = 1; n <= channelCount; ++n) {
        const Codec::Encoded a = Codec::encodeChannel(written, n, words);
        const Codec::Encoded b = Codec::encodeChannel(readBack, n, words);
        if (!differs(a, b, channelMask()))
            continue;
        const QList<Result> cells = DocDiff::channelDifferences(written, readBack, n, Wording::Verify);
        if (cells.isEmpty())
            lines << Result::fail(TextId::VerifyChannelRecord, {QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'))});
        lines << cells;
    }
    const int count = channelCount;
    if (differs(Codec::encodeOptions(written, count), Codec::encodeOptions(readBack, count), optionMask())) {
        const QList<Result> s = DocDiff::settingDifferences(written, readBack, DocDiff::optionKeys(), Wording::Verify);
        lines << (s.isEmpty() ? QList<Result>{Result::fail(TextId::VerifyOptionRecord)} : s);
    }
    if (differs(Codec::encodeTimer(written), Codec::encodeTimer(readBack), timerMask())) {
        const QList<Result> s = DocDiff::settingDifferences(written, readBack, DocDiff::timerKeys(), Wording::Verify);
        lines << (s.isEmpty() ? QList<Result>{Result::fail(TextId::VerifyTimerRecord)} : s);
    }
    if (id.user && readId.user != storedName(id.userName))
        lines << Result::fail(TextId::VerifyUserName, {storedName(id.userName), readId.user});
    if (id.admin) {
        if (readId.admin != storedName(id.adminName))
            lines << Result::fail(TextId::VerifyAdmin, {storedName(id.adminName), readId.admin});
        if (!dateWithin(readId.saleDate, id.started, id.ended))
            lines << Result::fail(TextId::VerifySaleDate, {readId.saleDate});
    }
    if (id.factoryDate && !dateWithin(readId.factoryDate, id.started, id.ended))
        lines << Result::fail(TextId::VerifyFactoryDate, {readId.factoryDate});
    return lines;
}

}

#include "verify.h"

#include "radio/codecs.h"
#include "base/textids.h"

namespace Verify {

QString spacedHex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QList<Result> compare(const RadioImage& written, const RadioImage& readBack)
{
    QList<Result> lines;
    for (int address : written.addresses()) {
        const QByteArray sent = written.record(address);
        const QByteArray held = readBack.record(address);
        if (sent == held)
            continue;
        lines << Result::fail(TextId::VerifyRecordDiffers, {spacedHex(sent), spacedHex(held)},
                              {Codec::recordName(address)});
    }
    return lines;
}

}

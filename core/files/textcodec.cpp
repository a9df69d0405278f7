#include "textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace TextCodec {

namespace {
// *ok is false when the bytes would not read back as the same text.
QByteArray encodeWith(const char* codec, const QString& text, bool* ok)
{
    QStringEncoder enc(codec);
    if (!enc.isValid()) {
        *ok = false;
        return {};
    }
    QByteArray out = enc.encode(text);
    *ok = !enc.hasError() && decode(out) == text;
    return out;
}
}

QByteArray encode(const QString& text)
{
    bool ok = false;
    for (const char* codec : {"GBK", "GB18030"}) {
        QByteArray out = encodeWith(codec, text, &ok);
        if (ok)
            return out;
    }
    return text.toUtf8();
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb18030("GB18030");
    if (gb18030.isValid())
        return gb18030.decode(bytes);
    return QString::fromLatin1(bytes);
}

}

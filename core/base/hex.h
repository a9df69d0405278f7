#pragma once
#include <QByteArray>
#include <QChar>
#include <QString>

// Hexadecimal text of bytes, as frames, records and the log show them: two
// upper-case digits per byte, no separators.
namespace Hex {

// The value of one hexadecimal digit, either case; -1 for any other character.
inline int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

inline QString fromBytes(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

// The bytes of pairs of digits, up to the first pair that is not one (an odd
// last digit is left out).
inline QByteArray toBytes(const QString& hex)
{
    QByteArray out;
    out.reserve(hex.size() / 2);
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = digitValue(hex[i]);
        const int lo = digitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            break;
        out.append(char(hi * 16 + lo));
    }
    return out;
}

} // namespace Hex

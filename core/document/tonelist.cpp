#include "tonelist.h"

namespace ToneList {

const QList<int>& ctcssTenths()
{
    static const QList<int> t = {
        560, 570, 580, 590, 600, 610, 620, 630,
        670, 693, 719, 744, 770, 797, 825, 854, 885, 915, 948, 974, 1000, 1035,
        1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567,
        1598, 1622, 1655, 1679, 1713, 1738, 1773, 1799, 1835, 1862, 1899, 1928,
        1966, 1995, 2035, 2065, 2107, 2181, 2257, 2291, 2336, 2418, 2503, 2541};
    return t;
}

const QStringList& dcsCodes()
{
    static const QStringList c = QStringLiteral(
        "017 023 025 026 031 032 036 043 047 050 051 053 054 065 071 072 073 074 "
        "114 115 116 122 125 131 132 134 143 145 152 155 156 162 165 172 174 205 "
        "212 223 225 226 243 244 245 246 251 252 255 261 263 265 266 271 274 306 "
        "311 315 325 331 332 343 346 351 356 364 365 371 411 412 413 423 431 432 "
        "445 446 452 454 455 462 464 465 466 503 506 516 523 526 532 546 565 606 "
        "612 624 627 631 632 645 654 662 664 703 712 723 731 732 734 743 754")
                                     .split(u' ');
    return c;
}

QStringList entries(const QString& offWord, QChar sep)
{
    QStringList out;
    out.reserve(Size);
    out << offWord;
    for (int t : ctcssTenths())
        out << QString::number(t / 10) + sep + QString::number(t % 10);
    for (const QString& d : dcsCodes())
        out << QStringLiteral("D") + d + QStringLiteral("N");
    for (const QString& d : dcsCodes())
        out << QStringLiteral("D") + d + QStringLiteral("I");
    return out;
}

}

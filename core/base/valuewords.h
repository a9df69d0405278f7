#pragma once
#include <QString>

// The words that the channel table stores as cell text. They come from the
// active language pack (ids 34, 35, 36, 37, 74, 75, 78, 79).
struct ValueWords {
    QString off;
    QString on;
    QString high;
    QString low;
    QString wide;
    QString narrow;
    QString comp;
    QString scrambler;

    bool operator==(const ValueWords&) const = default;
};

// One value word, whatever the language it is written in.
enum class Word { Off, On, High, Low, Wide, Narrow, Comp, Scrambler };

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

// The pack id of a value word, for a message that names it in the language
// it is shown in.
constexpr int wordTextId(Word w)
{
    switch (w) {
    case Word::Off: return 34;
    case Word::On: return 35;
    case Word::High: return 36;
    case Word::Low: return 37;
    case Word::Wide: return 74;
    case Word::Narrow: return 75;
    case Word::Comp: return 78;
    case Word::Scrambler: return 79;
    }
    return 0;
}

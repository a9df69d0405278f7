#include "wordcells.h"


namespace ValueWordTable {

const QList<ValueWords>& languages()
{
    static const QList<ValueWords> all = {
        {QStringLiteral("禁用"), QStringLiteral("启用"), QStringLiteral("高功率"), QStringLiteral("低功率"),
         QStringLiteral("宽带"), QStringLiteral("窄带"), QStringLiteral("压扩"), QStringLiteral("扰频")},
        {QStringLiteral("OFF"), QStringLiteral("ON"), QStringLiteral("High"), QStringLiteral("Low"),
         QStringLiteral("Wide"), QStringLiteral("Narrow"), QStringLiteral("Comp"), QStringLiteral("scrambler")},
        {QStringLiteral("禁用"), QStringLiteral("啟用"), QStringLiteral("高功率"), QStringLiteral("低功率"),
         QStringLiteral("寬帶"), QStringLiteral("窄帶"), QStringLiteral("壓擴"), QStringLiteral("擾頻")},
    };
    return all;
}

QString text(const ValueWords& w, Word word)
{
    switch (word) {
    case Word::Off: return w.off;
    case Word::On: return w.on;
    case Word::High: return w.high;
    case Word::Low: return w.low;
    case Word::Wide: return w.wide;
    case Word::Narrow: return w.narrow;
    case Word::Comp: return w.comp;
    case Word::Scrambler: return w.scrambler;
    }
    return {};
}

const QList<Word>& wordsOfColumn(int col)
{
    static const QList<Word> none;
    static const QList<Word> tone = {Word::Off};
    static const QList<Word> power = {Word::High, Word::Low};
    static const QList<Word> width = {Word::Wide, Word::Narrow};
    static const QList<Word> flag = {Word::Off, Word::On};
    static const QList<Word> flagD = {Word::Off, Word::On, Word::Comp, Word::Scrambler};
    switch (col) {
    case 2: case 4: return tone;
    case 5: return power;
    case 6: return width;
    case 7: case 8: case 9: case 11: return flag;
    case 10: return flagD;
    default: return none;
    }
}

std::optional<Word> find(const QString& t, const QList<Word>& among, const ValueWords& active,
                         Qt::CaseSensitivity cs)
{
    if (t.isEmpty())
        return std::nullopt;
    for (Word word : among) {
        const QString own = text(active, word);
        if (!own.isEmpty() && t.compare(own, cs) == 0)
            return word;
        for (const ValueWords& lang : languages())
            if (t.compare(text(lang, word), cs) == 0)
                return word;
    }
    return std::nullopt;
}

}

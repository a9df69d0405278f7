#pragma once
#include <QList>
#include <QString>
#include <optional>

#include "base/valuewords.h"

// The value words of the three languages the program ships, and which words
// each column of the channel table holds: the one table that the settings
// file, CSV import and the language switch compare cells with.
namespace ValueWordTable {

// As the simplified Chinese, English and traditional Chinese packs hold them.
const QList<ValueWords>& languages();

QString text(const ValueWords& words, Word word);

// The words column `col` may hold: those a read of a radio puts there, and
// in column 10 also the compander and scrambler words. None for the
// frequency columns and column 0.
const QList<Word>& wordsOfColumn(int col);

// Which of `among` the text is, in any of the three languages or in
// `active` (a pack of the user's own may word them differently).
std::optional<Word> find(const QString& text, const QList<Word>& among, const ValueWords& active,
                         Qt::CaseSensitivity cs = Qt::CaseSensitive);

}

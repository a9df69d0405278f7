#pragma once
// Channel cells of a plain document as text, for tests that state channels
// the way the table shows them.
#include "base/packstrings.h"
#include "document/channeltext.h"
#include "document/documentdata.h"
#include "document/wordcells.h"

inline const ValueWords& englishWords()
{
    return ValueWordTable::languages()[1];
}

inline QString cellOf(const DocumentData& d, int row, int col, const ValueWords& words = englishWords(),
                      QChar sep = u'.')
{
    return ChannelText::cell(d, row, col, words, sep);
}

inline void setCellOf(DocumentData& d, int row, int col, const QString& text,
                      const ValueWords& words = englishWords())
{
    ChannelText::setCell(d, row, col, text, words);
}

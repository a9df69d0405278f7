#pragma once
#include <QString>

#include "document/documentdata.h"
#include "document/wordcells.h"

// Cells of the channel table as tab-separated text, the form spreadsheets
// put on the clipboard: one line per row, a tab between cells.
namespace ChannelClipboard {

// Rows r1..r2 and columns c1..c2 (channel table numbering, columns 1 to 11).
// In `words` and with `separator`, as the table shows them.
QString copy(const DocumentData& data, int r1, int r2, int c1, int c2, const ValueWords& words, QChar separator);

struct PasteResult {
    enum class Problem {
        None,
        Empty,        // no text
        DoesNotFit,   // the block runs past channel 32 or column 11
        NoBand,       // a frequency cannot be checked without a band
        BadValue,     // `text` is not a value of the cell's column
        NoChannel,    // a value for a channel without a receive frequency
    };
    Problem problem = Problem::Empty;
    int row = 0;        // the cell the problem is about (or where the block starts)
    int col = 0;
    QString text;       // the value refused
    int rows = 0;       // size of the block
    int cols = 0;
    DocumentData data;  // None only: `base` with the block pasted
    bool ok() const { return problem == Problem::None; }
};

// Pastes `text` with its top left cell at (row, col), checking every value
// as an import does (frequencies on the raster within the selected band,
// tones, words of any language written as `words`). Lines of eleven cells
// (or twelve starting with the channel number) are whole channels and go to
// columns 1 to 11 whatever `col` is; a header line is skipped. A channel
// that gets a receive frequency gets the defaults of a new channel for the
// cells left empty; one without is emptied. Either the whole block is taken
// or nothing: the result names the first cell that cannot be taken.
PasteResult paste(const DocumentData& base, int row, int col, const QString& text,
                  const ValueWords& words, QChar separator);

// The value a new channel has in column `col` (empty for 1 and 3).
QString newChannelValue(int col, const ValueWords& words);

}

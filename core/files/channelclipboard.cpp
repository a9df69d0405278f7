#include "channelclipboard.h"

#include <QStringList>

#include "document/band.h"
#include "document/channeltext.h"
#include "document/settingkeys.h"
#include "files/channelcsv.h"

namespace ChannelClipboard {

QString copy(const DocumentData& data, int r1, int r2, int c1, int c2, const ValueWords& words, QChar separator)
{
    QString out;
    for (int r = r1; r <= r2; ++r) {
        QStringList cells;
        for (int c = c1; c <= c2; ++c)
            cells << ChannelText::cell(data, r, c, words, separator);
        out += cells.join(u'\t') + u'\n';
    }
    return out;
}

QString newChannelValue(int col, const ValueWords& w)
{
    switch (col) {
    case 5: return w.high;
    case 6: return w.wide;
    case 7: case 9: return w.on;
    case 2: case 4: case 8: case 10: case 11: return w.off;
    default: return {};
    }
}

namespace {

QList<QStringList> splitBlock(const QString& text)
{
    QStringList lines = text.split(u'\n');
    for (QString& l : lines)
        if (l.endsWith(u'\r'))
            l.chop(1);
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QList<QStringList> block;
    for (const QString& l : lines)
        block << l.split(u'\t');
    return block;
}

bool isChannelNumber(const QString& s)
{
    bool ok = false;
    const int n = s.trimmed().toInt(&ok);
    return ok && n >= 1 && n <= DocumentData::ChannelCount;
}

}

PasteResult paste(const DocumentData& base, int row, int col, const QString& text,
                  const ValueWords& words, QChar separator)
{
    PasteResult res;
    res.row = row;
    res.col = col;
    QList<QStringList> block = splitBlock(text);
    // The header line of an export opened in a spreadsheet.
    if (!block.isEmpty() && !block[0].isEmpty()
        && (block[0][0].trimmed().compare(ChannelCsv::HeaderFields[0], Qt::CaseInsensitive) == 0
            || block[0][0].trimmed().compare(ChannelCsv::HeaderFields[1], Qt::CaseInsensitive) == 0))
        block.removeFirst();
    if (block.isEmpty())
        return res;

    qsizetype width = 0;
    for (const QStringList& l : block)
        width = std::max(width, l.size());
    bool numbered = width == DocumentData::Cols;
    for (const QStringList& l : block)
        numbered = numbered && isChannelNumber(l[0]);
    if (numbered) {
        for (QStringList& l : block)
            l.removeFirst();
        --width;
    }
    if (width == DocumentData::Cols - 1)
        col = 1;
    res.col = col;
    res.rows = int(block.size());
    res.cols = int(width);
    if (row < 1 || col < 1 || row + block.size() - 1 > DocumentData::ChannelCount
        || col + width - 1 > DocumentData::Cols - 1) {
        res.problem = PasteResult::Problem::DoesNotFit;
        return res;
    }

    const QString band = base.band();
    DocumentData d = base;
    auto fail = [&](PasteResult::Problem p, int r, int c, const QString& t) {
        res.problem = p;
        res.row = r;
        res.col = c;
        res.text = t;
        return res;
    };
    for (int i = 0; i < block.size(); ++i) {
        const int r = row + i;
        const bool wasChannel = base.channelExists(r);
        int firstValue = 0;   // first column given a value
        for (int j = 0; j < width; ++j) {
            const int c = col + j;
            const QString t = block[i].value(j).trimmed();
            if (t.isEmpty()) {
                ChannelText::setCell(d, r, c, newChannelValue(c, words), words);
                continue;
            }
            if (!firstValue)
                firstValue = c;
            const bool frequency = c == 1 || c == 3;
            if (frequency && !Band::isWellFormed(band))
                return fail(PasteResult::Problem::NoBand, r, c, t);
            const std::optional<QString> v = ChannelCsv::cellValue(c, t, band, words, separator);
            if (!v)
                return fail(PasteResult::Problem::BadValue, r, c, t);
            ChannelText::setCell(d, r, c, *v, words);
        }
        if (!d.channelExists(r)) {
            if (firstValue)
                return fail(PasteResult::Problem::NoChannel, r, firstValue, block[i].value(firstValue - col).trimmed());
            d.clearChannel(r);
            continue;
        }
        for (int c = 2; c < DocumentData::Cols; ++c)
            if (c != 3 && ChannelText::cell(d, r, c, words, separator).isEmpty())
                ChannelText::setCell(d, r, c, newChannelValue(c, words), words);
        // A channel made by the paste sends where it receives unless the
        // block says otherwise.
        if (!wasChannel && (col > 3 || col + width - 1 < 3))
            ChannelText::setCell(d, r, 3, ChannelText::cell(d, r, 1, words, separator), words);
    }
    res.problem = PasteResult::Problem::None;
    res.row = row;
    res.data = d;
    return res;
}

}

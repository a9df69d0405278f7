#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include "base/result.h"

// Reading and writing the records of a CSV file (RFC 4180), whatever its
// columns mean: the channel table's own CSV and CHIRP's share it.
namespace CsvRecords {

struct Record {
    int line = 0;   // line number where the record starts, from 1
    QStringList fields;
};

// The records of `text`; a quoted field may hold the delimiter, doubled
// quotes and line ends. A quote left open sets *error and gives nothing.
QList<Record> split(const QString& text, QChar delimiter, Result* error);

// A spreadsheet set to a decimal comma writes ";" between fields.
QChar detectDelimiter(const QString& text);

// Every field empty or blank: a line a spreadsheet left between rows.
bool blank(const QStringList& fields);

// The problems of one line as one Result: each pair is joined by the
// language's list separator, so the texts stay in one language.
Result joined(const QList<Result>& problems);

// The fields as one line with "\r\n", each quoted only where it must be.
QString line(const QStringList& fields);

}

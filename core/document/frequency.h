#pragma once
#include <QString>
#include <optional>

namespace Frequency {
// Reads a frequency text in MHz with the given decimal separator (the other
// separator is not accepted); nullopt when it is not a number.
std::optional<double> parse(const QString& text, QChar sep);
// Commits a typed frequency: moves it up to the next 5 kHz or 6.25 kHz
// raster point; "%.5f" with `sep`. nullopt when the text is not a number,
// the band is not well formed or the value lies outside the band: a value
// beyond an edge is a typing slip (a missing separator), never a choice of
// the edge, so it is refused rather than moved there.
std::optional<QString> commit(const QString& text, const QString& band, QChar sep);
// The value is a number outside the well-formed band (the reason commit()
// refused it).
bool isOutsideBand(const QString& text, const QString& band, QChar sep);
// A committed frequency: nine characters, within the band, on the raster.
bool isCommitted(const QString& text, const QString& band, QChar sep);
QString format(qint64 tensOfHz, QChar sep);   // 44600625 -> "446.00625"
}

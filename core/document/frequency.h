#pragma once
#include <QString>
#include <optional>

namespace Frequency {
// Reads a frequency text in MHz with the given decimal separator (the other
// separator is not accepted); nullopt when it is not a number.
std::optional<double> parse(const QString& text, QChar sep);
// Commits a typed frequency: clamps it to the band's edges and moves it up
// to the next 5 kHz or 6.25 kHz raster point; "%.5f" with `sep`.
// nullopt when the text is not a number or the band is not well formed.
std::optional<QString> commit(const QString& text, const QString& band, QChar sep);
// A committed frequency: nine characters, within the band, on the raster.
bool isCommitted(const QString& text, const QString& band, QChar sep);
QString format(qint64 tensOfHz, QChar sep);   // 44600625 -> "446.00625"
}

#pragma once
#include <QList>

#include "document/radioimage.h"
#include "base/result.h"

// After a write, the radio is read back and every record the write sent is
// compared byte for byte with what the radio now holds: a radio that
// acknowledged a record but kept its old bytes (even bytes that decode to
// the same settings) does not pass.
namespace Verify {

// One line per record written that the radio does not hold as sent, naming
// the record and showing both byte strings: "channel 5 second half: written
// FF FF FF FF F6 FF FF FC, read back 12 9E FF FF F6 FF FF FC". Empty when the
// radio holds every record written.
QList<Result> compare(const RadioImage& written, const RadioImage& readBack);

// Bytes as a reader compares them: two hex digits each, a blank between.
QString spacedHex(const QByteArray& bytes);

}

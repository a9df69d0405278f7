#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

#include "document/radioimage.h"
#include "base/result.h"

// The records a read took from a radio, kept in a small text file beside a
// backup's settings file (the same folder and name, suffix .rqimg), so that
// the backup puts every record back exactly:
//
//   RQ-300 RADIO RECORDS
//   4000 20001E0703000EFF
//   4008 FF0F040201A96310
//   ...
//
// One record per line: its address and its 8 bytes, each as hex digits.
namespace RadioImageFile {

inline const QString Suffix = QStringLiteral("rqimg");
inline const QByteArray Header = QByteArrayLiteral("RQ-300 RADIO RECORDS");

QByteArray serialize(const RadioImage& image);
// The image, or why the bytes are not one (naming the line).
std::optional<RadioImage> parse(const QByteArray& bytes, const QString& path, Result* why);
// Through the one file writer.
Result save(const QString& path, const RadioImage& image);

// The image file that belongs to the settings file `settingsPath`.
QString besideSettings(const QString& settingsPath);

struct Loaded {
    bool present = false;   // a file lies beside the settings file
    RadioImage image;       // its records when it could be read
    Result error;           // why it could not, when present
};
Loaded loadBesideSettings(const QString& settingsPath);

}

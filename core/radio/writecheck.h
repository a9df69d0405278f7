#pragma once
#include <QList>
#include <QString>

#include <QChar>
#include "base/result.h"

class DocumentData;
struct RadioIdentity;

// Whether a document can be written into a radio, judged before the radio
// is touched: a band is selected, every frequency lies within it and on the
// 5 kHz or 6.25 kHz raster, every tone, word, code and name can be coded,
// and a new password holds only digits. The transfer engine, the safe write
// (before its backup read), the read/write window and rq300-cli all ask
// here, so a document is refused the same way everywhere and before any
// frame is sent.
namespace WriteCheck {

// Every value that cannot be written, one line each naming the channel and
// column or the setting; empty when the document can be written. Frequencies
// are shown with `separator`.
QList<Result> problems(const DocumentData& data, QChar separator, int channelCount,
                       const RadioIdentity& identity, const QString& adminName);

// The lines as one reason, for a failed transfer's message.
Result reason(const QList<Result>& problems);

}

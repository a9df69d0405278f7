#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "document/valuewords.h"
#include "radio/identity.h"
#include "setup/result.h"

class DocumentData;

// After a write, the radio is read back and every record the write sent is
// compared with what the radio now holds. Both sides go through the codecs
// (the document that was written, and the document read back), and only the
// bits the program interprets are compared: the radio may keep its own
// values in the rest.
namespace Verify {

// Which bits of each record are compared (1 = compared).
QByteArray channelMask();   // 16 bytes
QByteArray optionMask();    // 16 bytes
QByteArray timerMask();     // 8 bytes
bool sameMasked(const QByteArray& a, const QByteArray& b, const QByteArray& mask);

// What the write sent besides the channels, option block and timer record.
struct Written {
    bool user = false;          // the user record, holding `userName`
    QString userName;
    bool admin = false;         // the sale date and administrator records
    QString adminName;
    bool factoryDate = false;   // the factory date record
    QDateTime started, ended;   // the dates written lie between these
};

// One line per record that differs, naming the channel or setting:
// "channel 05 transmit tone: written 67.0, read back D023N". Empty when the
// radio holds what was written.
QList<Result> compare(const DocumentData& written, const DocumentData& readBack, const ValueWords& words,
                    int channelCount, const Written& identityWritten = {}, const RadioIdentity& readIdentity = {});

}

#pragma once

// Ids of the texts the program adds beyond the language packs' original ids,
// from 1000 up. Every id has a text in cha_dll.lang (which is also built into
// the program), eng_dll.lang and ty.lang; "%1", "%2" ... take the values a
// Result carries.
//
// Each block belongs to one area of the program and keeps to its range, so
// that texts of different areas never share an id:
//   1000-1099 radio protocol, transfers and service operations
//   1100-1199 files and paths
//   1200-1299 start-up configuration, ports and the communication log
//   1300-1399 editing in the windows (undo, unsaved changes, clipboard)
//   1400-1499 backups, verify and compare
//   1500-1599 languages and window captions
//   1600-1699 installation and cables
// X(Name, id): Name becomes TextId::Name.

#define RQ300_TEXTS_RADIO(X)

#define RQ300_TEXTS_FILES(X)

#define RQ300_TEXTS_SETUP(X)

#define RQ300_TEXTS_EDITING(X)

#define RQ300_TEXTS_SAFETY(X)

#define RQ300_TEXTS_LANGUAGES(X) \
    X(DeleteAllCaption, 1500) \
    X(DeleteAllQuestion, 1501) \
    X(PasswordError, 1502) \
    X(PasswordHint, 1503) \
    X(AdminStatus, 1504) \
    X(AlignCaption, 1510) \
    X(AlignTrim, 1511) \
    X(AlignFrequency, 1512) \
    X(AlignLowEnd, 1513) \
    X(AlignHighEnd, 1514) \
    X(AlignHighPower, 1515) \
    X(AlignLowPower, 1516) \
    X(AlignCtcDeviation, 1517) \
    X(AlignDcsDeviation, 1518) \
    X(AlignNarrowDeviation, 1519) \
    X(AlignNarrowCtcDeviation, 1520) \
    X(AlignNarrowDcsDeviation, 1521) \
    X(AlignLowBatteryAlert, 1522) \
    X(AlignLowBatteryOff, 1523) \
    X(AlignModBasic, 1524) \
    X(AlignModSpecial, 1525) \
    X(AlignDeviation, 1526) \
    X(AlignBattery, 1527) \
    X(AlignMeasureFirst, 1528) \
    X(AlignStandardVoltage, 1529) \
    X(AlignStampFactoryDate, 1530) \
    X(AlignRead, 1531) \
    X(AlignAdjust, 1532) \
    X(AlignAging, 1533) \
    X(AlignSquelch, 1534) \
    X(AlignFileFilter, 1535)

#define RQ300_TEXTS_INSTALL(X)

#define RQ300_TEXTS_ALL(X) \
    RQ300_TEXTS_RADIO(X) RQ300_TEXTS_FILES(X) RQ300_TEXTS_SETUP(X) RQ300_TEXTS_EDITING(X) \
    RQ300_TEXTS_SAFETY(X) RQ300_TEXTS_LANGUAGES(X) RQ300_TEXTS_INSTALL(X)

namespace TextId {
#define RQ300_TEXT_ENUM(name, id) name = id,
enum : int { RQ300_TEXTS_ALL(RQ300_TEXT_ENUM) };
#undef RQ300_TEXT_ENUM
}

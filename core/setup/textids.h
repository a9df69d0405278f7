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

#define RQ300_TEXTS_SAFETY(X) \
    X(BackupReadFailed, 1400) \
    X(BackupSaveFailed, 1401) \
    X(BackupSaveFailedAfterRead, 1402) \
    X(VerifyReadFailed, 1403) \
    X(VerifyMismatch, 1404) \
    X(BackupSaved, 1405) \
    X(CheckBackup, 1406) \
    X(CheckVerify, 1407) \
    X(CompareCaption, 1408) \
    X(BackupsCaption, 1409) \
    X(CompareEqual, 1410) \
    X(CompareReadFailed, 1411) \
    X(BackupsColumnTime, 1412) \
    X(BackupsColumnUser, 1413) \
    X(BackupsColumnBand, 1414) \
    X(BackupsColumnFile, 1415) \
    X(BackupsOpen, 1416) \
    X(BackupsEmpty, 1417) \
    X(BackupOpenFailed, 1418) \
    X(AlignmentBackupFailed, 1419) \
    X(CompareRead, 1420) \
    X(CompareDifferences, 1421) \
    X(BackupFolderFailed, 1422) \
    X(CalibrationReadFailed, 1423)

#define RQ300_TEXTS_LANGUAGES(X)

#define RQ300_TEXTS_INSTALL(X)

#define RQ300_TEXTS_ALL(X) \
    RQ300_TEXTS_RADIO(X) RQ300_TEXTS_FILES(X) RQ300_TEXTS_SETUP(X) RQ300_TEXTS_EDITING(X) \
    RQ300_TEXTS_SAFETY(X) RQ300_TEXTS_LANGUAGES(X) RQ300_TEXTS_INSTALL(X)

namespace TextId {
#define RQ300_TEXT_ENUM(name, id) name = id,
enum : int { RQ300_TEXTS_ALL(RQ300_TEXT_ENUM) };
#undef RQ300_TEXT_ENUM
}

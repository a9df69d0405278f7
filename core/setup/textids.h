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

#define RQ300_TEXTS_EDITING(X) \
    X(Untitled, 1300) \
    X(SaveChangesQuestion, 1301) \
    X(NotASettingsFile, 1302) \
    X(DamagedFileLine, 1303) \
    X(ReplaceFileQuestion, 1304) \
    X(RestoreQuestion, 1305) \
    X(MenuEdit, 1306) \
    X(MenuUndo, 1307) \
    X(MenuRedo, 1308) \
    X(MenuCut, 1309) \
    X(MenuCopy, 1310) \
    X(MenuPaste, 1311) \
    X(MenuSaveAs, 1312) \
    X(MenuRecent, 1313) \
    X(MenuInsertChannel, 1314) \
    X(MenuDuplicateChannel, 1315) \
    X(MenuImportCsv, 1316) \
    X(MenuExportCsv, 1317) \
    X(MenuSetSelected, 1318) \
    X(InsertRefused, 1319) \
    X(PasteRefused, 1320) \
    X(PasteBadFrequency, 1321) \
    X(PasteBadTone, 1322) \
    X(PasteBadWord, 1323) \
    X(PasteNoBand, 1324) \
    X(PasteNoChannel, 1325) \
    X(PasteDoesNotFit, 1326) \
    X(ImportFailed, 1327) \
    X(DuplicateRefused, 1328) \
    X(MenuSelectAll, 1329) \
    X(MenuDelete, 1330)

#define RQ300_TEXTS_SAFETY(X)

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

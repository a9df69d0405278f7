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
//   1700-1799 names of the values that messages speak of (channel columns,
//             settings, alignment values)
//   1850-1899 more of the radio protocol and the service operations (the
//             cable's echo, aging and calibration verdicts)
//   1900-1999 the user guide (Help > Help) and what the status bar says
//   2000-2099 programming several radios (the fleet window, its report)
//   2100-2149 the channel sheet (File > Print, File > Export PDF, the CLI's sheet)
//   2150-2199 channel lists in CHIRP's CSV format
// X(Name, id): Name becomes TextId::Name.

#define RQ300_TEXTS_RADIO(X) \
    X(HandshakeNoReply, 1000) \
    X(HandshakeWrongReply, 1001) \
    X(ReadNoReply, 1002) \
    X(ReadIncomplete, 1003) \
    X(ReadForeignAddress, 1004) \
    X(ReadWrongReply, 1005) \
    X(WriteNoAck, 1006) \
    X(WriteWrongReply, 1007) \
    X(PortError, 1008) \
    X(PortNotOpen, 1009) \
    X(RadioBusy, 1010) \
    X(PasswordMismatch, 1011) \
    X(PasswordErased, 1012) \
    X(ModelMismatch, 1013) \
    X(BandNotInList, 1014) \
    X(BandUnset, 1015) \
    X(BandNotSelected, 1016) \
    X(NoBandSelected, 1017) \
    X(CannotEncode, 1018) \
    X(FrequencyOutOfBand, 1019) \
    X(FrequencyOffRaster, 1020) \
    X(PortCannotOpen, 1021) \
    X(PortNoDevice, 1022) \
    X(PortNoSuchDevice, 1023) \
    X(PortInUse, 1024) \
    X(PortOpenFailed, 1025) \
    X(LinkLost, 1026) \
    X(LinkFailed, 1027) \
    X(FrameMalformed, 1028) \
    X(RecordChannelFirstHalf, 1030) \
    X(RecordChannelSecondHalf, 1031) \
    X(RecordSaleDate, 1032) \
    X(RecordAdmin, 1033) \
    X(RecordFactoryDate, 1034) \
    X(RecordUser, 1035) \
    X(RecordPassword, 1036) \
    X(RecordModel, 1037) \
    X(RecordBand, 1038) \
    X(RecordTimer, 1039) \
    X(RecordOptionsFirstHalf, 1040) \
    X(RecordOptionsSecondHalf, 1041) \
    X(ServiceNoAnswer, 1050) \
    X(ServiceNotReady, 1051) \
    X(ServiceStayedBusy, 1052) \
    X(ServiceNoReadings, 1053) \
    X(ServiceStoreRefused, 1054) \
    X(ServiceBandNotInList, 1055) \
    X(ServiceBadInput, 1056) \
    X(ServiceNoModel, 1057) \
    X(ServiceNoBand, 1058) \
    X(ServiceBadBand, 1059) \
    X(InterruptedHolds, 1060) \
    X(InterruptedNothing, 1061) \
    X(InterruptedPartly, 1062) \
    X(UnknownCodeDefaulted, 1063) \
    X(NotAFrequency, 1064) \
    X(NotATone, 1065) \
    X(ToneTooHigh, 1066) \
    X(NameCharacter, 1067) \
    X(PasswordStarHash, 1068) \
    X(PasswordTooLong, 1069) \
    X(PasswordDigitsOnly, 1070) \
    X(NotABand, 1071) \
    X(ChannelValueProblem, 1072) \
    X(NotOneOf, 1073) \
    X(NothingSelected, 1074) \
    X(CodeDoesNotFit, 1075) \
    X(DtmfTooLong, 1076) \
    X(NotDtmfDigit, 1077) \
    X(NamedValueProblem, 1078) \
    X(AlignValueMissing, 1079) \
    X(WriteRefusedValue, 1080) \
    X(StepDone, 1082) \
    X(StepBusy, 1083) \
    X(StepEncode, 1084) \
    X(StepPort, 1085) \
    X(StepHandshake, 1086) \
    X(StepIdentity, 1087) \
    X(StepPassword, 1088) \
    X(StepModel, 1089) \
    X(StepBand, 1090) \
    X(StepRecords, 1091) \
    X(StrayBeforeFrame, 1092) \
    X(ReplyTooSoon, 1093) \
    X(StrayAfterLast, 1094) \
    X(StepStopped, 1095) \
    X(SeveralCannotEncode, 1096) \
    X(InterruptedWrittenUnchecked, 1097) \
    X(InterruptedVerifyFailed, 1098) \
    X(InterruptedVerifyReadFailed, 1099)

#define RQ300_TEXTS_FILES(X) \
    X(FileSaveFailed, 1100) \
    X(FileOpenFailed, 1101) \
    X(FileReadFailed, 1102) \
    X(FileTooLarge, 1103) \
    X(FileNotInteger, 1104) \
    X(ImageFileBadLine, 1190) \
    X(ImageFileIgnored, 1191) \
    X(SettingsBadHeader, 1105) \
    X(SettingsBadModel, 1106) \
    X(SettingsBadBand, 1107) \
    X(AlignmentNotFile, 1108) \
    X(AlignmentLineNotNumber, 1109) \
    X(AlignmentLineNotHex, 1110) \
    X(AlignmentValueNotNumber, 1111) \
    X(AlignmentValueNotHex, 1112) \
    X(PackTooLarge, 1113) \
    X(PackMissing, 1114) \
    X(SystemNoSuchFile, 1115) \
    X(SystemPermissionDenied, 1116) \
    X(SystemDiskFull, 1117) \
    X(SystemReadOnly, 1118) \
    X(SystemIsFolder, 1119) \
    X(SystemNotFolder, 1120) \
    X(SystemFileTooLarge, 1121) \
    X(SystemIoError, 1122) \
    X(SystemCannotCreateFolder, 1123) \
    X(BackupNoFreeName, 1124) \
    X(SettingsValueRange, 1125) \
    X(SettingsValueStep, 1126) \
    X(PackEmpty, 1150) \
    X(ChannelLineDamaged, 1151) \
    X(FileCutInLine, 1152) \
    X(FewChannelLines, 1153) \
    X(DtmfCountMismatch, 1154) \
    X(PipeNoReader, 1155)

#define RQ300_TEXTS_SETUP(X) \
    X(ConfigWriteFailed, 1200) \
    X(ConfigFolderFailed, 1201) \
    X(ConfigCopyFailed, 1202) \
    X(CommLogWriteFailed, 1203) \
    X(CommLogMenu, 1204) \
    X(CommLogSaveTitle, 1205) \
    X(CommLogSaved, 1206) \
    X(ConfigUnreadable, 1270) \
    X(ConfigTooLarge, 1271) \
    X(ConfigEmpty, 1272) \
    X(ConfigNotText, 1273) \
    X(PortNotSerial, 1274) \
    X(BandHint, 1275)

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
    X(MenuDelete, 1330) \
    X(ValueUnknown, 1331) \
    X(ValueUnknownTip, 1332) \
    X(TypedOutsideBand, 1340) \
    X(BandLeavesChannels, 1341) \
    X(BandLeftChannel, 1342) \
    X(CsvImported, 1343) \
    X(CsvExported, 1344)

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
    X(CalibrationReadFailed, 1423) \
    X(DiffChannelRemoved, 1424) \
    X(DiffChannelAdded, 1425) \
    X(DiffCell, 1426) \
    X(DiffSetting, 1427) \
    X(DiffEmpty, 1428) \
    X(DiffNone, 1429) \
    X(DiffCode, 1430) \
    X(DiffOn, 1431) \
    X(DiffOff, 1432) \
    X(DiffBand, 1433) \
    X(VerifyRecordDiffers, 1480) \
    X(TwoWords, 1481) \
    X(FourWords, 1482) \
    X(Verbatim, 1498) \
    X(LineList, 1499)

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
    X(AlignFileFilter, 1535) \
    X(SettingsFileFilter, 1536) \
    X(CsvNoBand, 1540) \
    X(CsvQuoteOpen, 1541) \
    X(CsvNoHeader, 1542) \
    X(CsvFieldCount, 1543) \
    X(CsvLine, 1544) \
    X(CsvProblems, 1545) \
    X(CsvBadChannel, 1546) \
    X(CsvChannelTwice, 1547) \
    X(CsvBadValue, 1548) \
    X(CsvFrequencyRule, 1549) \
    X(CsvToneRule, 1550) \
    X(CsvTwoWords, 1551) \
    X(CsvFourWords, 1552) \
    X(CsvCheckFile, 1553)

#define RQ300_TEXTS_INSTALL(X) \
    X(CableChipTip, 1600) \
    X(CableProgrammingTip, 1601) \
    X(CableOfferQuestion, 1602) \
    X(PortPermissionGroup, 1603) \
    X(PortPermissionRelogin, 1604) \
    X(PortPermissionUdev, 1605) \
    X(CableClaimedByBraille, 1606) \
    X(PortPermissionReplug, 1607)

#define RQ300_TEXTS_NAMES(X) \
    X(ColumnChannel, 1700) \
    X(ColumnRxFrequency, 1701) \
    X(ColumnRxTone, 1702) \
    X(ColumnTxFrequency, 1703) \
    X(ColumnTxTone, 1704) \
    X(ColumnPower, 1705) \
    X(ColumnBandwidth, 1706) \
    X(ColumnScan, 1707) \
    X(ColumnBusyLock, 1708) \
    X(ColumnTailElimination, 1709) \
    X(ColumnCompander, 1710) \
    X(ColumnPttId, 1711) \
    X(SettingAutoPowerOff, 1720) \
    X(SettingSquelch, 1721) \
    X(SettingScanResume, 1722) \
    X(SettingTimeOut, 1723) \
    X(SettingVoice, 1724) \
    X(SettingSaveRatio, 1725) \
    X(SettingVolume, 1726) \
    X(SettingDtmfTime, 1727) \
    X(SettingVoxLevel, 1728) \
    X(SettingVoxDelay, 1729) \
    X(SettingTopLong, 1730) \
    X(SettingTopShort, 1731) \
    X(SettingP1Long, 1732) \
    X(SettingP1Short, 1733) \
    X(SettingP2Long, 1734) \
    X(SettingP2Short, 1735) \
    X(SettingEndDtmf, 1736) \
    X(SettingPassword, 1737) \
    X(SettingNewPassword, 1738) \
    X(SettingUserName, 1739) \
    X(SettingAdminName, 1740) \
    X(SettingBand, 1741) \
    X(SettingPowerOnTone, 1742) \
    X(SettingEndTone, 1743) \
    X(SettingBatterySave, 1744) \
    X(SettingKeyBeep, 1745) \
    X(SettingTxInhibit, 1746) \
    X(SettingLowBatteryTone, 1747) \
    X(SettingTinyPower, 1748) \
    X(SettingAlarm, 1749) \
    X(SettingVoxRxInhibit, 1750) \
    X(SettingLease, 1751) \
    X(SettingLeaseDays, 1752) \
    X(SettingLeaseHours, 1753) \
    X(SettingLeaseMinutes, 1754) \
    X(AlignNameTrim, 1780) \
    X(AlignNameHighPowerLow, 1781) \
    X(AlignNameHighPowerHigh, 1782) \
    X(AlignNameLowPowerLow, 1783) \
    X(AlignNameLowPowerHigh, 1784) \
    X(AlignNameCtcDeviation, 1785) \
    X(AlignNameDcsDeviation, 1786) \
    X(AlignNameNarrowDeviation, 1787) \
    X(AlignNameNarrowCtcDeviation, 1788) \
    X(AlignNameNarrowDcsDeviation, 1789) \
    X(AlignNameModBasic, 1790) \
    X(AlignNameModUpper, 1791) \
    X(AlignNameModLower, 1792) \
    X(AlignNameBatteryAlert, 1793) \
    X(AlignNameBatteryOff, 1794)

#define RQ300_TEXTS_RADIO_MORE(X) \
    X(AgingNoAnswer, 1850) \
    X(CalibrationOutOfRange, 1851) \
    X(CalibrationOkLabel, 1852) \
    X(CalibrationFailLabel, 1853) \
    X(HandshakeEcho, 1854)

#define RQ300_TEXTS_GUIDE(X) \
    X(StatusFirstStep, 1900) \
    X(StatusRead, 1901) \
    X(StatusWritten, 1902) \
    X(StatusWrittenChecked, 1903) \
    X(WarningCaption, 1904) \
    X(HelpCaption, 1910) \
    X(HelpIntro, 1911) \
    X(HelpConnectTitle, 1912) \
    X(HelpConnect, 1913) \
    X(HelpConnectSinglePort, 1914) \
    X(HelpReadTitle, 1915) \
    X(HelpRead, 1916) \
    X(HelpEditTitle, 1917) \
    X(HelpEdit, 1918) \
    X(HelpEditMore, 1919) \
    X(HelpSaveTitle, 1920) \
    X(HelpSave, 1921) \
    X(HelpWriteTitle, 1922) \
    X(HelpWrite, 1923) \
    X(HelpBackupsTitle, 1924) \
    X(HelpBackups, 1925) \
    X(HelpConfigTitle, 1926) \
    X(HelpConfig, 1927)

#define RQ300_TEXTS_FLEET(X) \
    X(FleetCaption, 2000) \
    X(FleetMenuItem, 2001) \
    X(FleetPorts, 2002) \
    X(FleetEveryCable, 2003) \
    X(FleetSourceDocument, 2004) \
    X(FleetSourceFile, 2005) \
    X(FleetChoose, 2006) \
    X(FleetSource, 2007) \
    X(FleetUserUnchanged, 2008) \
    X(FleetUserFixed, 2009) \
    X(FleetUserPattern, 2010) \
    X(FleetStartNumber, 2011) \
    X(FleetKeepGoing, 2012) \
    X(FleetReportLabel, 2013) \
    X(FleetOpenFolder, 2014) \
    X(FleetStart, 2015) \
    X(FleetStop, 2016) \
    X(FleetColumnPort, 2017) \
    X(FleetColumnState, 2018) \
    X(FleetColumnUser, 2019) \
    X(FleetColumnTime, 2020) \
    X(FleetColumnDone, 2021) \
    X(FleetColumnFailed, 2022) \
    X(FleetTotals, 2023) \
    X(FleetOptions, 2024) \
    X(FleetStateWaiting, 2030) \
    X(FleetStateChecking, 2031) \
    X(FleetStateBackingUp, 2032) \
    X(FleetStateWriting, 2033) \
    X(FleetStateVerifying, 2034) \
    X(FleetStateDone, 2035) \
    X(FleetStateFailed, 2036) \
    X(FleetStateNext, 2037) \
    X(FleetStateStopped, 2038) \
    X(FleetStopping, 2039) \
    X(FleetNoPorts, 2040) \
    X(FleetNoSource, 2041) \
    X(FleetBadUser, 2042) \
    X(FleetUserTooLong, 2043) \
    X(FleetPatternNoCounter, 2044) \
    X(FleetStateCannotOpen, 2045) \
    X(FleetReportHeader, 2050) \
    X(FleetResultWritten, 2051) \
    X(FleetResultFailed, 2052) \
    X(FleetVerified, 2053) \
    X(FleetNotVerified, 2054) \
    X(FleetVerifyDiffers, 2055) \
    X(FleetReportFailed, 2056) \
    X(FleetReportTitle, 2057) \
    X(FleetVerifyReadFailed, 2058) \
    X(CloneNotExact, 2059)

#define RQ300_TEXTS_SHEET(X) \
    X(MenuPrint, 2100) \
    X(MenuExportPdf, 2101) \
    X(SheetTitle, 2102) \
    X(SheetSource, 2103) \
    X(SheetReadFrom, 2104) \
    X(SheetPrintedAt, 2105) \
    X(SheetChannels, 2106) \
    X(SheetNoChannels, 2107) \
    X(SheetLabelValue, 2108) \
    X(SheetSaved, 2109) \
    X(SheetSentToPrinter, 2110) \
    X(SheetCannotPrint, 2111)

#define RQ300_TEXTS_CHIRP(X) \
    X(CsvFormatOwn, 2150) \
    X(CsvFormatChirp, 2151) \
    X(ChirpLocation, 2152) \
    X(ChirpLocationTwice, 2153) \
    X(ChirpNotNumber, 2154) \
    X(ChirpOutsideBand, 2155) \
    X(ChirpOffRaster, 2156) \
    X(ChirpNotOneOf, 2157) \
    X(ChirpMode, 2158) \
    X(ChirpCtcssNotInList, 2159) \
    X(ChirpDcsNotInList, 2160) \
    X(ChirpPower, 2161) \
    X(ChirpNoRows, 2162) \
    X(ChirpRefusedRows, 2163) \
    X(ChirpLeftOut, 2164) \
    X(ChirpChannelSkipped, 2165) \
    X(ChirpNotCarried, 2166)

#define RQ300_TEXTS_ALL(X) \
    RQ300_TEXTS_RADIO(X) RQ300_TEXTS_FILES(X) RQ300_TEXTS_SETUP(X) RQ300_TEXTS_EDITING(X) \
    RQ300_TEXTS_SAFETY(X) RQ300_TEXTS_LANGUAGES(X) RQ300_TEXTS_INSTALL(X) RQ300_TEXTS_NAMES(X) \
    RQ300_TEXTS_RADIO_MORE(X) RQ300_TEXTS_GUIDE(X) RQ300_TEXTS_FLEET(X) RQ300_TEXTS_SHEET(X) RQ300_TEXTS_CHIRP(X)

namespace TextId {
#define RQ300_TEXT_ENUM(name, id) name = id,
enum : int { RQ300_TEXTS_ALL(RQ300_TEXT_ENUM) };
#undef RQ300_TEXT_ENUM
}

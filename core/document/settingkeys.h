#pragma once
#include <QStringList>

// The name of every setting: window object name, a point, control name.
// The same key is used by the file reader, the codecs, the windows and tests.
namespace Key {
inline const QString Band = QStringLiteral("MainForm.ComboBand");
inline const QString Model = QStringLiteral("MainForm.ComboBox11");

inline const QString AutoPowerOff = QStringLiteral("func.ComboBox1");
inline const QString Squelch = QStringLiteral("func.ComboBox2");
inline const QString ScanResume = QStringLiteral("func.ComboBox4");
inline const QString TimeOut = QStringLiteral("func.ComboBox5");
inline const QString Voice = QStringLiteral("func.ComboBox24");
inline const QString SaveRatio = QStringLiteral("func.ComboBox15");
inline const QString Volume = QStringLiteral("func.ComboBox21");
inline const QString DtmfTime = QStringLiteral("func.ComboBox16");
inline const QString VoxLevel = QStringLiteral("func.ComboBox6");
inline const QString VoxDelay = QStringLiteral("func.ComboBox7");
inline const QString TopLong = QStringLiteral("func.ComboBox27");
inline const QString TopShort = QStringLiteral("func.ComboBox11");
inline const QString P1Long = QStringLiteral("func.ComboBox13");
inline const QString P1Short = QStringLiteral("func.ComboBox119");
inline const QString P2Long = QStringLiteral("func.ComboBox26");
inline const QString P2Short = QStringLiteral("func.ComboBox14");

inline const QString PowerOnTone = QStringLiteral("func.CheckBox1");
inline const QString EndTone = QStringLiteral("func.CheckBox2");
inline const QString BatterySave = QStringLiteral("func.CheckBox5");
inline const QString KeyBeep = QStringLiteral("func.CheckBox21");
inline const QString TxInhibit = QStringLiteral("func.CheckBox23");
inline const QString LowBatteryTone = QStringLiteral("func.CheckBox33");
inline const QString TinyPower = QStringLiteral("func.CheckBox3");
inline const QString Alarm = QStringLiteral("func.CheckBox6");
inline const QString VoxRxInhibit = QStringLiteral("func.CheckBox4");
inline const QString Lease = QStringLiteral("func.CheckBox15");
inline const QString WriteNewPassword = QStringLiteral("func.CheckBox35");

inline const QString EndDtmf = QStringLiteral("func.Edit8");
inline const QString Password = QStringLiteral("func.Edit221");
inline const QString NewPassword = QStringLiteral("func.Edit20");

inline const QString LeaseDays = QStringLiteral("func.UpDown8");
inline const QString LeaseHours = QStringLiteral("func.UpDown9");
inline const QString LeaseMinutes = QStringLiteral("func.UpDown10");

// The radio's values that settings files older than this program's lack.
inline const QStringList NotInOlderFiles = {Volume, Alarm, LeaseDays, LeaseHours, LeaseMinutes};

// The six side-key settings share one list of key functions.
inline const QStringList KeyFunctions = {TopLong, TopShort, P1Long, P1Short, P2Long, P2Short};
}

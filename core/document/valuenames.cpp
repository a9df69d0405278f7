#include "valuenames.h"

#include <QHash>

#include "settingkeys.h"
#include "base/textids.h"

namespace ValueNames {

int settingId(const QString& key)
{
    using namespace TextId;
    static const QHash<QString, int> names = {
        {Key::Band, SettingBand},
        {Key::AutoPowerOff, SettingAutoPowerOff},
        {Key::Squelch, SettingSquelch},
        {Key::ScanResume, SettingScanResume},
        {Key::TimeOut, SettingTimeOut},
        {Key::Voice, SettingVoice},
        {Key::SaveRatio, SettingSaveRatio},
        {Key::Volume, SettingVolume},
        {Key::DtmfTime, SettingDtmfTime},
        {Key::VoxLevel, SettingVoxLevel},
        {Key::VoxDelay, SettingVoxDelay},
        {Key::TopLong, SettingTopLong},
        {Key::TopShort, SettingTopShort},
        {Key::P1Long, SettingP1Long},
        {Key::P1Short, SettingP1Short},
        {Key::P2Long, SettingP2Long},
        {Key::P2Short, SettingP2Short},
        {Key::EndDtmf, SettingEndDtmf},
        {Key::Password, SettingPassword},
        {Key::NewPassword, SettingNewPassword},
        {Key::PowerOnTone, SettingPowerOnTone},
        {Key::EndTone, SettingEndTone},
        {Key::BatterySave, SettingBatterySave},
        {Key::KeyBeep, SettingKeyBeep},
        {Key::TxInhibit, SettingTxInhibit},
        {Key::LowBatteryTone, SettingLowBatteryTone},
        {Key::TinyPower, SettingTinyPower},
        {Key::Alarm, SettingAlarm},
        {Key::VoxRxInhibit, SettingVoxRxInhibit},
        {Key::Lease, SettingLease},
        {Key::LeaseDays, SettingLeaseDays},
        {Key::LeaseHours, SettingLeaseHours},
        {Key::LeaseMinutes, SettingLeaseMinutes},
    };
    return names.value(key, 0);
}

int columnId(int col)
{
    return col >= 0 && col < 12 ? TextId::ColumnChannel + col : 0;
}

}

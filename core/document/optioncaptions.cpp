#include "optioncaptions.h"

#include "settingkeys.h"
#include "base/packstrings.h"

namespace FuncCaptions {

const QList<FuncCaption>& all()
{
    static const QList<FuncCaption> list = {
        // Left column: the lists, then VOX and the passwords
        {"Label1", "自动关机", "", 81, 0, true, Key::AutoPowerOff},
        {"Label2", "静噪等级", "", 38, 0, true, Key::Squelch},
        {"Label5", "扫描恢复模式", "", 40, 0, true, Key::ScanResume},
        {"Label4", "超时禁止发射", "", 43, 0, true, Key::TimeOut},
        {"Label56", "中英报号", "", 44, 0, true, Key::Voice},
        {"Label16", "省电模式", "", 39, 0, true, Key::SaveRatio},
        {"Label45", "音量等级", "", 240, 0, true, Key::Volume},
        {"Label55", "DTMF时间", "", 253, 0, true, Key::DtmfTime},
        {"Label58", "发射结束", "", 181, 0, true, Key::EndDtmf},
        {"GroupBox1", "VOX", "", 0, 0, true},
        {"Label6", "VOX S 灵敏度", "", 45, 0, true, Key::VoxLevel},
        {"Label7", "VOX迟时", "", 46, 0, true, Key::VoxDelay},
        {"CheckBox4", "接收禁止VOX", "", 47, 0, true, Key::VoxRxInhibit},
        {"GroupBox10", "通信密码", "", 201, 0, true},
        {"Label34", "通信密码", "", 202, 0, true, Key::Password},
        {"Label48", "新密码", "", 203, 0, true, Key::NewPassword},
        {"CheckBox35", "写入新密码", "", 204, 0, true, Key::WriteNewPassword},
        // Right column: the switches, the side keys and the lease
        {"CheckBox1", "开机提示音", "", 153, 0, true, Key::PowerOnTone},
        {"CheckBox2", "结束提示音", "", 154, 0, true, Key::EndTone},
        {"CheckBox5", "省电模式", "", 39, 0, true, Key::BatterySave},
        {"CheckBox21", "按键提示音", "", 227, 0, true, Key::KeyBeep},
        {"CheckBox23", "发射禁止", "", 231, 0, true, Key::TxInhibit},
        {"CheckBox33", "低电压提示音", "", 155, 0, true, Key::LowBatteryTone},
        {"CheckBox3", "Tiny Power", "", 0, 0, true, Key::TinyPower},
        {"GroupBox2", "侧键设定", "", 100, 0, true},
        {"Label14", "顶键长键", "", 248, 162, true, Key::TopLong},
        {"Label15", "顶键短键", "", 248, 163, true, Key::TopShort},
        {"Label8", "P1长键", "P1 ", 162, 0, true, Key::P1Long},
        {"Label9", "P1短键", "P1 ", 163, 0, true, Key::P1Short},
        {"Label12", "P2长键", "P2 ", 162, 0, true, Key::P2Long},
        {"Label13", "P2短键", "P2 ", 163, 0, true, Key::P2Short},
        {"GroupBox11", "租赁", "", 195, 0, true},
        {"CheckBox15", "租赁功能", "", 196, 0, true, Key::Lease},
        {"Label36", "天", "", 199, 0, true, Key::LeaseDays},
        {"Label37", "小时", "", 200, 0, true, Key::LeaseHours},
        {"Label35", "分钟", "", 220, 0, true, Key::LeaseMinutes},
        // Kept out of sight: the document's alarm switch, which this
        // window does not offer.
        {"CheckBox6", "报警开关", "", 42, 0, false, Key::Alarm},
    };
    return list;
}

const FuncCaption* find(const QString& object)
{
    for (const FuncCaption& c : all())
        if (object == QLatin1String(c.object))
            return &c;
    return nullptr;
}

const FuncCaption* forKey(const QString& key)
{
    for (const FuncCaption& c : all())
        if (!c.key.isEmpty() && c.key == key)
            return &c;
    return nullptr;
}

QString text(const FuncCaption& c, const PackStrings& t, const QString& current)
{
    if (c.id == 0)
        return current;
    const QString first = t.text(c.id);
    const QString second = c.suffixId ? t.text(c.suffixId) : QString();
    if (first.isEmpty() || (c.suffixId && second.isEmpty()))
        return current;
    return QString::fromUtf8(c.prefix) + first + second;
}

}

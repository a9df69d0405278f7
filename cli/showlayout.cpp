#include "showlayout.h"

#include "cliutil.h"
#include "base/packstrings.h"
#include "document/channeltext.h"
#include "document/documentdata.h"
#include "document/settingkeys.h"

namespace {

QString pad(const QString& text, int width)
{
    return text + QString(qMax(0, width - displayWidth(text)), u' ');
}

QString choice(const DocumentData& d, const QString& key, const PackStrings& texts)
{
    const int pos = d.choice(key);
    if (pos < 0)
        return QStringLiteral("(none)");
    const QString text = Cli::printable(d.choiceText(key, texts));
    return text.isEmpty() ? QStringLiteral("entry %1").arg(pos) : text;
}

QString onOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

}

int displayWidth(const QString& text)
{
    int w = 0;
    for (QChar c : text) {
        if (c.isLowSurrogate())
            continue;
        const char16_t u = c.unicode();
        // CJK, Hangul, full-width forms: two columns.
        w += (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
                     || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFF60) || (u >= 0xFFE0 && u <= 0xFFE6)
                 ? 2
                 : 1;
    }
    return w;
}

QStringList showLayout(const DocumentData& d, const PackStrings& texts, QChar separator)
{
    const ValueWords words = texts.words();
    QStringList out;
    out << QStringLiteral("Model: ") + choice(d, Key::Model, texts);
    out << QStringLiteral("Band:  ") + (d.choice(Key::Band) < 0 ? QStringLiteral("(none)") : Cli::printable(d.band()));
    out << QString();

    const std::pair<const char*, QString> choices[] = {
        {"Automatic power-off", Key::AutoPowerOff}, {"Squelch level", Key::Squelch},
        {"Scan resume mode", Key::ScanResume},      {"Transmit time-out", Key::TimeOut},
        {"Voice announcement", Key::Voice},         {"Battery-save ratio", Key::SaveRatio},
        {"Top key, long press", Key::TopLong},      {"Top key, short press", Key::TopShort},
        {"P1, long press", Key::P1Long},            {"P1, short press", Key::P1Short},
        {"P2, long press", Key::P2Long},            {"P2, short press", Key::P2Short},
        {"VOX sensitivity", Key::VoxLevel},         {"VOX delay", Key::VoxDelay},
        {"DTMF tone duration", Key::DtmfTime}};
    const std::pair<const char*, QString> flags[] = {
        {"Power-on tone", Key::PowerOnTone}, {"End tone", Key::EndTone},
        {"Battery save", Key::BatterySave},  {"Key beep", Key::KeyBeep},
        {"Transmit inhibit", Key::TxInhibit}, {"Low-battery tone", Key::LowBatteryTone},
        {"Tiny Power", Key::TinyPower},      {"Lease function", Key::Lease},
        {"VOX off while receiving", Key::VoxRxInhibit}};
    constexpr int LabelWidth = 26;
    for (const auto& [label, key] : choices)
        out << pad(QString::fromLatin1(label), LabelWidth) + choice(d, key, texts);
    for (const auto& [label, key] : flags)
        out << pad(QString::fromLatin1(label), LabelWidth) + onOff(d.flag(key));
    out << pad(QStringLiteral("DTMF end code"), LabelWidth) + Cli::printable(d.text(Key::EndDtmf));
    // Files of older programs lack these three.
    const QString missing = QStringLiteral("(not in the file)");
    out << pad(QStringLiteral("Volume level"), LabelWidth) + (d.carries(Key::Volume) ? choice(d, Key::Volume, texts) : missing);
    out << pad(QStringLiteral("Alarm"), LabelWidth) + (d.carries(Key::Alarm) ? onOff(d.flag(Key::Alarm)) : missing);
    out << pad(QStringLiteral("Lease time"), LabelWidth)
               + (d.carries(Key::LeaseDays) ? QStringLiteral("%1 d %2 h %3 min")
                                                   .arg(d.number(Key::LeaseDays))
                                                   .arg(d.number(Key::LeaseHours))
                                                   .arg(d.number(Key::LeaseMinutes))
                                             : missing);
    out << QString();

    QList<QStringList> rows;
    rows << QStringList{"Ch", "RX freq", "RX tone", "TX freq", "TX tone", "Power", "Width",
                        "A", "B", "C", "D", "PTT ID"};
    for (int r = 1; r <= DocumentData::ChannelCount; ++r) {
        if (!d.channelExists(r))
            continue;
        QStringList row;
        for (int c = 0; c < DocumentData::Cols; ++c)
            row << Cli::printable(ChannelText::cell(d, r, c, words, separator));   // escaped before the widths are taken
        rows << row;
    }
    if (rows.size() == 1) {
        out << QStringLiteral("No channels.");
        return out;
    }
    QList<int> widths(DocumentData::Cols, 0);
    for (const QStringList& row : rows)
        for (int c = 0; c < DocumentData::Cols; ++c)
            widths[c] = qMax(widths[c], displayWidth(row[c]));
    for (const QStringList& row : rows) {
        QString line;
        for (int c = 0; c < DocumentData::Cols; ++c)
            line += c + 1 < DocumentData::Cols ? pad(row[c], widths[c] + 2) : row[c];
        out << line;
    }
    return out;
}

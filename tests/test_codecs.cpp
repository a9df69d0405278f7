#include <QtTest>

#include "document/documentdata.h"
#include "document/settingkeys.h"
#include "radio/codecs.h"
#include "englishtexts.h"
#include "channelcells.h"

namespace {
QByteArray hex(const char* h)
{
    return QByteArray::fromHex(h);
}
QString hexOf(const QByteArray& b)
{
    return QString::fromLatin1(b.toHex(' ').toUpper());
}
// Why an encoder refused, in English.
QString why(const Codec::Encoded& e)
{
    return e.error.text(englishTexts());
}

const ValueWords English{"OFF", "ON", "High", "Low", "Wide", "Narrow", "Comp", "scrambler"};

// A channel row as the channel editor leaves a new channel, then adjusted.
void fillRow(DocumentData& d, int row, const QStringList& cells)
{
    for (int c = 1; c <= 11; ++c)
        setCellOf(d, row, c, cells.value(c - 1));
}
}

class TestCodecs : public QObject {
    Q_OBJECT
private slots:
    void frequencies()
    {
        auto encode = [](const char* text) {
            const std::optional<qint64> hz = ChannelText::parseFrequency(text);
            return hz ? Codec::encodeFrequency(*hz).bytes : QByteArray();
        };
        QCOMPARE(encode("446.00625"), hex("44600625"));
        QCOMPARE(encode("400.12500"), hex("40012500"));
        QCOMPARE(encode("400,12500"), hex("40012500"));
        QCOMPARE(Codec::decodeFrequency(hex("44600625")), std::optional<qint64>(446006250));
        QCOMPARE(ChannelText::frequency(*Codec::decodeFrequency(hex("40012500")), u','), QString("400,12500"));
        QVERIFY(!Codec::decodeFrequency(hex("FFFFFFFF")));
        QVERIFY(!Codec::decodeFrequency(hex("4460062A")));
        for (const char* bad : {"446.1", "44a.00625", "", "4460.0625", "446:00625", "446.006255"})
            QVERIFY2(!ChannelText::parseFrequency(bad), bad);
        // What the record's eight digits of 10 Hz cannot hold is refused, not cut.
        for (qint64 hz : {446006251LL, 1000000000LL * 10, -10LL}) {
            const Codec::Encoded e = Codec::encodeFrequency(hz);
            QVERIFY(!e.ok() && e.bytes.isEmpty());
            QVERIFY(why(e).contains("is not a frequency"));
        }
    }

    void tones()
    {
        const struct { const char* text; const char* bytes; } examples[] = {
            {"67.0", "129E"}, {"100.0", "13E8"}, {"254.1", "19ED"},
            {"D023N", "2013"}, {"D754I", "31EC"}, {"OFF", "F000"}};
        for (const auto& ex : examples) {
            const std::optional<Tone> t = ChannelText::parseTone(ex.text, English);
            QVERIFY2(t, ex.text);
            QCOMPARE(Codec::encodeTone(*t).bytes, hex(ex.bytes));
            QCOMPARE(ChannelText::tone(Codec::decodeTone(hex(ex.bytes)), "OFF", u'.'), QString(ex.text));
        }
        QCOMPARE(Codec::encodeTone(*ChannelText::parseTone("67,0", English)).bytes, hex("129E"));
        QCOMPARE(ChannelText::tone(Codec::decodeTone(hex("129E")), "OFF", u','), QString("67,0"));
        // The off word of every language is no tone.
        QCOMPARE(ChannelText::parseTone("禁用", English), std::optional<Tone>(Tone::off()));
        // Unknown type nibbles are no tone.
        QCOMPARE(Codec::decodeTone(hex("4123")), Tone::off());
        QCOMPARE(Codec::decodeTone(hex("0000")), Tone::off());

        // What a hand-edited file may hold must never become a guessed code:
        // it names no tone, or one the record cannot hold.
        for (const char* bad : {"D9", "D089N", "D02N", "X023N", "67", "67.05", "6a.0", "999.9", ""}) {
            const std::optional<Tone> t = ChannelText::parseTone(bad, English);
            QVERIFY2(!t || !Codec::encodeTone(*t).ok(), bad);
        }
        QCOMPARE(why(Codec::encodeTone(Tone::ctcss(9999))), QString("\"999.9\" is beyond the highest tone the radio can store"));
    }

    void datesNamesPasswords()
    {
        QCOMPARE(Codec::decodeDate(hex("201005061430 00FF")), QString("2010-05-06  14:30:00"));
        QCOMPARE(Codec::decodeDate(hex("2024031509 3005FF")), QString("2024-03-15  09:30:05"));
        QCOMPARE(Codec::decodeDate(hex("FFFFFFFFFFFFFFFF")), QString("FFFF-FF-FF  FF:FF:FF"));
        const QDateTime when(QDate(2024, 3, 15), QTime(9, 30, 5));
        QCOMPARE(Codec::encodeDate(when), hex("20240315093005FF"));

        QCOMPARE(Codec::encodeName("AB").bytes, hex("4142FFFFFFFFFF02"));
        QCOMPARE(Codec::encodeName("ABC").bytes, hex("414243FFFFFFFF03"));
        QCOMPARE(Codec::encodeName("").bytes, hex("FFFFFFFFFFFFFF00"));
        QCOMPARE(Codec::encodeName("Tavrin-Radio").bytes, hex("54617672696E2D07"));
        QCOMPARE(Codec::decodeName(hex("414243FFFFFFFF03")), QString("ABC"));
        QCOMPARE(Codec::decodeName(hex("4142434445464748")), QString("ABCDEFG"));   // length 8 -> 7
        QCOMPARE(Codec::decodeName(hex("414243444546474F")), QString("ABCDEFG"));
        QCOMPARE(Codec::decodeName(hex("FFFFFFFFFFFFFFFF")), QString(7, QChar(0xFF)));
        QCOMPARE(Codec::decodeName(hex("E9FFFFFFFFFFFF01")), QString(QChar(0xE9)));
        QCOMPARE(Codec::encodeName(QString(QChar(0xE9))).bytes, hex("E9FFFFFFFFFFFF01"));
        QVERIFY(!Codec::encodeName("用户").ok());

        QCOMPARE(Codec::encodePassword("").bytes, hex("FFFFFFFFFFFFFFF0"));
        QCOMPARE(Codec::encodePassword("123456").bytes, hex("123456FFFFFFFFF6"));
        QCOMPARE(Codec::encodePassword("123456789012").bytes, hex("123456789012FFFC"));
        QCOMPARE(Codec::passwordDigits(hex("123456FFFFFFFFF6")), QString("123456"));
        QCOMPARE(Codec::passwordDigits(hex("FFFFFFFFFFFFFFF0")), QString());
        QCOMPARE(Codec::passwordLength(hex("FFFFFFFFFFFFFFFF")), 15);
        QCOMPARE(Codec::passwordDigits(hex("FFFFFFFFFFFFFFFF")), QString(15, u'F'));
        for (const char* bad : {"12*4", "#", "1234567890123", "12a"})
            QVERIFY2(!Codec::encodePassword(bad).ok(), bad);
    }

    void bandAndModel()
    {
        QCOMPARE(Codec::decodeBand(hex("4700400047004000")), QString("400-470MHz"));
        QCOMPARE(Codec::decodeBand(hex("FFFFFFFFFFFFFFFF")), QString("FFF-FFFMHz"));
        QCOMPARE(Codec::encodeBand("400-430MHz").bytes, hex("4300400043004000"));
        QVERIFY(!Codec::encodeBand("400-470").ok());
        QCOMPARE(Codec::modelRecord(), hex("4B512D195A18FF06"));
        QCOMPARE(Codec::channelAddress(1), 0x4080);
        QCOMPARE(Codec::channelAddress(32), 0x4270);
    }

    void timerAndDtmf()
    {
        DocumentData d;
        d.setNumber(Key::LeaseDays, 2);
        d.setNumber(Key::LeaseHours, 3);
        d.setNumber(Key::LeaseMinutes, 40);
        d.setChoice(Key::DtmfTime, 5);   // 100 ms
        d.setText(Key::EndDtmf, "1A*");
        QCOMPARE(hexOf(Codec::encodeTimer(d).bytes), hexOf(hex("013628030" "10A0E00")));

        DocumentData back;
        Codec::decodeTimer(hex("0136280301" "0A0E00"), back);
        QCOMPARE(back.number(Key::LeaseDays), 2);
        QCOMPARE(back.number(Key::LeaseHours), 3);
        QCOMPARE(back.number(Key::LeaseMinutes), 40);
        QCOMPARE(back.choice(Key::DtmfTime), 5);
        QCOMPARE(back.text(Key::EndDtmf), QString("1A*"));

        d.setNumber(Key::LeaseDays, 255);
        d.setNumber(Key::LeaseHours, 23);
        d.setNumber(Key::LeaseMinutes, 50);
        d.setText(Key::EndDtmf, "#");
        QCOMPARE(Codec::encodeTimer(d).bytes.left(4), hex("8FFF2801"));
        Codec::decodeTimer(hex("8FFF2801" "0F000000"), back);
        QCOMPARE(back.number(Key::LeaseDays), 255);
        QCOMPARE(back.number(Key::LeaseHours), 23);
        QCOMPARE(back.number(Key::LeaseMinutes), 50);
        QCOMPARE(back.text(Key::EndDtmf), QString("#"));

        // An erased record: count nibble F empties the code.
        Codec::decodeTimer(hex("FFFFFFFFFFFFFFFF"), back);
        QCOMPARE(back.text(Key::EndDtmf), QString());
        Codec::decodeTimer(hex("0000280501020304"), back);
        QCOMPARE(back.text(Key::EndDtmf), QString());

        // A duration no entry stands for is shown as nothing and written back as read.
        Codec::decodeTimer(hex("0000100100000000"), back);
        QCOMPARE(back.choice(Key::DtmfTime), -1);
        QCOMPARE(Codec::encodeTimer(back).bytes.at(2), char(0x10));
        back.setChoice(Key::DtmfTime, 0);
        QCOMPARE(Codec::encodeTimer(back).bytes.at(2), char(20));

        d.setText(Key::EndDtmf, "1E");
        QVERIFY(why(Codec::encodeTimer(d)).contains("\"E\" is not a DTMF digit"));
        d.setText(Key::EndDtmf, "12345");   // the document holds four, as the edit box does
        QCOMPARE(d.text(Key::EndDtmf), QString("1234"));
        QVERIFY(Codec::encodeTimer(d).ok());
        d.setText(Key::EndDtmf, "1");
        d.setChoice(Key::DtmfTime, -1);
        QCOMPARE(why(Codec::encodeTimer(d)), QString("DTMF duration: nothing is selected"));
    }

    void channelWorkedExample()
    {
        DocumentData d;
        fillRow(d, 3, {"446.00625", "OFF", "446.00625", "67.0", "High", "Wide", "ON", "OFF", "ON", "OFF", "OFF"});
        const Codec::Encoded e = Codec::encodeChannel(d.channel(3), 3);
        QVERIFY2(e.ok(), qPrintable(why(e)));
        QCOMPARE(hexOf(e.bytes), hexOf(hex("44600625446006 25F000129EFFF6FFFC")));

        DocumentData back;
        back.setChannel(3, Codec::decodeChannel(e.bytes));
        QCOMPARE(back.channel(3), d.channel(3));
        for (int c = 0; c < 12; ++c)
            QCOMPARE(cellOf(back, 3, c), cellOf(d, 3, c));
    }

    void channelBytesAndShiftCodes()
    {
        DocumentData d;
        auto encode = [&](const QStringList& cells) {
            fillRow(d, 1, cells);
            const Codec::Encoded e = Codec::encodeChannel(d.channel(1), 1);
            if (!e.ok())
                qWarning() << why(e);
            return e.bytes;
        };
        const QStringList base = {"439.10000", "OFF", "434.10000", "OFF", "High", "Wide", "ON", "ON", "ON", "ON", "ON"};
        QCOMPARE(quint8(encode(base).at(15)), 0xFD);
        QStringList swapped = base;
        swapped[0] = "434.10000";
        swapped[2] = "439.10000";
        QCOMPARE(quint8(encode(swapped).at(15)), 0xFE);
        QStringList same = base;
        same[2] = same[0];
        QCOMPARE(quint8(encode(same).at(15)), 0xFC);
        QStringList noTx = base;
        noTx[2].clear();
        const QByteArray b = encode(noTx);
        QCOMPARE(b.mid(4, 4), hex("FFFFFFFF"));
        QCOMPARE(quint8(b.at(15)), 0xFD);

        // All on, high, wide: FC EF. All off, low, narrow: F7 3E.
        QCOMPARE(encode(base).mid(13, 2), hex("FCEF"));
        QCOMPARE(encode({"439.10000", "OFF", "434.10000", "OFF", "Low", "Narrow", "OFF", "OFF", "OFF", "OFF", "OFF"}).mid(13, 2),
                 hex("F73E"));

        QStringList dcs = base;
        dcs[1] = "D023N";
        dcs[3] = "D023I";
        const QByteArray rec = encode(dcs);
        QCOMPARE(rec.mid(8, 4), hex("20133013"));
        DocumentData back;
        back.setChannel(1, Codec::decodeChannel(rec));
        QCOMPARE(cellOf(back, 1, 2), QString("D023N"));
        QCOMPARE(cellOf(back, 1, 4), QString("D023I"));

        // A comma locale codes the same bytes and reads back with commas.
        QStringList comma = base;
        comma[0] = "439,10000";
        comma[2] = "434,10000";
        comma[1] = "67,0";
        const QByteArray c = encode(comma);
        QCOMPARE(c.mid(0, 10), hex("43910000434100001" "29E"));
        back.setChannel(1, Codec::decodeChannel(c));
        QCOMPARE(cellOf(back, 1, 1, English, u','), QString("439,10000"));
        QCOMPARE(cellOf(back, 1, 2, English, u','), QString("67,0"));

        // Empty receive frequency: the whole record erased; erased reads as empty.
        d.clearChannel(2);
        QCOMPARE(Codec::encodeChannel(d.channel(2), 2).bytes, QByteArray(16, char(0xFF)));
        back.setChannel(2, Codec::decodeChannel(QByteArray(16, char(0xFF))));
        for (int col = 1; col <= 11; ++col)
            QVERIFY(cellOf(back, 2, col).isEmpty());
        QCOMPARE(cellOf(back, 2, 0), QString("02"));
    }

    void channelRefusesWhatItCannotCode()
    {
        DocumentData d;
        const QStringList good = {"446.00625", "OFF", "446.00625", "67.0", "High", "Wide", "ON", "OFF", "ON", "OFF", "OFF"};
        const struct { int col; const char* text; const char* error; } cases[] = {
            {4, "D9", "channel 5, transmit tone: \"D9\" is not a tone"},
            {2, "D018N", "channel 5, receive tone: \"D018N\" is not a tone"},
            {1, "446.1", "channel 5, receive frequency: \"446.1\" is not a frequency"},
            {3, "abc", "channel 5, transmit frequency: \"abc\" is not a frequency"},
            {5, "Maximum", "channel 5, power: \"Maximum\" is not one of \"High\", \"Low\""},
            {6, "", "channel 5, bandwidth: \"\" is not one of \"Wide\", \"Narrow\""},
            {11, "Comp", "channel 5, PTT ID: \"Comp\" is not one of \"OFF\", \"ON\""},
        };
        for (const auto& c : cases) {
            fillRow(d, 5, good);
            setCellOf(d, 5, c.col, c.text);
            const Codec::Encoded e = Codec::encodeChannel(d.channel(5), 5);
            QVERIFY(e.bytes.isEmpty());
            QCOMPARE(why(e), QString(c.error));
        }
        // Column 10 also takes the compander and scrambler words.
        fillRow(d, 5, good);
        setCellOf(d, 5, 10, "scrambler");
        QCOMPARE(quint8(Codec::encodeChannel(d.channel(5), 5).bytes.at(13)) & 0x02, 0);
    }

    void optionBlock()
    {
        DocumentData d;
        d.setChoice(Key::Squelch, 9);
        d.setChoice(Key::SaveRatio, 1);
        d.setChoice(Key::Volume, 12);
        d.setChoice(Key::Voice, 2);
        d.setChoice(Key::ScanResume, 0);
        d.setChoice(Key::AutoPowerOff, 15);
        d.setChoice(Key::TimeOut, 12);
        d.setChoice(Key::VoxLevel, 7);
        d.setChoice(Key::VoxDelay, 3);
        d.setFlag(Key::Alarm, true);
        d.setFlag(Key::TinyPower, true);
        d.setFlag(Key::PowerOnTone, false);
        d.setFlag(Key::TxInhibit, true);
        d.setFlag(Key::VoxRxInhibit, false);
        const Codec::Encoded e = Codec::encodeOptions(d, 32);
        QVERIFY2(e.ok(), qPrintable(why(e)));
        // Defaults of the key functions: 6 5 / 7 9 / 8 10. Flags: end tone off,
        // key beep on, alarm on, power-on off = 0x60; low battery on, lease off,
        // battery save on, tiny power on = 0x0D.
        QCOMPARE(hexOf(e.bytes), hexOf(hex("2000" "1E" "0C" "09" "02" "6D" "FF" "8F" "0F" "0C" "07" "03" "65" "79" "8A")));

        DocumentData back;
        Codec::decodeOptions(e.bytes, back);
        for (const QString& k : back.choiceKeys())
            if (k != Key::Band && k != Key::Model && k != Key::DtmfTime)
                QCOMPARE(back.choice(k), d.choice(k));
        for (const QString& k : {Key::EndTone, Key::KeyBeep, Key::Alarm, Key::PowerOnTone, Key::LowBatteryTone,
                                 Key::Lease, Key::BatterySave, Key::TinyPower, Key::VoxRxInhibit, Key::TxInhibit})
            QCOMPARE(back.flag(k), d.flag(k));
        QCOMPARE(Codec::encodeOptions(back, 32).bytes, e.bytes);

        // Values beyond a list wrap round or fall back as the radio's tools read them.
        QByteArray odd = e.bytes;
        odd[2] = char(100);   // battery save above 59 -> 1:4
        odd[4] = char(0x0C);  // squelch 12 -> 2
        odd[10] = char(0x0D); // time-out 13 -> off
        odd[11] = char(0x09); // VOX sensitivity 9 -> 4
        odd[12] = char(0x05); // VOX delay 5 -> 2
        Codec::decodeOptions(odd, back);
        QCOMPARE(back.choice(Key::SaveRatio), 3);
        QCOMPARE(back.choice(Key::Squelch), 2);
        QCOMPARE(back.choice(Key::TimeOut), 0);
        QCOMPARE(back.choice(Key::VoxLevel), 4);
        QCOMPARE(back.choice(Key::VoxDelay), 2);
        odd[2] = char(10);
        Codec::decodeOptions(odd, back);
        QCOMPARE(back.choice(Key::SaveRatio), 0);
    }

    void unlistedKeyFunctionsGoBackAsRead()
    {
        DocumentData d;
        QByteArray rec = Codec::encodeOptions(d, 32).bytes;
        rec[13] = char(0xC5);   // top key long press: code 12, not in the list
        Codec::decodeOptions(rec, d);
        QCOMPARE(d.choice(Key::TopLong), -1);
        QCOMPARE(d.choice(Key::TopShort), 5);
        QCOMPARE(quint8(Codec::encodeOptions(d, 32).bytes.at(13)), 0xC5);
        // Choosing an entry replaces the code; a choice with nothing behind it is refused.
        d.setChoice(Key::TopLong, 1);
        QCOMPARE(quint8(Codec::encodeOptions(d, 32).bytes.at(13)), 0x15);
        d.setChoice(Key::P2Short, -1);
        const Codec::Encoded e = Codec::encodeOptions(d, 32);
        QVERIFY(e.bytes.isEmpty());
        QCOMPARE(why(e), QString("P2, short press: nothing is selected"));
    }
};

QTEST_GUILESS_MAIN(TestCodecs)
#include "test_codecs.moc"

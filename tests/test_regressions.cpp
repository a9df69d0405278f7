// Inputs that fuzzing or the sanitizers once caught the program out on.
#include <QtTest>

#include "document/documentdata.h"
#include "base/packstrings.h"
#include "radio/codecs.h"
#include "channelcells.h"

namespace {
QByteArray hex(const char* digits)
{
    return QByteArray::fromHex(digits);
}
}

class TestRegressions : public QObject {
    Q_OBJECT
private slots:
    // A channel record below 100 MHz reads as "0.62804" and a tone below
    // 10 Hz as "6.5"; the write refused both, so a radio read could not be
    // written back as it was.
    void recordsReadFromAnyRadioWriteBack_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<QString>("rx");
        QTest::addColumn<QString>("rxTone");
        // The record that fuzzing found: a timer record read as a channel.
        QTest::newRow("fuzz crash") << hex("0006280401 0A0E0F FFFFFFFFFFFFFFFF") << QChar(u'.')
                                    << QStringLiteral("0.62804") << QStringLiteral("禁用");
        QTest::newRow("two digits, comma") << hex("09912500 44600625 1041 129E FFF6FFFD") << QChar(u',')
                                           << QStringLiteral("99,12500") << QStringLiteral("6,5");
        QTest::newRow("lowest tone") << hex("44600625 44600625 1000 F000 FFF6FFFC") << QChar(u'.')
                                     << QStringLiteral("446.00625") << QStringLiteral("0.0");
    }
    void recordsReadFromAnyRadioWriteBack()
    {
        QFETCH(QByteArray, record);
        QFETCH(QChar, sep);
        QFETCH(QString, rx);
        QFETCH(QString, rxTone);
        const ValueWords words = PackStrings::builtIn().words();
        DocumentData d;
        d.setChannel(3, Codec::decodeChannel(record));
        QCOMPARE(cellOf(d, 3, 1, words, sep), rx);
        QCOMPARE(cellOf(d, 3, 2, words, sep), rxTone);

        const Codec::Encoded e = Codec::encodeChannel(d.channel(3), 3);
        QVERIFY2(e.ok(), qPrintable(e.error.text(PackStrings::builtIn())));
        QCOMPARE(e.bytes.left(4), record.left(4));
        DocumentData again;
        again.setChannel(3, Codec::decodeChannel(e.bytes));
        QCOMPARE(again, d);
    }

    // The wider frequency and tone forms take nothing that is not a number.
    void widerFormsStayStrict()
    {
        const ValueWords words = PackStrings::builtIn().words();
        QCOMPARE(ChannelText::parseFrequency(QStringLiteral("0.62804")), std::optional<qint64>(628040));
        QCOMPARE(Codec::encodeFrequency(628040).bytes, hex("00062804"));
        QCOMPARE(Codec::encodeFrequency(*ChannelText::parseFrequency(QStringLiteral("99,12500"))).bytes, hex("09912500"));
        QCOMPARE(Codec::encodeTone(*ChannelText::parseTone(QStringLiteral("6.5"), words)).bytes, hex("1041"));
        for (const char* bad : {".12345", "0.1234", "1234.12345", "a.12345", "-.12345", "1.2345x"})
            QVERIFY2(!ChannelText::parseFrequency(QString::fromLatin1(bad)), bad);
        for (const char* bad : {".5", "65", "-.5", "a.5", "6.", "6.55"})
            QVERIFY2(!ChannelText::parseTone(QString::fromLatin1(bad), words), bad);
    }
};

QTEST_MAIN(TestRegressions)
#include "test_regressions.moc"

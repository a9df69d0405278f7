// rq300-fuzz-seeds DIR: writes the starting inputs of the fuzz targets into
// DIR/<target>/, made the way the program makes them: a settings file saved
// from a document, an exported channel table, a saved alignment file and
// records as the encoders build them.
#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <cstdio>

#include "document/channeltext.h"
#include "files/channelcsv.h"
#include "files/chirpcsv.h"
#include "files/settingsfile.h"
#include "base/packstrings.h"
#include "document/settingkeys.h"
#include "radio/codecs.h"
#include "files/alignmentfile.h"

namespace {

QString g_dir;
int g_failures = 0;

void report(const Result& result)
{
    const QString error = result.text(PackStrings::builtIn());
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        ++g_failures;
    }
}

void put(const QString& target, const QString& name, const QByteArray& bytes)
{
    const QString dir = g_dir + u'/' + target;
    QFile f(dir + u'/' + name);
    if (!QDir().mkpath(dir) || !f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(f.fileName()), qPrintable(f.errorString()));
        ++g_failures;
    }
}

QByteArray encoded(const Codec::Encoded& e)
{
    if (!e.ok()) {
        std::fprintf(stderr, "seed not encodable: %s\n", qPrintable(e.error.text(PackStrings::builtIn())));
        ++g_failures;
    }
    return e.bytes;
}

// A document with channels of every kind and features away from their defaults.
DocumentData sampleDocument(QChar sep)
{
    const ValueWords w = PackStrings::builtIn().words();
    DocumentData d;
    d.setBands({QStringLiteral("400-470MHz"), QStringLiteral("400-430MHz")});
    d.setChoice(Key::Band, 0);
    d.setChoice(Key::Squelch, 9);
    d.setChoice(Key::TopLong, 2);
    d.setFlag(Key::EndTone, true);
    d.setText(Key::EndDtmf, QStringLiteral("1A*#"));
    auto f = [sep](const char* t) { return QString::fromLatin1(t).replace(u'.', sep); };
    const QList<QStringList> rows = {
        {f("446.00625"), w.off, f("446.00625"), f("67.0"), w.high, w.wide, w.on, w.off, w.on, w.off, w.off},
        {f("439.10000"), QStringLiteral("D023N"), f("434.10000"), QStringLiteral("D754I"), w.low, w.narrow,
         w.off, w.on, w.off, w.comp, w.on},
        {f("462.56250"), f("254.1"), QString(), w.off, w.high, w.narrow, w.on, w.on, w.on, w.scrambler, w.on},
    };
    const int at[] = {1, 6, 11};
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 1; c <= 11; ++c)
            ChannelText::setCell(d, at[r], c, rows[r][c - 1], w);
    return d;
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    g_dir = QString::fromLocal8Bit(argv[1]);
    const PackStrings& texts = PackStrings::builtIn();
    const ValueWords w = texts.words();

    const DocumentData point = sampleDocument(u'.');
    const DocumentData comma = sampleDocument(u',');
    DocumentData empty;
    empty.setBands({QStringLiteral("400-470MHz")});
    empty.setChoice(Key::Band, 0);
    put(QStringLiteral("settingsfile"), QStringLiteral("sample.kq19"), SettingsFile::serialize(point, texts, u'.'));
    put(QStringLiteral("settingsfile"), QStringLiteral("comma.kq19"), SettingsFile::serialize(comma, texts, u','));
    put(QStringLiteral("settingsfile"), QStringLiteral("empty.kq19"), SettingsFile::serialize(empty, texts, u'.'));

    put(QStringLiteral("channelcsv"), QStringLiteral("point.csv"), ChannelCsv::exportTable(point, w, u'.'));
    put(QStringLiteral("channelcsv"), QStringLiteral("comma.csv"), ChannelCsv::exportTable(comma, w, u','));
    put(QStringLiteral("channelcsv"), QStringLiteral("chirp.csv"), ChirpCsv::exportTable(point).bytes);

    const QString alignment = g_dir + QStringLiteral("/alignment");
    QDir().mkpath(alignment);
    AlignmentValues values;
    report(AlignmentFile::save(alignment + QStringLiteral("/initial.m17"), values));
    values.setText(QStringLiteral("Edit413"), QStringLiteral("4095"));
    values.setText(QStringLiteral("Edit401"), QStringLiteral("200"));
    values.setText(QStringLiteral("Edit202"), QStringLiteral("FF"));
    values.setText(QStringLiteral("Edit409"), QString());
    report(AlignmentFile::save(alignment + QStringLiteral("/edited.m17"), values));
    // Three alignment records in a row, as the radio holds them.
    put(QStringLiteral("alignment"), QStringLiteral("records"),
        QByteArray::fromHex("07D032FF3414FF16005048FF402824FF2B1106FF5A52FFFF"));

    // Byte 0: bit 0 comma, bit 1 English words, bit 2 a text for the encoders.
    const QString rec = QStringLiteral("records");
    put(rec, QStringLiteral("channel1"), QByteArray(1, '\0') + encoded(Codec::encodeChannel(point.channel(1), 1)));
    put(rec, QStringLiteral("channel2"), QByteArray(1, '\1') + encoded(Codec::encodeChannel(comma.channel(6), 6)));
    put(rec, QStringLiteral("channel3"), QByteArray(1, '\0') + encoded(Codec::encodeChannel(point.channel(11), 11)));
    put(rec, QStringLiteral("options"), QByteArray(1, '\0') + encoded(Codec::encodeOptions(point, 32)));
    put(rec, QStringLiteral("timer"), QByteArray(1, '\2') + encoded(Codec::encodeTimer(point)));
    put(rec, QStringLiteral("name"), QByteArray(1, '\0') + encoded(Codec::encodeName(QStringLiteral("Tavrin"))));
    put(rec, QStringLiteral("password"), QByteArray(1, '\0') + encoded(Codec::encodePassword(QStringLiteral("123456"))));
    put(rec, QStringLiteral("band"), QByteArray(1, '\0') + encoded(Codec::encodeBand(QStringLiteral("400-470MHz"))));
    put(rec, QStringLiteral("date"), QByteArray(1, '\0') + Codec::encodeDate(QDateTime(QDate(2024, 3, 15), QTime(9, 30, 5))));
    for (const char* t : {"67.0", "254,1", "D023N", "D754I", "446.00625", "123456", "Tavrin"})
        put(rec, QStringLiteral("text-%1").arg(QString::fromLatin1(t).replace(u',', u'_')), QByteArray(1, '\4') + t);
    return g_failures ? 1 : 0;
}

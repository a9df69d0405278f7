#include <QByteArray>

#include "document/channeltext.h"
#include "files/channelcsv.h"
#include "files/chirpcsv.h"
#include "base/packstrings.h"
#include "document/settingkeys.h"
#include "radio/codecs.h"

// Any bytes as a channel CSV, in our own dialect and in CHIRP's. A refused
// import lists its errors; an accepted one holds only channels the radio can
// be written with, and exporting it and importing the export gives the same
// table.
namespace {

void check(bool good)
{
    if (!good)
        __builtin_trap();
}

const DocumentData& base()
{
    static const DocumentData d = [] {
        DocumentData d;
        d.setBands({QStringLiteral("400-470MHz")});
        d.setChoice(Key::Band, 0);
        ChannelText::setCell(d, 3, 1, QStringLiteral("446.00625"), {});   // replaced by any import
        return d;
    }();
    return d;
}

void encodable(const DocumentData& d)
{
    for (int row = 1; row <= DocumentData::ChannelCount; ++row)
        check(Codec::encodeChannel(d.channel(row), row).ok());
}

void importWith(const QByteArray& bytes, QChar sep)
{
    static const DocumentData nothing;
    const ValueWords words = PackStrings::builtIn().words();

    const ChannelCsv::ImportResult first = ChannelCsv::importTable(bytes, base(), words, sep);
    check(first.ok == first.errors.isEmpty());
    if (!first.ok) {
        check(first.data == nothing);   // nothing of a refused import is handed out
        return;
    }
    encodable(first.data);

    const ChannelCsv::ImportResult second =
        ChannelCsv::importTable(ChannelCsv::exportTable(first.data, words, sep), base(), words, sep);
    check(second.ok && second.data == first.data);
}

// Every row is imported or refused; what is imported can be written to the
// radio and comes back the same through an export.
void importChirp(const QByteArray& bytes)
{
    const ChirpCsv::ImportResult first = ChirpCsv::importTable(bytes, base());
    if (!first.ok())
        return;
    encodable(first.data);
    const ChirpCsv::ExportResult out = ChirpCsv::exportTable(first.data);
    check(out.exported == first.imported && out.skipped.isEmpty());
    const ChirpCsv::ImportResult second = ChirpCsv::importTable(out.bytes, base());
    check(second.ok() && second.refused.isEmpty() && second.data == first.data);
}

}

// The decimal separator only changes how accepted numbers are written, so
// every input is imported with both.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    importWith(bytes, u'.');
    importWith(bytes, u',');
    importChirp(bytes);
    return 0;
}

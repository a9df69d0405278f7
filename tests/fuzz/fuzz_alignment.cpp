#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "files/alignmentfile.h"

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Records as the radio may hold them: values decoded from any bytes either
// encode back to a record that decodes to the same values, or are refused
// with a reason.
void checkRecords(const QByteArray& bytes)
{
    const int addresses[] = {AlignmentValues::FrequencyRecord, AlignmentValues::DeviationRecord,
                             AlignmentValues::ModRecord};
    AlignmentValues v;
    for (int i = 0; i < 3; ++i) {
        const QByteArray rec = bytes.mid(8 * i, 8);
        if (v.setFromRecord(addresses[i], rec) != (rec.size() == 8))
            __builtin_trap();
    }
    for (int address : addresses) {
        const QByteArray rec = v.record(address);
        if (rec.isEmpty()) {
            if (v.checkAll().ok())
                __builtin_trap();
            continue;
        }
        AlignmentValues again = v;
        if (rec.size() != 8 || !again.setFromRecord(address, rec) || !(again == v))
            __builtin_trap();
    }
}

}

// Any bytes as an alignment file: a refused file leaves the values as they
// were and says why; an accepted one saves and loads back to the same values.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    static const QString in = dir.filePath(QStringLiteral("in.m17"));
    static const QString out = dir.filePath(QStringLiteral("out.m17"));
    if (!dir.isValid())
        __builtin_trap();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkRecords(bytes);

    if (!writeFile(in, bytes))
        __builtin_trap();
    AlignmentValues values;
    values.setText(QStringLiteral("Edit401"), QStringLiteral("12"));
    const AlignmentValues before = values;
    if (!AlignmentFile::load(in, values)) {
        if (!(values == before))
            __builtin_trap();
        return 0;
    }
    if (!AlignmentFile::save(out, values))
        __builtin_trap();
    AlignmentValues reloaded;
    if (!AlignmentFile::load(out, reloaded) || !(reloaded == values))
        __builtin_trap();
    return 0;
}

// The simulated radio's memory image: what a fresh radio holds, and the
// image file.
#include "simradio.h"

#include <QFile>
#include <cstring>

#include "base/filewriter.h"

namespace {

void put(QByteArray& image, int address, const QByteArray& bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        image[(address + i) & 0xFFFF] = bytes[i];
}

} // namespace

QByteArray SimRadio::freshImage()
{
    QByteArray image(MemorySize, char(0xFF));
    // Option block: 32 channels, battery save 1:2 (30), volume 7, squelch 3,
    // voice announcement 1; power-on tone, key beep, battery save and the
    // low-battery tone on; transmit allowed, scan resume CO; no automatic
    // power-off, time-out 3, VOX sensitivity 4, VOX delay 2; key functions
    // 0/1, 2/3 and 4/10 (long/short).
    put(image, 0x4000, QByteArray::fromHex("20001E070301A5FFCF0003040201234A"));
    // Lease time 1 hour (6 steps), DTMF 100 ms, end code "123".
    put(image, 0x4010, QByteArray::fromHex("00061C0301020300"));
    // Alignment: frequency trim 200, power 50/52 high and 20/22 low.
    put(image, 0x4020, QByteArray::fromHex("07D032FF3414FF16"));
    // Deviations: CTCSS 80, DCS 72, narrow 64, narrow CTCSS 40, narrow DCS 36.
    put(image, 0x4028, QByteArray::fromHex("005048FF402824FF"));
    // 1846 MOD 43/17/6; low-battery warning 0x5A, automatic off 0x52.
    put(image, 0x4030, QByteArray::fromHex("2B1106FF5A52FFFF"));
    // Factory date 2024-01-15 09:30:00, user "SIM".
    put(image, 0x4040, QByteArray::fromHex("20240115093000FF"));
    put(image, 0x4048, QByteArray::fromHex("53494DFFFFFFFF03"));
    // No programming password.
    put(image, 0x4050, QByteArray::fromHex("FFFFFFFFFFFFFFF0"));
    // Sale date 2024-02-01 10:00:00, administrator "Tavrin".
    put(image, 0x4060, QByteArray::fromHex("20240201100000FF"));
    put(image, 0x4068, QByteArray::fromHex("54617672696EFF06"));
    // Model record and band 400-470MHz.
    put(image, 0x4070, QByteArray::fromHex("4B512D195A18FF06"));
    put(image, 0x4078, QByteArray::fromHex("4700400047004000"));
    return image;
}

void SimRadio::addSampleChannels(QByteArray& image)
{
    if (image.size() != MemorySize)
        return;
    // 446.00625 simplex, transmit tone 67.0, high power, wide.
    put(image, 0x4080, QByteArray::fromHex("4460062544600625F000129EFFF6FFFC"));
    // 439.10000 receive, 434.10000 transmit, D023N both ways, low, narrow.
    put(image, 0x4090, QByteArray::fromHex("439100004341000020132013FFF63FFD"));
    // 462.56250 simplex, CTCSS 100.0 both ways, high power, wide.
    put(image, 0x40A0, QByteArray::fromHex("462562504625625013E813E8FFF6FFFC"));
}

QByteArray& SimRadio::memory()
{
    ensureMemory();
    return m_mem;
}

const QByteArray& SimRadio::memory() const
{
    return m_mem;
}

void SimRadio::ensureMemory()
{
    // A caller holding memory() may have resized it; the radio's memory
    // never changes size.
    if (m_mem.size() != MemorySize) {
        const qsizetype old = m_mem.size();
        m_mem.resize(MemorySize);
        for (qsizetype i = old; i < MemorySize; ++i)
            m_mem[i] = char(0xFF);
    }
}

bool SimRadio::loadImage(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return false;
    }
    const QByteArray bytes = f.read(MemorySize + 1);
    if (bytes.size() != MemorySize) {
        if (error)
            *error = QStringLiteral("%1: not a radio image (%2 bytes, expected %3)")
                         .arg(path).arg(bytes.size()).arg(MemorySize);
        return false;
    }
    m_mem = bytes;
    return true;
}

bool SimRadio::saveImage(const QString& path, QString* error) const
{
    const FileWriter::Status written = FileWriter::write(path, m_mem);
    if (!written.ok() && error)
        *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(written.error)));
    return written.ok();
}

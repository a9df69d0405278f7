#include "commlog.h"
#include "base/hex.h"

#include <QMutexLocker>
#include <algorithm>

#include "files/filesave.h"
#include "base/filewriter.h"
#include "radio/codecs.h"
#include "base/textids.h"

namespace {

// A log is for a bug report: a few transfers are a few kilobytes. Beyond this
// something keeps talking without end, and the start says more than the rest.
constexpr qint64 MaxLogChars = 8 * 1024 * 1024;
// Received bytes that never stop (a babbling line) still end a line now and then.
constexpr int MaxLineBytes = 256;

constexpr char WriteCmd = 0x57;   // 'W': a record write, and the reply to a read
constexpr char ReadCmd = 0x52;    // 'R'
constexpr char RecordSize = 0x08;

bool secretAddress(char hi, char lo)
{
    const int addr = (quint8(hi) << 8) | quint8(lo);
    return addr == Codec::UserAddr || addr == Codec::PasswordAddr;
}

bool secretHeader(const QByteArray& b, qsizetype i, char command)
{
    return i + 3 < b.size() && b[i] == command && secretAddress(b[i + 1], b[i + 2]) && b[i + 3] == RecordSize;
}

}

CommLog::CommLog() = default;
CommLog::~CommLog() = default;

void CommLog::start(const QString& path, const QString& program)
{
    QMutexLocker lock(&m_mutex);
    m_path = path;
    m_lines.clear();
    m_steps.clear();
    m_pending.clear();
    m_size = 0;
    m_truncated = false;
    m_clock.start();
    m_lines << QStringLiteral("# RQ-300 communication log")
            << QStringLiteral("# started %1 by %2")
                   .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz 'UTC'")), program)
            << QStringLiteral("# %1  device  step  dir  bytes (hex; ** = not shown)").arg(QStringLiteral("ms"), 8);
}

QString CommLog::path() const
{
    return m_path;
}

QString CommLog::shown(const QByteArray& bytes, bool afterSecretRead)
{
    QList<bool> hide(bytes.size(), false);
    bool found = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (!secretHeader(bytes, i, WriteCmd))
            continue;
        found = true;
        for (qsizetype k = i + 4; k < qMin(bytes.size(), i + 12); ++k)
            hide[k] = true;
        i += 11;
    }
    if (afterSecretRead && !found)
        for (qsizetype k = 4; k < bytes.size(); ++k)
            hide[k] = true;
    QString out;
    out.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i)
            out += u' ';
        out += hide[i] ? QStringLiteral("**") : Hex::fromBytes(bytes.mid(i, 1));
    }
    return out;
}

void CommLog::line(qint64 ms, const QString& device, const QString& dir, const QString& bytes)
{
    if (m_truncated)
        return;
    const QString step = m_steps.value(device, QStringLiteral("-"));
    QString l = QStringLiteral("%1  %2  %3  %4  %5").arg(ms, 10).arg(device, step, dir, bytes);
    if (m_size + l.size() > MaxLogChars) {
        m_truncated = true;
        l = QStringLiteral("# the log ends here: it reached its size limit");
    }
    m_size += l.size();
    m_lines << l;
}

void CommLog::flushReceived(const QString& device)
{
    auto it = m_pending.find(device);
    if (it == m_pending.end() || it->bytes.isEmpty())
        return;
    line(it->at, device, QStringLiteral("RX"), shown(it->bytes, it->secretRead));
    it->bytes.clear();
}

void CommLog::sent(const QString& device, const QByteArray& bytes)
{
    QMutexLocker lock(&m_mutex);
    if (m_path.isEmpty())
        return;
    flushReceived(device);
    const qint64 now = m_clock.elapsed();
    line(now, device, QStringLiteral("TX"), shown(bytes));
    Pending& p = m_pending[device];
    p.secretRead = secretHeader(bytes, 0, ReadCmd);
}

void CommLog::received(const QString& device, const QByteArray& bytes)
{
    QMutexLocker lock(&m_mutex);
    if (m_path.isEmpty() || bytes.isEmpty())
        return;
    Pending& p = m_pending[device];
    if (p.bytes.isEmpty()) {
        p.at = m_clock.elapsed();
        p.order = ++m_began;
    }
    p.bytes += bytes;
    if (p.bytes.size() >= MaxLineBytes) {
        flushReceived(device);
        // What follows still answers the same frame.
    }
}

void CommLog::setStep(const QString& device, const QString& step)
{
    QMutexLocker lock(&m_mutex);
    if (m_path.isEmpty())
        return;
    flushReceived(device);
    m_steps.insert(device, step);
}

QString CommLog::text()
{
    QMutexLocker lock(&m_mutex);
    // What is still gathering goes in the order it began.
    QStringList devices = m_pending.keys();
    std::sort(devices.begin(), devices.end(),
              [this](const QString& a, const QString& b) {
                  const Pending& x = m_pending[a];
                  const Pending& y = m_pending[b];
                  return x.at != y.at ? x.at < y.at : x.order < y.order;
              });
    for (const QString& device : devices)
        flushReceived(device);
    return m_lines.join(u'\n') + u'\n';
}

Result CommLog::write()
{
    const QString all = text();
    const FileWriter::Status written = FileWriter::write(m_path, all.toUtf8());
    if (!written.ok())
        return Result::because(TextId::CommLogWriteFailed, FileSave::systemReason(written.error), {m_path});
    return Result::success();
}

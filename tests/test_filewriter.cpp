// The one file writer and the saves built on it: complete or nothing, the
// old file kept, and paths that are not regular files written straight.
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <thread>

#include "filelimit.h"
#include "files/alignmentfile.h"
#include "files/filesave.h"
#include "base/filewriter.h"
#include "englishtexts.h"
#include "files/profile.h"
#include "base/textids.h"

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Every name in the folder, hidden ones too: a failed save leaves no
// temporary file behind.
QStringList namesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// What a save that failed with `error` reports.
Result saveFailed(const QString& path, int error)
{
    return Result::because(TextId::FileSaveFailed, FileSave::systemReason(error), {path});
}

// A sysini.ini of about 3 KB, as a long band list and a port map make it.
Profile bigProfile()
{
    Profile p = Profile::parse("; kept\r\n[open]\r\ncom=3\r\n");
    for (int i = 0; i < 60; ++i)
        p.setValue("list", QStringLiteral("combo%1").arg(i), "400-470MHz");
    for (int i = 1; i <= 16; ++i)
        p.setValue("ports", QStringLiteral("com%1").arg(i), QStringLiteral("/dev/serial/by-id/usb-radio-cable-%1").arg(i));
    return p;
}

AlignmentValues someValues()
{
    AlignmentValues v;
    v.setText("Edit401", "50");
    v.setText("Edit413", "200");
    v.setText("Edit201", "5A");
    return v;
}

} // namespace

class TestFileWriter : public QObject {
    Q_OBJECT
private slots:
    void replacesCompletely()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.txt");
        QVERIFY(FileWriter::write(path, "first").ok());
        QCOMPARE(readFile(path), "first");
        // An existing file keeps its mode; a link keeps pointing at it.
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(QFile::link(path, dir.filePath("link.txt")));
        QVERIFY(FileWriter::write(dir.filePath("link.txt"), "second, longer").ok());
        QCOMPARE(readFile(path), "second, longer");
        QVERIFY(QFileInfo(dir.filePath("link.txt")).isSymLink());
        QCOMPARE(QFile::permissions(path), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(namesIn(dir.path()), QStringList({"a.txt", "link.txt"}));

        // What a later save would meet is known before it.
        QVERIFY(FileWriter::checkWritable(dir.filePath("new.txt")).ok());
        QCOMPARE(FileWriter::checkWritable(dir.filePath("no/such/new.txt")).error, ENOENT);
        QCOMPARE(FileWriter::checkWritable(dir.filePath("a.txt/new.txt")).error, ENOTDIR);
        QCOMPARE(FileWriter::checkWritable(dir.path()).error, EISDIR);
        QCOMPARE(FileWriter::write(dir.path(), "x").error, EISDIR);
        QCOMPARE(FileWriter::write(dir.filePath("no/such/new.txt"), "x").error, ENOENT);
    }

    // Under a file-size limit the kernel cuts the write short, as a full
    // disk does; every save reports it and the old file stays whole.
    void sizeLimitKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("sysini.ini");
        const QString m17 = dir.filePath("a.m17");
        const QByteArray oldIni = "[open]\r\ncom=1\r\n";
        QVERIFY(writeFile(ini, oldIni));
        QVERIFY(AlignmentFile::save(m17, AlignmentValues()));
        const QByteArray oldM17 = readFile(m17);
        const QStringList before = namesIn(dir.path());

        Result iniSaved, m17Saved;
        FileWriter::Status plain;
        {
            const FileSizeLimit limit(40);   // the new m17 is 61 bytes, the new ini over 3 KB
            QVERIFY(limit.ok());
            iniSaved = bigProfile().save(ini);
            m17Saved = AlignmentFile::save(m17, someValues());
            plain = FileWriter::write(dir.filePath("new.txt"), QByteArray(100, 'x'));
        }
        QCOMPARE(iniSaved, saveFailed(ini, EFBIG));
        QCOMPARE(m17Saved, saveFailed(m17, EFBIG));
        // The reason in the language of the messages, not of the system.
        QCOMPARE(iniSaved.text(englishTexts()), QStringLiteral("Cannot save %1: File too large").arg(ini));
        QCOMPARE(iniSaved.text(PackStrings::builtIn()).right(4), QStringLiteral("文件过大"));
        QCOMPARE(plain.error, EFBIG);
        QCOMPARE(FileSave::systemReason(plain.error).text(englishTexts()), QStringLiteral("File too large"));
        QCOMPARE(readFile(ini), oldIni);
        QCOMPARE(readFile(m17), oldM17);
        QCOMPARE(namesIn(dir.path()), before);

        // Without the limit the same saves go through.
        QVERIFY(bigProfile().save(ini));
        QCOMPARE(Profile::load(ini).value("ports", "com16"), "/dev/serial/by-id/usb-radio-cable-16");
        QVERIFY(AlignmentFile::save(m17, someValues()));
        AlignmentValues back;
        QVERIFY(AlignmentFile::load(m17, back));
        QVERIFY(back == someValues());
    }

    // A device or FIFO named as the file is written into, never replaced:
    // as root, renaming over /dev/null would delete the system's /dev/null.
    void devicesAreWrittenStraight()
    {
        QTemporaryDir dir;
        const QString null = deviceStandIn(dir.path(), "/dev/null", 1, 3);
        const QString full = deviceStandIn(dir.path(), "/dev/full", 1, 7);
        if (null.isEmpty() || full.isEmpty())
            QSKIP("root may not make device nodes here");
        const NodeId nullId = nodeId(null), fullId = nodeId(full);
        QVERIFY(S_ISCHR(nullId.mode) && S_ISCHR(fullId.mode));

        QVERIFY(bigProfile().save(null));
        QVERIFY(AlignmentFile::save(null, someValues()));
        // A device with no space left: the failure is reported.
        QCOMPARE(bigProfile().save(full), saveFailed(full, ENOSPC));
        QCOMPARE(AlignmentFile::save(full, someValues()), saveFailed(full, ENOSPC));
        QCOMPARE(nodeId(null), nullId);
        QCOMPARE(nodeId(full), fullId);
        if (null.startsWith(dir.path()))
            QCOMPARE(namesIn(dir.path()), QStringList({"full", "null"}));
    }

    void fifosAreWrittenStraight()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const NodeId id = nodeId(fifo);
        // The reader is there first, so the writer's open does not wait.
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        QByteArray got;
        std::thread drain([&] {
            char buf[4096];
            for (;;) {
                const ssize_t n = ::read(reader, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, n);
                else if (n == 0 && !got.isEmpty())
                    break;   // the writer closed its end
                else
                    ::usleep(2000);
            }
        });
        // More than a pipe holds at once: the writer must wait for the reader.
        const QByteArray bytes = QByteArray(200000, 'x') + "end";
        const FileWriter::Status s = FileWriter::write(fifo, bytes);
        drain.join();
        ::close(reader);
        QVERIFY(s.ok());
        QCOMPARE(got, bytes);
        QCOMPARE(nodeId(fifo), id);
        QCOMPARE(namesIn(dir.path()), QStringList({"pipe"}));
    }
};

QTEST_GUILESS_MAIN(TestFileWriter)
#include "test_filewriter.moc"

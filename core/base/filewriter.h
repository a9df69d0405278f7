#pragma once
#include <QByteArray>
#include <QString>

// The one way the program and the simulated radio write a file. It links
// QtCore only, so the simulator uses it without the rest of the core.
namespace FileWriter {

struct Status {
    int error = 0;   // the errno of the failure; 0 on success
    bool ok() const { return error == 0; }
};

// Makes `bytes` the whole contents of `path`.
// A regular file, or one that does not exist yet, is replaced only once the
// new contents are completely on disk: every byte written and counted,
// synced, then renamed into place. On any failure the old file stays as it
// was and nothing is left behind. A symbolic link keeps pointing where it
// did; its target is replaced, keeping the target's mode and owner.
// Anything else (a FIFO, a terminal, a device such as /dev/null) and the
// process's own streams ("-" and /dev/stdout for standard output,
// /dev/stderr, /dev/fd/N) are written straight, never renamed over.
Status write(const QString& path, const QByteArray& bytes);

// What write() would meet before it writes anything: the folder missing or
// not writable, a folder given as the file. Lets a command refuse its
// output before it spends time on the input.
Status checkWritable(const QString& path);

// A FIFO given as an output, opened for writing now without waiting for a
// reader: ENXIO when nobody reads it, rather than a write that blocks after
// the work is done. The descriptor goes into *fd and stays open until the
// caller closes it (the reader sees the end only then), so write() to
// "/dev/fd/N" later reaches the reader there now. For anything that is not
// a FIFO *fd is -1 and nothing is opened.
Status openPipe(const QString& path, int* fd);

// A file-size limit (ulimit -f) sends SIGXFSZ, whose default ends the
// process without a word; ignored, the write fails with "File too large"
// and write() says so. Every program calls this once at start-up.
void ignoreFileSizeSignal();

}

#pragma once
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "gui/readwritedialog.h"

// Starts the read/write window's transfer as its start button does and waits
// for the end: the transfer runs on a thread of its own while this thread
// goes on serving the simulated radio. False when it did not end in time.
inline bool startTransferAndWait(ReadWriteDialog& rw)
{
    QSignalSpy done(&rw, &ReadWriteDialog::transferFinished);
    QTest::mouseClick(rw.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    return !rw.isTransferRunning() || done.wait(30000);
}

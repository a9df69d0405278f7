#pragma once
#include <QAtomicInt>
#include <QList>
#include <QString>
#include <functional>

#include "document/documentdata.h"
#include "base/packstrings.h"
#include "radio/identity.h"
#include "radio/safetransfer.h"
#include "radio/transferengine.h"

class CommLog;

// One transfer with one radio, as the read/write window runs it: the port is
// probed, then the transfer runs on a thread of its own (TransferThread)
// against a document of its own.
struct RadioJob {
    enum class Mode { Read, Write, Info };

    // Given:
    QString port;            // as the user named it, for messages
    QString device;          // the path it maps to
    Mode mode = Mode::Read;
    DocumentData data;       // the document the transfer starts from
    PackStrings texts;       // the active language
    QChar separator = u'.';
    bool singlePort = false;
    bool stampFactoryDate = false;
    QString userToWrite;     // written when writeUser is set
    bool writeUser = false;
    CommLog* log = nullptr;  // --trace: every frame, shared by the jobs
    SafeTransfer::Options safety;   // backup and verify of a read or write
    // Asked before each frame until the first record is written (a signal).
    std::function<bool()> stopRequested;

    // Filled by the run:
    TransferEngine::Outcome outcome;
    SafeTransfer::Outcome safe;     // read and write: the backup and verify steps too
    DocumentData result;     // the document afterwards
    RadioIdentity identity;
    QAtomicInt progress = 0; // for the progress bar; set by the job's thread
    QAtomicInt maximum = 1;
};

// Runs every job at once, each on a thread of its own (a transfer waits on
// its own event loop, so two on one thread would stall each other).
// `tick` is called on this thread now and then while they run; a job's
// stopRequested is asked then too.
void runJobs(QList<RadioJob>& jobs, const std::function<void()>& tick);

// The name of a failed step for the one-line message.
// The step in the command's language.
QString stepName(TransferEngine::Outcome::Step step, const PackStrings& texts);
